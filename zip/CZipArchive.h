#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "CArchiveStorage.h"
#include "CCaseResolver.h"
#include "CCentralDirectory.h"
#include "CEntryReader.h"
#include "EntryHeader.h"
#include "IWriteObserver.h"

// A ZIP archive opened for reading: its central directory, and the extraction of one entry at a
// time. Failures raise CZipException, CFileException or CMemoryException.
class CZipArchive {
public:
    enum OpenMode { openReadWrite = 0, openReadOnly = 1 };

    CZipArchive();
    virtual ~CZipArchive();
    CZipArchive(const CZipArchive&) = delete;
    CZipArchive& operator=(const CZipArchive&) = delete;

    // Only while the archive is closed; sizes below 1,024 become 1,024.
    void SetBufferSizes(size_t inputBufferSize, size_t searchBufferSize);
    // Does nothing when an archive is already open.
    void OpenArchive(const std::string& path, int mode);
    // Drops an entry left open without checks and closes the file; nothing is ever written.
    void CloseArchive() noexcept;
    bool IsClosed() const { return !storage.IsOpen(); }
    bool IsReadOnly() const { return storage.readOnly; }

    int GetCount() const { return static_cast<int>(directory.Count()); }
    bool GetEntryHeader(EntryHeader& header, int index) const;
    // The header itself, without a copy; null for a bad index or a closed archive.
    const EntryHeader* FindHeader(int index) const;
    const std::string& GetComment() const { return directory.comment; }

    // Only while no entry is open.
    void SetStripPrefix(const std::string& prefix);
    // Where extraction looks up existing files and folders whatever their case; an installation
    // shares one across its archives. The archive's own is used otherwise.
    void SetCaseResolver(CCaseResolver* shared) {
        resolver = shared != nullptr ? shared : &ownResolver;
    }
    // Writes entry index below path. False when the entry could not be opened. baseFolder, when
    // given, must exist and is never created (the target folder of an installation).
    bool ExtractTo(int index, const std::string& path, bool keepFullPath,
                   const std::string& newName = {}, size_t bufferSize = 65536,
                   const std::string& baseFolder = {});

    // An extraction in two halves, so that entries can be read and written on other threads
    // while the caller decides about the next ones: Prepare (caller's thread: name check,
    // path, folders), CarryOut (any thread, with a reader of its own), Finished (caller's
    // thread, after a CarryOut that succeeded).
    struct Extraction {
        int index = -1;
        std::string target;        // spelled as it exists on disk
        std::string baseFolder;    // must exist; never created
        bool knownAbsent = false;  // nothing stands at target as far as the lookups know
        // Worked out on the caller's thread: the C library's time-zone state is not for
        // several threads at once.
        std::time_t modified = -1;
        bool readOnly = false;
    };
    // False for a folder entry, which is done then. newName, when given, replaces the entry's
    // name.
    bool Prepare(int index, const std::string& path, bool keepFullPath,
                 const std::string& baseFolder, Extraction& job, const std::string& newName = {});
    // The same for a file (or folder) whose whole path the caller has worked out.
    bool PrepareAt(int index, const std::string& targetPath, const std::string& baseFolder,
                   Extraction& job);
    // 1, or -2 when the file's time or read-only mark could not be set. observer, when given,
    // sees the bytes written and the moment before the file takes its name.
    int CarryOut(const Extraction& job, CEntryReader& reader, size_t bufferSize,
                 IWriteObserver* observer = nullptr) const;
    void Finished(const Extraction& job);
    // CarryOut with the archive's own reader, then Finished.
    bool ExtractPrepared(const Extraction& job, size_t bufferSize,
                         IWriteObserver* observer = nullptr);
    // A reader for another thread; only single-file archives can be read from several at once.
    std::unique_ptr<CEntryReader> MakeReader() const;
    bool AllowsParallelReads() const;
    // The first count bytes of a file entry (fewer for a shorter one), read through a small
    // buffer and zlib, which stops as soon as they are out: the kind of a file told from its
    // content at little cost. Empty when the entry cannot be read; its error shows when it is
    // extracted. Only while no other thread reads a split archive.
    std::string ReadHead(int index, size_t count);
    // Reads entry index to its end with every check of an extraction, writing nothing.
    bool TestEntry(int index, size_t bufferSize = 65536);
    // The same with a reader of the caller's (see MakeReader).
    void TestEntry(int index, CEntryReader& reader, size_t bufferSize) const;
    std::string BuildTargetName(const std::string& nameInArchive, const std::string& path,
                                bool keepFullPath, const std::string& newName) const;

    bool OpenEntry(int index);
    size_t ReadEntry(void* buffer, size_t size);
    // 1 when the entry ended well; -2 when its time or attributes could not be applied to
    // filePath; 0 when no entry was open.
    int CloseEntry(const std::string& filePath, bool afterFailure);

    // How many decompressor blocks are still allocated (none once an entry is closed).
    size_t DecompressorBlockCount() const;

private:
    [[noreturn]] void ThrowError(int cause) const;
    void CheckName(const EntryHeader& header) const;
    CEntryReader& Reader();

    size_t inputBufferSize = 65536;
    size_t searchBufferSize = 32768;
    CArchiveStorage storage;
    CCentralDirectory directory;
    std::unique_ptr<CEntryReader> reader;      // made when the archive opens, with its buffer size
    std::unique_ptr<CEntryReader> headReader;  // made when a head is first read
    std::string stripPrefix;
    CCaseResolver ownResolver;
    CCaseResolver* resolver = &ownResolver;
};
