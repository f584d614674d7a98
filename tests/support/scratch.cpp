#include "support/game.h"

#include <png.h>
#include <zlib.h>

private_data::private_data()
{
    std::string cmd = "rm -rf data.private && mkdir data.private && mv data data.build && mv data.private data";
    if (system(cmd.c_str()) != 0)
        abort();
}

private_data::~private_data()
{
    if (system("rm -rf data && mv data.build data") != 0)
        abort();
}

void write_qva(const std::string& path, const std::vector<qva_item>& entries)
{
    std::vector<uint8_t> out(4 + 44 * entries.size(), 0);
    out[0] = 'Q';
    out[1] = 'V';
    out[2] = 'A';
    out[3] = static_cast<uint8_t>(entries.size() - 1);
    for (size_t i = 0; i < entries.size(); i++) {
        const auto& data = entries[i].second;
        uLongf clen = compressBound(data.size());
        std::vector<uint8_t> packed(clen);
        compress2(packed.data(), &clen, data.data(), data.size(), 9);
        uint32_t fields[3] = {static_cast<uint32_t>(out.size()), static_cast<uint32_t>(data.size()),
                              static_cast<uint32_t>(clen)};
        uint8_t* rec = &out[4 + 44 * i];
        memcpy(rec, entries[i].first.data(), std::min<size_t>(entries[i].first.size(), 32));
        for (int f = 0; f < 3; f++)
            put_le32(rec + 32 + 4 * f, fields[f]);
        out.insert(out.end(), packed.begin(), packed.begin() + clen);
    }
    write_bytes(path, out);
}

std::vector<uint8_t> archive_entry(uint32_t slot, const std::string& name, const char* ext)
{
    uint32_t len = 0;
    auto* bytes = static_cast<uint8_t*>(loadQVAFile(slot, name.c_str(), ext, &len));
    std::vector<uint8_t> out(bytes, bytes + (bytes ? len : 0));
    free(bytes);
    return out;
}

std::vector<uint8_t> read_png_rgb(const std::string& path, int& w, int& h)
{
    png_image image;
    memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    std::vector<uint8_t> rgb;
    if (png_image_begin_read_from_file(&image, path.c_str())) {
        image.format = PNG_FORMAT_RGB;
        rgb.resize(PNG_IMAGE_SIZE(image));
        w = int(image.width), h = int(image.height);
    }
    if (rgb.empty() || !png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) {
        ADD_FAILURE() << path << ": " << image.message;
        rgb.clear();
    }
    return rgb;
}

std::vector<uint8_t> read_bytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string read_text(const std::string& path)
{
    std::vector<uint8_t> bytes = read_bytes(path);
    return std::string(bytes.begin(), bytes.end());
}

void write_bytes(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<uint8_t> reproducer(const std::string& name)
{
    std::vector<uint8_t> bytes = read_bytes(std::string(ZARN_TESTS_DIR) + "/data/reproducers/" + name);
    if (bytes.empty())
        abort();  // a reproducer that is not there guards nothing
    return bytes;
}

uint64_t peak_mapped_kib()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmPeak:", 0) == 0)
            return std::stoull(line.substr(7));
    return 0;
}
