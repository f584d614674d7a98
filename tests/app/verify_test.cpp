// zarn --verify: a shipped level's replay (the build writes one from every
// stored solution) passes; an edited, damaged or slowed one, or one whose
// level changed, is refused with one line.
#include "support/game.h"

#include "app/verify.h"

namespace {

// Runs zarn --verify on the files: its exit status and what it printed.
std::pair<int, std::string> verify(std::vector<std::string> files)
{
    std::vector<char*> args;
    for (std::string& f : files)
        args.push_back(f.data());
    testing::internal::CaptureStdout();
    int status = verify_replays(int(args.size()), args.data());
    return {status, testing::internal::GetCapturedStdout()};
}

// Writes a replay with a fresh seal, as a forger would.
void forge(const std::string& path, const replay& r)
{
    std::vector<char> text(REPLAY_TEXT_MAX);
    size_t len = replay_write(r, text.data(), text.size());
    ASSERT_GT(len, 0u) << path;
    write_bytes(path, std::vector<uint8_t>(text.begin(), text.begin() + long(len)));
}

}  // namespace

TEST(Verify, AShippedReplayPassesAndEveryEditDamageOrChangedLevelIsRefusedWithOneLine)
{
    const std::string shipped = std::filesystem::canonical("data/../replays/zarn-005.zrp");  // the build's
    std::vector<uint8_t> bytes = read_bytes(shipped);
    std::string text(bytes.begin(), bytes.end());
    auto r = std::make_unique<replay>();
    char why[96];
    ASSERT_TRUE(replay_read(text.data(), text.size(), *r, why, sizeof why)) << why;
    auto [status, said] = verify({shipped});
    EXPECT_EQ(status, 0) << said;
    EXPECT_EQ(said, shipped + ": normal level 5: won, " + std::to_string(r->time_left) + " s left, " +
                        std::to_string(r->steps) + " steps: matches its claim\n");

    auto edited = std::make_unique<replay>(*r);  // the first move the other way
    edited->runs[0].word = static_cast<uint16_t>(edited->runs[0].word == CTRL_LEFT ? CTRL_RIGHT : CTRL_LEFT);
    forge("move.zrp", *edited);
    *edited = *r;  // a frame less before the second move: it is held while the first step goes on
    edited->runs[1].count--;
    edited->frames--;
    forge("frame.zrp", *edited);
    *edited = *r;
    edited->time_left++;
    forge("claim.zrp", *edited);
    *edited = *r;  // every other second dropped
    for (int i = 0; i < edited->tick_count; i++)
        edited->ticks[i / 2] = edited->ticks[i];
    edited->tick_count = (edited->tick_count + 1) / 2;
    forge("slow.zrp", *edited);
    std::string by_hand = text;
    by_hand.replace(by_hand.find(" 4. "), 4, " 3. ");
    const std::string frames = "frames " + std::to_string(r->frames);
    by_hand.replace(by_hand.find(frames), frames.size(), "frames " + std::to_string(r->frames - 1));
    write_bytes("hand.zrp", std::vector<uint8_t>(by_hand.begin(), by_hand.end()));
    write_bytes("cut.zrp", std::vector<uint8_t>(bytes.begin(), bytes.begin() + long(bytes.size() / 2)));
    write_bytes("binary.zrp", {'z', 'a', 0, 0xff, '\n'});
    std::tie(status, said) = verify({"move.zrp", "frame.zrp", "claim.zrp", "slow.zrp", "hand.zrp", "cut.zrp",
                                     "binary.zrp", "missing.zrp", shipped});
    EXPECT_EQ(status, 1);
    std::istringstream lines(said);
    std::string line;
    for (const char* expected : {"refused", "refused", "does not match its claim (won", "clock ticks slower",
                                 "edited by hand", "refused: line", "refused: line 1: a byte", "no such file",
                                 "matches its claim"})
        EXPECT_TRUE(std::getline(lines, line) && line.find(expected) != std::string::npos) << expected << ": " << line;
    EXPECT_FALSE(std::getline(lines, line)) << "one line a file";

    enter_level_folder({{5, "So#"}});  // level 5 is another level now
    std::tie(status, said) = verify({shipped});
    EXPECT_EQ(chdir(scratch_dir().c_str()), 0);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(said, shipped + ": refused: normal level 5 has changed since the run\n");
}
