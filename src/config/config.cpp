// The configuration file zarn.cfg: key=value lines read at start-up in two
// passes (the screen mode first, then everything else) and written whole at
// exit. Keys are found at any byte of the file, not per line, and nothing is
// ever read past the file's last byte.
#include "config/config.h"

#include "res/assets.h"
#include "res/qva.h"
#include "sys/files.h"
#include "video/screen.h"

#include "sys/fatal.h"

#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>
#include <string_view>
#include <unistd.h>

// The installed data seen from the folder of the installed program.
#ifndef ZARN_DATA_FROM_PROGRAM
#define ZARN_DATA_FROM_PROGRAM "../share/games/zarn/data"
#endif

namespace {

constexpr char LAST_PW_DEFAULT[5] = "AAAA";
// A configuration file is 29 short lines; one larger than 64 KiB is not ours
// and is ignored whole, with one line saying so.
constexpr uint64_t CONFIG_MAX_BYTES = 64 * 1024;

}  // namespace

const char* configFolder;
const char* chosenScoresFolder;
char last_pw[5] = {LAST_PW_DEFAULT[0], LAST_PW_DEFAULT[1], LAST_PW_DEFAULT[2], LAST_PW_DEFAULT[3], 0};

namespace {

// The whole file in memory; [data, data + len).
struct config_text {
    char* data;
    size_t len;
};

const char* config_path()
{
    return filename(configFolder, "zarn", "cfg");
}

bool told_too_large;  // the line about a too large file was printed

// Reads the file whole; data is null when it is missing, unreadable, empty,
// not a regular file (a folder or a FIFO is never read) or too large.
config_text load_text()
{
    if (configFolder && !*configFolder)
        return {nullptr, 0};  // no folder for it
    uint64_t len = 0;
    FILE* f = sys_open_regular(config_path(), &len);
    if (!f)
        return {nullptr, 0};
    if (len > CONFIG_MAX_BYTES && !told_too_large) {
        fprintf(stderr, "%s is larger than 64 KiB: ignored, the default settings stay\n", config_path());
        told_too_large = true;
    }
    char* buf = len > 0 && len <= CONFIG_MAX_BYTES ? static_cast<char*>(malloc(len)) : nullptr;
    if (buf && fread(buf, 1, len, f) != len) {
        free(buf);
        buf = nullptr;
    }
    fclose(f);
    return {buf, buf ? static_cast<size_t>(len) : 0};
}

// Whether key (with its '=') stands at byte pos of the text.
bool key_at(const config_text& t, size_t pos, std::string_view key)
{
    // The first byte settles most positions without a call.
    return t.len - pos >= key.size() && t.data[pos] == key[0] && memcmp(t.data + pos, key.data(), key.size()) == 0;
}

bool is_space(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// A decimal number as strtol reads it (leading white space, a sign, no digits
// giving 0), but stopping at end and saturating at the range of an int32.
int read_number(const char* p, const char* end)
{
    while (p < end && is_space(*p))
        p++;
    bool negative = false;
    if (p < end && (*p == '+' || *p == '-'))
        negative = *p++ == '-';
    constexpr int64_t limit = int64_t{std::numeric_limits<int32_t>::max()} + 1;
    int64_t value = 0;
    for (; p < end && *p >= '0' && *p <= '9'; p++)
        if (value < limit)
            value = value * 10 + (*p - '0');
    if (negative)
        value = -value;
    if (value > std::numeric_limits<int32_t>::max())
        return std::numeric_limits<int32_t>::max();
    if (value < std::numeric_limits<int32_t>::min())
        return std::numeric_limits<int32_t>::min();
    return static_cast<int>(value);
}

// Sets the three screen-mode globals from a packed mode: bits 3 and up the
// scaling mode, bit 1 double scale, bit 0 windowed. A double scale without
// enlargement cannot be shown and is dropped; a scaling mode the game does
// not have gives the default mode.
void apply_gfx_mode(int mode)
{
    if ((mode >> 3) < 0 || (mode >> 3) > 5)
        mode = full_screen | 8;
    zoom = mode >> 3;
    full_screen = (mode & 1) ? 0 : (zoom == 0 ? 1 : 2);
    double_scale = (mode & 2) && zoom != 0 ? 1 : 0;
}

int gfx_mode()
{
    return zoom * 8 + (cfgbpp != 16 ? 4 : 0) + (double_scale ? 2 : 0) + (full_screen == 0 ? 1 : 0);
}

// The rows of the settings this module keeps: the theme and the screen mode,
// whose modules stand below this one, and the last password.
const config_setting OWN_ROWS[] = {
    {"gfx_scheme", 3, CONFIG_NUMBER, &gfx_scheme, 0, THEME_COUNT - 1, 0, 0, 0},  // the first theme, as the theme loader would
    {"last_pw", 4, CONFIG_PASSWORD, reinterpret_cast<int*>(last_pw), 0, 0, 0, 0, 0},
    {"gfxmode", 29, CONFIG_SCREEN_MODE, &zoom, 0, 0, 0, 0, 0},
};

// The table, by line less one; a row with a null variable is not bound yet.
config_setting table[CONFIG_LINES];

// Binds a row and puts its initial value into its variable.
void bind_row(const config_setting& row)
{
    config_setting& slot = table[row.line - 1];
    slot = row;
    if (row.kind == CONFIG_NUMBER)
        *row.variable = row.initial;
    else if (row.kind == CONFIG_FLAG)
        *row.variable = row.initial ? *row.variable | row.bit : *row.variable & ~row.bit;
    else if (row.kind == CONFIG_PASSWORD)
        memcpy(row.variable, LAST_PW_DEFAULT, sizeof last_pw);
}

// Binds the own rows before anything else runs.
const bool own_rows_bound = [] {
    for (const config_setting& row : OWN_ROWS)
        table[row.line - 1] = row;
    return true;
}();

bool bound(const config_setting& row)
{
    return row.variable != nullptr;
}

// The key with its '=' for a row.
std::string key_of(const config_setting& row)
{
    return std::string(row.name) + '=';
}

// Only letters are taken: the password is written back as one line, and a
// line break or other byte from the file must not become a line of its own.
void copy_password(const char* p, const char* end)
{
    for (int i = 0; i < 4 && p + i < end && p[i] >= 'A' && p[i] <= 'Z'; i++)
        last_pw[i] = p[i];
}

// A number read for a row, held to its range.
int ranged(const config_setting& row, int v)
{
    if (v >= row.low && v <= row.high)
        return v;
    if (row.fallback != CONFIG_CLAMP)
        return row.fallback;
    return v < row.low ? row.low : row.high;
}

// What the value at p does to a row of the second pass.
void apply(const config_setting& row, const char* p, const char* end)
{
    switch (row.kind) {
    case CONFIG_NUMBER: *row.variable = ranged(row, read_number(p, end)); break;
    case CONFIG_FLAG:
        if (read_number(p, end) == 1)
            *row.variable |= row.bit;
        break;
    case CONFIG_PASSWORD: copy_password(p, end); break;
    default: break;
    }
}

// Scans for one control's key and button lines; a later line replaces an
// earlier one until both a key and a button have been found.
void read_control(const config_text& t, const config_setting& k_row, const config_setting* j_row)
{
    const std::string k_key = key_of(k_row);
    const std::string j_key = j_row ? key_of(*j_row) : std::string("\n");
    const char* end = t.data + t.len;
    int32_t key = -1;
    int32_t button = -1;
    for (size_t pos = 0; pos < t.len && (key < 0 || button < 0); pos++) {
        if (key_at(t, pos, k_key)) {
            const char* v = t.data + pos + k_key.size();
            key = (v < end && *v >= 'a' && *v <= 'z') ? *v : read_number(v, end);
        }
        if (j_row && key_at(t, pos, j_key))
            button = read_number(t.data + pos + j_key.size(), end);
    }
    *k_row.variable = key;
    if (j_row && button >= 0)
        *j_row->variable = button;
}

// The button row of the same control as a key row ("k_up" and "j_up").
const config_setting* button_row_of(const config_setting& k_row)
{
    for (const config_setting& row : table)
        if (bound(row) && row.kind == CONFIG_BUTTON && strcmp(row.name + 2, k_row.name + 2) == 0)
            return &row;
    return nullptr;
}

void read_settings(const config_text& t)
{
    const char* end = t.data + t.len;
    std::string keys[CONFIG_LINES];
    for (int i = 0; i < CONFIG_LINES; i++)
        if (bound(table[i]))
            keys[i] = key_of(table[i]);
    // No two keys can match at the same byte, so trying stops at the first.
    for (size_t pos = 0; pos < t.len; pos++) {
        for (int i = 0; i < CONFIG_LINES; i++) {
            const config_setting& row = table[i];
            if (bound(row) && (row.kind == CONFIG_NUMBER || row.kind == CONFIG_FLAG || row.kind == CONFIG_PASSWORD) &&
                key_at(t, pos, keys[i])) {
                apply(row, t.data + pos + keys[i].size(), end);
                break;
            }
        }
    }
}

// One line; what fprintf returns.
int write_line(FILE* f, const config_setting& row)
{
    switch (row.kind) {
    case CONFIG_FLAG: return fprintf(f, "%s=%d\n", row.name, (*row.variable & row.bit) ? 1 : 0);
    case CONFIG_KEY: return dumpKey(row.name + 2, *row.variable, f);
    case CONFIG_PASSWORD: return fprintf(f, "%s=%s\n", row.name, last_pw);
    case CONFIG_SCREEN_MODE: return fprintf(f, "%s=%d\n", row.name, gfx_mode());
    default: return fprintf(f, "%s=%d\n", row.name, *row.variable);
    }
}

// The 29 lines; false as soon as one cannot be written (or is not bound).
bool write_lines(FILE* f)
{
    for (const config_setting& row : table)
        if (!bound(row) || write_line(f, row) < 0)
            return false;
    return true;
}

// $var/zarn when var holds an absolute path (a relative one does not count),
// else $HOME/under_home/zarn; "" when neither, or too long for a file name.
std::string user_folder(const char* var, const char* under_home)
{
    std::string folder;
    const char* value = getenv(var);
    const char* home = getenv("HOME");
    if (value && value[0] == '/')
        folder = std::string(value) + "/zarn";
    else if (home && home[0] == '/')
        folder = std::string(home) + '/' + under_home + "/zarn";
    return folder.size() + sizeof "/zarn.cfg" <= sizeof fname_buf ? folder : "";
}

// The installed data folder, worked out from where the running program is:
// "" when that cannot be told.
std::string installed_data()
{
    char exe[4096];
    ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
    if (n <= 0)
        return "";
    std::string folder(exe, static_cast<size_t>(n));
    folder.erase(folder.rfind('/'));
    std::string rel = ZARN_DATA_FROM_PROGRAM;
    while (rel.compare(0, 3, "../") == 0 && !folder.empty()) {
        folder.erase(folder.rfind('/'));
        rel.erase(0, 3);
    }
    return folder + '/' + rel;
}

// What the folder globals point at when they are not the working folder.
std::string data_folder;
std::string config_folder;
std::string scores_folder;

// The archives' folder; true when it is ./data.
bool choose_data_folder()
{
    std::string names;
    for (const char* name : archives)
        if (name)
            names += std::string(names.empty() ? "" : ", ") + name + ".qva";
    const char* env = getenv("ZARN_DATA_DIR");
    if (env && *env) {
        data_folder = env;
        if (!qva_folder_complete(env))
            sys_fatal(("zarn: no game data (" + names + ") in ZARN_DATA_DIR=" + data_folder).c_str());
    } else if (qva_folder_complete("./data")) {
        qva_folder = "./data";
        return true;
    } else {
        data_folder = installed_data();
        if (data_folder.empty() || !qva_folder_complete(data_folder.c_str()))
            sys_fatal(("zarn: no game data (" + names + ") in ./data or " +
                       (data_folder.empty() ? "the installed data folder" : data_folder))
                          .c_str());
    }
    qva_folder = data_folder.c_str();
    return false;
}

}  // namespace

void config_bind(const config_setting* rows, int count)
{
    for (int i = 0; i < count; i++)
        bind_row(rows[i]);
}

void getConfigFolder()
{
    configFolder = nullptr;
    chosenScoresFolder = nullptr;
    if (choose_data_folder())
        return;
    config_folder = user_folder("XDG_CONFIG_HOME", ".config");
    scores_folder = user_folder("XDG_DATA_HOME", ".local/share");
    configFolder = config_folder.c_str();
    chosenScoresFolder = scores_folder.c_str();
    if (config_folder.empty() || scores_folder.empty())
        fprintf(stderr, "zarn: no home folder (HOME unset, relative or too long): settings and high scores "
                        "are not kept\n");
}

void loadGfxConfig()
{
    int mode = full_screen | 8;
    config_text t = load_text();
    const std::string key = key_of(table[28]);
    for (size_t pos = 0; pos < t.len; pos++) {
        if (key_at(t, pos, key)) {
            mode = read_number(t.data + pos + key.size(), t.data + t.len);
            break;
        }
    }
    free(t.data);
    apply_gfx_mode(mode);
}

void loadConfig()
{
    config_text t = load_text();
    if (!t.data)
        return;
    for (const config_setting& row : table)
        if (bound(row) && row.kind == CONFIG_KEY)
            read_control(t, row, button_row_of(row));
    read_settings(t);
    free(t.data);
}

int dumpKey(const char* name, int value, FILE* stream)
{
    if (value >= 'a' && value <= 'z')
        return fprintf(stream, "k_%s=%c\n", name, value);
    return fprintf(stream, "k_%s=%d\n", name, value);
}

bool dumpConfig()
{
    if (configFolder && !*configFolder)
        return true;
    char path[sizeof fname_buf];
    snprintf(path, sizeof path, "%s", config_path());
    char* text = nullptr;
    size_t len = 0;
    FILE* f = open_memstream(&text, &len);
    if (!f)
        return false;
    bool good = write_lines(f);
    good = fclose(f) == 0 && good;
    good = good && sys_save_file(path, text, len);
    free(text);
    return good;
}

void config_default(const int* variable)
{
    for (const config_setting& row : table)
        if (row.variable == variable && row.kind == CONFIG_NUMBER)
            *row.variable = row.initial;
}

void config_reset()
{
    configFolder = nullptr;
    chosenScoresFolder = nullptr;
    for (const config_setting& row : table)
        if (bound(row) && row.kind != CONFIG_KEY && row.kind != CONFIG_BUTTON && row.kind != CONFIG_SCREEN_MODE)
            bind_row(row);
    told_too_large = false;
}
