#include "play_screen.h"

namespace {

// 600, 500 .. 100 for P1 .. P6.
void set_table()
{
    memset(high_names, 0, sizeof high_names);
    for (int i = 0; i < HIGHSCORE_PLACES; i++) {
        high_scores[i] = 600 - 100 * i;
        snprintf(high_names[i], HIGHSCORE_NAME_BYTES, "P%d", i + 1);
    }
}

// The six names, each up to its zero byte or its seventh byte, then a '|'.
std::string table_names()
{
    std::string out;
    for (auto& slot : high_names)
        out += std::string(slot, strnlen(slot, HIGHSCORE_NAME_BYTES)) + "|";
    return out;
}

// Enters 450 (place 3) with the name entry played from the script.
std::string name_typed(const std::string& script)
{
    set_table();
    int32_t place = 0;
    EXPECT_FALSE(play([&] { place = check_highscore(450); }, script).timed_out) << script;
    EXPECT_EQ(place, 3);
    return std::string(high_names[2]);
}

using HighScores = screen_test;

}  // namespace

TEST_F(HighScores, ANewScoreGoesBelowEqualOnesTheFileRoundTripsByteForByteAndOnlyA66ByteFileIsRead)
{
    quit_zarn = 1;  // the name entry ends at once and leaves six blanks
    struct {
        int32_t score, place;
        std::vector<int32_t> after;
        const char* named;
    } cases[] = {
        {100, 0, {600, 500, 400, 300, 200, 100}, "P1|P2|P3|P4|P5|P6|"},
        {101, 6, {600, 500, 400, 300, 200, 101}, "P1|P2|P3|P4|P5|      |"},
        {400, 4, {600, 500, 400, 400, 300, 200}, "P1|P2|P3|      |P4|P5|"},
        {601, 1, {601, 600, 500, 400, 300, 200}, "      |P1|P2|P3|P4|P5|"},
    };
    for (auto& c : cases) {
        set_table();
        EXPECT_EQ(check_highscore(c.score), c.place) << c.score;
        EXPECT_EQ(std::vector<int32_t>(high_scores, high_scores + HIGHSCORE_PLACES), c.after) << c.score;
        EXPECT_EQ(table_names(), c.named) << c.score;
    }

    set_table();
    high_scores[0] = 0x01020304;
    memcpy(high_names[1], "AB\0xyzw", 7);  // what lies past the zero is kept too
    write_highscores();
    std::vector<uint8_t> bytes = read_bytes("zarn.hi");
    ASSERT_EQ(bytes.size(), 66u);
    EXPECT_EQ(0, memcmp(bytes.data(), "\x04\x03\x02\x01\xF4\x01\0\0", 8));
    EXPECT_EQ(0, memcmp(&bytes[24], "P1\0\0\0\0\0AB\0xyzw", 14));
    set_table();
    read_highscores();
    EXPECT_EQ(high_scores[0], 0x01020304);
    EXPECT_EQ(0, memcmp(high_names[1], "AB\0xyzw", 7));

    for (size_t size : {0, 65, 67}) {
        write_bytes("zarn.hi", std::vector<uint8_t>(size, 0));
        read_highscores();
        EXPECT_EQ(high_scores[0], 0x01020304) << size << " bytes";
    }
    remove_highscores();
    struct stat st;
    EXPECT_NE(lstat("zarn.hi", &st), 0);
    EXPECT_EQ(high_scores[0], 0x01020304);

    // A name without its zero byte is cut at six, and written back with one.
    std::vector<uint8_t> letters(66, 'A');
    memcpy(&letters[24 + 7], "XY\0junk", 7);
    write_bytes("zarn.hi", letters);
    read_highscores();
    EXPECT_EQ(high_scores[5], 0x41414141);
    EXPECT_EQ(table_names(), "AAAAAA|XY|AAAAAA|AAAAAA|AAAAAA|AAAAAA|");
    write_highscores();
    for (int slot : {0, 2, 3, 4, 5})
        letters[24 + 7 * slot + 6] = 0;
    EXPECT_EQ(read_bytes("zarn.hi"), letters);
}

TEST_F(HighScores, TheNameEntryTakesSixCharactersAndTheTableBlinksTheNewPlaceAndClosesOnAKeyOrAfter30s)
{
    EXPECT_EQ(name_typed("zarn[E]"), "ZARN  ");
    EXPECT_EQ(name_typed("ab.c-d!efgh[E]"), "ABCDEF");
    EXPECT_EQ(name_typed("[S]7[E]"), " 7    ");  // space is a blank, not a confirm
    EXPECT_EQ(name_typed("ABCDEFX[B]{<}{<}[B]{<}{<}{<}{<}[X][E]"), "BDE   ");
    EXPECT_EQ(name_typed("{v}{>}A{<}{^}{>}9{<}{v}[E]"), "09A   ");
    EXPECT_EQ(name_typed("{^!}BC{^!}[E]"), "BC    ");  // typing goes on in the input pause
    EXPECT_EQ(name_typed("ABCDEF{>}{^}G[E]"), "ABCDEF");
    EXPECT_EQ(name_typed("(117,160)[5](145,192)Z[E]"), "0 Z   ");
    EXPECT_EQ(name_typed("Q{<}[X](20,20)"), "      ");  // a click outside keeps blanks
    std::string drawn = name_typed("[E]");  // no name: one of the default names
    EXPECT_TRUE(std::any_of(std::begin(score_names), std::end(score_names),
                            [&](const char* name) { return drawn == std::string(name).substr(0, 6); }))
        << drawn;

    got_highscore = 6;
    std::string place6;  // the last line formatted in each frame
    played r = play(show_highscores, "[32](100,150)[2][<]", [&](int) { place6.append(tmp_string, 3); });
    EXPECT_EQ(r.frames, 36);
    EXPECT_EQ(scrolltextpos, 36);
    EXPECT_EQ(got_highscore, 0);
    std::string shown = "06 06 06 06 06 06 06 06 ", hidden(24, ' ');
    EXPECT_EQ(place6.substr(0, 96), shown + hidden + shown + hidden);

    got_highscore = 2;
    r = play(show_highscores, "", nullptr, 2000);
    EXPECT_GE(r.ms, 30000u);
    EXPECT_LT(r.ms, 30100u);
    EXPECT_EQ(got_highscore, 0);
}
