// libFuzzer targets for every reader of outside data, in one program: the
// environment variable ZARN_FUZZ_TARGET names the one to run (scripts/fuzz.sh
// runs each in turn). Each feeds the input where a file would come in and
// checks what the game promises for any file, beyond not crashing.
#include "app/startup.h"
#include "config/config.h"
#include "config/input.h"
#include "core/field.h"
#include "core/highscores.h"
#include "core/level.h"
#include "core/play.h"
#include "core/state.h"
#include "model/levelsrc.h"
#include "model/pack.h"
#include "model/replay.h"
#include "qvapack.h"
#include "res/assets.h"
#include "res/qva.h"
#include "sound/module.h"
#include "sound/sound.h"
#include "video/screen.h"

#include <dirent.h>
#include <libmodplug/modplug.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

#define CHECK(cond) ((cond) ? (void)0 : (fprintf(stderr, "broken: %s\n", #cond), abort()))

void write_file(const char* path, const uint8_t* data, size_t size)
{
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(data), std::streamsize(size));
}

std::string read_file(const char* path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::vector<std::string> names_in(const char* folder)
{
    std::vector<std::string> names;
    if (DIR* d = opendir(folder)) {
        while (dirent* e = readdir(d))
            if (strcmp(e->d_name, ".") != 0 && strcmp(e->d_name, "..") != 0)
                names.push_back(e->d_name);
        closedir(d);
    }
    return names;
}

// The input is data/gfx.qva; no entry comes back larger than the limit.
void archive(const uint8_t* data, size_t size)
{
    write_file("data/gfx.qva", data, size);
    openArchives();
    for (uint32_t i = 0; i < qva_count[QVA_GFX]; i++) {
        std::string name = qva_header[QVA_GFX][i].name;
        size_t dot = name.rfind('.');
        uint32_t len = 0;
        void* entry = dot == std::string::npos ? nullptr
                                                : loadQVAFile(QVA_GFX, name.substr(0, dot).c_str(), &name[dot + 1], &len);
        CHECK(!entry || len <= QVA_MAX_ENTRY_BYTES);
        free(entry);
    }
    closeArchives();
}

// A level body, then moves: 'U', 'D', 'L' or 'R' hold a direction for a step,
// other bytes their low bits as controls for a frame; 1000 frames at most.
void level(const uint8_t* data, size_t size)
{
    state_reset();
    field_reset();
    memset(Map, 0, sizeof Map);
    if (!decode_level(data, size))
        return;
    derive_map();
    play_attempt a;
    attempt_start(a);
    const char* dirs = "UDLR";
    int32_t held = 0, frames = 0;
    for (uint32_t frame = 1, next = LEVEL_BYTES; frame <= 1000; frame++, frames--) {
        if (frames <= 0 && next < size) {
            const char* d = data[next] ? strchr(dirs, data[next]) : nullptr;
            held = d ? CTRL_UP << (d - dirs) : (data[next] & 0x1f) | (data[next] & 0x20 ? CTRL_WARP : 0);
            frames = d ? STEP_FRAMES : 1;
            next++;
        }
        int outcome = play_frame(a, game_field, frame * 1000 / 30, frames > 0 ? held : 0, 0);
        apply_events(a.player);
        CHECK(a.player.player_row >= 0 && a.player.player_row < MAP_ROWS && a.player.player_col >= 0 &&
              a.player.player_col < MAP_COLS);
        if (outcome != PLAY_ON)
            break;
    }
}

// zarn.cfg: values in range, 30 lines written whatever was read, and from the
// second writing on the same file (the effect delays' defaults lie outside
// their ranges, so the first reading back moves them in).
void config(const uint8_t* data, size_t size)
{
    config_reset(), input_reset(), assets_reset(), screen_reset();
    write_file("zarn.cfg", data, size);
    std::string written[3];
    for (std::string& w : written) {
        loadGfxConfig();
        loadConfig();
        CHECK(gfx_scheme >= 0 && gfx_scheme < THEME_COUNT && zoom >= 0 && zoom <= 5);
        CHECK(music_volume >= 0 && music_volume <= 100 && sound_volume >= 0 && sound_volume <= 100);
        CHECK(dumpConfig());
        w = read_file("zarn.cfg");
        CHECK(std::count(w.begin(), w.end(), '\n') == 30);
    }
    CHECK(written[1] == written[2]);
}

// zarn.hi: the table read, with a new score put in, reads back unchanged.
void highscores(const uint8_t* data, size_t size)
{
    fill_default_highscores();
    write_file("zarn.hi", data, size);
    read_highscores();
    insert_highscore(size > 1 ? data[0] | data[1] << 8 : 1000);
    int32_t scores[HIGHSCORE_PLACES];
    char names[sizeof high_names];
    memcpy(scores, high_scores, sizeof scores);
    memcpy(names, high_names, sizeof names);
    write_highscores();
    fill_default_highscores();
    read_highscores();
    CHECK(memcmp(scores, high_scores, sizeof scores) == 0 && memcmp(names, high_names, sizeof names) == 0);
}

// A BMP entry after a byte that picks its name (and so its role); a picture
// the loader takes is drawn whole and cell by cell, keyed.
void picture(const uint8_t* data, size_t size)
{
    const char* names[] = {"zarn-tiles-1", "fontbig", "fontsmall", "zarn-anim", "trans16x16", "scrbrd",
                           "zarn-texturen", "zarn-top", "zarn-title2", "qv-logo", "qv-quor", "other"};
    if (size < 1)
        return;
    SDL_Surface* pic = picture_from_bytes(data + 1, uint32_t(size - 1), names[data[0] % std::size(names)]);
    if (!pic)
        return;
    drawPic(screen, -8, 0, 320, 240, pic, 0, 0, 320, 240);
    SDL_SetColorKey(pic, SDL_SRCCOLORKEY | SDL_RLEACCEL, SDL_MapRGB(pic->format, 255, 0, 255));
    for (int y = 0; y < pic->h && y < 256; y += 16)
        drawPic(screen, 16, 232, 16, 16, pic, 0, int16_t(y), 16, 16);
    SDL_FreeSurface(pic);
}

// An effect or a module entry; a module the check lets through is rendered.
void sound(const uint8_t* data, size_t size)
{
    if (Mix_Chunk* chunk = chunk_from_bytes(data, uint32_t(size)))
        Mix_FreeChunk(chunk);
    ModPlugFile* mod = module_sane(data, uint32_t(size)) ? ModPlug_Load(data, int(size)) : nullptr;
    if (mod)  // started at one of its tunes, as a level does
        ModPlug_SeekOrder(mod, module_tune_start(data, data[950]));
    std::vector<uint8_t> out(8192);
    for (int i = 0; mod && i < 11; i++)
        ModPlug_Read(mod, out.data(), int(out.size()));
    if (mod)
        ModPlug_Unload(mod);
}

// The arguments, separated by zero bytes.
void command_line(const uint8_t* data, size_t size)
{
    std::vector<std::string> args = {"zarn"};
    std::string text(reinterpret_cast<const char*>(data), size);
    for (size_t at = 0, end; at <= text.size() && args.size() < 16; at = end + 1) {
        end = std::min(text.find('\0', at), text.size());
        args.push_back(text.substr(at, end - at));
    }
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    read_command_line(int(args.size()), argv.data());
    CHECK(zoom >= 0 && zoom <= 5);
}

// The archive for qvapack list and extract: nothing but plain regular files
// of at most 1 MiB in out/, nothing beside the working folder.
void packer(const uint8_t* data, size_t size)
{
    write_file("a.qva", data, size);
    mkdir("out", 0755);
    char prog[] = "qvapack", list[] = "list", extract[] = "extract", file[] = "a.qva", out[] = "out";
    char* list_args[] = {prog, list, file, nullptr};
    char* extract_args[] = {prog, extract, file, out, nullptr};
    qvapack_main(3, list_args);
    qvapack_main(4, extract_args);
    CHECK(names_in("..").size() == 1);
    for (const std::string& name : names_in("out")) {
        struct stat st;
        std::string path = "out/" + name;
        CHECK(lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_size <= (1 << 20));
        unlink(path.c_str());
    }
}

// A level read formats back to the same level.
void same_again(const levelsrc::level_source& src)
{
    std::string error;
    levelsrc::level_source again;
    std::vector<uint8_t> body = levelsrc::encode(src);
    CHECK(body.size() == size_t(LEVEL_BYTES) && levelsrc::parse(levelsrc::format(src), again, error, false));
    CHECK(levelsrc::encode(again) == body && again.solution == src.solution && again.title == src.title);
}

// A level source, as the compiler (a solution needed) and the game's packs
// and editor (none needed) read it.
void level_source(const uint8_t* data, size_t size)
{
    std::string error, text(reinterpret_cast<const char*>(data), size);
    levelsrc::level_source src;
    bool compiles = levelsrc::parse(text, src, error);
    CHECK(compiles != !error.empty());
    if (compiles)
        same_again(src);
    error.clear();
    if (levelsrc::parse(text, src, error, false))
        same_again(src);
    else
        CHECK(!compiles && !error.empty());
}

// A pack's folder: files apart at zero bytes, each its name, a line end and
// its text (a text of a length divisible by 7 counts as too large). At most
// PACK_LEVELS levels; a broken one says why and names its file; every other
// formats back to the same level.
void pack_folder(const uint8_t* data, size_t size)
{
    std::vector<pack_file> files;
    std::string text(reinterpret_cast<const char*>(data), size);
    for (size_t at = 0, end; at <= text.size() && files.size() < 100; at = end + 1) {
        end = std::min(text.find('\0', at), text.size());
        std::string part = text.substr(at, end - at);
        size_t line = std::min(part.find('\n'), part.size());
        std::string body = line < part.size() ? part.substr(line + 1) : "";
        files.push_back({part.substr(0, line), body, !body.empty() && body.size() % 7 == 0});
    }
    level_pack p;
    pack_read(p, "fuzz", files);
    CHECK(int(p.levels.size()) <= PACK_LEVELS && pack_playable(p) <= int(p.levels.size()) && !p.title.empty());
    for (const pack_level& l : p.levels) {
        CHECK(pack_plain_name(l.file) && l.broken == (l.error.rfind(l.file + ":", 0) == 0));
        if (!l.broken)
            same_again(l.src);
    }
}

// A replay's file: one the reader takes writes back to the same replay, and
// plays on a level of every kind of tile without leaving the field or its
// frames.
void replay_file(const uint8_t* data, size_t size)
{
    static replay r, again;
    static char text[REPLAY_TEXT_MAX];
    static level_field scratch;
    static replay_trace trace;
    char why[96] = "";
    if (!replay_read(reinterpret_cast<const char*>(data), size, r, why, sizeof why))
        return CHECK(why[0] != 0);
    size_t len = replay_write(r, text, sizeof text);
    CHECK(len > 0 && replay_read(text, len, again, why, sizeof why) && replay_seal(again) == replay_seal(r));
    levelsrc::level_source src;
    src.rows = {"So*#|-^v<>T.oooooooo", "o..oo**oooo#oo|ooo-o", "oT<>^vooo..ooooo##oo"};
    std::vector<uint8_t> body = levelsrc::encode(src);
    r.checksum = level_checksum(body.data());
    replay_result res;
    int verdict = replay_check(r, body.data(), scratch, res, &trace);
    CHECK(verdict >= REPLAY_MATCHES && verdict <= REPLAY_DIFFERS && res.frames <= r.frames);
    for (int32_t k = 0; k < trace.count && verdict > REPLAY_SLOW_CLOCK; k++)
        CHECK(trace.x[k] >= -16 && trace.x[k] < 320 + 16 && trace.y[k] >= 16 && trace.y[k] < 240 + 16);
}

const struct {
    const char* name;
    void (*run)(const uint8_t*, size_t);
} targets[] = {{"archive", archive},   {"level", level},     {"config", config},
               {"highscores", highscores}, {"picture", picture}, {"sound", sound},
               {"cmdline", command_line}, {"qvapack", packer},   {"levelc", level_source},
               {"pack", pack_folder},
               {"replay", replay_file}};
void (*chosen)(const uint8_t*, size_t);

}  // namespace

// Picks the target, works in a fresh folder (jail/work) under $ZARN_FUZZ_DIR
// (or /tmp) and brings up SDL's dummy video and audio once.
extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    const char* name = getenv("ZARN_FUZZ_TARGET");
    for (const auto& t : targets)
        if (name && strcmp(name, t.name) == 0)
            chosen = t.run;
    std::string dir = std::string(getenv("ZARN_FUZZ_DIR") ? getenv("ZARN_FUZZ_DIR") : "/tmp") + "/zarn-XXXXXX";
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    bind_settings();  // every line of zarn.cfg has its row, as at start-up
    if (!chosen || !mkdtemp(dir.data()) || chdir(dir.c_str()) != 0 || mkdir("jail", 0755) != 0 ||
        chdir("jail") != 0 || mkdir("work", 0755) != 0 || chdir("work") != 0 || mkdir("data", 0755) != 0 ||
        SDL_Init(SDL_INIT_VIDEO | SDL_INIT_AUDIO) != 0 || !(screen = SDL_SetVideoMode(320, 240, 16, 0)) ||
        Mix_OpenAudio(22050, AUDIO_S16LSB, 2, 2048) != 0 || !freopen("/dev/null", "w", stdout)) {
        fprintf(stderr, "ZARN_FUZZ_TARGET must name a target; or the scratch folder or SDL failed\n");
        abort();
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    chosen(data, size);
    return 0;
}
