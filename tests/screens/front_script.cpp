#include "front_script.h"

#include "core/clock.h"
#include "core/state.h"
#include "support/boot.h"
#include "support/input_script.h"
#include "video/screen.h"

#include <cctype>
#include <vector>

namespace {

struct step {
    std::function<void()> fn;
    int64_t gate_ms;  // -1 for an input step, else the time to wait for
};

SDLKey arrow(char c)
{
    return c == '^' ? SDLK_UP : c == 'v' ? SDLK_DOWN : c == '<' ? SDLK_LEFT : SDLK_RIGHT;
}

void press(std::vector<step>& out, SDLKey key)
{
    out.push_back({[key] { push_key(key); }, -1});
}

void idle(std::vector<step>& out, int frames)
{
    for (int i = 0; i < frames; i++)
        out.push_back({[] {}, -1});
}

void bracket(std::vector<step>& out, const std::string& in)
{
    if (in[0] == '@')
        out.push_back({nullptr, std::stoll(in.substr(1))});
    else if (isdigit(static_cast<unsigned char>(in[0])))
        idle(out, std::stoi(in));
    else if (in == "E" || in == "S" || in == "B" || in == "X")
        press(out, in == "E" ? SDLK_RETURN : in == "S" ? SDLK_SPACE : in == "B" ? SDLK_BACKSPACE : SDLK_DELETE);
    else if (in == "Q")
        out.push_back({push_quit, -1});
    else
        out.push_back({[in] {
                           for (char c : in)
                               push_key(arrow(c));
                       },
                       -1});
}

void hold(std::vector<step>& out, const std::string& in)
{
    SDLKey key = arrow(in[0]);
    int frames = in.size() > 1 && in[1] != '!' ? std::stoi(in.substr(1)) : 1;
    out.push_back({[key] { hold_key(key, true); }, -1});
    idle(out, frames - 1);
    out.push_back({[key] { hold_key(key, false); }, -1});
    if (in.back() != '!')
        idle(out, 4);
}

std::vector<step> parse(const std::string& s)
{
    std::vector<step> out;
    for (size_t i = 0; i < s.size();) {
        char open = s[i];
        if (open == '[' || open == '{' || open == '(') {
            size_t close = s.find(open == '[' ? ']' : open == '{' ? '}' : ')', i);
            std::string in = s.substr(i + 1, close - i - 1);
            i = close + 1;
            if (open == '[') {
                bracket(out, in);
            } else if (open == '{') {
                hold(out, in);
            } else {
                int x = std::stoi(in), y = std::stoi(in.substr(in.find(',') + 1));
                out.push_back({[x, y] {
                                   int scale = zoom ? 2 : 1;
                                   push_click(x * scale, y * scale);
                               },
                               -1});
            }
        } else {
            press(out, static_cast<SDLKey>(tolower(static_cast<unsigned char>(open))));
            i++;
        }
    }
    return out;
}

}  // namespace

front_result front_play(const std::function<void()>& screen, const std::string& script,
                   const std::function<void()>& after_frame, int grace)
{
    std::vector<step> steps = parse(script);
    flush_events();  // what a screen that ended early left unread
    front_result result = {0, 0, false};
    size_t next = 0;
    int last_step_frame = 0;
    uint32_t start = sys_ticks();
    start_script([&](int frame) {
        if (frame > 0 && after_frame)
            after_frame();
        while (next < steps.size() && steps[next].gate_ms >= 0 &&
               sys_ticks() - start >= static_cast<uint32_t>(steps[next].gate_ms))
            next++;
        if (next < steps.size()) {
            if (steps[next].gate_ms < 0)
                steps[next++].fn();
            last_step_frame = frame;
        } else if (frame >= last_step_frame + grace && !quit_zarn) {
            result.timed_out = true;
            quit_zarn = 1;
        }
    });
    screen();
    result.frames = stop_script();
    result.ms = sys_ticks() - start;
    release_all_keys();
    return result;
}

void front_screen::SetUp()
{
    boot_game();
    flush_events();
    release_all_keys();
}

void front_screen::TearDown()
{
    stop_script();
    release_all_keys();
    shutdown_game();
    screen = nullptr;  // SDL freed it
}
