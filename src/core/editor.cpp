#include "core/editor.h"

#include "core/hint.h"
#include "core/packs.h"
#include "res/qva.h"
#include "sys/files.h"

#include <cerrno>
#include <cctype>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

editor_state editor;
uint64_t editor_work_limit = EDITOR_PROOF_FACTOR * HINT_GIVE_UP_WORK;

namespace {

// The editor's search and its table of states: as much memory as the hint's.
route_search search;
uint64_t table[HINT_TABLE_WORDS];
static_assert(sizeof search + sizeof table <= HINT_MEMORY, "the editor's search holds no more than the hint's");

level_proof proof;
change_search changes;
constexpr int PROPOSALS = 999;  // level-01 .. level-999 proposed for a new level

void use_memory()
{
    if (!search.memory)
        route_memory(search, table, HINT_TABLE_WORDS);
}

// Forgets what the last proof said: the level changed.
void forget_proof()
{
    editor.task = EDIT_IDLE;
    editor.verdict = PROOF_RUNNING;
    editor.suggestions.clear();
    memset(editor.marked, 0, sizeof editor.marked);
}

void remember()
{
    editor.history_at = (editor.history_at + 1) % EDITOR_HISTORY;
    editor.history[editor.history_at] = editor.level;
    if (editor.undo_count < EDITOR_HISTORY - 1)
        editor.undo_count++;
    editor.redo_count = 0;
    editor.changed = true;
    forget_proof();
}

// The folder part of a path ("." for a plain name).
std::string folder_of(const std::string& path)
{
    size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The path with every link and "..", resolved as far as it exists.
std::string resolved(const std::string& path)
{
    char buf[PATH_MAX];
    std::string p = path, rest;
    while (!realpath(p.c_str(), buf)) {
        size_t slash = p.find_last_of('/');
        if (slash == std::string::npos || p == "/")
            return path;
        rest = p.substr(slash) + rest;
        p = slash == 0 ? "/" : p.substr(0, slash);
    }
    return buf + rest;
}

bool write_level(const std::string& path, bool unproven)
{
    std::string text = levelsrc::format(editor.level);
    if (unproven)
        text = std::string(EDITOR_UNPROVEN_MARK) + "\n" + text;
    std::string folder = folder_of(path);
    if (!sys_make_folder(folder.c_str()) || !sys_save_file(path.c_str(), text.data(), text.size())) {
        editor.message = "NOT SAVED: " + std::string(strerror(errno));
        return false;
    }
    editor.path = path;
    editor.changed = false;
    return true;
}

// What the proof found: the file written, or the reason and the changes looked for.
void settle(int32_t status)
{
    editor.verdict = status;
    editor.task = EDIT_IDLE;
    char line[96];
    if (status == PROOF_WINNABLE) {
        editor.level.solution = proof.route;
        editor.history[editor.history_at] = editor.level;
        if (write_level(editor.save_path, false)) {
            snprintf(line, sizeof line, "SAVED: WINNABLE IN %d S (LIMIT %d S)", seconds_needed(proof.steps),
                     proof.time_limit);
            editor.message = line;
        }
        return;
    }
    if (status == PROOF_GAVE_UP) {
        editor.level.solution.clear();
        if (write_level(editor.save_path, true))
            editor.message = "SAVED UNPROVEN: THE SEARCH GAVE UP";
        return;
    }
    editor.message = "NOT SAVED: IT CANNOT BE WON";
    if (status == PROOF_UNREACHABLE)
        memcpy(editor.marked, proof.unreachable, sizeof editor.marked);
    if (status == PROOF_UNREACHABLE || status == PROOF_NO_ROUTE || status == PROOF_NO_WAY) {
        suggest_begin(changes, editor.level, HINT_GIVE_UP_WORK, EDITOR_SUGGESTIONS);
        editor.task = EDIT_SUGGESTING;
    }
}

}  // namespace

void editor_reset()
{
    editor_new();
    editor.path.clear();
    editor.tile = 1;
    editor.message.clear();
    editor_work_limit = EDITOR_PROOF_FACTOR * HINT_GIVE_UP_WORK;
}

void editor_new()
{
    levelsrc::level_source blank;
    blank.title = "Untitled";
    blank.rows.fill(std::string(LEVEL_COLS, '.'));
    blank.rows[LEVEL_ROWS / 2][LEVEL_COLS / 2] = 'S';
    editor.level = blank;
    editor.path.clear();
    editor.col = LEVEL_COLS / 2;
    editor.row = LEVEL_ROWS / 2;
    editor.history_at = 0;
    editor.history[0] = blank;
    editor.undo_count = editor.redo_count = 0;
    editor.changed = false;
    editor.message = "A NEW LEVEL";
    forget_proof();
}

bool editor_open(const std::string& path)
{
    std::string text, error;
    levelsrc::level_source src;
    int read = sys_read_small(path.c_str(), PACK_FILE_MOST, text);
    if (read != 0) {
        editor.message = path + (read == 2 ? ": too large" : ": cannot be read");
        return false;
    }
    if (!levelsrc::parse(text, src, error, false)) {
        editor.message = path + ":" + error;
        return false;
    }
    editor_new();
    editor.level = src;
    editor.history[0] = src;
    editor.path = path;
    editor.message = "OPENED " + path.substr(path.find_last_of('/') + 1);
    return true;
}

void editor_place(int32_t col, int32_t row, char ch)
{
    if (col < 0 || col >= LEVEL_COLS || row < 0 || row >= LEVEL_ROWS || !strchr(EDITOR_PALETTE, ch) || !ch)
        return;
    std::string& here = editor.level.rows[size_t(row)];
    if (here[size_t(col)] == ch)
        return;
    if (ch == 'S')
        for (std::string& r : editor.level.rows)
            for (char& c : r)
                c = c == 'S' ? '.' : c;
    here[size_t(col)] = ch;
    remember();
}

void editor_set_title(const std::string& title)
{
    size_t b = title.find_first_not_of(' ');
    if (b == std::string::npos || title == editor.level.title)
        return;
    editor.level.title = title.substr(b);
    remember();
}

bool editor_undo()
{
    if (editor.undo_count == 0)
        return false;
    editor.history_at = (editor.history_at + EDITOR_HISTORY - 1) % EDITOR_HISTORY;
    editor.level = editor.history[editor.history_at];
    editor.undo_count--;
    editor.redo_count++;
    editor.changed = true;
    forget_proof();
    return true;
}

bool editor_redo()
{
    if (editor.redo_count == 0)
        return false;
    editor.history_at = (editor.history_at + 1) % EDITOR_HISTORY;
    editor.level = editor.history[editor.history_at];
    editor.redo_count--;
    editor.undo_count++;
    editor.changed = true;
    forget_proof();
    return true;
}

bool editor_take_suggestion()
{
    if (editor.suggestions.empty())
        return false;
    cell_change c = editor.suggestions.front();
    editor.col = c.col;
    editor.row = c.row;
    editor_place(c.col, c.row, c.to);
    return true;
}

bool in_data_folder(const std::string& path)
{
    std::string data = resolved(qva_folder), at = resolved(folder_of(path));
    return at == data || at.rfind(data + "/", 0) == 0;
}

bool editor_save(const std::string& name)
{
    forget_proof();
    if (name.empty() || name.back() == '/') {
        editor.message = "NOT SAVED: NO FILE NAME";
        return false;
    }
    // A level source is a .txt file: the packs read no other.
    const std::string path = name.size() > 4 && name.compare(name.size() - 4, 4, ".txt") == 0 ? name : name + ".txt";
    if (in_data_folder(path)) {
        editor.message = "NOT SAVED: NOT IN THE GAME'S DATA FOLDER";
        return false;
    }
    use_memory();
    editor.path = path;  // the level's file from now on, saved or not
    editor.save_path = path;
    editor.task = EDIT_CHECKING;
    editor.message = "CHECKING";
    proof_begin(proof, search, editor.level, editor_work_limit);
    if (proof.status != PROOF_RUNNING)
        settle(proof.status);
    return true;
}

void editor_step(uint64_t work)
{
    if (editor.task == EDIT_CHECKING) {
        int32_t status = proof_run(proof, work);
        if (status != PROOF_RUNNING)
            settle(status);
    } else if (editor.task == EDIT_SUGGESTING) {
        bool done = suggest_run(changes, search, work);
        editor.suggestions = changes.found;
        if (done)
            editor.task = EDIT_IDLE;
    }
}

std::string editor_proposed_path()
{
    std::string folder = packs_folder();
    if (folder.empty())
        return "";
    folder += "/my-levels";
    for (int n = 1; n <= PROPOSALS; n++) {
        char name[32];
        snprintf(name, sizeof name, "/level-%02d.txt", n);
        std::string text;
        if (sys_read_small((folder + name).c_str(), 0, text) == 1)
            return folder + name;
    }
    return folder + "/";
}

int check_level_files(int count, char** files)
{
    use_memory();
    int failed = 0;
    for (int i = 0; i < count; i++) {
        std::string text, error;
        levelsrc::level_source src;
        const char* path = files[i];
        if (sys_read_small(path, PACK_FILE_MOST, text) != 0) {
            printf("%s: cannot be read\n", path);
            failed++;
            continue;
        }
        if (!levelsrc::parse(text, src, error, false)) {
            printf("%s:%s\n", path, error.c_str());
            failed++;
            continue;
        }
        proof_begin(proof, search, src, editor_work_limit);
        int32_t status = proof_run(proof, UINT64_MAX);
        if (status == PROOF_WINNABLE) {
            printf("%s: winnable in %d s of %d (%d steps%s)\n", path, seconds_needed(proof.steps), proof.time_limit,
                   proof.steps, proof.proved_shortest ? ", the fewest" : "");
            continue;
        }
        failed++;
        if (status == PROOF_UNREACHABLE) {
            printf("%s: cannot be won: no route reaches the field%s at", path, proof.unreachable_count > 1 ? "s" : "");
            for (int r = 0; r < LEVEL_ROWS; r++)
                for (int c = 0; c < LEVEL_COLS; c++)
                    if (proof.unreachable[r][c])
                        printf(" row %d col %d", r + 1, c + 1);
            printf("\n");
        } else if (status == PROOF_GAVE_UP) {
            printf("%s: not proved: the route search gave up\n", path);
        } else {
            std::string why = proof_reason(status);
            for (char& c : why)
                c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
            printf("%s: cannot be won: %s\n", path, why.c_str());
        }
    }
    fflush(stdout);
    return failed == 0 ? 0 : 1;
}
