// Saving a file whole: the old file or the new one, never a mix, never a
// file written through a link planted in the folder.
#include "support/game.h"

#include <fcntl.h>
#include <sys/resource.h>

namespace {

bool save(const char* path, const std::string& content)
{
    return sys_save_file(path, content.data(), content.size());
}

// Files in a folder: a save leaves no temporary file behind.
long files_in(const char* folder)
{
    return std::distance(std::filesystem::directory_iterator(folder), {});
}

// What a save did, in order: "sync file", "sync folder", "link", "rename".
std::vector<std::string> calls;
bool unnamed_refused;  // no unnamed files on this file system
bool link_refused;     // unnamed files that cannot be named (a sandbox without linkat through /proc)
sys_save_calls own;  // the system's

void watch_saves()
{
    calls.clear();
    own = sys_save_ops;
    sys_save_ops.open_unnamed = [](const char* folder) {
        return unnamed_refused ? (errno = EOPNOTSUPP, -1) : own.open_unnamed(folder);
    };
    sys_save_ops.sync = [](int fd) {
        struct stat st;
        fstat(fd, &st);
        calls.push_back(S_ISDIR(st.st_mode) ? "sync folder" : "sync file");
        if (!S_ISDIR(st.st_mode))  // a kill now must leave nothing behind but the old file
            calls.push_back(std::to_string(files_in("saves")) + " files");
        return own.sync(fd);
    };
    sys_save_ops.link = [](int fd, const char* path) {
        calls.push_back("link");
        return link_refused ? (errno = EPERM, -1) : own.link(fd, path);
    };
    sys_save_ops.rename = [](const char* from, const char* to) {
        calls.push_back("rename");
        return own.rename(from, to);
    };
}

}  // namespace

// A power cut after the rename of a file never synced leaves an empty file:
// the data is synced first, then named, then the folder synced. Where the
// system has unnamed files, a save killed at any point leaves no temporary.
TEST(SaveFile, ReplacesTheOldFileWholeSyncedBeforeItsNameOrKeepsItOnAFullDisk)
{
    ASSERT_EQ(mkdir("saves", 0700), 0);
    for (int way : {0, 1, 2}) {
        ASSERT_TRUE(save("saves/game.dat", "first"));
        const bool refused = way == 1;
        unnamed_refused = refused;
        link_refused = way == 2;
        watch_saves();
        ASSERT_TRUE(save("saves/game.dat", "second, longer"));
        sys_files_reset();
        int probe = own.open_unnamed("saves");  // a file system without unnamed files takes the other way
        close(probe);
        std::vector<std::string> want =
            refused || probe < 0 ? std::vector<std::string>{"sync file", "2 files", "rename", "sync folder"}
                                 : std::vector<std::string>{"sync file", "1 files", "link", "rename", "sync folder"};
        if (way == 2 && probe >= 0)  // the unnamed file is dropped and a named one written
            want = {"sync file", "1 files", "link", "sync file", "2 files", "rename", "sync folder"};
        EXPECT_EQ(calls, want) << "way " << way;
        EXPECT_EQ(read_text("saves/game.dat"), "second, longer");
        EXPECT_EQ(files_in("saves"), 1);
    }
    unnamed_refused = link_refused = false;
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
    EXPECT_EQ(read_text("saves/game.dat"), "second, longer");
    EXPECT_EQ(files_in("saves"), 1);
}

TEST(SaveFile, APlantedLinkIsReplacedNeverWrittenThroughAndOnlyItsOwnStaleTemporariesGo)
{
    write_bytes("victim.txt", {'k', 'e', 'e', 'p'});
    for (const char* name : {"linked.dat.tmp", "linked.dat"})
        ASSERT_EQ(symlink("victim.txt", name), 0);
    ASSERT_TRUE(save("linked.dat", "mine"));
    EXPECT_EQ(read_text("victim.txt"), "keep");
    struct stat st;
    ASSERT_EQ(lstat("linked.dat", &st), 0);
    EXPECT_TRUE(S_ISREG(st.st_mode)) << "the saved file is a file of its own";
    EXPECT_EQ(read_text("linked.dat"), "mine");

    // A save killed before its rename (without unnamed files) leaves NAME.XXXXXX:
    // the next save of that file removes those a minute old, and nothing else.
    ASSERT_EQ(mkdir("stale", 0700), 0);
    const timespec old[2] = {{time(nullptr) - 61, 0}, {time(nullptr) - 61, 0}};
    // name, old or not, removed or not
    const std::tuple<const char*, bool, bool> files[] = {
        {"zarn.rec.Ab12Z9", true, true},  {"zarn.rec.000000", true, true},  {"zarn.rec.Fresh1", false, false},
        {"zarn.rec.Ab12Z", true, false},  {"zarn.rec.Ab12Z9x", true, false}, {"zarn.hi.Ab12Z9", true, false},
        {"zarn.rec-Ab12Z9", true, false}, {"zarn.rec.Ab_2Z9", true, false},  {"zarn.rec.Dir123", true, false}};
    for (auto [name, aged, gone] : files) {
        std::string path = std::string("stale/") + name;
        strstr(name, "Dir") ? void(mkdir(path.c_str(), 0700)) : write_bytes(path, {'x'});
        if (aged)
            utimensat(AT_FDCWD, path.c_str(), old, 0);
    }
    ASSERT_TRUE(save("stale/zarn.rec", "records"));
    for (auto [name, aged, gone] : files)
        EXPECT_EQ(access((std::string("stale/") + name).c_str(), F_OK) != 0, gone) << name;
}

// Every reader of the game's own files (zarn.cfg, zarn.rec, zarn.hi) opens a
// regular file only: a FIFO in its place never holds up the start, a folder
// is never read, and neither counts as damage.
TEST(Readers, OnlyRegularFilesAreReadNeverWaitedOn)
{
    alarm(10);  // a read that waits fails the test instead of hanging it
    for (bool fifo : {false, true}) {
        for (const char* name : {"zarn.cfg", "zarn.rec", "zarn.hi"})
            ASSERT_EQ(fifo ? mkfifo(name, 0600) : mkdir(name, 0755), 0) << name;
        config_reset();
        loadGfxConfig();
        loadConfig();
        records_reset();
        testing::internal::CaptureStdout();
        read_records();
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "") << fifo;
        uint32_t len = 77;
        EXPECT_EQ(loadBINFile("zarn.hi", &len), nullptr) << fifo;
        EXPECT_EQ(std::make_pair(music_volume, len), std::make_pair(100, 77u)) << fifo;
        for (const char* name : {"zarn.cfg", "zarn.rec", "zarn.hi"})
            ASSERT_EQ(remove(name), 0) << name;
    }
    alarm(0);
}
