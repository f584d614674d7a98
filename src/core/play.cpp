#include "core/play.h"

#include "config/input.h"
#include "core/field.h"
#include "core/level.h"
#include "core/state.h"
#include "sound/sound.h"

#include <cstdlib>

namespace {

constexpr int32_t COUNTDOWN_SECONDS = 5;  // the clock beeps from here down

// The control bit of each move, by MOVE_ number.
constexpr int32_t DIRECTION_BITS[] = {0, CTRL_UP, CTRL_DOWN, CTRL_LEFT, CTRL_RIGHT};

// The effect each event plays, by EVENT_ number; -1 none.
constexpr int EVENT_SOUNDS[] = {SFX_WALK, SFX_BEEP3, SFX_BEEP4, SFX_ALARM, -1, SFX_EXPLODE, SFX_BEEP1};
static_assert(sizeof EVENT_SOUNDS / sizeof EVENT_SOUNDS[0] == EVENT_COUNTDOWN + 1, "one sound per event");

void show_sprite(const play_state& s)
{
    px = s.sprite_x;
    py = s.sprite_y;
    dir = s.sprite_dir;
}

}  // namespace

void attempt_start(play_attempt& a)
{
    rules_start(a.player);
    a.second = 0;
    a.latched = 0;
    show_sprite(a.player);
}

int32_t wanted_move(int32_t ctrl)
{
    if (ctrl & CTRL_UP)
        return MOVE_UP;
    if (ctrl & CTRL_DOWN)
        return MOVE_DOWN;
    if (ctrl & CTRL_LEFT)
        return MOVE_LEFT;
    if (ctrl & CTRL_RIGHT)
        return MOVE_RIGHT;
    return MOVE_NONE;
}

int32_t pointer_steer(int32_t x, int32_t y)
{
    if (y <= 47 || x < px - 16 || x > px + 32 || y < py - 16 || y > py + 32)
        return 0;
    int32_t dx = x - (px + 8), dy = y - (py + 8);
    if (abs(dx) <= 10 && abs(dy) <= 10)
        return 0;
    if (abs(dy) > abs(dx))
        return dy < 0 ? CTRL_UP : CTRL_DOWN;
    return dx < 0 ? CTRL_LEFT : CTRL_RIGHT;
}

int play_frame(play_attempt& a, uint32_t ms, int32_t held, int32_t pressed)
{
    bool ticked = false;
    int32_t second = static_cast<int32_t>(ms / 1000);
    if (second != a.second) {  // the clock loses at most one second per frame
        MapData.time_left--;
        ticked = MapData.time_left <= COUNTDOWN_SECONDS;
    }
    a.second = second;
    if (held & CTRL_WARP)
        MapData.fields_left = 0;
    play_state& p = a.player;
    // The newest press is kept, one direction only, until the player stands.
    if (int32_t move = wanted_move(pressed))
        a.latched = DIRECTION_BITS[move];
    int32_t wanted = MOVE_NONE;
    if (p.move_state == 0) {
        wanted = a.latched ? wanted_move(a.latched) : wanted_move(held);
        a.latched = 0;
    }
    rules_move(p, wanted);
    if (ticked)
        rules_record(p, EVENT_COUNTDOWN);
    rules_resolve(p);
    // The cheat may leave the count below zero; that still is a cleared level.
    if (p.move_state == 0 && Map[p.player_row][p.player_col].kind == KIND_EMPTY)
        return PLAY_FALL;
    if (p.move_state == 0 && MapData.fields_left <= 0)
        return PLAY_WON;
    if (MapData.time_left <= 0)
        return PLAY_TIME_UP;
    return PLAY_ON;
}

void apply_events(const play_state& s)
{
    for (int i = 0; i < s.event_count; i++) {
        const play_event& e = s.events[i];
        if (e.kind == EVENT_DISSOLVE)
            add_dissolve(e.col, e.row);
        else if (e.kind == EVENT_EXPLODE)
            add_explosion(e.col, e.row);
        if (EVENT_SOUNDS[e.kind] >= 0)
            play_sfx(EVENT_SOUNDS[e.kind]);
        add_score(e.points);
    }
    show_sprite(s);
}
