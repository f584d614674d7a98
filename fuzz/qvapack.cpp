// qvapack list and extract: the input is the archive. Whatever it holds,
// extract writes nothing but plain regular files into its output folder,
// and nothing beside it.
#include "fuzz.h"

#include "qvapack.h"

#include <dirent.h>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

// The names in a folder, "." and ".." left out.
std::vector<std::string> names_in(const char* folder)
{
    std::vector<std::string> found;
    if (DIR* d = opendir(folder)) {
        while (dirent* e = readdir(d))
            if (std::string(e->d_name) != "." && std::string(e->d_name) != "..")
                found.push_back(e->d_name);
        closedir(d);
    }
    return found;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz_scratch();
    // The jail: the work folder inside it is the only thing it may hold.
    if (mkdir("jail", 0755) != 0 || chdir("jail") != 0 || mkdir("work", 0755) != 0 || chdir("work") != 0)
        abort();
    if (!freopen("/dev/null", "w", stdout))  // listings are not looked at
        abort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz_write("a.qva", data, size);
    mkdir("out", 0755);
    char prog[] = "qvapack", list[] = "list", extract[] = "extract", archive[] = "a.qva", out[] = "out";
    char* list_args[] = {prog, list, archive, nullptr};
    char* extract_args[] = {prog, extract, archive, out, nullptr};
    qvapack_main(3, list_args);
    qvapack_main(4, extract_args);
    FUZZ_ASSERT(names_in("..").size() == 1 && names_in(".").size() == 2);
    for (const std::string& name : names_in("out")) {
        std::string path = "out/" + name;
        struct stat st;
        FUZZ_ASSERT(lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_size <= (1 << 20));
        unlink(path.c_str());
    }
    return 0;
}
