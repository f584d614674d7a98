#include "screens/editor.h"

#include "config/config.h"
#include "config/input.h"
#include "core/editor.h"
#include "core/field.h"
#include "core/hint.h"
#include "core/level.h"
#include "core/packs.h"
#include "core/state.h"
#include "res/assets.h"
#include "screens/frame.h"
#include "screens/level.h"
#include "screens/packs.h"
#include "sound/sound.h"
#include "sys/clock.h"
#include "sys/files.h"
#include "video/cells.h"
#include "video/font.h"
#include "video/screen.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>

namespace {

constexpr int CELL = 16;
constexpr int ANIMATED_COL = 5;  // the sheet's first frame of a mine or a teleporter
constexpr int FIELD_TOP = 48;
constexpr int PALETTE_X = 4, PALETTE_Y = 13, PALETTE_STEP = 18;
constexpr const char* PALETTE_KEYS = "1234567890-=";
constexpr int MESSAGE_Y = 39;
constexpr int LINE_CHARS = 40;
constexpr int REPEAT_AFTER = 8, REPEAT_EVERY = 2;  // frames a held direction waits, then steps
constexpr int SLICES_A_FRAME = 8;                   // slices of search a frame at most ...
constexpr uint32_t SEARCH_MS = 15;                  // ... within this much of the frame
constexpr int MENU_X = 96, MENU_Y = 62, MENU_LINE = 12;

enum : int {
    ITEM_TEST, ITEM_SAVE, ITEM_SAVE_AS, ITEM_OPEN, ITEM_NEW, ITEM_TITLE, ITEM_UNDO, ITEM_REDO, ITEM_SUGGESTION,
    ITEM_THEME, ITEM_LEAVE, ITEM_BACK, ITEM_COUNT
};
constexpr const char* ITEMS[ITEM_COUNT] = {
    "TEST PLAY     F5", "SAVE      CTRL+S", "SAVE AS   CTRL+A", "OPEN      CTRL+O", "NEW       CTRL+N",
    "TITLE         F2", "UNDO      CTRL+Z", "REDO      CTRL+Y", "TAKE CHANGE   F6", "THEME",
    "LEAVE",            "BACK         ESC",
};

// What a line of text being typed is for.
enum class prompt { none, title, save_as, open };

// The screen's own state; set up on entry.
struct screen_state {
    bool menu;            // the menu is open
    int item;             // its line
    prompt typing;        // a line being typed
    std::string text;     // what is typed
    int held_frames;      // frames a direction has been held
    int armed;            // an action that loses changes, asked once: chosen again, it acts (-1 none)
    bool leave;
    std::string shown_rows;  // the level's cells as last loaded into Map
};

screen_state st;
level_field shown;  // the level as the game loads it, copied into Map to be drawn

std::string upper(const std::string& s, size_t most = LINE_CHARS)
{
    std::string u = s.substr(0, most);
    for (char& c : u)
        c = c == '~' ? '-' : static_cast<char>(toupper(static_cast<unsigned char>(c)));
    return u;
}

void say_line(int x, int y, const std::string& text)
{
    std::string t = upper(text) + "~";
    put_text1(screen, x, y, t.c_str());
}

void frame_rect(int x, int y, int w, int h, Uint8 r, Uint8 g, Uint8 b)
{
    Uint32 c = SDL_MapRGB(screen->format, r, g, b);
    SDL_Rect lines[4] = {{Sint16(x), Sint16(y), Uint16(w), 1},
                         {Sint16(x), Sint16(y + h - 1), Uint16(w), 1},
                         {Sint16(x), Sint16(y), 1, Uint16(h)},
                         {Sint16(x + w - 1), Sint16(y), 1, Uint16(h)}};
    for (SDL_Rect& l : lines)
        SDL_FillRect(screen, &l, c);
}

void panel(int x, int y, int w, int h)
{
    SDL_Rect r = {Sint16(x), Sint16(y), Uint16(w), Uint16(h)};
    SDL_FillRect(screen, &r, SDL_MapRGB(screen->format, 0, 0, 32));
    frame_rect(x, y, w, h, 160, 160, 220);
}

// The tile of palette entry i at (x, y), as the field shows it.
void draw_tile(int i, int x, int y)
{
    const char ch = EDITOR_PALETTE[i];
    for (const levelsrc::tile_char& t : levelsrc::legend()) {
        if (t.ch != ch)
            continue;
        const bool animated = t.teleport || (t.type == 2 && t.variant == 1);  // mines and teleporters
        if (t.type == 0)
            blit_rect(tiles_backcurrent, 0, 0, CELL, CELL, screen, x, y);
        else
            blit_rect(tiles, (animated ? ANIMATED_COL : t.type - 1) * CELL, (t.variant - 1) * CELL, CELL, CELL, screen,
                      x, y);
        if (t.start)
            blit_rect(anim, 0, 0, CELL, CELL, screen, x, y);
    }
}

// Short names of the palette's tiles, in its order, for the bar and the changes.
constexpr const char* TILE_NAMES[EDITOR_TILES] = {"HOLE",      "FIELD",      "MINE",      "SOLID",
                                                  "TRACK UP",  "TRACK SIDE", "PUSH UP",   "PUSH DOWN",
                                                  "PUSH LEFT", "PUSH RIGHT", "TELEPORTER", "START"};

const char* tile_name(char ch)
{
    const char* at = strchr(EDITOR_PALETTE, ch);
    return at && ch ? TILE_NAMES[at - EDITOR_PALETTE] : "";
}

// A line at the bar's right edge.
void say_right(int y, const std::string& text)
{
    say_line(316 - 8 * static_cast<int>(text.size()), y, text);
}

// The level into Map when its cells changed, as the game loads it.
void show_level()
{
    std::string rows;
    for (const std::string& r : editor.level.rows)
        rows += r;
    if (rows == st.shown_rows)
        return;
    st.shown_rows = rows;
    proof_load(shown, editor.level);
    memcpy(Map, shown.map, sizeof Map);
    MapData = shown.data;
}

void draw_bar()
{
    SDL_Rect bar = {0, 0, 320, FIELD_TOP};
    SDL_FillRect(screen, &bar, SDL_MapRGB(screen->format, 0, 0, 40));
    char line[64];
    say_line(4, 2, editor.level.title.substr(0, 28) + (editor.changed ? " *" : ""));
    int fields = levelsrc::count(editor.level, 'o') + levelsrc::count(editor.level, '*');
    snprintf(line, sizeof line, "TIME %d", level_time_limit(fields));
    say_right(2, line);
    for (int i = 0; i < EDITOR_TILES; i++) {
        const int x = PALETTE_X + i * PALETTE_STEP;
        draw_tile(i, x, PALETTE_Y);
        char key[3] = {PALETTE_KEYS[i], '~', 0};
        put_text1(screen, x + 4, PALETTE_Y + 17, key);
        if (i == editor.tile)
            frame_rect(x - 1, PALETTE_Y - 1, CELL + 2, CELL + 2, 255, 255, 255);
    }
    say_right(14, tile_name(EDITOR_PALETTE[editor.tile]));
    snprintf(line, sizeof line, "R%d C%d", editor.row + 1, editor.col + 1);
    say_right(26, line);
    std::string message = editor.message;
    if (editor.task == EDIT_CHECKING)
        message = (animframe & 8) ? "CHECKING" : "CHECKING.";
    say_line(4, MESSAGE_Y, message);
}

// The reason a level was not saved and the changes found, over the part of
// the field away from the cursor.
void draw_verdict()
{
    const bool failed = editor.verdict != PROOF_RUNNING && editor.verdict != PROOF_WINNABLE &&
                        editor.verdict != PROOF_GAVE_UP;
    if (!failed)
        return;
    const int y = editor.row >= 8 ? FIELD_TOP + 2 : 240 - 52;
    panel(2, y, 316, 50);
    say_line(6, y + 4, proof_reason(editor.verdict));
    int line = 0;
    for (const cell_change& c : editor.suggestions) {
        char text[96];
        snprintf(text, sizeof text, "%s ROW %d COL %d: %s TO %s", line == 0 ? "F6 TAKES" : "OR      ", c.row + 1,
                 c.col + 1, tile_name(c.from), tile_name(c.to));
        say_line(6, y + 16 + 10 * line++, text);
    }
    if (editor.task == EDIT_SUGGESTING && line < EDITOR_SUGGESTIONS)
        say_line(6, y + 16 + 10 * line, (animframe & 8) ? "LOOKING FOR A ONE-CELL CHANGE" : "LOOKING FOR A ONE-CELL CHANGE.");
    else if (editor.suggestions.empty() && editor.task == EDIT_IDLE &&
             editor.verdict != PROOF_NO_START && editor.verdict != PROOF_TELEPORTERS)
        say_line(6, y + 16, "NO ONE-CELL CHANGE MAKES IT WINNABLE");
}

void draw_field()
{
    draw_map(screen);
    for (int r = 0; r < LEVEL_ROWS; r++)
        for (int c = 0; c < LEVEL_COLS; c++) {
            if (editor.level.rows[size_t(r)][size_t(c)] == 'S')
                blit_rect(anim, 0, 0, CELL, CELL, screen, c * CELL, FIELD_TOP + r * CELL);
            if (editor.marked[r][c])
                frame_rect(c * CELL, FIELD_TOP + r * CELL, CELL, CELL, 255, 40, 40);
        }
    for (const cell_change& ch : editor.suggestions)
        frame_rect(ch.col * CELL + 1, FIELD_TOP + ch.row * CELL + 1, CELL - 2, CELL - 2, 40, 255, 40);
    if (animframe & 4 || st.menu)
        frame_rect(editor.col * CELL, FIELD_TOP + editor.row * CELL, CELL, CELL, 255, 255, 0);
}

void draw_menu()
{
    panel(MENU_X - 12, MENU_Y - 8, 156, ITEM_COUNT * MENU_LINE + 14);
    for (int i = 0; i < ITEM_COUNT; i++) {
        std::string text = ITEMS[i];
        if (i == ITEM_THEME)
            text += "  " + std::to_string(gfx_scheme + 1) + " OF " + std::to_string(THEME_COUNT);
        if (i == st.armed)
            text = i == ITEM_LEAVE ? "LEAVE UNSAVED?" : "UNSAVED! AGAIN?";
        say_line(MENU_X, MENU_Y + i * MENU_LINE, text);
    }
    put_text1(screen, MENU_X - 10, MENU_Y + st.item * MENU_LINE, ">~");
}

void draw_prompt()
{
    const char* what = st.typing == prompt::title ? "TITLE:" : st.typing == prompt::save_as ? "SAVE AS:" : "OPEN:";
    panel(2, 100, 316, 40);
    say_line(6, 104, what);
    say_right(104, "RETURN: OK  ESC: CANCEL");
    std::string text = st.text + ((animframe & 8) ? "_" : " ");
    if (text.size() > 38)
        text = text.substr(text.size() - 38);
    put_text1(screen, 6, 120, (text + "~").c_str());  // as typed: paths keep their case
}

void draw_editor()
{
    show_level();
    if (screen)
        SDL_FillRect(screen, nullptr, SDL_MapRGB(screen->format, 0, 0, 0));
    draw_field();
    draw_bar();
    draw_verdict();
    if (st.menu)
        draw_menu();
    if (st.typing != prompt::none)
        draw_prompt();
}

// An action that would lose unsaved changes acts only when chosen twice.
bool confirmed(int item)
{
    if (!editor.changed || st.armed == item) {
        st.armed = -1;
        return true;
    }
    st.armed = item;
    st.menu = true;
    st.item = item;
    editor.message = "UNSAVED CHANGES: CHOOSE IT AGAIN TO GO ON";
    return false;
}

void open_chooser()
{
    std::vector<list_line> lines;
    std::vector<std::string> paths;
    const std::string folder = packs_folder();
    for (const std::string& p : packs_list())
        for (const std::string& f : sys_list_folder((folder + "/" + p).c_str(), false))
            if (f.size() > 4 && f.compare(f.size() - 4, 4, ".txt") == 0 && f != PACK_INFO) {
                lines.push_back({p + "/" + f, static_cast<int>(paths.size())});
                paths.push_back(folder + "/" + p + "/" + f);
            }
    lines.push_back({"TYPE A PATH", static_cast<int>(paths.size())});
    int chosen = run_list("editor_open", "OPEN A LEVEL", "THE LEVELS OF YOUR PACKS, IN", folder, lines);
    if (chosen >= 0 && chosen < static_cast<int>(paths.size())) {
        editor_open(paths[size_t(chosen)]);
    } else if (chosen >= 0) {
        st.typing = prompt::open;
        st.text = editor.path.empty() ? folder + "/" : editor.path;
    }
}

void act(int item)
{
    st.menu = false;
    if (item != st.armed)
        st.armed = -1;
    switch (item) {
    case ITEM_TEST: editor_test_play(); break;
    case ITEM_SAVE:
        if (!editor.path.empty()) {
            editor_save(editor.path);
            break;
        }
        [[fallthrough]];
    case ITEM_SAVE_AS:
        st.typing = prompt::save_as;
        st.text = editor.path.empty() ? editor_proposed_path() : editor.path;
        break;
    case ITEM_OPEN:
        if (confirmed(item))
            open_chooser();
        break;
    case ITEM_NEW:
        if (confirmed(item))
            editor_new();
        break;
    case ITEM_TITLE:
        st.typing = prompt::title;
        st.text = editor.level.title;
        break;
    case ITEM_UNDO: editor.message = editor_undo() ? "UNDONE" : "NOTHING TO UNDO"; break;
    case ITEM_REDO: editor.message = editor_redo() ? "REDONE" : "NOTHING TO REDO"; break;
    case ITEM_SUGGESTION: editor.message = editor_take_suggestion() ? "CHANGE TAKEN" : "NO CHANGE TO TAKE"; break;
    case ITEM_THEME:
        gfx_scheme = (gfx_scheme + 1) % THEME_COUNT;
        load_newtheme();
        choose_tiles();
        setup_backgroundpattern();
        break;
    case ITEM_LEAVE:
        if (confirmed(item))
            st.leave = true;
        break;
    default: break;
    }
}

// A key typed into a line: the character it gives, or 0.
char typed_char(int32_t key, bool shift)
{
    if (key >= SDLK_a && key <= SDLK_z)
        return static_cast<char>(shift ? key - SDLK_a + 'A' : key);
    if (key >= SDLK_0 && key <= SDLK_9)
        return shift && key == SDLK_1 ? '!' : static_cast<char>(key);
    switch (key) {
    case SDLK_SPACE: return ' ';
    case SDLK_MINUS: return shift ? '_' : '-';
    case SDLK_PERIOD: return '.';
    case SDLK_COMMA: return ',';
    case SDLK_SLASH: return shift ? '?' : '/';
    case SDLK_QUOTE: return '\'';
    default: return 0;
    }
}

void type_line(const frame_input& in)
{
    const bool shift = (last_key_mod & KMOD_SHIFT) != 0;
    if (in.key == SDLK_ESCAPE) {
        st.typing = prompt::none;
        return;
    }
    if (in.key == SDLK_BACKSPACE) {
        if (!st.text.empty())
            st.text.pop_back();
        return;
    }
    if (in.key == SDLK_RETURN || in.key == SDLK_KP_ENTER || (in.pressed & CTRL_ACTION)) {
        prompt p = st.typing;
        st.typing = prompt::none;
        if (p == prompt::title)
            editor_set_title(st.text);
        else if (p == prompt::save_as)
            editor_save(st.text);
        else
            editor_open(st.text);
        return;
    }
    if (char c = typed_char(in.key, shift); c && st.text.size() < 200)
        st.text += c;
}

void move_cursor(int32_t dirs)
{
    if (dirs & CTRL_UP)
        editor.row = (editor.row + LEVEL_ROWS - 1) % LEVEL_ROWS;
    if (dirs & CTRL_DOWN)
        editor.row = (editor.row + 1) % LEVEL_ROWS;
    if (dirs & CTRL_LEFT)
        editor.col = (editor.col + LEVEL_COLS - 1) % LEVEL_COLS;
    if (dirs & CTRL_RIGHT)
        editor.col = (editor.col + 1) % LEVEL_COLS;
}

// The keys the menu names beside its lines (Ctrl+letter, F2, F5, F6): they
// act from the field and from the open menu alike; true when the key did
// something.
bool named_shortcut(int32_t key)
{
    const int32_t mod = last_key_mod;
    const bool ctrl = (mod & KMOD_CTRL) != 0, shift = (mod & KMOD_SHIFT) != 0;
    if (ctrl) {
        switch (key) {
        case SDLK_z: act(shift ? ITEM_REDO : ITEM_UNDO); return true;
        case SDLK_y: act(ITEM_REDO); return true;
        case SDLK_s: act(shift ? ITEM_SAVE_AS : ITEM_SAVE); return true;
        case SDLK_a: act(ITEM_SAVE_AS); return true;
        case SDLK_o: act(ITEM_OPEN); return true;
        case SDLK_n: act(ITEM_NEW); return true;
        case SDLK_t: act(ITEM_TEST); return true;
        default: return false;
        }
    }
    switch (key) {
    case SDLK_F2: act(ITEM_TITLE); return true;
    case SDLK_F5: act(ITEM_TEST); return true;
    case SDLK_F6: act(ITEM_SUGGESTION); return true;
    default: return false;
    }
}

// Keys that act at once on the field; true when the key did something.
bool shortcut(int32_t key)
{
    if (named_shortcut(key))
        return true;
    if (const char* k = key > 0 && key < 128 ? strchr(PALETTE_KEYS, key) : nullptr) {
        editor.tile = static_cast<int32_t>(k - PALETTE_KEYS);
        return true;
    }
    switch (key) {
    case SDLK_TAB:
        editor.tile = (editor.tile + ((last_key_mod & KMOD_SHIFT) ? EDITOR_TILES - 1 : 1)) % EDITOR_TILES;
        return true;
    case SDLK_DELETE:
    case SDLK_BACKSPACE: editor_place(editor.col, editor.row, '.'); return true;
    case SDLK_ESCAPE: st.menu = true; st.item = 0; return true;
    default: return false;
    }
}

// A click on the field places the tile chosen there; on the palette it
// chooses the tile.
void click(int32_t x, int32_t y)
{
    if (y >= FIELD_TOP) {
        editor.col = x / CELL;
        editor.row = (y - FIELD_TOP) / CELL;
        editor_place(editor.col, editor.row, EDITOR_PALETTE[editor.tile]);
    } else if (y >= PALETTE_Y && y < PALETTE_Y + CELL + 10 && x >= PALETTE_X &&
               (x - PALETTE_X) / PALETTE_STEP < EDITOR_TILES) {
        editor.tile = (x - PALETTE_X) / PALETTE_STEP;
    }
}

void menu_input(const frame_input& in)
{
    if (in.key != -1 && named_shortcut(in.key))
        return;  // the line acts as if picked (which closes the menu)
    if (in.row >= 1 && in.row <= ITEM_COUNT) {
        const bool again = in.row - 1 == st.item;
        st.item = in.row - 1;
        if (again)
            return act(st.item);
    } else if (in.click_x != -1) {
        st.menu = false;  // a click beside the menu closes it
    }
    if (in.pressed & CTRL_UP)
        st.item = (st.item + ITEM_COUNT - 1) % ITEM_COUNT;
    if (in.pressed & CTRL_DOWN)
        st.item = (st.item + 1) % ITEM_COUNT;
    if (in.key == SDLK_ESCAPE)
        st.menu = false;
    else if (in.pressed & CTRL_CONFIRM)
        act(st.item);
}

void field_input(const frame_input& in)
{
    if (in.key != -1 && shortcut(in.key))
        return;
    if (in.click_x != -1)
        click(in.click_x, in.click_y);
    if (in.pressed & CTRL_HINT)
        editor.tile = (editor.tile + 1) % EDITOR_TILES;
    move_cursor(in.directions);
    const int32_t held = in.held & CTRL_DIRECTIONS;
    st.held_frames = held ? st.held_frames + 1 : 0;
    if (st.held_frames > REPEAT_AFTER && (st.held_frames - REPEAT_AFTER) % REPEAT_EVERY == 0)
        move_cursor(held);
    if (in.pressed & CTRL_ACTION)
        editor_place(editor.col, editor.row, EDITOR_PALETTE[editor.tile]);
    else if (in.pressed & CTRL_PAUSE) {
        st.menu = true;
        st.item = 0;
    }
}

// The search works on between the frame's input and its picture.
void search_slices()
{
    const uint32_t start = sys_ticks();
    for (int i = 0; i < SLICES_A_FRAME && editor.task != EDIT_IDLE; i++) {
        editor_step(HINT_SLICE_WORK);
        if (sys_ticks() - start >= SEARCH_MS)
            break;
    }
}

}  // namespace

void editor_test_play()
{
    const player_record player = Player;
    const int32_t map = curr_map, max = maxmap, c = cont, f = fin, e = end_game;
    trial_start(editor.level);
    Player.lives = 3;
    Player.score = 0;
    Player.perfect = 1;
    play_music(1, -1);
    init_maps(1, 0);
    engine();
    playing_sets();
    Player = player;
    curr_map = map;
    maxmap = max;
    cont = c;
    fin = f;
    end_game = e;
    play_music(0, -1);
    choose_tiles();
    setup_backgroundpattern();
    st.shown_rows.clear();  // Map holds the play's field: load the level again
}

void level_editor(const char* path)
{
    st = screen_state{};
    st.armed = -1;
    editor_reset();
    if (path && access(path, F_OK) != 0) {  // a new level, to be saved there
        editor.path = path;
        editor.message = "A NEW LEVEL FOR " + editor.path.substr(editor.path.find_last_of('/') + 1);
    } else if (path && !editor_open(path)) {
        std::string why = editor.message;
        editor_reset();
        editor.path = path;
        editor.message = why;  // the reader's message; the file is left alone until a save
    } else if (!path) {
        editor.message = "SPACE MENU, RETURN PLACES, 1 TO = TILES";
    }
    curr_map = 1;
    maxmap = 2;
    choose_tiles();
    setup_backgroundpattern();
    clear_animations();
    play_music(0, -1);
    screen_frame frame("editor");
    while (!st.leave) {
        frame_input in = st.menu ? frame.read(MENU_Y, ITEM_COUNT * MENU_LINE, MENU_LINE) : frame.read();
        if (quit_zarn == 1)
            return;
        animframe = (animframe + 1) & 15;
        if (st.typing != prompt::none)
            type_line(in);
        else if (st.menu)
            menu_input(in);
        else
            field_input(in);
        if (quit_zarn == 1)
            return;
        search_slices();
        draw_editor();
        frame.show();
    }
}
