#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "CArchiveStorage.h"
#include "CCaseResolver.h"
#include "CCentralDirectory.h"
#include "EntryHeader.h"
#include "IInflater.h"

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
    // Writes entry index below path. False when the entry could not be opened.
    bool ExtractTo(int index, const std::string& path, bool keepFullPath,
                   const std::string& newName = {}, size_t bufferSize = 65536);
    // Reads entry index to its end with every check of an extraction, writing nothing.
    bool TestEntry(int index, size_t bufferSize = 65536);
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
    struct EntryReadState {
        std::unique_ptr<uint8_t[]> input;  // not zero-filled: every byte is read before use
        size_t inputSize = 0;
        size_t inputPosition = 0;
        size_t inputAvailable = 0;
        uint32_t uncompressedLeft = 0;
        uint32_t compressedLeft = 0;
        uint32_t runningCrc = 0;
        bool extraByteOffered = false;
    };

    [[noreturn]] void ThrowError(int cause) const;
    void CheckName(const EntryHeader& header) const;
    uint16_t ReadLocalHeader(EntryHeader& header);
    void CheckDataDescriptor(const EntryHeader& header);
    void ResetEntryState() noexcept;

    size_t inputBufferSize = 65536;
    size_t searchBufferSize = 32768;
    CArchiveStorage storage;
    CCentralDirectory directory;
    std::unique_ptr<IInflater> inflater;
    EntryReadState readState;
    int openEntry = -1;  // the index of the entry being read, or -1
    bool ignoreCrc = false;
    std::string stripPrefix;
    CCaseResolver ownResolver;
    CCaseResolver* resolver = &ownResolver;
};
