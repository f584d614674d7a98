// levelc: compiles a level source into the 3840-byte level format and, when
// asked, writes its solution as a plain line of moves beside it, and the
// replay of that solution.
//
//   levelc SOURCE.txt OUT.zlv [OUT.sol [OUT.zrp]]
//
// OUT.sol holds the solution's moves, one of U D L R each, without spaces or a
// line end (the game's attract mode plays it). OUT.zrp is the solution played
// through the rules as the attract mode plays it, as a replay of the level
// its source is named after (zarn-NNN: level NNN of the normal set, levNNN:
// of the classic set); `zarn --verify` checks it. A malformed source is
// refused with "SOURCE:LINE:COL: what is wrong" and no output is written.
#include "model/levelsrc.h"

#include "model/replay.h"

#include <cstdio>
#include <fstream>
#include <memory>

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

// The set and level a source is named after; false for another name.
bool level_of(const std::string& path, int& classic, int& level)
{
    std::string stem = path.substr(path.find_last_of('/') + 1);
    char rest = 0;
    classic = stem.compare(0, 3, "lev") == 0;
    return sscanf(stem.c_str(), classic ? "lev%3d.tx%c" : "zarn-%3d.tx%c", &level, &rest) == 2 && level >= 1;
}

// The solution's replay into path.
bool write_replay(const char* source, const char* path, const std::vector<uint8_t>& body, const std::string& moves)
{
    auto r = std::make_unique<replay>();
    auto scratch = std::make_unique<level_field>();
    if (!level_of(source, r->classic, r->level)) {
        fprintf(stderr, "%s: named neither zarn-NNN.txt nor levNNN.txt: no replay\n", source);
        return false;
    }
    std::vector<char> text(REPLAY_TEXT_MAX);
    size_t len = replay_from_moves(*r, body.data(), *scratch, moves.data(), moves.size())
                     ? replay_write(*r, text.data(), text.size())
                     : 0;
    if (len == 0) {
        fprintf(stderr, "%s: the solution does not end the level within a replay's frames\n", source);
        return false;
    }
    return write_bytes(path, text.data(), len);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3 || argc > 5) {
        fprintf(stderr, "usage: levelc SOURCE.txt OUT.zlv [OUT.sol [OUT.zrp]]\n");
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
    if (argc >= 4 && !write_bytes(argv[3], src.solution.data(), src.solution.size()))
        return 1;
    if (argc == 5 && !write_replay(argv[1], argv[4], body, src.solution))
        return 1;
    return 0;
}
