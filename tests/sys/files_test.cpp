// Saving a file whole: the old file or the new one, never a mix, never a
// file written through a link planted in the folder.
#include "support/game.h"

#include <sys/resource.h>

namespace {

std::string text(const std::vector<uint8_t>& bytes)
{
    return std::string(bytes.begin(), bytes.end());
}

bool save(const char* path, const std::string& content)
{
    return sys_save_file(path, content.data(), content.size());
}

// Files in a folder: a save leaves no temporary file behind.
long files_in(const char* folder)
{
    return std::distance(std::filesystem::directory_iterator(folder), {});
}

}  // namespace

TEST(SaveFile, ReplacesTheOldFileWholeOrKeepsItOnAFullDiskAndLeavesNothingElse)
{
    ASSERT_EQ(mkdir("saves", 0700), 0);
    ASSERT_TRUE(save("saves/game.dat", "first"));
    ASSERT_TRUE(save("saves/game.dat", "second, longer"));
    EXPECT_EQ(text(read_bytes("saves/game.dat")), "second, longer");
    EXPECT_EQ(files_in("saves"), 1);
    EXPECT_FALSE(save("no/such/folder/game.dat", "x"));

    std::string big(64 * 1024, 'x');
    signal(SIGXFSZ, SIG_IGN);  // the write fails instead of ending the program
    rlimit was;
    getrlimit(RLIMIT_FSIZE, &was);
    rlimit small = was;
    small.rlim_cur = 4096;  // the disk is full after 4 KiB
    setrlimit(RLIMIT_FSIZE, &small);
    bool saved = save("saves/game.dat", big);
    setrlimit(RLIMIT_FSIZE, &was);
    signal(SIGXFSZ, SIG_DFL);
    EXPECT_FALSE(saved);
    EXPECT_EQ(text(read_bytes("saves/game.dat")), "second, longer");
    EXPECT_EQ(files_in("saves"), 1);
}

TEST(SaveFile, APlantedLinkIsReplacedNeverWrittenThrough)
{
    write_bytes("victim.txt", {'k', 'e', 'e', 'p'});
    for (const char* name : {"linked.dat.tmp", "linked.dat"})
        ASSERT_EQ(symlink("victim.txt", name), 0);
    ASSERT_TRUE(save("linked.dat", "mine"));
    EXPECT_EQ(text(read_bytes("victim.txt")), "keep");
    struct stat st;
    ASSERT_EQ(lstat("linked.dat", &st), 0);
    EXPECT_TRUE(S_ISREG(st.st_mode)) << "the saved file is a file of its own";
    EXPECT_EQ(text(read_bytes("linked.dat")), "mine");
}
