// levelc: compiles a level source into the 3840-byte level format and, when
// asked, writes its solution as a plain line of moves beside it.
//
//   levelc SOURCE.txt OUT.zlv [OUT.sol]
//
// OUT.sol holds the solution's moves, one of U D L R each, without spaces or a
// line end (the game's attract mode plays it). A malformed source is refused
// with "SOURCE:LINE:COL: what is wrong" and no output is written.
#include "model/levelsrc.h"

#include <cstdio>
#include <fstream>

namespace {

bool write_bytes(const char* path, const char* data, size_t len)
{
    std::ofstream out(path, std::ios::binary);
    out.write(data, static_cast<std::streamsize>(len));
    if (!out) {
        fprintf(stderr, "%s: cannot write\n", path);
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3 && argc != 4) {
        fprintf(stderr, "usage: levelc SOURCE.txt OUT.zlv [OUT.sol]\n");
        return 2;
    }
    std::string text, error;
    if (!levelsrc::read_file(argv[1], text)) {
        fprintf(stderr, "%s: cannot read\n", argv[1]);
        return 1;
    }
    levelsrc::level_source src;
    if (!levelsrc::parse(text, src, error)) {
        fprintf(stderr, "%s:%s\n", argv[1], error.c_str());
        return 1;
    }
    std::vector<uint8_t> body = levelsrc::encode(src);
    if (!write_bytes(argv[2], reinterpret_cast<const char*>(body.data()), body.size()))
        return 1;
    if (argc == 4 && !write_bytes(argv[3], src.solution.data(), src.solution.size()))
        return 1;
    return 0;
}
