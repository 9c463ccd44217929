#include "Crc32.h"

#if ZANVO_WITH_ISAL
#include <isa-l/crc.h>
#else
#include <zlib.h>
#endif

#include <algorithm>
#include <limits>

uint32_t Crc32::Update(uint32_t crc, const uint8_t* data, size_t size) {
#if ZANVO_WITH_ISAL
    // Carry-less multiplication where the processor has it; the same values as zlib's crc32.
    while (size > 0) {
        const size_t chunk = std::min<size_t>(size, std::numeric_limits<uint32_t>::max());
        crc = crc32_gzip_refl(crc, data, chunk);
        data += chunk;
        size -= chunk;
    }
    return crc;
#else
    while (size > 0) {
        const size_t chunk = std::min<size_t>(size, std::numeric_limits<uInt>::max());
        crc = static_cast<uint32_t>(crc32(crc, data, static_cast<uInt>(chunk)));
        data += chunk;
        size -= chunk;
    }
    return crc;
#endif
}
