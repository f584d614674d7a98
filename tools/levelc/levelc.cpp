// levelc: compiles a level source into the 3840-byte level format.
//
//   levelc SOURCE.txt OUT.zlv
//
// A malformed source is refused with "SOURCE:LINE:COL: what is wrong" and no
// output is written.
#include "levelsrc.h"

#include <cstdio>
#include <fstream>

int main(int argc, char** argv)
{
    if (argc != 3) {
        fprintf(stderr, "usage: levelc SOURCE.txt OUT.zlv\n");
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
    std::ofstream out(argv[2], std::ios::binary);
    out.write(reinterpret_cast<const char*>(body.data()), static_cast<std::streamsize>(body.size()));
    if (!out) {
        fprintf(stderr, "%s: cannot write\n", argv[2]);
        return 1;
    }
    return 0;
}
