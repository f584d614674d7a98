// The level screen: the start screen, the play loop with its pause menu, and
// the screens that close an attempt (a fall, the time up, a won level, the
// ending, the game over with its continue question).
#include "screens/level.h"

#include "config/config.h"
#include "config/input.h"
#include "core/field.h"
#include "core/hint.h"
#include "core/level.h"
#include "core/packs.h"
#include "core/play.h"
#include "core/records.h"
#include "core/replays.h"
#include "core/state.h"
#include "model/texts.h"
#include "res/assets.h"
#include "screens/frame.h"
#include "screens/ghost.h"
#include "screens/pause.h"
#include "screens/watch.h"
#include "sound/sound.h"
#include "sys/clock.h"
#include "video/font.h"
#include "video/screen.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

const char* const OUCHWords[4] = {"OUCH", "DANG", "NOOO", "MEEH"};
const char* const WELLDONEWords[4] = {"WELL DONE", "ADMIRABLE", "EXCELLENT", "SPLENDID!"};
const char* const DONEWords[4] = {"DONE", "NICE", "WHEE", "YEAH"};
const char* const EndTexts[8] = {ENDING_TEXTS[0], ENDING_TEXTS[1], ENDING_TEXTS[2], ENDING_TEXTS[3],
                                  ENDING_TEXTS[4], ENDING_TEXTS[5], ENDING_TEXTS[6], nullptr};

namespace {

constexpr int CELL = 16;
constexpr int BLINK_MASK = 7;     // "PRESS A BUTTON" shows 8 frames, hides 8
constexpr int FALL_LAST_FRAME = 8;
constexpr int PAUSE_RESTART = 2;
constexpr int PAUSE_ABANDON = 3;
constexpr int32_t LEVEL_BONUS = 100;  // added with the seconds left for a won level
constexpr int ANSWER_X = 6;  // the continue answer, inside its slot clear of the screen's edge

// Whether the win of the attempt in play beat a record.
bool new_record;
// The steps of the attempt in play, for the records.
int32_t attempt_steps;
// The frame of play drawn, from 0: the ghost stands where the best run stood then.
int32_t play_frame_drawn;

// The start screen's lines at its top right: the record, a note when a
// figure of it is no proved replay's, the key that watches the best run.
constexpr int BEST_Y = 8, NOTE_Y = 20, WATCH_Y = 32;
constexpr const char* NOTE_TEXT = "* NOT PROVED BY A REPLAY~";

// Draws the w x h picture at (x, y) of the screen; a missing picture draws nothing.
void draw_picture(SDL_Surface* pic, int x, int y, int w, int h, int sx = 0, int sy = 0)
{
    if (pic && screen)
        drawPic(screen, x, y, w, h, pic, sx, sy, w, h);
}

void fill_black()
{
    if (screen)
        SDL_FillRect(screen, nullptr, SDL_MapRGB(screen->format, 0, 0, 0));
}

// Every screen over play runs so: its effect, then the screen over music at a
// quarter of its volume, then the music back. Returns what the screen returns.
template <typename Screen>
int32_t over_quiet_music(int sfx, Screen run)
{
    play_sfx(sfx);
    MP_VolumeMusic(music_volume >> 2);
    int32_t result = run();
    MP_VolumeMusic(music_volume);
    return result;
}

void show_message(int sfx, int mode)
{
    over_quiet_music(sfx, [mode] {
        aktion(mode);
        return 0;
    });
}

// One frame of the level in play: field, top bar, player, explosions, HUD;
// in play the best run's ghost under the player.
void draw_play_view(int32_t ghost_frame)
{
    fill_black();
    draw_map(screen);
    draw_picture(top, 0, 0, 320, 48);
    draw_ghost(screen, ghost_frame);
    draw_picture(anim, px, py, CELL, CELL, dir * CELL, 0);
    draw_explosions(screen);
    hint_draw(screen);
    show_text();
}

void draw_play()
{
    draw_play_view(play_frame_drawn);
}

// The pause menu, opened from play: PLAY_RESTART or PLAY_ABANDON when the
// attempt is to end after this frame, else PLAY_ON.
int ask_pause()
{
    int32_t choice = over_quiet_music(SFX_PAUSE, [] { return pause(); });
    int leave = PLAY_ON;
    if (choice == PAUSE_RESTART && Player.lives > 1) {
        Player.lives--;
        cont = 2;
        leave = PLAY_RESTART;
    } else if (choice == PAUSE_ABANDON) {
        leave = PLAY_ABANDON;
        Player.lives = 0;
        cont = 0;
    }
    return leave;
}

void settle_fall()
{
    Player.lives = Player.lives - 1 + Player.life_refund;
    Player.perfect = 0;
    explode_index = 0;
    show_message(SFX_EXPLODE2, MSG_FALL);
}

void settle_time_up()
{
    Player.lives = Player.lives - 1 + Player.life_refund;
    show_message(SFX_LEVEL_OVER_DIE, MSG_TIME_UP);
}

// A won level's replay is kept, and its time and steps go to the records,
// the player's own best: not when a cheat changed the clock or the fields,
// nor after a hint. Any win opens a pack's next level.
void note_record()
{
    if (!note_pack_won(curr_map, MapData.time_left, attempt_steps))
        fprintf(stderr, "zarn: level records not saved in %s: %s\n", pack_records_path(pack.name).c_str(),
                strerror(errno));
    bool own = Player.time_bonus == 0 && level_warp_activated == 0 && hint_used == 0;
    new_record = note_won_attempt(curr_map, classic_mode, MapData.time_left, attempt_steps, hint_used != 0, own);
}

void settle_won()
{
    note_record();
    if (Player.perfect == 1)
        Player.lives++;  // before the screen, so its life icons show it
    show_message(SFX_LEVEL_OVER_WIN, MSG_LEVEL_WON);
    if (quit_zarn == 1)
        return;
    add_score(MapData.time_left + hint_bonus(LEVEL_BONUS));
    if (++curr_map > maxmap)
        curr_map = 1;
}

void settle(int outcome)
{
    engine_outcome = outcome;
    switch (outcome) {
    case PLAY_FALL: settle_fall(); break;
    case PLAY_TIME_UP: settle_time_up(); break;
    case PLAY_WON: settle_won(); break;
    default: break;
    }
    if (quit_zarn == 1)
        engine_outcome = PLAY_QUIT;
}

// The level start: sprite, background, tile sheet, animations, the
// recording and the level's best runs.
void prepare_level(play_attempt& a)
{
    attempt_start(a);
    record_attempt(curr_map, classic_mode);
    read_best_replays(curr_map, classic_mode);
    setup_backgroundpattern();
    choose_tiles();
    strcpy(tmp_string_c, "YES~");
    cont = 1;
}

// Whether a message screen shows the field darkened under it.
bool over_field(int mode)
{
    return mode != MSG_LEVEL_START && mode != MSG_GAME_OVER;
}

// The field darkened under a closing screen, or the bar alone.
void draw_message_background(int mode)
{
    if (over_field(mode)) {
        draw_map(screen);
        draw_raster();
        draw_picture(top, 0, 0, 320, 48);
    } else {
        draw_picture(top, 0, 0, 320, 48);
    }
    show_text();
}

void draw_ending(bool blink)
{
    draw_picture(theme_picture(PICTURE_TITLE), 0, 0, 320, 240);
    for (int i = 0; EndTexts[i]; i++) {
        const char* line = EndTexts[i];
        if (i == 1) {
            snprintf(tmp_string, sizeof tmp_string, EndTexts[1], maxmap);
            line = tmp_string;
        }
        put_text1(screen, ENDING_CENTRE - 4 * static_cast<int>(strlen(line)), ENDING_TOP + ENDING_LINE_HEIGHT * i,
                  line);
    }
    if (blink)
        put_text(screen, ENDING_PRESS_X, ENDING_PRESS_Y, PRESS_TEXT);
}

// Where a line of the small font ending at the screen's right edge starts.
int right_aligned(const char* line)
{
    return 316 - 8 * static_cast<int>(strlen(line) - 1);
}

void draw_level_start(bool blink)
{
    draw_picture(theme_picture(PICTURE_LETSGO), 0, 0, 320, 240);
    if (blink)
        put_text(screen, 48, 208, PRESS_TEXT);
    if (playing != PLAYING_SETS) {  // a pack's level or a test: its title, no password
        put_text1(screen, 4, 8, playing == PLAYING_TRIAL ? "TEST PLAY~" : "LEVEL PACK~");
        snprintf(tmp_string, sizeof tmp_string, "%.15s~", played_title(curr_map).c_str());  // the plate holds 15
        put_text1(screen, 4, 20, tmp_string);
    } else if (curr_map >= 1 && curr_map <= PW_COUNT) {  // level 1 too: its panel is never empty
        snprintf(tmp_string, sizeof tmp_string, "%s~", pw[curr_map - 1]);
        put_text1(screen, 4, 8, "PASSWORD~");
        put_text1(screen, 4, 20, tmp_string);
    }
    if (const level_record* best = level_record_of(curr_map, classic_mode)) {
        bool time = record_proved(curr_map, classic_mode, BEST_TIME);
        bool steps = record_proved(curr_map, classic_mode, BEST_STEPS);
        snprintf(tmp_string, sizeof tmp_string, "BEST %d S%s / %d STEPS%s~", best->time_left, time ? "" : "*",
                 best->steps, steps ? "" : "*");
        put_text1(screen, right_aligned(tmp_string), BEST_Y, tmp_string);
        if (!time || !steps)
            put_text1(screen, right_aligned(NOTE_TEXT), NOTE_Y, NOTE_TEXT);
    }
    draw_best_run_offer(WATCH_Y);
}

void draw_message(int mode, int word, bool blink)
{
    switch (mode) {
    case MSG_TIME_UP:
        put_text_large(screen, 48, 120, "TIME UP");
        break;
    case MSG_FALL:
        draw_picture(tiles, px, py, CELL, CELL, explode_index * CELL, 2 * CELL);
        put_text_large(screen, 96, 120, OUCHWords[word]);
        break;
    case MSG_LEVEL_START:
        draw_level_start(blink);
        return;
    case MSG_LEVEL_WON:
        if (curr_map == maxmap) {
            draw_ending(blink);
            return;
        }
        if (Player.perfect == 1)
            put_text_large(screen, 20, 120, WELLDONEWords[word]);
        else
            put_text_large(screen, 100, 120, DONEWords[word]);
        if (new_record)
            put_text(screen, 80, 160, "NEW RECORD");
        break;
    case MSG_GAME_OVER:
        draw_picture(theme_picture(PICTURE_GAMEOVER), 0, 0, 320, 240);
        put_text(screen, 2, 192, "CONTINUE~");
        put_text1(screen, ANSWER_X, 216, tmp_string_c);
        return;
    default:
        return;
    }
    if (blink)
        put_text(screen, 48, 208, PRESS_TEXT);
}

// A message screen's frame moves on, after its picture and before its
// input: the dissolves over the field, the fall's explosion; the start screen
// keeps the level's password, the ending ends the game.
void message_tick(int mode)
{
    if (over_field(mode))
        field_animate(false);
    if (mode == MSG_FALL && explode_index < FALL_LAST_FRAME)
        explode_index++;
    if (mode == MSG_LEVEL_START && playing == PLAYING_SETS && curr_map >= 1 && curr_map <= PW_COUNT)
        memcpy(last_pw, pw[curr_map - 1], sizeof last_pw);
    if (mode == MSG_LEVEL_WON && curr_map == maxmap) {
        cont = 0;
        fin = 1;
    }
}

// Acts on the input of a message screen; true when it closes.
bool message_input(int mode, const frame_input& in)
{
    if (quit_zarn == 1)
        return true;
    const int32_t ctrl = in.pressed;
    bool close = false;
    if (in.click_x != -1 || (ctrl & CTRL_CONFIRM)) {
        if (mode == MSG_LEVEL_WON)
            Player.perfect = 1;
        close = true;
        if (Player.lives < 1 && end_game == 0) {
            end_game = 1;
            play_sfx(SFX_LEVEL_OVER_DIE);
            aktion(MSG_GAME_OVER);
        }
    }
    if (ctrl & (CTRL_UP | CTRL_LEFT)) {
        strcpy(tmp_string_c, "YES~");
        play_sfx(SFX_SELECT);
        cont = 1;
    }
    if (ctrl & (CTRL_DOWN | CTRL_RIGHT)) {
        strcpy(tmp_string_c, "NO~");
        play_sfx(SFX_SELECT);
        cont = 0;
    }
    return close;
}

}  // namespace

int engine_outcome;

void engine()
{
    play_attempt a;
    engine_outcome = PLAY_QUIT;
    if (quit_zarn == 1)
        return;
    prepare_level(a);
    aktion(MSG_LEVEL_START);
    if (quit_zarn == 1)
        return;
    screen_frame frame("engine");
    a.second = 0;
    focus_lost = 0;  // only a focus lost during play pauses it
    for (play_frame_drawn = 0;; play_frame_drawn++) {
        frame_input in = frame.read();
        int leave = PLAY_ON;
        if ((in.pressed & CTRL_CONFIRM) || focus_lost) {
            leave = ask_pause();
            focus_lost = 0;
            in.held = get_controls();  // the pause menu ran frames of its own
            in.pressed |= CTRL_PAUSE;  // as the recording notes it
        }
        if (quit_zarn == 1)
            return;
        if (in.pressed & CTRL_GHOST)
            ghost_on ^= 1;
        int outcome = play_tick(a, in, sys_ticks(), draw_play, &attempt_replay);
        attempt_steps = a.steps;
        if (outcome != PLAY_ON) {
            settle(outcome);
            return;
        }
        frame.show();
        if (leave != PLAY_ON) {
            engine_outcome = leave;
            return;
        }
    }
}

void aktion(int mode)
{
    if (quit_zarn == 1)
        return;
    int word = static_cast<int>(sys_ticks() & 3);
    strcpy(tmp_string_c, "YES~");
    cont = 1;
    screen_frame frame("aktion");
    bool blink = true;
    int blink_count = 1;
    if (over_field(mode))
        field_scroll(dir);  // the last step's scroll; the field then holds still
    for (;;) {
        draw_message_background(mode);
        draw_message(mode, word, blink);
        message_tick(mode);
        frame_input in = frame.read();
        if (mode == MSG_LEVEL_START && quit_zarn != 1 && watch_best_run(in, WATCH_Y, draw_play_screen)) {
            frame.pace_anew();
            if (quit_zarn != 1)
                continue;  // the start screen comes back
        }
        bool close = message_input(mode, in);
        if (quit_zarn == 1) {
            setup_backgroundpattern();
            return;
        }
        frame.show();
        if (close) {
            setup_backgroundpattern();
            return;
        }
        blink_count = (blink_count + 1) & BLINK_MASK;
        if (blink_count == 0)
            blink = !blink;
    }
}

void draw_play_screen()
{
    draw_play_view(-1);
}

void choose_tiles()
{
    if (classic_mode)
        tiles = classic_tiles;
    else
        tiles = curr_map > maxmap / 2 ? tiles2 : tiles1;
}
