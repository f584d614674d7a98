// The archive packer: what it packs, lists and extracts is what the game reads,
// and it refuses what the archive format cannot hold.
#include <gtest/gtest.h>

#include "res/qva.h"
#include "support/scratch.h"

#include <cstdlib>
#include <string>

namespace {

int run(const std::string& args)
{
    std::string cmd = std::string(QVAPACK_PATH) + " " + args + " > packer.out 2>&1";
    int status = system(cmd.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string output()
{
    auto b = read_bytes("packer.out");
    return std::string(b.begin(), b.end());
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

TEST(Packer, PacksListsAndExtractsByteIdentical)
{
    private_data data;
    write_bytes("one.bin", pattern(70000, 1));
    write_bytes("two.bin", pattern(3, 2));
    write_bytes("three.bin", {});
    ASSERT_EQ(run("create data/gfx.qva one.bin two.bin zarn-top.bmp=three.bin"), 0) << output();

    ASSERT_EQ(run("list data/gfx.qva"), 0);
    std::string listing = output();
    EXPECT_NE(listing.find("one.bin"), std::string::npos);
    EXPECT_NE(listing.find("70000"), std::string::npos);
    EXPECT_LT(listing.find("one.bin"), listing.find("two.bin"));
    EXPECT_LT(listing.find("two.bin"), listing.find("zarn-top.bmp"));

    ASSERT_EQ(system("mkdir -p out"), 0);
    ASSERT_EQ(run("extract data/gfx.qva out"), 0) << output();
    EXPECT_EQ(read_bytes("out/one.bin"), pattern(70000, 1));
    EXPECT_EQ(read_bytes("out/two.bin"), pattern(3, 2));
    EXPECT_TRUE(read_bytes("out/zarn-top.bmp").empty());

    // The game's reader sees the same entries.
    openArchives();
    uint32_t len = 0;
    void* buf = loadQVAFile(QVA_GFX, "one", "bin", &len);
    ASSERT_NE(buf, nullptr);
    EXPECT_EQ(std::vector<uint8_t>(static_cast<uint8_t*>(buf), static_cast<uint8_t*>(buf) + len),
              pattern(70000, 1));
    free(buf);
    closeArchives();
}

TEST(Packer, ReadsArchivesItDidNotWrite)
{
    private_data data;
    write_qva("data/maps.qva", {{"zarn-001.zlv", pattern(3840, 9)}});
    ASSERT_EQ(system("mkdir -p out"), 0);
    ASSERT_EQ(run("extract data/maps.qva out zarn-001.zlv"), 0) << output();
    EXPECT_EQ(read_bytes("out/zarn-001.zlv"), pattern(3840, 9));
    EXPECT_NE(run("extract data/maps.qva out zarn-002.zlv"), 0);
}

TEST(Packer, RefusesWhatTheFormatCannotHold)
{
    write_bytes("x.bin", {1});
    EXPECT_NE(run("create empty.qva"), 0);
    EXPECT_NE(output().find("at least one entry"), std::string::npos);

    EXPECT_NE(run("create long.qva " + std::string(32, 'a') + "=x.bin"), 0);
    EXPECT_NE(output().find("1 to 31 characters"), std::string::npos);
    EXPECT_EQ(run("create ok.qva " + std::string(31, 'a') + "=x.bin"), 0);

    std::string args;
    for (int i = 0; i < 257; i++)
        args += " e" + std::to_string(i) + "=x.bin";
    EXPECT_NE(run("create many.qva" + args), 0);
    EXPECT_NE(output().find("too many entries"), std::string::npos);
    args.erase(args.rfind(' '));
    EXPECT_EQ(run("create many.qva" + args), 0);
    EXPECT_EQ(read_bytes("many.qva")[3], 255);

    EXPECT_NE(run("create missing.qva no-such-file.bin"), 0);
}
