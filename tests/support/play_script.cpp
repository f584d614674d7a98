#include "support/play_script.h"

#include "config/input.h"
#include "core/level.h"
#include "core/play.h"
#include "core/rules.h"
#include "core/state.h"
#include "support/input_script.h"
#include "support/level_text.h"
#include "video/screen.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

struct key_name {
    const char* name;
    SDLKey key;
};

constexpr key_name KEY_NAMES[] = {
    {"UP", SDLK_UP},         {"DOWN", SDLK_DOWN},     {"LEFT", SDLK_LEFT},     {"RIGHT", SDLK_RIGHT},
    {"RETURN", SDLK_RETURN}, {"SPACE", SDLK_SPACE},   {"ESCAPE", SDLK_ESCAPE}, {"LSHIFT", SDLK_LSHIFT},
    {"RSHIFT", SDLK_RSHIFT},
};

play_result* current = nullptr;

void record_effect(int sfx)
{
    if (current)
        current->effects.emplace_back(script_frames() + 1, sfx);
}

constexpr const char* OUTCOMES[] = {"on", "fall", "won", "time_up", "restart", "abandon", "quit"};
static_assert(sizeof OUTCOMES / sizeof OUTCOMES[0] == PLAY_QUIT + 1, "a name for every outcome");

// An expectation line's value: a number, or an outcome's name.
bool expect_value(const std::string& what, const std::string& word, int& value)
{
    if (what == "outcome") {
        for (int i = 0; i <= PLAY_QUIT; i++)
            if (word == OUTCOMES[i])
                return value = i, true;
        return false;
    }
    if (what != "score" && what != "lives" && what != "curr_map" && what != "frames")
        return false;
    char* end = nullptr;
    value = static_cast<int>(strtol(word.c_str(), &end, 10));
    return !word.empty() && *end == '\0';
}

std::string upper(std::string s)
{
    for (char& c : s)
        c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    return s;
}

const char* step_word(script_step::kind k)
{
    switch (k) {
    case script_step::PRESS: return "press";
    case script_step::HOLD: return "hold";
    case script_step::RELEASE: return "release";
    case script_step::CLICK: return "click";
    case script_step::QUIT: return "quit";
    }
    return "?";
}

std::string name_of(SDLKey key)
{
    for (const key_name& k : KEY_NAMES)
        if (k.key == key)
            return k.name;
    if ((key >= SDLK_a && key <= SDLK_z) || (key >= SDLK_0 && key <= SDLK_9))
        return std::string(1, static_cast<char>(toupper(key)));
    return SDL_GetKeyName(key);
}

// Queues what the script gives for the frame.
void apply(const play_script& s, int frame)
{
    for (const script_step& st : s.steps) {
        if (st.frame != frame)
            continue;
        switch (st.what) {
        case script_step::PRESS: push_key(st.key); break;
        case script_step::HOLD: hold_key(st.key, true); break;
        case script_step::RELEASE: hold_key(st.key, false); break;
        case script_step::CLICK:  // frame position to display position
            push_click(zoom ? st.x * 2 : st.x, zoom ? st.y * 2 : st.y);
            break;
        case script_step::QUIT: push_quit(); break;
        }
    }
}

}  // namespace

int play_result::count(int sfx) const
{
    return static_cast<int>(std::count_if(effects.begin(), effects.end(),
                                          [sfx](const std::pair<int, int>& e) { return e.second == sfx; }));
}

SDLKey key_by_name(const std::string& name)
{
    std::string u = upper(name);
    for (const key_name& k : KEY_NAMES)
        if (u == k.name)
            return k.key;
    if (u.size() == 1 && isalnum(static_cast<unsigned char>(u[0])))
        return static_cast<SDLKey>(tolower(static_cast<unsigned char>(u[0])));
    for (int k = SDLK_FIRST; k < SDLK_LAST; k++)
        if (upper(SDL_GetKeyName(static_cast<SDLKey>(k))) == u)
            return static_cast<SDLKey>(k);
    return SDLK_UNKNOWN;
}

bool parse_script(const std::string& text, play_script& out, std::string* error)
{
    std::istringstream in(text);
    std::string line;
    for (int n = 1; std::getline(in, line); n++) {
        if (line.rfind("level ", 0) == 0) {
            out.level += line.substr(6) + "\n";
            continue;
        }
        std::string body = line.substr(0, line.find('#'));
        if (body.rfind("expect ", 0) == 0) {
            std::istringstream words(body.substr(7));
            std::string what, word;
            int value = 0;
            if (!(words >> what >> word) || !expect_value(what, word, value)) {
                if (error)
                    *error = "line " + std::to_string(n) + ": cannot read \"" + line + "\"";
                return false;
            }
            out.expect.emplace_back(what, value);
            continue;
        }
        std::istringstream words(body);
        script_step st{script_step::PRESS, 0, SDLK_UNKNOWN, 0, 0};
        std::string verb;
        if (!(words >> st.frame)) {
            if (body.find_first_not_of(" \t\r") == std::string::npos)
                continue;
            if (error)
                *error = "line " + std::to_string(n) + ": no frame number";
            return false;
        }
        words >> verb;
        bool ok = true;
        if (verb == "press" || verb == "hold" || verb == "release") {
            st.what = verb == "press" ? script_step::PRESS : verb == "hold" ? script_step::HOLD : script_step::RELEASE;
            std::string rest;
            std::getline(words >> std::ws, rest);
            rest.erase(rest.find_last_not_of(" \t\r") + 1);
            st.key = key_by_name(rest);
            ok = st.key != SDLK_UNKNOWN;
        } else if (verb == "click") {
            st.what = script_step::CLICK;
            ok = static_cast<bool>(words >> st.x >> st.y);
        } else if (verb == "quit") {
            st.what = script_step::QUIT;
        } else {
            ok = false;
        }
        if (!ok || st.frame < 1) {
            if (error)
                *error = "line " + std::to_string(n) + ": cannot read \"" + line + "\"";
            return false;
        }
        out.steps.push_back(st);
    }
    std::stable_sort(out.steps.begin(), out.steps.end(),
                     [](const script_step& a, const script_step& b) { return a.frame < b.frame; });
    return true;
}

bool load_script(const std::string& path, play_script& out, std::string* error)
{
    std::ifstream in(path);
    if (!in) {
        if (error)
            *error = "cannot open " + path;
        return false;
    }
    std::stringstream text;
    text << in.rdbuf();
    return parse_script(text.str(), out, error);
}

std::string format_script(const play_script& s)
{
    std::ostringstream out;
    std::istringstream rows(s.level);
    std::string row;
    while (std::getline(rows, row))
        out << "level " << row << "\n";
    for (const auto& [what, value] : s.expect)
        out << "expect " << what << " " << (what == "outcome" ? OUTCOMES[value] : std::to_string(value)) << "\n";
    for (const script_step& st : s.steps) {
        out << st.frame << " " << step_word(st.what);
        if (st.what == script_step::CLICK)
            out << " " << st.x << " " << st.y;
        else if (st.what != script_step::QUIT)
            out << " " << name_of(st.key);
        out << "\n";
    }
    return out.str();
}

bool save_script(const std::string& path, const play_script& s)
{
    std::ofstream out(path);
    out << format_script(s);
    return static_cast<bool>(out);
}

bool input_reads_keys()
{
    hold_key(SDLK_UP, true);
    bool reads = (get_controls() & CTRL_UP) != 0;
    hold_key(SDLK_UP, false);
    return reads;
}

play_result run_script(const play_script& s, const std::function<void()>& fn,
                       const std::function<void(int frame)>& observe)
{
    play_result res{};
    res.outcome = -1;
    current = &res;
    effect_hook = record_effect;
    flush_events();
    release_all_keys();
    int limit = s.frame_limit;
    start_script([&s, &res, limit, &observe](int frame) {
        if (observe && frame > 0)
            observe(frame);
        if (frame >= limit) {  // a runaway run ends here
            res.cut_off = true;
            quit_zarn = 1;
            push_quit();
            return;
        }
        apply(s, frame + 1);
    });
    fn();
    res.frames = stop_script();
    effect_hook = nullptr;
    current = nullptr;
    release_all_keys();
    flush_events();
    res.lives = Player.lives;
    res.score = Player.score;
    res.curr_map = curr_map;
    res.quit = quit_zarn == 1;
    return res;
}

play_result play_level(const std::string& level, const play_script& s)
{
    load_level_text(level.empty() ? s.level : level);
    play_result res = run_script(s, engine);
    res.outcome = engine_outcome;
    return res;
}

std::string unmet_expectations(const play_script& s, const play_result& res)
{
    std::string unmet;
    for (const auto& [what, value] : s.expect) {
        int got = what == "outcome"    ? res.outcome
                  : what == "score"    ? res.score
                  : what == "lives"    ? res.lives
                  : what == "curr_map" ? res.curr_map
                                       : res.frames;
        if (got != value) {
            unmet += "expected " + what + " " +
                     (what == "outcome" ? OUTCOMES[value] : std::to_string(value)) + ", got " +
                     (what == "outcome" && got >= 0 && got <= PLAY_QUIT ? OUTCOMES[got] : std::to_string(got)) +
                     "\n";
        }
    }
    return unmet;
}

namespace {

SDLKey move_key(char m)
{
    switch (m) {
    case 'U': return SDLK_UP;
    case 'D': return SDLK_DOWN;
    case 'L': return SDLK_LEFT;
    case 'R': return SDLK_RIGHT;
    default: return SDLK_UNKNOWN;
    }
}

// At a frame boundary: the sprite sits on a cell and no pusher moves it on,
// so the next frame reads the held directions.
bool standing()
{
    if (px % 16 != 0 || py % 16 != 0)
        return false;
    int col = px / 16 + 1, row = py / 16 - 2;
    if (col < 0 || col >= MAP_COLS || row < 0 || row >= MAP_ROWS)
        return true;
    int32_t kind = Map[row][col].kind;
    return kind < KIND_PUSH_UP || kind > KIND_PUSH_RIGHT;
}

}  // namespace

play_result play_moves(const std::string& moves, int grace)
{
    std::string todo;
    for (char m : moves)
        if (move_key(m) != SDLK_UNKNOWN)
            todo += m;
    play_result res{};
    current = &res;
    effect_hook = record_effect;
    flush_events();
    release_all_keys();
    size_t next = 0;
    SDLKey held = SDLK_UNKNOWN;
    int done_at = -1;
    start_script([&](int frame) {
        if (frame == 0) {
            push_key(SDLK_RETURN);  // the start screen
            return;
        }
        if (held != SDLK_UNKNOWN) {  // the step began in the frame just ended
            hold_key(held, false);
            held = SDLK_UNKNOWN;
        } else if (next < todo.size() && standing()) {
            held = move_key(todo[next++]);
            hold_key(held, true);
        } else if (next == todo.size()) {
            if (done_at < 0)
                done_at = frame;
            push_click(0, 0);
            if (frame - done_at > grace) {
                res.cut_off = true;
                push_quit();
            }
        }
    });
    engine();
    res.frames = stop_script();
    effect_hook = nullptr;
    current = nullptr;
    release_all_keys();
    flush_events();
    res.outcome = engine_outcome;
    res.lives = Player.lives;
    res.score = Player.score;
    res.curr_map = curr_map;
    res.quit = quit_zarn == 1;
    return res;
}

play_script script(const std::string& text)
{
    play_script s;
    std::string error;
    EXPECT_TRUE(parse_script(text, s, &error)) << error;
    return s;
}
