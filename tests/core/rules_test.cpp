// The tile rules stepped frame by frame on small fields, without a screen,
// what they set off acted on as the play loop does.
#include "support/game.h"

namespace {

class Rules : public testing::Test {
protected:
    play_state s{};
    uint32_t heard_before[SFX_COUNT];

    void SetUp() override
    {
        state_reset();
        field_reset();
        for (int i = 0; i < SFX_COUNT; i++)
            heard_before[i] = sfx_count(i);
    }

    void start(const char* level)
    {
        load_level_text(level);
        rules_start(s, game_field);
        apply_events(s);  // nothing happened yet: only the sprite is put in place
    }
    // n frames of movement and resolution with the given controls held.
    void frames(int n, int32_t held = 0)
    {
        for (int i = 0; i < n; i++) {
            rules_move(s, wanted_move(held), game_field);
            rules_resolve(s, game_field);
            apply_events(s);
        }
    }
    // One whole step (or push) in a direction, then standing frames until it settles.
    void step(int32_t wanted)
    {
        frames(1, wanted);
        while (s.move_state != 0)
            frames(1);
    }
    int count(int sfx) const { return static_cast<int>(sfx_count(sfx) - heard_before[sfx]); }
    const map_cell& at(int col, int row = 1) const { return Map[row][col]; }
    // Where the player is: "cell column,row sprite x,y move state".
    std::string player() const
    {
        return "cell " + std::to_string(s.player_col) + "," + std::to_string(s.player_row) + " sprite " +
               std::to_string(px) + "," + std::to_string(py) + " move " + std::to_string(s.move_state);
    }
    // The player's points and the fields left: "score 1 left 2".
    std::string tally() const
    {
        return "score " + std::to_string(Player.score) + " left " + std::to_string(MapData.fields_left);
    }
};

TEST_F(Rules, AStepTakesFiveFramesAndTheCellLeftGoesAtOnce)
{
    start("#Soo");
    EXPECT_EQ(player(), "cell 2,1 sprite 16,48 move 0");
    frames(1, CTRL_RIGHT);  // the step moves the sprite in the frame it starts
    EXPECT_EQ(player(), "cell 3,1 sprite 19,48 move 4");
    EXPECT_EQ(std::tie(dir, at(3).visit, s.stand_count), std::make_tuple(3, 1, 1));
    frames(3, CTRL_LEFT);  // input is not read while moving
    EXPECT_EQ(px, 28);
    frames(1);
    EXPECT_EQ(player(), "cell 3,1 sprite 32,48 move 0");

    frames(1, CTRL_RIGHT);  // leaving a field destroys it in the same frame, drawn as a destroyed field
    EXPECT_EQ(std::tie(at(3).kind, at(3).type, at(3).variant), std::make_tuple(KIND_EMPTY, 2, 3));
    EXPECT_EQ(tally(), "score 1 left 1");
    EXPECT_EQ(std::tie(dissolve[0].frame, dissolve[0].x, dissolve[0].y), std::make_tuple(1, 2, 0));
    EXPECT_EQ(count(SFX_WALK), 2);

    frames(4);  // the last field, left up: the step starts, the resolution takes it
    frames(1, CTRL_UP);
    EXPECT_EQ(player(), "cell 4,0 sprite 48,45 move 1");
    EXPECT_EQ(MapData.fields_left, 0);
}

// A mine crossed gives two points and leaves a plain field with a fresh
// count; past the cap the score stops, and everything else still happens.
TEST_F(Rules, AMineCrossedTwiceGivesTwoPointsThenOneOrStoodOnIsSpentQuietlyAndTheScoreStopsAtTheCap)
{
    start("S*#");
    step(CTRL_RIGHT);
    EXPECT_EQ(at(2).visit, 1);
    step(CTRL_RIGHT);
    EXPECT_EQ(std::tie(at(2).kind, at(2).type, at(2).visit), std::make_tuple(KIND_FIELD, 1, 0));
    EXPECT_EQ(tally(), "score 2 left 1");  // the field left behind still counts
    EXPECT_EQ(explosions[0], (2 << 16) | (1 << 8));
    step(CTRL_LEFT);
    step(CTRL_LEFT);
    EXPECT_EQ(at(2).kind, KIND_EMPTY);
    EXPECT_EQ(tally(), "score 3 left 0");
    EXPECT_EQ(count(SFX_EXPLODE), 1);

    start("Soooooooooooooooooo#\n");
    Player.score = 99999;
    for (int i = 0; i < 19; i++)
        step(CTRL_RIGHT);
    EXPECT_EQ(tally(), "score 100000 left 0");
    for (const dissolve_slot& d : dissolve)
        EXPECT_GT(d.frame, 0);

    SetUp();

    start("So");
    step(CTRL_RIGHT);
    frames(23);
    EXPECT_EQ(count(SFX_ALARM), 0);
    frames(1);  // the 24th frame of standing
    EXPECT_EQ(count(SFX_ALARM), 1);
    EXPECT_EQ(s.stand_count, 25);
    frames(25);
    EXPECT_EQ(at(2).kind, KIND_FIELD);
    frames(1);  // the 50th
    EXPECT_EQ(at(2).kind, KIND_EMPTY);
    EXPECT_EQ(tally(), "score 0 left 0");
    EXPECT_EQ(std::tie(s.stand_count, dissolve[0].frame), std::make_tuple(0, 1));
    EXPECT_EQ(count(SFX_ALARM), 1);

    start("S*#");
    step(CTRL_RIGHT);
    frames(50);
    EXPECT_EQ(std::tie(at(2).kind, at(2).visit, explosions[0]), std::make_tuple(KIND_FIELD, 0, -1));
    EXPECT_EQ(tally(), "score 0 left 1");
    EXPECT_EQ(count(SFX_EXPLODE), 0);
    step(CTRL_RIGHT);  // stepping off leaves the spent mine's field in place
    EXPECT_EQ(at(2).kind, KIND_FIELD);
    step(CTRL_LEFT);
    step(CTRL_LEFT);
    EXPECT_EQ(at(2).kind, KIND_EMPTY);
    EXPECT_EQ(Player.score, 1);
}

TEST_F(Rules, TracksRefuseSidewaysPushersChainAndIgnoreRefusalsAndTeleportersSwapThePlayerBothWays)
{
    // Row 2: a vertical track cannot be entered from the side; row 1: up onto
    // a horizontal track is refused and the frame counts as standing.
    start("o-o\n"
          "S|#\n"
          "oo#\n");
    frames(1, CTRL_RIGHT);
    EXPECT_EQ(s.move_state, 0);
    step(CTRL_DOWN);  // onto the field below
    step(CTRL_RIGHT);
    step(CTRL_UP);  // a vertical track is entered from below
    EXPECT_EQ(player(), "cell 2,2 sprite 16,64 move 0");
    frames(1, CTRL_RIGHT);  // and left only up or down
    EXPECT_EQ(s.move_state, 0);
    frames(1, CTRL_UP);  // up into a horizontal track: refused
    EXPECT_EQ(s.move_state, 0);

    start("#-\n"
          "So\n");
    step(CTRL_RIGHT);
    int before = s.stand_count;
    frames(3, CTRL_RIGHT | CTRL_UP);  // the first wanted direction is refused: nothing moves
    EXPECT_EQ(std::tie(s.player_col, s.stand_count), std::make_tuple(2, before + 3));
    frames(1, CTRL_UP | CTRL_DOWN);  // up is tried first; refused, down is not tried
    EXPECT_EQ(s.move_state, 0);
    frames(1, CTRL_DOWN);
    EXPECT_EQ(s.move_state, 2);

    SetUp();

    start("S>>|o");
    step(CTRL_RIGHT);  // onto a pusher: pushed twice, onto a vertical track from the side
    EXPECT_EQ(player(), "cell 4,1 sprite 48,48 move 0");
    EXPECT_EQ(std::make_tuple(count(SFX_BEEP3), count(SFX_WALK), s.stand_count), std::make_tuple(2, 1, 0));

    start("Svo\n"
          "..o\n"
          "..<\n"
          "..#\n");
    frames(5, CTRL_RIGHT);  // arrives on the pusher down: the push starts in that frame
    EXPECT_EQ(std::tie(s.move_state, s.player_row), std::make_tuple(2, 2));
    frames(5);  // into the hole below: the push runs like a step and stops there
    EXPECT_EQ(std::tie(s.move_state, at(2, 2).kind), std::make_tuple(0, KIND_EMPTY));

    start("S>o.\n");
    step(CTRL_RIGHT);  // a push onto a field starts the count at 0
    EXPECT_EQ(std::tie(at(3).visit, s.stand_count), std::make_tuple(1, 0));
    frames(24);
    EXPECT_EQ(count(SFX_ALARM), 0);
    frames(1);
    EXPECT_EQ(count(SFX_ALARM), 1);

    start("ST...\n"
          "....T#\n");
    step(CTRL_RIGHT);
    EXPECT_EQ(player(), "cell 5,2 sprite 64,64 move 0");
    EXPECT_EQ(count(SFX_BEEP4), 1);
    step(CTRL_RIGHT);
    step(CTRL_LEFT);  // and back again
    EXPECT_EQ(player(), "cell 2,1 sprite 16,48 move 0");

    start("STo\n");  // a lone one sends the player to the empty corner of the border: a fall
    step(CTRL_RIGHT);
    EXPECT_EQ(player(), "cell 0,0 sprite -16,32 move 0");
}

TEST_F(Rules, PointerSteeringThresholds)
{
    play_state sprite{};
    sprite.sprite_x = 96;
    sprite.sprite_y = 112;  // sprite centre (104, 120); a tie steers sideways; (128, 120) is the box's far edge
    for (auto [x, y, want] : {std::tuple{104, 120, 0}, {114, 130, 0}, {115, 120, CTRL_RIGHT}, {93, 120, CTRL_LEFT},
                              {94, 120, 0}, {104, 131, CTRL_DOWN}, {104, 109, CTRL_UP}, {116, 132, CTRL_RIGHT},
                              {92, 132, CTRL_LEFT}, {128, 120, CTRL_RIGHT}, {129, 120, 0}, {80, 96, CTRL_LEFT},
                              {79, 120, 0}, {104, 95, 0}})
        EXPECT_EQ(pointer_steer(sprite, x, y), want) << x << "," << y;
    sprite.sprite_y = 32;  // the top bar never steers
    EXPECT_EQ(pointer_steer(sprite, 104, 47), 0);
    EXPECT_EQ(pointer_steer(sprite, 104, 51), CTRL_DOWN);
}

}  // namespace
