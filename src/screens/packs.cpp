#include "screens/packs.h"

#include "config/input.h"
#include "core/packs.h"
#include "core/records.h"
#include "core/state.h"
#include "screens/frame.h"
#include "sound/sound.h"
#include "video/font.h"
#include "video/screen.h"

#include <cctype>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int LIST_X = 8, LIST_Y = 52, LINE_HEIGHT = 12, LIST_ROWS = 14;
constexpr int LINE_CHARS = 38;  // small-font characters a line holds

// The text as the small font draws it: capitals, cut to a line.
std::string shown(const std::string& text)
{
    std::string s = text.substr(0, LINE_CHARS);
    for (char& c : s)
        c = c == '~' ? '-' : static_cast<char>(toupper(static_cast<unsigned char>(c)));
    return s + "~";
}

}  // namespace

int run_list(const char* name, const char* heading, const std::string& head1, const std::string& head2,
             std::vector<list_line> lines)
{
    lines.push_back({"BACK", -1});
    const int count = static_cast<int>(lines.size());
    int selected = 0, top = 0;
    screen_frame frame(name);
    for (;;) {
        frame_input in = frame.read(LIST_Y, LIST_ROWS * LINE_HEIGHT, LINE_HEIGHT);
        if (quit_zarn == 1)
            return -1;
        bool choose = (in.pressed & CTRL_CONFIRM) != 0;
        if (in.row >= 1 && top + in.row - 1 < count) {
            choose = top + in.row - 1 == selected;  // a second click chooses
            selected = top + in.row - 1;
        }
        if (in.pressed & CTRL_UP)
            selected = (selected + count - 1) % count;
        if (in.pressed & CTRL_DOWN)
            selected = (selected + 1) % count;
        if (in.pressed & (CTRL_UP | CTRL_DOWN))
            play_sfx(SFX_SELECT);
        if (in.pressed & CTRL_LEFT)
            return -1;
        top = selected < top ? selected : selected >= top + LIST_ROWS ? selected - LIST_ROWS + 1 : top;
        SDL_FillRect(screen, nullptr, SDL_MapRGB(screen->format, 0, 0, 24));
        put_text(screen, 8, 6, heading);
        put_text1(screen, 8, 26, shown(head1).c_str());
        put_text1(screen, 8, 36, shown(head2).c_str());
        for (int i = top; i < count && i < top + LIST_ROWS; i++) {
            const int y = LIST_Y + (i - top) * LINE_HEIGHT;
            if (i == selected)
                put_text1(screen, 0, y, ">~");
            put_text1(screen, LIST_X, y, shown(lines[size_t(i)].text).c_str());
        }
        put_text1(screen, 4, 230, "UP/DOWN MOVE, ACTION CHOOSES, LEFT BACK~");
        frame.show();
        if (choose && lines[size_t(selected)].value >= 0) {
            play_sfx(SFX_SELECT);
            return lines[size_t(selected)].value;
        }
        if (choose && selected == count - 1)
            return -1;
    }
}

namespace {

// The levels of `pack`: the playable ones by number, with their records or
// a lock, and the broken ones named.
std::vector<list_line> level_lines()
{
    std::vector<list_line> lines;
    int number = 0;
    char text[96];
    for (const pack_level& lv : pack.levels) {
        if (lv.broken) {
            lines.push_back({"BROKEN " + lv.error, -1});
            continue;
        }
        number++;
        const bool open = pack_level_open(number);
        const level_record& r = pack_records[0][pack_place(number)];
        if (!open)
            snprintf(text, sizeof text, "%2d %-24.24s LOCKED", number, lv.src.title.c_str());
        else if (r.steps > 0)
            snprintf(text, sizeof text, "%2d %-24.24s %4d S", number, lv.src.title.c_str(), r.time_left);
        else
            snprintf(text, sizeof text, "%2d %.35s", number, lv.src.title.c_str());
        lines.push_back({text, open ? number : -1});
    }
    for (const std::string& note : pack.notes)
        lines.push_back({note, -1});
    return lines;
}

}  // namespace

bool choose_pack()
{
    for (;;) {
        if (quit_zarn == 1)
            return false;
        std::vector<std::string> names = packs_list();
        std::vector<list_line> lines;
        for (size_t i = 0; i < names.size(); i++)
            lines.push_back({names[i], static_cast<int>(i)});
        const std::string folder = packs_folder();
        int chosen = run_list("packs", "LEVEL PACKS", names.empty() ? "NO PACKS YET: PUT THEIR FOLDERS IN" : "THE PACKS IN", folder, lines);
        if (chosen < 0 || !pack_open(names[size_t(chosen)]))
            return false;
        std::string author = pack.author.empty() ? std::to_string(pack.levels.size()) + " LEVELS"
                                                 : "BY " + pack.author;
        int level = run_list("pack", "PACK LEVELS", pack.title, author, level_lines());
        if (level > 0) {
            pack_start(level);
            return true;
        }
    }
}
