#pragma once

#include <cstddef>
#include <cstdint>

// The CRC-32 of ZIP entries, from the fastest routine the build has.
class Crc32 {
public:
    static uint32_t Update(uint32_t crc, const uint8_t* data, size_t size);
};
