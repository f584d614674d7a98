// The archive packer: what it packs, lists and extracts is what the game reads,
// and it refuses what the archive format cannot hold.
#include "support/game.h"

namespace {

int run(const std::string& args)
{
    std::string cmd = std::string(QVAPACK_PATH) + " " + args + " > packer.out 2>&1";
    int status = system(cmd.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::vector<uint8_t> pattern(size_t n, unsigned seed)
{
    std::vector<uint8_t> v(n);
    for (size_t i = 0; i < n; i++) {
        seed = seed * 1103515245u + 12345u;
        v[i] = static_cast<uint8_t>(i % 7 == 0 ? seed >> 16 : i);
    }
    return v;
}

}  // namespace

TEST(Packer, PacksListsAndExtractsByteIdenticalAndRefusesWhatTheFormatCannotHold)
{
    private_data data;
    write_bytes("one.bin", pattern(70000, 1));
    write_bytes("two.bin", pattern(3, 2));
    write_bytes("three.bin", {});
    ASSERT_EQ(run("create data/gfx.qva one.bin two.bin zarn-top.bmp=three.bin"), 0) << read_text("packer.out");

    ASSERT_EQ(run("list data/gfx.qva"), 0);
    std::string listing = read_text("packer.out");
    EXPECT_NE(listing.find("70000"), std::string::npos);
    EXPECT_LT(listing.find("one.bin"), listing.find("two.bin"));  // each found, in order
    EXPECT_LT(listing.find("two.bin"), listing.find("zarn-top.bmp"));

    ASSERT_EQ(system("mkdir -p out"), 0);
    ASSERT_EQ(run("extract data/gfx.qva out"), 0) << read_text("packer.out");
    EXPECT_EQ(read_bytes("out/one.bin"), pattern(70000, 1));
    EXPECT_EQ(read_bytes("out/two.bin"), pattern(3, 2));
    EXPECT_TRUE(read_bytes("out/zarn-top.bmp").empty());
    // One entry by its name, from an archive the packer did not write.
    write_qva("data/maps.qva", {{"zarn-001.zlv", pattern(3840, 9)}});
    ASSERT_EQ(run("extract data/maps.qva out zarn-001.zlv"), 0) << read_text("packer.out");
    EXPECT_EQ(read_bytes("out/zarn-001.zlv"), pattern(3840, 9));
    EXPECT_NE(run("extract data/maps.qva out zarn-002.zlv"), 0);

    // The game's reader sees the same entries.
    openArchives();
    EXPECT_EQ(archive_entry(QVA_GFX, "one", "bin"), pattern(70000, 1));
    closeArchives();

    write_bytes("x.bin", {1});
    EXPECT_NE(run("create empty.qva"), 0);
    EXPECT_NE(read_text("packer.out").find("at least one entry"), std::string::npos);

    EXPECT_NE(run("create long.qva " + std::string(32, 'a') + "=x.bin"), 0);
    EXPECT_NE(read_text("packer.out").find("1 to 31 characters"), std::string::npos);
    EXPECT_EQ(run("create ok.qva " + std::string(31, 'a') + "=x.bin"), 0);

    std::string args;
    for (int i = 0; i < 257; i++)
        args += " e" + std::to_string(i) + "=x.bin";
    EXPECT_NE(run("create many.qva" + args), 0);
    EXPECT_NE(read_text("packer.out").find("too many entries"), std::string::npos);
    args.erase(args.rfind(' '));
    EXPECT_EQ(run("create many.qva" + args), 0);
    EXPECT_EQ(read_bytes("many.qva")[3], 255);

    EXPECT_NE(run("create missing.qva no-such-file.bin"), 0);
}

// Fuzzed archives: a 61-byte one that once zero-filled 4 GiB, one whose sizes
// ran out of memory, and one whose entry "../escaped.txt" was written one
// folder up. Each is refused in one line before anything is written.
TEST(Packer, ExtractRefusesHugeSizesAndNamesThatLeaveTheFolder)
{
    const std::pair<const char*, const char*> cases[] = {
        {"qvapack_4gib.qva", "qvapack: entry big.bin is larger than 1 MiB: nothing extracted\n"},
        {"qvapack_fuzz_oom.qva", "qvapack: entry zarn-001.zlv is larger than 1 MiB: nothing extracted\n"},
        {"traversal.qva", "qvapack: entry name '../escaped.txt' is not a plain file name: nothing extracted\n"}};
    ASSERT_EQ(system("rm -rf jail && mkdir -p jail/out"), 0);
    for (const auto& [file, said] : cases) {
        write_bytes(std::string("jail/") + file, reproducer(file));
        EXPECT_EQ(run(std::string("extract jail/") + file + " jail/out"), 1) << file;
        EXPECT_EQ(read_text("packer.out"), said);
    }
    EXPECT_EQ(system("test -z \"$(ls jail/out)\" && test ! -e escaped.txt && test ! -e jail/escaped.txt"), 0);

    // Files are created fresh: an existing one, or a link planted under the
    // entry's name, is neither followed nor overwritten.
    write_bytes("jail/x.bin", {1, 2});
    ASSERT_EQ(run("create jail/a.qva jail/x.bin"), 0);
    ASSERT_EQ(symlink("../victim", "jail/out/x.bin"), 0);
    EXPECT_EQ(run("extract jail/a.qva jail/out"), 1);
    EXPECT_NE(read_text("packer.out").find("cannot create jail/out/x.bin"), std::string::npos);
    EXPECT_EQ(system("test ! -e jail/victim"), 0);
    EXPECT_NE(run("create jail/b.qva ../x.bin=jail/x.bin"), 0);
    EXPECT_NE(read_text("packer.out").find("plain file name"), std::string::npos);
}
