#include "model/play.h"

#include <cstdlib>

namespace {

constexpr int32_t COUNTDOWN_SECONDS = 5;  // the clock beeps from here down

// The control bit of each move, by MOVE_ number.
constexpr int32_t DIRECTION_BITS[] = {0, CTRL_UP, CTRL_DOWN, CTRL_LEFT, CTRL_RIGHT};

}  // namespace

void play_begin(play_attempt& a, const rules_field& f)
{
    rules_start(a.player, f);
    a.second = 0;
    a.latched = 0;
    a.steps = 0;
    a.outcome = PLAY_ON;
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

int32_t pointer_steer(const play_state& s, int32_t x, int32_t y)
{
    const int32_t px = s.sprite_x, py = s.sprite_y;
    if (y <= 47 || x < px - 16 || x > px + 32 || y < py - 16 || y > py + 32)
        return 0;
    int32_t dx = x - (px + 8), dy = y - (py + 8);
    if (abs(dx) <= 10 && abs(dy) <= 10)
        return 0;
    if (abs(dy) > abs(dx))
        return dy < 0 ? CTRL_UP : CTRL_DOWN;
    return dx < 0 ? CTRL_LEFT : CTRL_RIGHT;
}

int play_frame(play_attempt& a, const rules_field& f, uint32_t ms, int32_t held, int32_t pressed)
{
    map_header& data = *f.data;
    bool ticked = false;
    int32_t second = static_cast<int32_t>(ms / 1000);
    if (second != a.second) {  // the clock loses at most one second per frame
        data.time_left--;
        ticked = data.time_left <= COUNTDOWN_SECONDS;
    }
    a.second = second;
    if (held & CTRL_WARP)
        data.fields_left = 0;
    play_state& p = a.player;
    // The newest press is kept, one direction only, until the player stands.
    if (int32_t move = wanted_move(pressed))
        a.latched = DIRECTION_BITS[move];
    int32_t wanted = MOVE_NONE;
    if (p.move_state == 0) {
        wanted = a.latched ? wanted_move(a.latched) : wanted_move(held);
        a.latched = 0;
    }
    rules_move(p, wanted, f);
    if (ticked)
        rules_record(p, EVENT_COUNTDOWN);
    rules_resolve(p, f);
    for (int i = 0; i < p.event_count; i++)
        a.steps += p.events[i].kind == EVENT_WALK;
    // The cheat may leave the count below zero; that still is a cleared level.
    if (p.move_state == 0 && f.map[p.player_row][p.player_col].kind == KIND_EMPTY)
        a.outcome = PLAY_FALL;
    else if (p.move_state == 0 && data.fields_left <= 0)
        a.outcome = PLAY_WON;
    else if (data.time_left <= 0)
        a.outcome = PLAY_TIME_UP;
    return a.outcome;
}
