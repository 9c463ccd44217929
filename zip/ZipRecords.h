#pragma once

#include <cstddef>
#include <cstdint>

// Signatures and fixed lengths of the records of a ZIP file, and little-endian field access.
namespace ZipRecords {

constexpr uint32_t kLocalHeaderSignature = 0x04034b50;     // "PK\3\4"
constexpr uint32_t kCentralHeaderSignature = 0x02014b50;   // "PK\1\2"
constexpr uint32_t kEndRecordSignature = 0x06054b50;       // "PK\5\6"
constexpr uint32_t kDataDescriptorSignature = 0x08074b50;  // "PK\7\8"

constexpr size_t kLocalHeaderLength = 30;    // + name + extra field
constexpr size_t kCentralHeaderLength = 46;  // + name + extra field + comment
constexpr size_t kEndRecordLength = 22;      // + comment
constexpr size_t kDataDescriptorLength =
    12;  // crc, compressed size, size; after a signature or not
constexpr size_t kMaxCommentLength = 65535;

constexpr uint16_t kFlagEncrypted = 0x0001;
constexpr uint16_t kFlagDataDescriptor = 0x0008;
constexpr uint16_t kFlagUtf8 = 0x0800;

constexpr uint16_t kMethodStored = 0;
constexpr uint16_t kMethodDeflated = 8;

// Host systems, the high byte of "version made by".
constexpr int kHostMsDos = 0;
constexpr int kHostUnix = 3;
constexpr int kHostOs2 = 6;
constexpr int kHostMacintosh = 7;
constexpr int kHostNtfs = 10;

inline uint16_t Read16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

inline uint32_t Read32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

}  // namespace ZipRecords
