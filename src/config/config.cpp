// The configuration file zarn.cfg: key=value lines read at start-up in two
// passes (the screen mode first, then everything else) and written whole at
// exit. Keys are found at any byte of the file, not per line, and nothing is
// ever read past the file's last byte.
#include "config/config.h"

#include "config/input.h"
#include "res/assets.h"
#include "res/qva.h"
#include "sys/files.h"
#include "video/screen.h"

#include <array>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string_view>

namespace {

constexpr int MUSIC_VOLUME_DEFAULT = 100;
constexpr int SOUND_VOLUME_DEFAULT = 80;
constexpr int MP_FLAGS_DEFAULT = 3;  // oversampling and noise reduction
constexpr int MP_RESAMPLING_DEFAULT = 1;
constexpr char LAST_PW_DEFAULT[5] = "AAAA";
// A configuration file is 29 short lines; one larger than 64 KiB is not ours
// and is ignored whole, with one line saying so.
constexpr uint64_t CONFIG_MAX_BYTES = 64 * 1024;

}  // namespace

const char* configFolder;
int music_volume = MUSIC_VOLUME_DEFAULT;
int sound_volume = SOUND_VOLUME_DEFAULT;
int mpFlags = MP_FLAGS_DEFAULT;
int mpResamplingMode = MP_RESAMPLING_DEFAULT;
int mpReverbDepth;
int mpReverbDelay;
int mpBassAmount;
int mpBassRange;
int mpSurroundDepth;
int mpSurroundDelay;
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

int clamp(int v, int lo, int hi)
{
    return v < lo ? lo : v > hi ? hi : v;
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

// Configuration names of the controls, by control index.
constexpr std::array<const char*, CONTROL_COUNT> control_names = {"up", "down", "left", "right", "pause", "action"};

// Scans for one control's "k_" and "j_" lines; a later line replaces an
// earlier one until both a key and a button have been found.
void read_control(const config_text& t, int control)
{
    char k_text[16];
    char j_text[16];
    snprintf(k_text, sizeof k_text, "k_%s=", control_names[control]);
    snprintf(j_text, sizeof j_text, "j_%s=", control_names[control]);
    const std::string_view k_key = k_text;
    const std::string_view j_key = j_text;
    const char* end = t.data + t.len;
    int32_t key = -1;
    int32_t button = -1;
    for (size_t pos = 0; pos < t.len && (key < 0 || button < 0); pos++) {
        if (key_at(t, pos, k_key)) {
            const char* v = t.data + pos + k_key.size();
            key = (v < end && *v >= 'a' && *v <= 'z') ? *v : read_number(v, end);
        }
        if (key_at(t, pos, j_key))
            button = read_number(t.data + pos + j_key.size(), end);
    }
    key_buttons[control] = key;
    if (button >= 0)
        joy_buttons[control] = button;
}

// A volume out of range is heard in full.
void set_volume(int* volume, int v)
{
    *volume = (v > 100 || v < 0) ? 100 : v;
}

// Only letters are taken: the password is written back as one line, and a
// line break or other byte from the file must not become a line of its own.
void copy_password(const char* p, const char* end)
{
    for (int i = 0; i < 4 && p + i < end && p[i] >= 'A' && p[i] <= 'Z'; i++)
        last_pw[i] = p[i];
}

void set_flag(int bit, int v)
{
    if (v == 1)
        mpFlags |= bit;
}

// One settings line: its key and what its value does.
struct setting {
    std::string_view key;
    void (*apply)(const char* value, const char* end);
};

int num(const char* p, const char* end)
{
    return read_number(p, end);
}

// No two keys can match at the same byte, so trying stops at the first.
constexpr std::array<setting, 16> settings = {{
    {"mus_volume=", [](const char* p, const char* e) { set_volume(&music_volume, num(p, e)); }},
    {"sfx_volume=", [](const char* p, const char* e) { set_volume(&sound_volume, num(p, e)); }},
    {"gfx_scheme=",
     [](const char* p, const char* e) {
         int v = num(p, e);
         gfx_scheme = (v >= 0 && v < THEME_COUNT) ? v : 0;  // the first theme, as the theme loader would
     }},
    {"last_pw=", copy_password},
    {"mpFlagsOVERSAMPLING=", [](const char* p, const char* e) { set_flag(0x01, num(p, e)); }},
    {"mpFlagsNOISE_REDUCTION=", [](const char* p, const char* e) { set_flag(0x02, num(p, e)); }},
    {"mpFlagsREVERB=", [](const char* p, const char* e) { set_flag(0x04, num(p, e)); }},
    {"mpFlagsMEGABASS=", [](const char* p, const char* e) { set_flag(0x08, num(p, e)); }},
    {"mpFlagsSURROUND=", [](const char* p, const char* e) { set_flag(0x10, num(p, e)); }},
    {"mpResamplingMode=",
     [](const char* p, const char* e) {
         int v = num(p, e);
         mpResamplingMode = (v >= 0 && v <= 3) ? v : MP_RESAMPLING_DEFAULT;
     }},
    {"mpReverbDepth=", [](const char* p, const char* e) { mpReverbDepth = clamp(num(p, e), 0, 100); }},
    {"mpReverbDelay=", [](const char* p, const char* e) { mpReverbDelay = clamp(num(p, e), 40, 200); }},
    {"mpBassAmount=", [](const char* p, const char* e) { mpBassAmount = clamp(num(p, e), 0, 100); }},
    {"mpBassRange=", [](const char* p, const char* e) { mpBassRange = clamp(num(p, e), 10, 100); }},
    {"mpSurroundDepth=", [](const char* p, const char* e) { mpSurroundDepth = clamp(num(p, e), 0, 100); }},
    {"mpSurroundDelay=", [](const char* p, const char* e) { mpSurroundDelay = clamp(num(p, e), 5, 40); }},
}};

void read_settings(const config_text& t)
{
    const char* end = t.data + t.len;
    for (size_t pos = 0; pos < t.len; pos++) {
        for (const setting& s : settings) {
            if (key_at(t, pos, s.key)) {
                s.apply(t.data + pos + s.key.size(), end);
                break;
            }
        }
    }
}

// The 29 lines; false as soon as one cannot be written.
bool write_lines(FILE* f)
{
    const auto ok = [](int written) { return written >= 0; };
    bool good = ok(fprintf(f, "mus_volume=%d\n", music_volume)) && ok(fprintf(f, "sfx_volume=%d\n", sound_volume)) &&
                ok(fprintf(f, "gfx_scheme=%d\n", gfx_scheme)) && ok(fprintf(f, "last_pw=%s\n", last_pw));
    const char* const j_names[CONTROL_COUNT] = {"j_pause", "j_action", "j_up", "j_down", "j_left", "j_right"};
    const int order[CONTROL_COUNT] = {CONTROL_PAUSE, CONTROL_ACTION, CONTROL_UP,
                                      CONTROL_DOWN,  CONTROL_LEFT,   CONTROL_RIGHT};
    for (int i = 0; i < CONTROL_COUNT && good; i++)
        good = ok(fprintf(f, "%s=%d\n", j_names[i], static_cast<int>(joy_buttons[order[i]])));
    for (int i = 0; i < CONTROL_COUNT && good; i++)
        good = ok(dumpKey(control_names[order[i]], key_buttons[order[i]], f));
    return good && ok(fprintf(f, "mpFlagsOVERSAMPLING=%d\n", (mpFlags & 0x01) ? 1 : 0)) &&
           ok(fprintf(f, "mpResamplingMode=%d\n", mpResamplingMode)) &&
           ok(fprintf(f, "mpFlagsNOISE_REDUCTION=%d\n", (mpFlags & 0x02) ? 1 : 0)) &&
           ok(fprintf(f, "mpFlagsREVERB=%d\n", (mpFlags & 0x04) ? 1 : 0)) &&
           ok(fprintf(f, "mpReverbDepth=%d\n", mpReverbDepth)) && ok(fprintf(f, "mpReverbDelay=%d\n", mpReverbDelay)) &&
           ok(fprintf(f, "mpFlagsMEGABASS=%d\n", (mpFlags & 0x08) ? 1 : 0)) &&
           ok(fprintf(f, "mpBassAmount=%d\n", mpBassAmount)) && ok(fprintf(f, "mpBassRange=%d\n", mpBassRange)) &&
           ok(fprintf(f, "mpFlagsSURROUND=%d\n", (mpFlags & 0x10) ? 1 : 0)) &&
           ok(fprintf(f, "mpSurroundDepth=%d\n", mpSurroundDepth)) &&
           ok(fprintf(f, "mpSurroundDelay=%d\n", mpSurroundDelay)) && ok(fprintf(f, "gfxmode=%d\n", gfx_mode()));
}

}  // namespace

void loadGfxConfig()
{
    int mode = full_screen | 8;
    config_text t = load_text();
    for (size_t pos = 0; pos < t.len; pos++) {
        if (key_at(t, pos, "gfxmode=")) {
            mode = read_number(t.data + pos + 8, t.data + t.len);
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
    for (int c = 0; c < CONTROL_COUNT; c++)
        read_control(t, c);
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

void config_reset()
{
    configFolder = nullptr;
    music_volume = MUSIC_VOLUME_DEFAULT;
    sound_volume = SOUND_VOLUME_DEFAULT;
    mpFlags = MP_FLAGS_DEFAULT;
    mpResamplingMode = MP_RESAMPLING_DEFAULT;
    mpReverbDepth = 0;
    mpReverbDelay = 0;
    mpBassAmount = 0;
    mpBassRange = 0;
    mpSurroundDepth = 0;
    mpSurroundDelay = 0;
    memcpy(last_pw, LAST_PW_DEFAULT, sizeof last_pw);
    told_too_large = false;
}
