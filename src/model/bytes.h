// Little-endian fields of the game's files, read and written byte by byte.
#pragma once
#include <cstdint>

// The little-endian 32-bit value at p.
inline uint32_t get_le32(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

// Stores v at p, least significant byte first.
inline void put_le32(uint8_t* p, uint32_t v)
{
    for (int b = 0; b < 4; b++)
        p[b] = static_cast<uint8_t>(v >> (8 * b));
}
