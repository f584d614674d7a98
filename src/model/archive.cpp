#include "model/archive.h"

#include "model/bytes.h"

#include <zlib.h>

#include <cstring>

uint32_t qva_read_header(const uint8_t* head)
{
    if (head[0] != 'Q' || head[1] != 'V' || head[2] != 'A')
        return 0;
    return uint32_t(head[3]) + 1;
}

void qva_write_header(uint8_t* head, uint32_t count)
{
    head[0] = 'Q';
    head[1] = 'V';
    head[2] = 'A';
    head[3] = static_cast<uint8_t>(count - 1);
}

void qva_read_entry(const uint8_t* rec, qva_entry& e)
{
    memcpy(e.name, rec, QVA_NAME_LEN);
    e.name[QVA_NAME_LEN - 1] = '\0';
    e.offset = get_le32(rec + QVA_NAME_LEN);
    e.size = get_le32(rec + QVA_NAME_LEN + 4);
    e.csize = get_le32(rec + QVA_NAME_LEN + 8);
}

void qva_write_entry(uint8_t* rec, const qva_entry& e)
{
    memset(rec, 0, QVA_NAME_LEN);
    memcpy(rec, e.name, strnlen(e.name, QVA_NAME_LEN - 1));
    put_le32(rec + QVA_NAME_LEN, e.offset);
    put_le32(rec + QVA_NAME_LEN + 4, e.size);
    put_le32(rec + QVA_NAME_LEN + 8, e.csize);
}

int qva_check_entry(const qva_entry& e, uint64_t archive_len)
{
    if (e.offset > archive_len || e.csize > archive_len - e.offset)
        return QVA_ENTRY_OUTSIDE;
    if (e.size > QVA_MAX_ENTRY_BYTES)
        return QVA_ENTRY_TOO_LARGE;
    if (e.size > uint64_t{e.csize} * QVA_MAX_RATIO || e.csize > compressBound(e.size))
        return QVA_ENTRY_NO_SUCH_SIZE;
    return QVA_ENTRY_SOUND;
}
