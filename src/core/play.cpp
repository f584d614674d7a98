#include "core/play.h"

#include "core/field.h"
#include "core/hint.h"
#include "core/level.h"
#include "core/state.h"
#include "sound/sound.h"

namespace {

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
    play_begin(a, game_field);
    show_sprite(a.player);
    hint_reset();
    clear_animations();
}

int play_tick(play_attempt& a, const frame_input& in, uint32_t ms, void (*show)(), replay* record)
{
    if (record && record->frames == 0 && a.outcome == PLAY_ON)
        record->look = look_now();
    if (in.pressed & CTRL_HINT)
        hint_ask();
    int32_t pressed = in.directions;
    // A click beside the player is the frame's last press.
    if (int32_t steer = in.click_x != -1 ? pointer_steer(a.player, in.click_x, in.click_y) : 0)
        pressed = is_diagonal(pressed | steer) ? 0 : steer;
    animframe = (animframe + 1) & 15;
    field_scroll(a.player.sprite_dir);
    if (show)
        show();
    field_animate(true);
    if (a.outcome != PLAY_ON)
        return a.outcome;
    if (record)
        replay_record(*record, in.held, pressed, in.pressed, static_cast<int32_t>(ms / 1000) != a.second);
    play_frame(a, game_field, ms, in.held, pressed);
    apply_events(a.player);
    if (a.outcome == PLAY_ON)
        hint_frame(a, ms);
    return a.outcome;
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

replay_look look_now()
{
    return {r, offx, offy, animframe};
}

void look_set(const replay_look& look)
{
    set_backgroundpattern(look.sky);
    offx = look.scroll_x;
    offy = look.scroll_y;
    animframe = look.anim;
}
