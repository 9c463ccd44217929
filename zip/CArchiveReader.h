#pragma once

#include <cstdint>
#include <string>

#include "ArchiveEntryInfo.h"
#include "CZipArchive.h"

class IReaderPrompts;

// The one way into an archive: opens it (read-write, else read-only; asking whether to retry
// when its end record is missing), describes its entries and extracts them one by one. It never
// writes to the archive.
class CArchiveReader {
public:
    // Opens the archive at once; failures are shown through prompts and leave isOpen false.
    // Nothing is opened, and nothing shown, for an empty path.
    CArchiveReader(const std::string& path, IReaderPrompts& prompts);
    virtual ~CArchiveReader();
    CArchiveReader(const CArchiveReader&) = delete;
    CArchiveReader& operator=(const CArchiveReader&) = delete;

    // False, leaving info untouched, when the archive is not open or index is out of range.
    // brief leaves comment and attributes as they are.
    bool GetEntryInfo(ArchiveEntryInfo& info, int index, bool brief);
    // Writes entry index below targetFolder: with its own folders when subFolder equals
    // entryFolder, else under its file name in targetFolder + subFolder. Every failure passes
    // to the caller, who must then call CloseEntry({}, true).
    void ExtractEntry(int index, const std::string& targetFolder, const std::string& entryFolder,
                      const std::string& subFolder);
    // The first half of ExtractEntry, on the caller's thread (see CZipArchive::Prepare); false
    // for a folder entry, which is done then. baseFolder, when given, must exist and is never
    // created: an installation's target folder.
    bool PrepareEntry(int index, const std::string& targetFolder, const std::string& entryFolder,
                      const std::string& subFolder, const std::string& baseFolder,
                      CZipArchive::Extraction& job);
    // Reads entry index to its end with every check of ExtractEntry, writing nothing.
    void TestEntry(int index);
    int CloseEntry(const std::string& filePath, bool afterFailure);

    // "%ld" of the value with the thousands separator of the current language.
    static std::string FormatByteCount(uint64_t value);

    bool isOpen = false;
    int entryCount = 0;
    std::string path;
    CZipArchive archive;

private:
    void Open(IReaderPrompts& prompts);

    IReaderPrompts& prompts;
};
