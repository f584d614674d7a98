// Hints and dead ends in the real play loop on shipped levels, played by
// scripts that press H and follow the arrow, on the virtual clock.
#include "support/game.h"

namespace {

class Hint : public booted_game {
protected:
    void SetUp() override
    {
        booted_game::SetUp();
        Player.lives = 3;
        Player.perfect = 1;
    }
};

bool shows_dead_end()
{
    return drawn_already([](SDL_Surface* s) { put_text1(s, 40, 228, "NO WAY LEFT - PAUSE TO RESTART"); });
}

// At a frame boundary: the player stands on a cell and the next frame reads
// the held directions.
bool standing()
{
    return px % 16 == 0 && py % 16 == 0;
}

// True when the presented frame shows the arrow of direction d (the cell of
// the arrows' sheet) on the field cell at screen position (x, y): every pixel
// of the arrow but its magenta key, by colour.
bool arrow_at(int d, int x, int y)
{
    SDL_Surface* sheet = hint_arrows;
    Uint32 key = SDL_MapRGB(sheet->format, 255, 0, 255);
    bool same = true;
    SDL_LockSurface(sheet);  // a keyed picture may be run-length encoded until locked
    for (int dy = 0; dy < 16; dy++)
        for (int dx = 0; dx < 16; dx++) {
            Uint32 a = pixel16(sheet, 16 * d + dx, dy), b = pixel16(screen, x + dx, y + dy);
            Uint8 r1, g1, b1, r2, g2, b2;
            SDL_GetRGB(a, sheet->format, &r1, &g1, &b1);
            SDL_GetRGB(b, screen->format, &r2, &g2, &b2);
            same = same && (a == key || (r1 == r2 && g1 == g2 && b1 == b2));
        }
    SDL_UnlockSurface(sheet);
    return same;
}

}  // namespace

TEST_F(Hint, FollowingTheArrowFromStartToEndWinsALevelForHalfTheBonus)
{
    // Pinwheel: the level the hint's search from the start works longest on.
    curr_map = 46;
    init_maps(curr_map, 0);
    int points = 0;  // a field crossed scores one, a mine three
    for (auto& row : Map)
        for (const map_cell& c : row)
            points += c.kind == KIND_FIELD ? 1 : c.kind == KIND_MINE ? 3 : 0;
    const SDLKey keys[] = {SDLK_UP, SDLK_DOWN, SDLK_LEFT, SDLK_RIGHT};
    const int dx[] = {0, 0, -16, 16}, dy[] = {-16, 16, 0, 0};
    SDLKey held = SDLK_UNKNOWN;
    int asked = 0, thinking = 0, arrows = 0, arrows_seen = 0, next_x = 0, next_y = 0, d = 0;
    ASSERT_NE(hint_arrows, nullptr);
    ASSERT_EQ(hint_arrows->format->BytesPerPixel, 2);
    run_script(script("1 press RETURN\n"), engine, [&](int frame) {
        thinking += hint_says == HINT_SAYS_THINKING;
        if (held != SDLK_UNKNOWN) {  // the step began in the frame just ended, under the arrow
            // The hint line covers the last row of the field.
            arrows += next_y < 224;
            arrows_seen += next_y < 224 && arrow_at(d, next_x, next_y);
            hold_key(held, false);
            held = SDLK_UNKNOWN;
        } else if (MapData.fields_left == 0 || frame > 3000) {
            push_click(0, 0);  // the closing screen
        } else if (standing() && hint_dir != MOVE_NONE) {
            d = hint_dir - MOVE_UP;  // the arrow stands on the cell the step goes to
            next_x = px + dx[d];
            next_y = py + dy[d];
            held = keys[d];
            hold_key(held, true);
        } else if (standing() && !hint_asked) {
            push_key(SDLK_h);
            asked++;
        }
    });
    EXPECT_EQ(engine_outcome, PLAY_WON);
    EXPECT_GT(thinking, 1) << "the first hint takes the search some frames";
    EXPECT_GE(asked, 78) << "a hint for every move";
    EXPECT_GE(arrows, 70);
    EXPECT_EQ(arrows_seen, arrows) << "every arrow on the cell of the step it shows";
    EXPECT_EQ(Player.score, points + MapData.time_left + 50) << "half the level bonus";
}

TEST_F(Hint, AFieldCrumbledThatTheWayNeededIsAnnouncedAtOnce)
{
    // The Crossing: a step right and back from the start crumbles the only
    // way to the rest.
    curr_map = 3;
    init_maps(curr_map, 0);
    int crumbled = -1, announced = -1, shown = -1;
    run_script(script("1 press RETURN\n2 hold RIGHT\n3 release RIGHT\n7 hold LEFT\n8 release LEFT\n61 quit\n"), engine,
               [&](int frame) {
                   crumbled = frame == 7 && MapData.fields_left == 14 ? frame : crumbled;
                   if (frame > 1 && frame < 7) {
                       EXPECT_FALSE(dead_end || shows_dead_end()) << frame;
                   }
                   announced = dead_end && announced < 0 ? frame : announced;
                   shown = shown < 0 && shows_dead_end() ? frame : shown;
               });
    ASSERT_EQ(crumbled, 7);
    EXPECT_GE(announced, crumbled);
    EXPECT_LE(shown, crumbled + 30);
    EXPECT_EQ(engine_outcome, PLAY_QUIT);
}

TEST_F(Hint, StandingTooLongIsAnnouncedWithinASecondOfTheLastChance)
{
    // Keep Moving: 79 steps at the least, 20 seconds. Stand still on the
    // start: once fewer steps are left in the time than the way needs, the
    // game must say so, and not before.
    curr_map = 5;
    init_maps(curr_map, 0);
    int too_late = -1, announced = -1;
    sys_set_clock(250);
    run_script(script("1 press RETURN\n601 quit\n"), engine, [&](int frame) {
        if (frame > 1 && too_late < 0 && hint_steps_left(MapData.time_left, sys_ticks()) < 79)
            too_late = frame;
        announced = dead_end && announced < 0 ? frame : announced;
    });
    ASSERT_GT(too_late, 100);
    EXPECT_GE(announced, too_late - 1) << "a way was left";
    EXPECT_LE(announced, too_late + 30);
}

TEST(HintClock, StepsLeftCountSixASecondUntilTheLastTickOfTheClock)
{
    EXPECT_EQ(hint_steps_left(10, 5000), 60);  // ten whole seconds
    EXPECT_EQ(hint_steps_left(10, 5500), 57);  // half of this one is gone
    EXPECT_EQ(hint_steps_left(1, 5999), 0);
    EXPECT_EQ(hint_steps_left(0, 5000), 0);
}
