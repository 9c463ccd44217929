#pragma once

#include <cstdint>
#include <ctime>
#include <string>

// One record of the central directory, with its name already converted: '/' turned into '\'
// and, for names written by MS-DOS tools without the UTF-8 flag, the IBM PC code page turned
// into UTF-8.
struct EntryHeader {
    uint32_t signature = 0;
    uint16_t versionMadeBy = 0;
    uint16_t versionNeeded = 0;
    uint16_t flags = 0;
    uint16_t method = 8;
    uint16_t modTime = 0;
    uint16_t modDate = 0;
    uint32_t crc = 0;
    uint32_t compressedSize = 0;
    uint32_t uncompressedSize = 0;
    uint16_t diskStart = 0;
    uint16_t internalAttributes = 0;
    uint32_t externalAttributes = 0;
    uint32_t localHeaderOffset = 0;
    std::string extraField;
    std::string name;
    std::string comment;
    uint16_t storedNameLength = 0;  // the name's length in the archive, before conversion

    int HostSystem() const { return versionMadeBy >> 8; }
    // The modification time as local time; -1 when it cannot be represented.
    std::time_t GetTime() const;
    // Windows attributes converted from the host system's.
    uint32_t GetSystemAttributes() const;
    bool IsDirectory() const;

    // The stored name bytes as the program uses them.
    static std::string ConvertName(const std::string& stored, int hostSystem, uint16_t flags);
};
