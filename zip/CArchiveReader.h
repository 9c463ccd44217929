#pragma once

#include <cstdint>
#include <optional>
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
    // Where an entry sent to subFolder lands, relative to the folder it is extracted into:
    // subFolder and the entry's file name (info.name) joined, "." and ".." resolved, '\'
    // between names. Nothing when the entry's stored path, or that path, leads outside.
    static std::optional<std::string> Destination(const ArchiveEntryInfo& info,
                                                  const std::string& subFolder);
    // Writes entry index at targetFolder + Destination(subFolder): with its own folders when
    // subFolder equals entryFolder, else under its file name in subFolder. Every failure passes
    // to the caller, who must then call CloseEntry({}, true).
    void ExtractEntry(int index, const std::string& targetFolder, const std::string& entryFolder,
                      const std::string& subFolder);
    // The first half of writing entry index at destination, a path that Destination gave below
    // the target, on the caller's thread (see CZipArchive::Prepare); false for a folder entry,
    // which is done then. baseFolder, when given, must exist and is never created: an
    // installation's target folder.
    bool PrepareEntry(int index, const std::string& destination, const std::string& baseFolder,
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
