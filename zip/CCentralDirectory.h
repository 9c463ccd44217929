#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "EntryHeader.h"

class CArchiveStorage;

// The end record and the table of entry headers, read once when the archive is opened and
// sorted by volume and position of the entries' data.
class CCentralDirectory {
public:
    // Finds the end record, reads the directory and sorts it. Raises cause 116 when there is
    // no end record, 101 when the records are inconsistent. Records past a count that wrapped
    // at 65,536 are read too, as far as the directory's size goes.
    void Read(CArchiveStorage& storage, size_t searchBufferSize);
    void Clear();

    size_t Count() const { return headers.size(); }

    // Where the data of entry index must end: the local header of the entry that follows it on
    // the same volume, or the directory itself. UINT64_MAX when nothing follows it there.
    uint64_t DataLimit(size_t index) const;

    uint16_t thisDisk = 0;
    uint16_t diskWithDirectory = 0;
    uint16_t entriesOnThisDisk = 0;
    uint16_t totalEntries = 0;  // as stated, modulo 65,536; Count() is what the directory holds
    uint32_t directorySize = 0;
    uint32_t directoryOffset = 0;
    std::string comment;
    uint64_t endRecordPosition = 0;
    uint64_t bytesBeforeArchive = 0;
    std::vector<EntryHeader> headers;

private:
    uint64_t FindEndRecord(CArchiveStorage& storage, size_t searchBufferSize);
    void ReadHeaders(CArchiveStorage& storage);
    void SortHeaders();
};
