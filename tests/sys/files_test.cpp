// Saving a file whole: the old file or the new one, never a mix, never a
// file written through a link planted in the folder.
#include "support/game.h"

#include <dirent.h>
#include <sys/resource.h>

namespace {

std::string text(const std::vector<uint8_t>& bytes)
{
    return std::string(bytes.begin(), bytes.end());
}

// Names in folder that start with prefix.
std::vector<std::string> entries(const char* folder, const std::string& prefix)
{
    std::vector<std::string> found;
    if (DIR* d = opendir(folder)) {
        while (dirent* e = readdir(d))
            if (std::string(e->d_name).rfind(prefix, 0) == 0)
                found.push_back(e->d_name);
        closedir(d);
    }
    return found;
}

bool save(const char* path, const std::string& content)
{
    return sys_save_file(path, content.data(), content.size());
}

}  // namespace

TEST(SaveFile, ReplacesTheOldFileWholeAndLeavesNothingElse)
{
    ASSERT_EQ(mkdir("saves", 0700), 0);
    ASSERT_TRUE(save("saves/game.dat", "first"));
    ASSERT_TRUE(save("saves/game.dat", "second, longer"));
    EXPECT_EQ(text(read_bytes("saves/game.dat")), "second, longer");
    EXPECT_EQ(entries("saves", "game.dat"), std::vector<std::string>{"game.dat"});
    EXPECT_FALSE(save("no/such/folder/game.dat", "x"));
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

TEST(SaveFile, AFullDiskKeepsTheOldFileAndCleansUp)
{
    ASSERT_TRUE(save("full.dat", "old"));
    std::string big(64 * 1024, 'x');
    signal(SIGXFSZ, SIG_IGN);  // the write fails instead of ending the program
    rlimit was;
    getrlimit(RLIMIT_FSIZE, &was);
    rlimit small = was;
    small.rlim_cur = 4096;  // the disk is full after 4 KiB
    setrlimit(RLIMIT_FSIZE, &small);
    bool saved = save("full.dat", big);
    setrlimit(RLIMIT_FSIZE, &was);
    signal(SIGXFSZ, SIG_DFL);
    EXPECT_FALSE(saved);
    EXPECT_EQ(text(read_bytes("full.dat")), "old");
    EXPECT_EQ(entries(".", "full.dat"), std::vector<std::string>{"full.dat"});
}
