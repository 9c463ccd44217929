#pragma once

#include <cstdint>
#include <string>

// What the windows and the installation show and use of one entry.
struct ArchiveEntryInfo {
    std::string name;            // the last component; the whole path for a folder entry
    std::string storedName;      // the entry's path as the archive holds it
    std::string sizeText;        // grouped digits
    std::string dateText;        // "%d/%m/%Y %H:%M", empty when the date cannot be shown
    std::string ratioText;       // compressed size in percent of the size
    std::string compressedText;  // grouped digits
    std::string folder;          // the folders in front of name, with the trailing '\'
    std::string comment;         // full form only
    std::string attributes;      // full form only: "rahs" letters or '-'
    int iconIndex = 0;
    bool isDirectory = false;
    uint32_t uncompressedSize = 0;
    uint32_t compressedSize = 0;
};
