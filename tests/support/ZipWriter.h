#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// Archives are described with designated initializers that leave every other field at its
// default on purpose; GCC before 13 warns about each of them.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#endif

// Values of an entry's CRC and sizes that replace the true ones in a record.
struct ZipFields {
    std::optional<uint32_t> crc, compressedSize, uncompressedSize;
};

// One entry as the tests want it written, sound or damaged.
struct ZipEntry {
    enum class Descriptor { none, withSignature, withoutSignature };

    std::string name;     // the bytes stored, '/' as separator
    std::string data;     // the uncompressed content
    uint16_t method = 0;  // 8 is deflated; every other method stores data as it is
    uint8_t host = 0;     // high byte of "version made by"
    uint16_t flags = 0;   // the data descriptor bit is set from descriptor
    Descriptor descriptor = Descriptor::none;
    uint32_t externalAttributes = 0x20;
    uint16_t dosTime = (12 << 11) | (34 << 5) | 28;           // 12:34:56
    uint16_t dosDate = ((2020 - 1980) << 9) | (6 << 5) | 15;  // 2020-06-15
    std::string extra, localExtra, comment;

    ZipFields stated;  // what the central record says; local header and descriptor repeat it
    ZipFields local;   // the local header only
    ZipFields descriptorFields;
    std::optional<uint32_t> localSignature;
    std::optional<uint16_t> localMethod;
    std::optional<uint32_t> offset;     // the local header offset of the central record
    std::optional<std::string> stored;  // bytes written in place of the compressed data

    bool startsVolume = false;              // a split archive's next volume begins at its header
    std::optional<size_t> volumeCutInData;  // ... or after that many bytes of its data
};

// Builds ZIP archives in memory: the tests' way to make every kind of archive the reader meets.
class ZipWriter {
public:
    explicit ZipWriter(std::vector<ZipEntry> entries = {}) : entries(std::move(entries)) {}

    std::vector<ZipEntry> entries;
    std::string comment;
    std::string junk;                  // bytes in front of the archive (a self-extractor stub)
    bool offsetsCountJunk = false;     // offsets measured from the file's start, not the ZIP's
    std::vector<size_t> centralOrder;  // entry indices in central-directory order
    bool directoryStartsVolume = false;
    // A split archive's next volume begins at this record of the directory.
    std::optional<size_t> directoryCutBefore;
    std::optional<uint16_t> totalEntries;
    std::optional<uint32_t> directorySize, directoryOffset;

    size_t centralAt = 0;  // where the last Build put the central directory

    std::string Build();
    // Writes the archive; a split one as the volumes path.000, path.001, ... and path itself.
    void Save(const std::string& path);

    // Stored entries of one byte each, 10,000 to a folder: "part0/0.txt" to "part0/9999.txt",
    // "part1/10000.txt", and so on. Cheap enough to make archives of 70,000.
    static std::vector<ZipEntry> TinyEntries(size_t count);
    // Stored entries from blank-separated "path=content" words; "path/" is a folder entry.
    static std::vector<ZipEntry> FromWords(const std::string& words);
    // Stored entries of the names, each with content of its own: "entry 1", "entry 2", ...
    static std::vector<ZipEntry> Numbered(const std::vector<std::string>& names);
    static std::string TinyEntryName(size_t index);
    static std::string Deflate(const std::string& data);
    static uint16_t DosDate(int year, int month, int day);
    static uint16_t DosTime(int hour, int minute, int second);

private:
    std::vector<size_t> cuts;
};
