// The tune compiler: what a score line turns into, cell by cell.
#include "support/game.h"

#include "sound/module.h"

namespace {

// modc is built beside the packer, in tools/<tool>/<tool>.
std::string modc_path()
{
    std::string p = QVAPACK_PATH;
    return p.replace(p.rfind("qvapack/qvapack"), 15, "modc/modc");
}

std::vector<uint8_t> compile(const std::string& score)
{
    write_bytes("t.score", std::vector<uint8_t>(score.begin(), score.end()));
    std::remove("t.mod");
    std::string cmd = modc_path() + " t.score t.mod 2>/dev/null";
    if (system(cmd.c_str()) != 0)
        return {};
    return read_bytes("t.mod");
}

struct Cell {
    int sample, period, effect, param;
};

Cell cell(const std::vector<uint8_t>& m, int pattern, int row, int ch)
{
    const uint8_t* c = &m[1084 + pattern * 1024 + row * 16 + ch * 4];
    return {(c[0] & 0xF0) | (c[2] >> 4), ((c[0] & 0x0F) << 8) | c[1], c[2] & 0x0F, c[3]};
}

const char* HEAD = "speed 4\ntempo 150\ninst a square vol=40\ninst b saw cycle=64 decay=0.1 sustain=0.5\n"
                   "inst k kick note=C-2\nphrase up: C-2 E-2\n";

TEST(TuneCompiler, LinesBecomeTheRightCellsAndMistakesAreRefused)
{
    std::vector<uint8_t> m = compile(std::string(HEAD) +
                                     "pattern p\n"
                                     "1 a step=16: C-2:47*2 -*2\n"
                                     "2 b step=8: $up+2 [k]x2 G-1@a . . .\n"
                                     "3 a step=32 shift=40: C-3!20 D-3\n"
                                     "pattern q rows=16\n"
                                     "1 a: C-1\n"
                                     "order p q p\n");
    ASSERT_TRUE(module_sane(m.data(), static_cast<uint32_t>(m.size()))) << "the game refuses it";
    size_t sample_bytes = 0;
    for (int i = 0; i < 31; i++)
        sample_bytes += 2u * ((m[20 + 30 * i + 22] << 8) | m[20 + 30 * i + 23]);
    EXPECT_EQ(m.size(), 1084u + 2 * 1024 + sample_bytes) << "two patterns, then the samples";
    EXPECT_EQ(m[950], 3);
    EXPECT_EQ(std::vector<uint8_t>(m.begin() + 952, m.begin() + 955), (std::vector<uint8_t>{0, 1, 0}));
    // A held arpeggio covers all 32 rows of its token; the cut comes after.
    for (int r = 0; r < 32; r++)
        EXPECT_EQ(cell(m, 0, r, 0).effect * 256 + cell(m, 0, r, 0).param, 0x47) << r;
    EXPECT_EQ(cell(m, 0, 0, 0).period, 428);
    EXPECT_EQ(cell(m, 0, 32, 0).effect, 0xC);
    EXPECT_EQ(cell(m, 0, 32, 0).param, 0);
    // Transposed phrase, repeated drum at its own note, another instrument.
    EXPECT_EQ(cell(m, 0, 0, 1).period, 381);  // D-2
    EXPECT_EQ(cell(m, 0, 8, 1).period, 302);  // F#2
    EXPECT_EQ(cell(m, 0, 16, 1).sample, 3);
    EXPECT_EQ(cell(m, 0, 24, 1).period, 428);
    EXPECT_EQ(cell(m, 0, 32, 1).sample, 1);
    EXPECT_EQ(cell(m, 0, 32, 1).period, 570);  // G-1
    // Shifted line: starts at row 40 and wraps round to row 8.
    EXPECT_EQ(cell(m, 0, 40, 2).period, 214);
    EXPECT_EQ(cell(m, 0, 40, 2).param, 20);
    EXPECT_EQ(cell(m, 0, 8, 2).period, 190);
    // The short pattern breaks after its last row.
    EXPECT_EQ(cell(m, 1, 15, 3).effect, 0xD);
    // Looped sample: loop inside the sample, unlooped: length 1.
    const uint8_t* a = &m[20], *b = &m[50], *k = &m[80];
    int a_len = (a[22] << 8) | a[23], b_len = (b[22] << 8) | b[23];
    int b_start = (b[26] << 8) | b[27], b_loop = (b[28] << 8) | b[29];
    EXPECT_EQ(a[25], 40);
    EXPECT_EQ(a_len, 1 + 16);  // two zero bytes and one 32-sample cycle
    EXPECT_EQ(b_start + b_loop, b_len);
    EXPECT_EQ(b_loop, 32);  // one 64-sample cycle
    EXPECT_EQ((k[28] << 8) | k[29], 1);

    const char* wrong[] = {
        "pattern p\n1 a step=2: C-2 D-2 E-2\norder p\n",         // a line that does not fill the pattern
        "pattern p\n1 a: $up+24\norder p\n",                     // a note above B-3
        "pattern p\n1 a: C-2:47!20\norder p\n",                  // two effects in one cell
        "inst c square deacy=1\npattern p\n1 c: C-2\norder p\n",  // a misspelt instrument key
        "pattern p\n1 a: C-2\norder p x\n",                      // an unknown pattern
        "pattern p\n1 a: C-2\norder p\ntune\norder p\n",           // two tunes that do not loop
    };
    for (const char* body : wrong)
        EXPECT_TRUE(compile(std::string(HEAD) + body).empty()) << body;
    EXPECT_FALSE(compile(std::string(HEAD) + "pattern p\n1 a: C-2\norder p\n").empty());
}

// Two endless tunes in one module: each sets its own speed and tempo on its
// first row and ends with a jump back to its loop ('|'); a last pattern
// played elsewhere too gets a copy that carries the jump. A pattern made
// like another moves its notes, not its drums. The game finds where each
// tune starts from the jumps.
TEST(TuneCompiler, EndlessTunesJumpBackToTheirLoops)
{
    std::vector<uint8_t> m = compile(std::string(HEAD) + "endless\n"
                                     "pattern i\n1 a: C-2\npattern p\n1 a: D-2\npattern q\n1 a: E-2\n"
                                     "pattern r\n1 a: F-2\n2 -: k\npattern v like=r+2\n"
                                     "order i | p q p\n"
                                     "tune\nspeed 3\ntempo 90\norder r v q\n");
    ASSERT_TRUE(module_sane(m.data(), static_cast<uint32_t>(m.size())));
    EXPECT_EQ(std::vector<uint8_t>(m.begin() + 950, m.begin() + 952 + 7),
              (std::vector<uint8_t>{7, 0, 0, 1, 2, 5, 3, 4, 6})) << "p's copy closes the first tune, q's the second";
    auto effect = [&](int pattern, int row) {
        int e = 0;
        for (int ch = 0; ch < 4; ch++)
            if (cell(m, pattern, row, ch).effect == 0xB)
                e = 0xB00 | cell(m, pattern, row, ch).param;
        return e;
    };
    EXPECT_EQ(effect(5, 63), 0xB01) << "back to the loop after the intro";
    EXPECT_EQ(effect(1, 63), 0) << "the first p plays on";
    EXPECT_EQ(effect(6, 63), 0xB04);
    EXPECT_EQ(effect(2, 63), 0) << "the first tune's q plays on";
    EXPECT_EQ(cell(m, 3, 0, 3).effect * 256 + cell(m, 3, 0, 3).param, 0xF00 + 90);
    EXPECT_EQ(cell(m, 3, 0, 2).effect * 256 + cell(m, 3, 0, 2).param, 0xF03);
    EXPECT_EQ(cell(m, 4, 0, 0).period, 285) << "F-2 up a tone: G-2";
    EXPECT_EQ(cell(m, 4, 0, 1).period, cell(m, 3, 0, 1).period) << "the drum keeps its note";
    EXPECT_EQ(module_tunes(m.data()), 2);
    EXPECT_EQ(module_tune_start(m.data(), 1), 4);
    EXPECT_EQ(module_tune_start(m.data(), 2), 0) << "counted round";
}

}  // namespace
