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

// The dead end's first line, on the top bar's plate.
bool shows_dead_end()
{
    return drawn_already([](SDL_Surface* s) { put_text1(s, 11, 8, "NO WAY LEFT -~"); });
}

// The hint's words leave the field (every row under the top bar) as it is.
bool field_untouched_by_words()
{
    SDL_Surface* copy = SDL_ConvertSurface(screen, screen->format, SDL_SWSURFACE);
    const int32_t arrow = hint_dir;
    hint_dir = MOVE_NONE;
    hint_draw(copy);
    hint_dir = arrow;
    bool same = memcmp(static_cast<uint8_t*>(copy->pixels) + 48 * copy->pitch,
                       static_cast<uint8_t*>(screen->pixels) + 48 * screen->pitch, size_t(192) * screen->pitch) == 0;
    SDL_FreeSurface(copy);
    return same;
}

}  // namespace

TEST_F(Hint, FollowingTheArrowFromStartToEndWinsALevelForHalfTheBonus)
{
    // Grand Tour: the level of the normal set the hint's search from the
    // start works longest on.
    curr_map = 48;
    init_maps(curr_map, 0);
    int points = 0;  // a field crossed scores one, a mine three
    for (auto& row : Map)
        for (const map_cell& c : row)
            points += c.kind == KIND_FIELD ? 1 : c.kind == KIND_MINE ? 3 : 0;
    const SDLKey keys[] = {SDLK_UP, SDLK_DOWN, SDLK_LEFT, SDLK_RIGHT};
    const int dx[] = {0, 0, -16, 16}, dy[] = {-16, 16, 0, 0};
    SDLKey held = SDLK_UNKNOWN;
    int32_t arrow = MOVE_NONE;
    SDL_Rect cell = {0, 0, 0, 0};
    int asked = 0, thinking = 0, arrows_seen[4] = {}, words_on_field = 0;
    run_script(script("1 press RETURN\n"), engine, [&](int frame) {
        const bool standing = px % 16 == 0 && py % 16 == 0;  // the next frame reads the held directions
        thinking += hint_says == HINT_SAYS_THINKING;
        words_on_field += hint_says != HINT_SAYS_NOTHING && !field_untouched_by_words();
        if (held != SDLK_UNKNOWN) {  // the step began in the frame just ended, under the arrow
            SDL_Rect src = {Sint16((arrow - MOVE_UP) * 16), 0, 16, 16};
            arrows_seen[arrow - MOVE_UP] += drawn_already([&](SDL_Surface* s) {
                SDL_Rect at = cell;
                SDL_BlitSurface(hint_arrows, &src, s, &at);
            });
            hold_key(held, false);
            held = SDLK_UNKNOWN;
        } else if (MapData.fields_left == 0 || frame > 3000) {
            push_click(0, 0);  // the closing screen
        } else if (standing && hint_dir != MOVE_NONE) {
            arrow = hint_dir;  // the arrow belongs on the cell of the step it shows
            cell = {Sint16(px + dx[arrow - MOVE_UP]), Sint16(py + dy[arrow - MOVE_UP]), 0, 0};
            held = keys[arrow - MOVE_UP];
            hold_key(held, true);
        } else if (standing && !hint_asked) {
            push_key(SDLK_h);
            asked++;
        }
    });
    EXPECT_EQ(engine_outcome, PLAY_WON);
    EXPECT_GT(thinking, 1) << "the first hint takes the search some frames";
    EXPECT_GE(asked, 134) << "a hint for every move";
    EXPECT_EQ(arrows_seen[0] + arrows_seen[1] + arrows_seen[2] + arrows_seen[3], asked) << "each on its cell";
    for (int seen : arrows_seen)
        EXPECT_GT(seen, 0) << "every direction";
    EXPECT_EQ(words_on_field, 0) << "the hint's words never cover the field";
    EXPECT_EQ(Player.score, points + MapData.time_left + 50) << "half the level bonus";
}

// Once no way is left the game says so within a second, and not before.
TEST_F(Hint, ADeadEndIsAnnouncedWithinASecondOfTheLastChanceAndNotBefore)
{
    const struct {
        int level;
        const char* script;
        bool (*gone)();  // no way is left
        int lost_first, lost_last, early;
    } cases[] = {
        // The Crossing: a step right and back from the start crumbles the
        // only way to the rest.
        {3, "1 press RETURN\n2 hold RIGHT\n3 release RIGHT\n7 hold LEFT\n8 release LEFT\n61 quit\n",
         [] { return MapData.fields_left == 14; }, 7, 7, 0},
        // Keep Moving: 44 steps at the least, 20 seconds; the player stands
        // on the start until fewer steps are left in the time than the way
        // needs (the search may see it a frame early).
        {5, "1 press RETURN\n601 quit\n", [] { return hint_steps_left(MapData.time_left, sys_ticks()) < 44; },
         101, 600, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.level);
        curr_map = c.level;
        init_maps(curr_map, 0);
        sys_set_clock(250);
        quit_zarn = 0;
        int lost = -1, announced = -1, shown = -1;
        run_script(script(c.script), engine, [&](int frame) {
            lost = frame > 1 && lost < 0 && c.gone() ? frame : lost;
            announced = dead_end && announced < 0 ? frame : announced;
            shown = shown < 0 && shows_dead_end() ? frame : shown;
        });
        ASSERT_TRUE(lost >= c.lost_first && lost <= c.lost_last) << lost;
        EXPECT_GE(announced, lost - c.early) << "a way was left";
        EXPECT_GE(shown, announced);
        EXPECT_LE(shown, lost + 30);
        EXPECT_EQ(engine_outcome, PLAY_QUIT);
    }
}

TEST(HintClock, StepsLeftCountSixASecondUntilTheLastTickOfTheClock)
{
    EXPECT_EQ(hint_steps_left(10, 5000), 60);  // ten whole seconds
    EXPECT_EQ(hint_steps_left(10, 5500), 57);  // half of this one is gone
    EXPECT_EQ(hint_steps_left(1, 5999), 0);
    EXPECT_EQ(hint_steps_left(0, 5000), 0);
}
