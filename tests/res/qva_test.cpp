#include <gtest/gtest.h>

#include "res/qva.h"
#include "support/scratch.h"

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

std::vector<uint8_t> bytes_of(const std::string& s)
{
    return std::vector<uint8_t>(s.begin(), s.end());
}

// Loads an entry as a string; "<none>" when the reader returns nothing.
std::string load(uint32_t slot, const char* name, const char* ext, uint32_t* len_out = nullptr)
{
    uint32_t len = 12345;
    void* buf = loadQVAFile(slot, name, ext, &len);
    if (len_out)
        *len_out = len;
    if (!buf)
        return "<none>";
    std::string s(static_cast<char*>(buf), len);
    free(buf);
    return s;
}

class ArchiveReader : public testing::Test {
protected:
    private_data data;
    void TearDown() override { closeArchives(); }
};

}  // namespace

TEST_F(ArchiveReader, ReadsOneAndTwoHundredFiftySixEntries)
{
    write_qva("data/gfx.qva", {{"only.bmp", bytes_of("single entry")}});
    std::vector<qva_item> many;
    for (int i = 0; i < 256; i++)
        many.push_back({"e" + std::to_string(i) + ".wav", bytes_of(std::string(i + 1, char('a' + i % 26)))});
    write_qva("data/sfx.qva", many);
    openArchives();
    EXPECT_EQ(qva_count[0], 1u);
    EXPECT_EQ(qva_count[1], 256u);
    EXPECT_EQ(qva_count[2], 0u);  // no maps archive
    EXPECT_EQ(load(0, "only", "bmp"), "single entry");
    EXPECT_EQ(load(1, "e0", "wav"), "a");
    EXPECT_EQ(load(1, "e255", "wav"), std::string(256, char('a' + 255 % 26)));
    EXPECT_EQ(load(2, "anything", "zlv"), "<none>");
}

TEST_F(ArchiveReader, NamesAreExactCaseSensitiveAndCutAt31)
{
    std::string long_name = "abcdefghijklmnopqrstuvwxyz.bmpXY";  // fills the whole name field
    write_qva("data/gfx.qva", {{"zarn-tiles-1.bmp", bytes_of("tiles")},
                               {"dup.bmp", bytes_of("first")},
                               {"dup.bmp", bytes_of("second")},
                               {long_name, bytes_of("long")}});
    openArchives();
    EXPECT_EQ(load(0, "zarn-tiles-1", "bmp"), "tiles");
    EXPECT_EQ(load(0, "Zarn-tiles-1", "bmp"), "<none>");
    EXPECT_EQ(load(0, "zarn-tiles-1", "BMP"), "<none>");
    EXPECT_EQ(load(0, "dup", "bmp"), "first");
    // A stored name filling all 32 bytes counts with its first 31 characters only.
    EXPECT_EQ(std::string(qva_header[0][3].name), "abcdefghijklmnopqrstuvwxyz.bmpX");
    EXPECT_EQ(load(0, "abcdefghijklmnopqrstuvwxyz", "bmpX"), "long");
    EXPECT_EQ(load(0, "abcdefghijklmnopqrstuvwxyz", "bmpXY"), "<none>");
}

TEST_F(ArchiveReader, MissingEntryLeavesTheLengthAlone)
{
    write_qva("data/maps.qva", {{"zarn-001.zlv", bytes_of("x")}});
    openArchives();
    uint32_t len = 0;
    EXPECT_EQ(load(2, "zarn-002", "zlv", &len), "<none>");
    EXPECT_EQ(len, 12345u);
    EXPECT_EQ(load(2, "zarn-001", "zlv", &len), "x");
    EXPECT_EQ(len, 1u);
}

TEST_F(ArchiveReader, WrongMagicIsRefusedAsIfMissing)
{
    write_qva("data/gfx.qva", {{"a.bmp", bytes_of("a")}});
    auto bytes = read_bytes("data/gfx.qva");
    bytes[2] = 'B';
    write_bytes("data/gfx.qva", bytes);
    openArchives();
    EXPECT_EQ(qva_file[0], nullptr);
    EXPECT_EQ(qva_count[0], 0u);
    EXPECT_EQ(load(0, "a", "bmp"), "<none>");
    // A slot left empty is tried again on every load: a good file found later works.
    bytes[2] = 'A';
    write_bytes("data/gfx.qva", bytes);
    EXPECT_EQ(load(0, "a", "bmp"), "a");
}

TEST_F(ArchiveReader, DamagedEntriesYieldNothing)
{
    std::string payload(5000, 'z');
    write_qva("data/sfx.qva", {{"ok.wav", bytes_of("fine")}, {"bad.wav", bytes_of(payload)}});
    auto good = read_bytes("data/sfx.qva");

    // Corrupt stream: the second entry's data is overwritten.
    auto corrupt = good;
    uint32_t off = corrupt[4 + 44 + 32] | corrupt[4 + 44 + 33] << 8;
    for (int i = 2; i < 8; i++)
        corrupt[off + i] ^= 0x5A;
    write_bytes("data/sfx.qva", corrupt);
    openArchives();
    EXPECT_EQ(load(1, "ok", "wav"), "fine");
    EXPECT_EQ(load(1, "bad", "wav"), "<none>");
    closeArchives();

    // Truncated file: the entry's data reaches past the end.
    auto cut = good;
    cut.resize(cut.size() - 3);
    write_bytes("data/sfx.qva", cut);
    openArchives();
    EXPECT_EQ(load(1, "bad", "wav"), "<none>");
    closeArchives();

    // A directory entry pointing far outside the file is never read.
    auto far = good;
    far[4 + 44 + 35] = 0x7F;
    write_bytes("data/sfx.qva", far);
    openArchives();
    EXPECT_EQ(load(1, "bad", "wav"), "<none>");
    closeArchives();

    // A stored size larger than the stream inflates to is refused too.
    auto big = good;
    big[4 + 44 + 36] += 1;
    write_bytes("data/sfx.qva", big);
    openArchives();
    EXPECT_EQ(load(1, "bad", "wav"), "<none>");
}

TEST_F(ArchiveReader, CutDirectoryLeavesTheSlotWithoutEntries)
{
    write_qva("data/gfx.qva", {{"a.bmp", bytes_of("a")}, {"b.bmp", bytes_of("b")}});
    auto bytes = read_bytes("data/gfx.qva");
    bytes.resize(4 + 44 + 20);
    write_bytes("data/gfx.qva", bytes);
    openArchives();
    EXPECT_EQ(qva_header[0], nullptr);
    EXPECT_EQ(load(0, "a", "bmp"), "<none>");
}

TEST(LooseFiles, FilenameAndWholeFileReads)
{
    EXPECT_STREQ(filename(nullptr, "zarn", "hi"), "zarn.hi");
    EXPECT_STREQ(filename("cfg", "zarn", "hi"), "cfg/zarn.hi");
    EXPECT_EQ(fname_buf, std::string("cfg/zarn.hi"));

    write_bytes("empty.bin", {});
    uint32_t len = 77;
    EXPECT_EQ(loadBINFile("empty.bin", &len), nullptr);
    EXPECT_EQ(loadBINFile("no-such-file.bin", &len), nullptr);
    EXPECT_EQ(len, 77u);

    write_bytes("three.bin", {1, 2, 3});
    auto* buf = static_cast<uint8_t*>(loadBINFile("three.bin", &len));
    ASSERT_NE(buf, nullptr);
    EXPECT_EQ(len, 3u);
    EXPECT_EQ(buf[2], 3);
    free(buf);
    EXPECT_NE((buf = static_cast<uint8_t*>(loadBINFile("three.bin", nullptr))), nullptr);
    free(buf);
}
