// Replays in play: a won attempt through the play loop is kept, verifies and
// sets the records; from the level's start screen R watches it frame for
// frame as it was played; its ghost stands where it stood.
#include "play_screen.h"

#include "app/verify.h"
#include "core/replays.h"
#include "screens/ghost.h"

namespace {

constexpr int LABEL_X = 8, LABEL_Y = 28, LABEL_W = 6 * 16, LABEL_H = 16;  // "REPLAY" on the top bar

// A hash of the picture on screen but for the word the watching blinks.
uint64_t frame_hash()
{
    uint64_t h = 1469598103934665603ull;
    for (int y = 0; y < 240; y++)
        for (int x = 0; x < 320; x++)
            if (y < LABEL_Y || y >= LABEL_Y + LABEL_H || x < LABEL_X || x >= LABEL_X + LABEL_W)
                h = (h ^ pixel16(screen, x, y)) * 1099511628211ull;
    return h;
}

// A fresh game at level 3, the sky drawn by the same numbers, unscrolled,
// the clock at the same time.
void level_three()
{
    field_reset();
    sys_set_clock(100000);
    state_reset();
    maxmap = 48;
    curr_map = 3;
    Player.lives = 3;
    Player.perfect = 1;
    quit_zarn = 0;
    init_maps(3, 0);
    srand(7);
}

// The start screen shows line ending at the right edge of row y.
bool start_shows(int y, const std::string& line)
{
    return drawn_already([&](SDL_Surface* s) { put_text1(s, 316 - 8 * int(line.size() - 1), y, line.c_str()); });
}

bool in_play(const char* screen_name)
{
    return std::string(running_screen()) == screen_name;
}

using Replays = screen_test;

}  // namespace

TEST_F(Replays, AWinIsKeptVerifiedSetsTheRecordAndIsWatchedFrameForFrameWithItsGhostBeside)
{
    ASSERT_EQ(system("rm -rf replays zarn.rec"), 0);
    note_level_won(3, 0, 1, 999);  // a record from before replays
    char moves[SOLUTION_MAX + 1];
    ASSERT_GT(load_solution(3, 0, moves, sizeof moves), 0u);
    level_three();
    std::vector<uint64_t> played;
    std::vector<std::tuple<int, int, int>> stood;  // the sprite after each frame of play shown
    bool marked = false;
    play_moves(moves, 90, [&](int frame) {
        if (frame == 1)
            marked = start_shows(8, "BEST 1 S* / 999 STEPS*~") && start_shows(20, "* NOT PROVED BY A REPLAY~");
        if (in_play("engine")) {
            played.push_back(frame_hash());
            stood.emplace_back(px, py, dir);
        }
    });
    ASSERT_EQ(engine_outcome, PLAY_WON);
    EXPECT_TRUE(marked);

    // Kept for both figures it beat and as the last win; each verifies.
    std::vector<uint8_t> kept = read_bytes("replays/zarn-003-time.zrp");
    EXPECT_EQ(read_bytes("replays/zarn-003-steps.zrp"), kept);
    EXPECT_EQ(read_bytes("replays/zarn-003-last.zrp"), kept);
    auto r = std::make_unique<replay>();
    char why[96];
    ASSERT_TRUE(replay_read(reinterpret_cast<const char*>(kept.data()), kept.size(), *r, why, sizeof why)) << why;
    char file[] = "replays/zarn-003-time.zrp";
    char* files[] = {file};
    closeArchives();  // the command opens them, as the program of its own it is
    testing::internal::CaptureStdout();
    int status = verify_replays(1, files);
    std::string said = testing::internal::GetCapturedStdout();
    EXPECT_EQ(status, 0) << said;
    openArchives();
    const level_record* rec = level_record_of(3, 0);
    ASSERT_NE(rec, nullptr);
    EXPECT_EQ(std::make_pair(rec->time_left, rec->steps), std::make_pair(MapData.time_left, r->steps));
    const std::string best = "BEST " + std::to_string(rec->time_left) + " S / " + std::to_string(rec->steps) + " STEPS~";

    // R on the start screen watches it: the frames played come again.
    level_three();
    std::vector<uint64_t> watched;
    bool offered = false;
    run_script(script("2 press R\n"), engine, [&](int frame) {
        if (frame == 1)
            offered = start_shows(8, best) && start_shows(32, "R: WATCH THE BEST RUN~");
        if (in_play("watch"))
            watched.push_back(frame_hash());
        else if (!watched.empty())
            push_quit();  // the start screen is back
    });
    EXPECT_TRUE(offered);
    ASSERT_EQ(watched.size(), played.size() + 1 + 30) << "every frame of play, then a second";
    EXPECT_TRUE(std::equal(played.begin(), played.end(), watched.begin()));

    // G in play shows the ghost: to a player standing still at the start, the
    // frame is the one without it with the ghost drawn where, and as, the run
    // stood at that frame, under the player. zarn.cfg keeps it on.
    auto stand = [](const std::string& keys) {
        level_three();
        std::vector<std::vector<uint16_t>> frames;
        run_script(script("1 press RETURN\n" + keys + "40 quit\n"), engine, [&](int) {
            if (in_play("engine"))
                frames.emplace_back(static_cast<uint16_t*>(screen->pixels),
                                    static_cast<uint16_t*>(screen->pixels) + screen->pitch / 2 * 240);
        });
        return frames;
    };
    auto frames = stand(""), ghosted = stand("2 press G\n");
    ASSERT_EQ(frames.size(), ghosted.size());
    for (size_t k = 0; k < frames.size(); k++) {
        auto [gx, gy, gdir] = k == 0 ? std::tuple{px, py, 0} : stood[k - 1];
        const SDL_PixelFormat* f = screen->format;
        SDL_Surface* expected = SDL_CreateRGBSurfaceFrom(frames[k].data(), 320, 240, 16, screen->pitch, f->Rmask,
                                                         f->Gmask, f->Bmask, 0);
        drawPic(expected, int16_t(gx), int16_t(gy), 16, 16, ghost_anim, int16_t(gdir * 16), 0, 16, 16);
        drawPic(expected, int16_t(px), int16_t(py), 16, 16, anim, 0, 0, 16, 16);
        SDL_FreeSurface(expected);
        EXPECT_TRUE(frames[k] == ghosted[k]) << "frame " << k;
    }
    ASSERT_TRUE(dumpConfig());
    std::vector<uint8_t> cfg = read_bytes("zarn.cfg");
    EXPECT_NE(std::string(cfg.begin(), cfg.end()).find("\nghost=1\n"), std::string::npos);
    remove("zarn.cfg");
}
