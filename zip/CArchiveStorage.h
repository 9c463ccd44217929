#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "CFile.h"

// The archive file, or the numbered volume files of a split archive, read as one stream.
class CArchiveStorage {
public:
    enum SpanMode { singleFile = 0, removableDisks = 1, splitFiles = 2, undetermined = 3 };

    // How a read may cross from one volume of a split archive to the next.
    enum class ReadKind {
        Data,        // entry data: continues on the following volumes
        Record,      // a fixed record: may start on the next volume, never straddle two
        SameVolume,  // the rest of a record: never leaves the current volume
    };

    void Open(const std::string& path, bool readOnly);
    void Close() noexcept;
    bool IsOpen() const { return file.IsOpen(); }

    // Settles the span mode from the end record's disk number.
    void SetLastDisk(int disk);
    // Makes the volume of the given disk current; switching to the current disk does nothing.
    void ChangeDisk(int disk);

    // Reads exactly size bytes or raises cause 101.
    void Read(void* buffer, size_t size, ReadKind kind);
    // Reads what the current volume still holds, up to size bytes.
    size_t ReadInVolume(void* buffer, size_t size);
    // Reads up to size bytes of the current volume at a position, without moving; several
    // threads may read a single-file archive this way at once.
    size_t ReadAt(uint64_t position, void* buffer, size_t size) const {
        return file.ReadAt(position, buffer, size);
    }
    // Moves to the start of the next volume; false when there is none.
    bool NextVolume();
    void Seek(uint64_t position) { file.Seek(position); }
    // Moves forward over size bytes of entry data.
    void Skip(uint64_t size);
    uint64_t Position() const { return file.GetPosition(); }
    uint64_t VolumeLength() { return file.GetLength(); }

    // The file the current volume is read from; exceptions carry it.
    const std::string& CurrentPath() const { return file.GetFilePath(); }
    std::string VolumePath(int disk) const;

    [[noreturn]] void ThrowBadArchive() const;

    bool readOnly = false;
    int spanMode = undetermined;
    int currentDisk = 0;
    int lastDisk = 0;
    std::string archivePath;  // the file that was opened: the last volume of a split archive

private:
    CFile file;
};
