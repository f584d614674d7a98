#include "support/game.h"

namespace {

// Key names, the four directions first.
constexpr const char* KEY_NAMES[] = {"UP", "DOWN", "LEFT", "RIGHT", "RETURN", "SPACE", "LSHIFT"};
constexpr SDLKey KEYS[] = {SDLK_UP, SDLK_DOWN, SDLK_LEFT, SDLK_RIGHT, SDLK_RETURN, SDLK_SPACE, SDLK_LSHIFT};

constexpr const char* OUTCOMES[] = {"on", "fall", "won", "time_up", "restart", "abandon", "quit"};
static_assert(sizeof OUTCOMES / sizeof OUTCOMES[0] == PLAY_QUIT + 1, "a name for every outcome");

SDLKey key_by_name(const std::string& name)
{
    for (size_t i = 0; i < std::size(KEY_NAMES); i++)
        if (name == KEY_NAMES[i])
            return KEYS[i];
    bool plain = name.size() == 1 && isalnum(static_cast<unsigned char>(name[0]));
    return plain ? static_cast<SDLKey>(tolower(static_cast<unsigned char>(name[0]))) : SDLK_UNKNOWN;
}

// One line of a script into out; false when it cannot be read.
bool parse_line(const std::string& line, play_script& out)
{
    std::istringstream words(line.substr(0, line.find('#')));
    std::string verb, arg;
    if (!(words >> verb))
        return true;  // blank or a comment
    int frame = atoi(verb.c_str()), x = 0, y = 0;
    std::function<void()> input;
    SDLKey key = SDLK_UNKNOWN;
    if (frame < 1 || !(words >> verb))
        return false;
    if (verb == "click" && words >> x >> y)  // frame position to display position
        input = [x, y] { push_click(zoom ? x * 2 : x, zoom ? y * 2 : y); };
    else if (verb == "quit")
        input = push_quit;
    else if (words >> arg && (key = key_by_name(arg)) != SDLK_UNKNOWN && verb == "press")
        input = [key] { push_key(key); };
    else if (key != SDLK_UNKNOWN && (verb == "hold" || verb == "release"))
        input = [key, down = verb == "hold"] { hold_key(key, down); };
    if (input)
        out.inputs.emplace(frame, input);
    return bool(input);
}

SDLKey move_key(char m)
{
    static const char moves[] = "UDLR";
    const char* at = m ? strchr(moves, m) : nullptr;
    return at ? KEYS[at - moves] : SDLK_UNKNOWN;
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

int play_result::count(int sfx) const
{
    return static_cast<int>(std::count_if(effects.begin(), effects.end(),
                                          [sfx](const std::pair<int, int>& e) { return e.second == sfx; }));
}

play_script script(const std::string& text)
{
    play_script s;
    std::istringstream in(text);
    std::string line;
    for (int n = 1; std::getline(in, line); n++)
        EXPECT_TRUE(parse_line(line, s)) << "script line " << n << ": \"" << line << "\"";
    return s;
}

play_result run_script(const play_script& s, const std::function<void()>& fn,
                       const std::function<void(int frame)>& observe)
{
    play_result res{};
    res.outcome = -1;
    uint32_t heard[SFX_COUNT];
    for (int i = 0; i < SFX_COUNT; i++)
        heard[i] = sfx_count(i);
    // Every effect the game asked for since the last note, as an effect of frame.
    auto note = [&res, &heard](int frame) {
        for (int i = 0; i < SFX_COUNT; i++)
            for (; heard[i] < sfx_count(i); heard[i]++)
                res.effects.emplace_back(frame, i);
    };
    flush_events();
    release_all_keys();
    start_script([&s, &observe, &note](int frame) {
        if (frame > 0)
            note(frame);
        if (observe && frame > 0)
            observe(frame);
        if (frame >= s.frame_limit) {  // a runaway run ends here
            quit_zarn = 1;
            push_quit();
            return;
        }
        for (auto [at, end] = s.inputs.equal_range(frame + 1); at != end; ++at)
            at->second();
    });
    fn();
    res.frames = stop_script();
    note(res.frames + 1);
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
    load_level_text(level);
    play_result res = run_script(s, engine);
    res.outcome = engine_outcome;
    return res;
}

std::string summary(const play_result& res)
{
    std::string outcome = res.outcome >= 0 && res.outcome <= PLAY_QUIT ? OUTCOMES[res.outcome] : "-";
    return outcome + " frames " + std::to_string(res.frames) + " score " + std::to_string(res.score) + " lives " +
           std::to_string(res.lives) + " level " + std::to_string(res.curr_map);
}

play_result play_moves(const std::string& moves, int grace, const std::function<void(int frame)>& observe,
                       const std::function<void()>& run)
{
    std::string todo;
    for (char m : moves)
        if (move_key(m) != SDLK_UNKNOWN)
            todo += m;
    size_t next = 0;
    SDLKey held = SDLK_UNKNOWN;
    int done_at = -1;
    play_result res = run_script(script("1 press RETURN\n"), run ? run : engine, [&](int frame) {  // the start screen
        if (observe)
            observe(frame);
        if (held != SDLK_UNKNOWN) {  // the step began in the frame just ended
            hold_key(held, false);
            held = SDLK_UNKNOWN;
        } else if (next < todo.size() && standing()) {
            held = move_key(todo[next++]);
            hold_key(held, true);
        } else if (next == todo.size()) {
            done_at = done_at < 0 ? frame : done_at;
            push_click(0, 0);
            if (frame - done_at > grace)
                push_quit();
        }
    });
    res.outcome = engine_outcome;
    return res;
}
