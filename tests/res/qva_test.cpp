#include "support/game.h"

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

TEST_F(ArchiveReader, ReadsEveryEntryOfEachArchiveByItsExactName)
{
    std::vector<qva_item> many;
    for (int i = 0; i < 256; i++)
        many.push_back({"e" + std::to_string(i) + ".wav", bytes_of(std::string(i + 1, char('a' + i % 26)))});
    write_qva("data/sfx.qva", many);
    std::string long_name = "abcdefghijklmnopqrstuvwxyz.bmpXY";  // fills the whole name field
    write_qva("data/gfx.qva", {{"zarn-tiles-1.bmp", bytes_of("tiles")},
                               {"dup.bmp", bytes_of("first")},
                               {"dup.bmp", bytes_of("second")},
                               {long_name, bytes_of("long")}});
    openArchives();
    EXPECT_EQ(qva_count[1], 256u);
    EXPECT_EQ(qva_count[2], 0u);  // no maps archive
    EXPECT_EQ(load(1, "e0", "wav"), "a");
    EXPECT_EQ(load(1, "e255", "wav"), std::string(256, char('a' + 255 % 26)));
    EXPECT_EQ(load(2, "anything", "zlv"), "<none>");
    uint32_t len = 0;
    EXPECT_EQ(load(0, "zarn-tiles-1", "bmp", &len), "tiles");
    EXPECT_EQ(len, 5u);
    EXPECT_EQ(load(0, "Zarn-tiles-1", "bmp", &len), "<none>");
    EXPECT_EQ(len, 12345u) << "a missing entry leaves the length alone";
    EXPECT_EQ(load(0, "zarn-tiles-1", "BMP"), "<none>");
    EXPECT_EQ(load(0, "dup", "bmp"), "first");
    // A stored name filling all 32 bytes counts with its first 31 characters only.
    EXPECT_EQ(std::string(qva_header[0][3].name), "abcdefghijklmnopqrstuvwxyz.bmpX");
    EXPECT_EQ(load(0, "abcdefghijklmnopqrstuvwxyz", "bmpX"), "long");
    EXPECT_EQ(load(0, "abcdefghijklmnopqrstuvwxyz", "bmpXY"), "<none>");
}

// Directory entries are 44 bytes after the 4-byte header: name (32), offset,
// stored size, size. An archive of a wrong magic is refused as if missing,
// and tried again on every load until a good file turns up.
TEST_F(ArchiveReader, DamagedEntriesYieldNothingAWrongMagicIsRetriedAndSizesBeyondTheLimitAreRefusedUnread)
{
    write_qva("data/sfx.qva", {{"ok.wav", bytes_of("fine")}, {"bad.wav", bytes_of(std::string(5000, 'z'))}});
    const auto good = read_bytes("data/sfx.qva");
    const uint32_t bad = 4 + 44, data = good[bad + 32] | good[bad + 33] << 8;
    const struct {
        const char* what;
        void (*damage)(std::vector<uint8_t>&, uint32_t data);
        const char* ok;
    } cases[] = {
        {"corrupt stream", [](auto& f, uint32_t at) { for (uint32_t i = 2; i < 8; i++) f[at + i] ^= 0x5A; }, "fine"},
        {"truncated file", [](auto& f, uint32_t) { f.resize(f.size() - 3); }, "fine"},
        {"offset far outside", [](auto& f, uint32_t) { f[bad + 35] = 0x7F; }, "fine"},
        {"size beyond the stream", [](auto& f, uint32_t) { f[bad + 36] += 1; }, "fine"},
        {"directory cut short", [](auto& f, uint32_t) { f.resize(bad + 20); }, "<none>"},
        {"wrong magic", [](auto& f, uint32_t) { f[2] = 'B'; }, "<none>"},
    };
    for (const auto& c : cases) {
        auto damaged = good;
        c.damage(damaged, data);
        write_bytes("data/sfx.qva", damaged);
        closeArchives();
        openArchives();
        EXPECT_EQ(load(1, "ok", "wav"), c.ok) << c.what;
        EXPECT_EQ(load(1, "bad", "wav"), "<none>") << c.what;
        if (strcmp(c.ok, "fine") != 0) {
            EXPECT_EQ(qva_count[1], 0u) << c.what;
        }
    }
    write_bytes("data/sfx.qva", good);
    EXPECT_EQ(load(1, "ok", "wav"), "fine") << "the good file after the wrong magic";

    closeArchives();

    // A fuzzed archive whose size fields once made the reader allocate 2-4 GB.
    write_bytes("data/maps.qva", reproducer("qva_oom_size_field.qva"));
    const uint64_t peak = peak_mapped_kib();
    openArchives();
    ASSERT_GT(qva_count[QVA_MAPS], 0u);
    for (uint32_t i = 0; i < qva_count[QVA_MAPS]; i++) {
        std::string name = qva_header[QVA_MAPS][i].name;
        if (size_t dot = name.rfind('.'); dot != std::string::npos) {
            EXPECT_LE(load(QVA_MAPS, name.substr(0, dot).c_str(), &name[dot + 1]).size(), QVA_MAX_ENTRY_BYTES);
        }
    }
    EXPECT_LT(peak_mapped_kib() - peak, 256u * 1024);
    closeArchives();
    // One byte over the limit, or more than 1032 bytes per stored byte: refused.
    std::vector<uint8_t> zeros(QVA_MAX_ENTRY_BYTES + 1, 0);
    write_qva("data/gfx.qva", {{"big.bmp", zeros}, {"fits.bmp", std::vector<uint8_t>(zeros.begin() + 1, zeros.end())}});
    auto bytes = read_bytes("data/gfx.qva");
    bytes[4 + 44 + 40] = 8;  // the second entry's stored length: 8 bytes, for 1 MiB
    bytes[4 + 44 + 41] = bytes[4 + 44 + 42] = bytes[4 + 44 + 43] = 0;
    write_bytes("data/sfx.qva", bytes);
    openArchives();
    EXPECT_EQ(load(QVA_GFX, "big", "bmp"), "<none>");
    EXPECT_EQ(load(QVA_GFX, "fits", "bmp").size(), QVA_MAX_ENTRY_BYTES);
    EXPECT_EQ(load(QVA_SFX, "fits", "bmp"), "<none>");
}

TEST(LooseFiles, WholeFilesAreReadAndOnlyPlainOnesOfAtMostTheLimit)
{
    write_bytes("empty.bin", {});
    uint32_t len = 77;
    EXPECT_EQ(loadBINFile("empty.bin", &len), nullptr);
    EXPECT_EQ(loadBINFile("no-such-file.bin", &len), nullptr);
    EXPECT_EQ(len, 77u);
    write_bytes("three.bin", {1, 2, 3});
    auto* buf = static_cast<uint8_t*>(loadBINFile("three.bin", &len));
    ASSERT_NE(buf, nullptr);
    EXPECT_EQ(len * 10 + buf[2], 33u);
    free(buf);
    free(loadBINFile("three.bin", nullptr));  // the length is optional

    // A file larger than any of ours is not read: no gigabytes allocated.
    // (A folder or a FIFO: Readers.OnlyRegularFilesAreReadNeverWaitedOn.)
    const uint64_t peak = peak_mapped_kib();
    write_bytes("large.bin", std::vector<uint8_t>(LOOSE_FILE_MAX_BYTES + 1, 7));
    EXPECT_EQ(loadBINFile("large.bin", &len), nullptr);
    EXPECT_LT(peak_mapped_kib() - peak, 256u * 1024);
    EXPECT_EQ(len, 3u);
}
