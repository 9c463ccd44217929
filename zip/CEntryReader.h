#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "IInflater.h"

class CArchiveStorage;
class CCentralDirectory;
struct EntryHeader;

// Reads the data of one entry at a time: checks its local header, inflates it, and at the end
// compares its size, CRC-32 and data descriptor. An archive has one; an installation that reads
// several entries of a single-file archive at once gives each thread its own.
class CEntryReader {
public:
    // Without an inflater, the one the build chose.
    CEntryReader(CArchiveStorage& storage, const CCentralDirectory& directory,
                 size_t inputBufferSize, std::unique_ptr<IInflater> inflater = nullptr);
    ~CEntryReader();
    CEntryReader(const CEntryReader&) = delete;
    CEntryReader& operator=(const CEntryReader&) = delete;

    // False when an entry is already open or the index is not in the directory.
    bool Open(int index);
    bool IsOpen() const { return entry >= 0; }
    // Up to size bytes of the entry; fewer only at its end.
    size_t Read(void* buffer, size_t size);
    // Checks the end of the entry; throws when it is damaged and the entry then stays open.
    void Finish();
    // Drops the open entry without checks, freeing what the decompressor holds.
    void Abandon() noexcept;

    const EntryHeader& Header() const;
    // An output buffer of the reader's, kept from entry to entry, at least size bytes.
    uint8_t* OutputBuffer(size_t size);
    size_t DecompressorBlockCount() const { return inflater->TrackedBlockCount(); }

private:
    [[noreturn]] void ThrowError(int cause) const;
    size_t ReadData(void* buffer, size_t size);
    void CheckEnd();
    // After another inflater failed on a deflated entry, zlib judges it again, so that a damaged
    // entry fails with the same cause whichever inflater the build uses. Returns when zlib
    // reads the entry well too (the first failure stands then).
    void ThrowZlibVerdict();
    void ReadExact(void* buffer, size_t size, int kind);
    size_t ReadLocalHeader(const EntryHeader& header);
    void CheckDataDescriptor(const EntryHeader& header);

    CArchiveStorage& storage;
    const CCentralDirectory& directory;
    const size_t inputBufferSize;
    std::unique_ptr<IInflater> inflater;

    int entry = -1;
    uint16_t flags = 0;  // the central flags with the low four bits of the local header
    int disk = 0;
    uint64_t position = 0;             // where the next bytes of the entry are read
    std::unique_ptr<uint8_t[]> input;  // not zero-filled: every byte is read before use
    std::unique_ptr<uint8_t[]> output;
    size_t outputSize = 0;
    size_t inputPosition = 0;
    size_t inputAvailable = 0;
    uint32_t uncompressedLeft = 0;
    uint32_t compressedLeft = 0;
    uint32_t runningCrc = 0;
    bool extraByteOffered = false;
};
