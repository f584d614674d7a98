// Palette sprites from text.
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "art.h"

SpriteFile read_sprites(const std::string& path)
{
    std::ifstream in(path);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    SpriteFile f;
    std::string line, pal, spr;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') {
            spr.clear();
            if (line.empty())
                pal.clear();
            continue;
        }
        std::istringstream ls(line);
        std::string word;
        ls >> word;
        if (word == "palette") {
            ls >> pal;
            spr.clear();
        } else if (word == "sprite") {
            std::string p;
            ls >> spr >> p;
            f.sprites[spr].clear();
            f.sprites[spr + "@palette"] = {p};
            pal.clear();
        } else if (!pal.empty()) {
            std::string hex;
            ls >> hex;
            f.palettes[pal][word[0]] = rgb(std::stoul(hex, nullptr, 16));
        } else if (!spr.empty()) {
            f.sprites[spr].push_back(line);
        } else {
            throw std::runtime_error(path + ": stray line: " + line);
        }
    }
    return f;
}

Img render_sprite(const SpriteFile& f, const std::string& sprite, const std::string& palette)
{
    auto rows = f.sprites.find(sprite);
    if (rows == f.sprites.end())
        throw std::runtime_error("no sprite " + sprite);
    std::string pname = palette.empty() ? f.sprites.at(sprite + "@palette")[0] : palette;
    const auto& pal = f.palettes.at(pname);
    const auto& r = rows->second;
    Img out(int(r[0].size()), int(r.size()));
    for (int y = 0; y < out.h; y++) {
        if (r[size_t(y)].size() != size_t(out.w))
            throw std::runtime_error("sprite " + sprite + ": ragged row " + std::to_string(y));
        for (int x = 0; x < out.w; x++) {
            char c = r[size_t(y)][size_t(x)];
            if (c == '.')
                continue;
            auto it = pal.find(c);
            if (it == pal.end())
                throw std::runtime_error("sprite " + sprite + ": colour '" + c + "' not in " + pname);
            out.set(x, y, it->second);
        }
    }
    return out;
}
