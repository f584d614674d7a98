#include "res/qva.h"

#include "sys/files.h"

#include <zlib.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/stat.h>

const char* const archives[QVA_SLOTS] = {"gfx", "sfx", "maps", nullptr, nullptr, nullptr, nullptr};
FILE* qva_file[QVA_SLOTS];
qva_entry* qva_header[QVA_SLOTS];
uint32_t qva_count[QVA_SLOTS];
char fname_buf[1024];
const char* qva_folder = "./data";

namespace {

// Length of each open archive file, so no entry is read past its end.
uint32_t qva_filesize[QVA_SLOTS];

std::string archive_path(const char* folder, uint32_t id)
{
    return std::string(folder) + '/' + archives[id] + ".qva";
}

std::string shown_names[QVA_SLOTS];  // what qva_name last made for each slot

}  // namespace

const char* qva_name(uint32_t id)
{
    if (id >= QVA_SLOTS || !archives[id])
        return "";
    const char* folder = strcmp(qva_folder, "./data") == 0 ? "data" : qva_folder;
    shown_names[id] = archive_path(folder, id);
    return shown_names[id].c_str();
}

bool qva_folder_complete(const char* folder)
{
    for (uint32_t id = 0; id < QVA_SLOTS; id++) {
        struct stat st;
        if (archives[id] && (stat(archive_path(folder, id).c_str(), &st) != 0 || !S_ISREG(st.st_mode)))
            return false;
    }
    return true;
}

void openID(uint32_t id)
{
    if (id >= QVA_SLOTS || qva_file[id] || !archives[id])
        return;
    uint64_t len = 0;
    qva_file[id] = sys_open_regular(archive_path(qva_folder, id).c_str(), &len);
    // Offsets are 32-bit: nothing past 4 GiB can be addressed anyway.
    qva_filesize[id] = len > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(len);
}

void closeID(uint32_t id)
{
    if (id >= QVA_SLOTS || !qva_file[id])
        return;
    fclose(qva_file[id]);
    qva_file[id] = nullptr;
}

namespace {

// Reads the magic and the directory from the slot's open stream. The stream is
// closed on a wrong magic; nothing is kept on any failure.
int read_directory(uint32_t id)
{
    FILE* f = qva_file[id];
    uint8_t head[QVA_HEADER_BYTES];
    uint32_t count = 0;
    if (fseek(f, 0, SEEK_SET) != 0 || fread(head, 1, sizeof head, f) != sizeof head ||
        (count = qva_read_header(head)) == 0) {
        closeID(id);
        return 1;
    }
    auto* dir = static_cast<qva_entry*>(calloc(count, sizeof(qva_entry)));
    if (!dir)
        return 1;
    for (uint32_t i = 0; i < count; i++) {
        uint8_t rec[QVA_ENTRY_BYTES];
        if (fread(rec, 1, sizeof rec, f) != sizeof rec) {
            free(dir);  // a cut directory is no directory
            return 1;
        }
        qva_read_entry(rec, dir[i]);
    }
    qva_header[id] = dir;
    qva_count[id] = count;
    return 0;
}

const qva_entry* find_entry(uint32_t id, const char* sought)
{
    for (uint32_t i = 0; i < qva_count[id]; i++)
        if (strcmp(qva_header[id][i].name, sought) == 0)
            return &qva_header[id][i];
    return nullptr;
}

}  // namespace

int loadQVAHeader(uint32_t id)
{
    if (id >= QVA_SLOTS)
        return 1;
    if (qva_header[id])
        return 0;
    openID(id);
    if (!qva_file[id])
        return 1;
    return read_directory(id);
}

void closeQVA(uint32_t id)
{
    if (id >= QVA_SLOTS)
        return;
    closeID(id);
    free(qva_header[id]);
    qva_header[id] = nullptr;
    qva_count[id] = 0;
}

void openArchives()
{
    for (uint32_t id = 0; id < QVA_SLOTS; id++) {
        qva_file[id] = nullptr;
        qva_header[id] = nullptr;
        qva_count[id] = 0;
        if (archives[id])
            loadQVAHeader(id);
    }
}

void closeArchives()
{
    for (uint32_t id = 0; id < QVA_SLOTS; id++)
        closeQVA(id);
}

int uncompressQVA(uint8_t* dest, uint32_t* dest_len, const uint8_t* src, uint32_t src_len)
{
    uLongf room = *dest_len;
    int status = uncompress(dest, &room, src, src_len);
    *dest_len = static_cast<uint32_t>(room);
    return status;
}

void* loadQVAFile(uint32_t archive, const char* name, const char* ext, uint32_t* size_out)
{
    if (archive >= QVA_SLOTS || !name || !ext)
        return nullptr;
    char sought[QVA_NAME_LEN];
    int len = snprintf(sought, sizeof sought, "%s.%s", name, ext);
    if (len < 0 || len >= QVA_NAME_LEN)
        return nullptr;  // longer than any stored name can be
    if (!qva_header[archive] && loadQVAHeader(archive) != 0)
        return nullptr;
    const qva_entry* e = find_entry(archive, sought);
    if (!e)
        return nullptr;
    openID(archive);
    if (!qva_file[archive])
        return nullptr;
    // Data outside the file is never read, and no size is believed that the
    // stored data could not hold.
    if (qva_check_entry(*e, qva_filesize[archive]) != QVA_ENTRY_SOUND)
        return nullptr;
    if (fseek(qva_file[archive], static_cast<long>(e->offset), SEEK_SET) != 0)
        return nullptr;
    auto* packed = static_cast<uint8_t*>(malloc(e->csize ? e->csize : 1));
    auto* data = static_cast<uint8_t*>(malloc(e->size ? e->size : 1));
    if (!packed || !data) {
        free(packed);
        free(data);
        return nullptr;
    }
    uint32_t got_len = e->size;
    bool ok = fread(packed, 1, e->csize, qva_file[archive]) == e->csize &&
              uncompressQVA(data, &got_len, packed, e->csize) == Z_OK && got_len == e->size;
    free(packed);
    if (!ok) {
        free(data);  // nothing is handed on half-filled
        return nullptr;
    }
    if (size_out)
        *size_out = got_len;
    return data;
}

const char* filename(const char* dir, const char* name, const char* ext)
{
    if (dir)
        snprintf(fname_buf, sizeof fname_buf, "%s%s%c%s.%s", "", dir, '/', name, ext);
    else
        snprintf(fname_buf, sizeof fname_buf, "%s%s.%s", "", name, ext);
    return fname_buf;
}

uint32_t binfilesize(FILE* stream)
{
    if (!stream)
        return 0;
    rewind(stream);
    if (fseek(stream, 0, SEEK_END) != 0)
        return 0;
    long len = ftell(stream);
    if (len < 0 || fseek(stream, 0, SEEK_SET) != 0)
        return 0;
    return static_cast<uint32_t>(len);
}

void* loadBINFile(const char* path, uint32_t* size_out)
{
    uint64_t file_len = 0;
    FILE* f = sys_open_regular(path, &file_len);
    if (!f)
        return nullptr;
    if (file_len == 0 || file_len > LOOSE_FILE_MAX_BYTES) {
        fclose(f);
        return nullptr;
    }
    uint32_t len = static_cast<uint32_t>(file_len);
    void* buf = malloc(len);
    if (!buf || fread(buf, 1, len, f) != len) {
        free(buf);
        fclose(f);
        return nullptr;
    }
    fclose(f);
    if (size_out)
        *size_out = len;
    return buf;
}
