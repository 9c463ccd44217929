#include "CArchiveStorage.h"

#include <algorithm>
#include <cstdio>

#include "CFileException.h"
#include "CZipException.h"

void CArchiveStorage::Open(const std::string& path, bool openReadOnly) {
    Close();
    archivePath = path;
    readOnly = openReadOnly;
    file.Open(path, openReadOnly ? CFile::Mode::ReadOnly : CFile::Mode::ReadWrite);
    spanMode = undetermined;
    currentDisk = 0;
    lastDisk = 0;
}

void CArchiveStorage::Close() noexcept {
    file.Abort();
}

void CArchiveStorage::ThrowBadArchive() const {
    throw CZipException(CZipException::badZipFile, CurrentPath());
}

void CArchiveStorage::SetLastDisk(int disk) {
    // Removable drives do not exist here: a multi-volume archive is read as numbered files.
    if (disk == 0) {
        spanMode = singleFile;
    } else {
        spanMode = splitFiles;
        lastDisk = disk;
        currentDisk = disk;
    }
}

std::string CArchiveStorage::VolumePath(int disk) const {
    if (disk == lastDisk) {
        return archivePath;
    }
    // The extension of the opened file, replaced by the disk number in three digits.
    const size_t slash = archivePath.find_last_of("\\/");
    const size_t dot = archivePath.rfind('.');
    const size_t stem = dot == std::string::npos || (slash != std::string::npos && dot < slash)
                            ? archivePath.size()
                            : dot;
    char extension[16];
    std::snprintf(extension, sizeof extension, ".%.3d", disk);
    return archivePath.substr(0, stem) + extension;
}

void CArchiveStorage::ChangeDisk(int disk) {
    if (spanMode != splitFiles || disk == currentDisk) {
        return;
    }
    if (disk < 0 || disk > lastDisk) {
        ThrowBadArchive();
    }
    const std::string path = VolumePath(disk);
    const int previous = currentDisk;
    file.Abort();
    try {
        file.Open(path, CFile::Mode::ReadOnly);
    } catch (const CFileException&) {
        // A missing volume must not leave the archive closed: a closed archive turns every
        // later extraction into a silent no-op instead of a failure.
        file.Open(VolumePath(previous), CFile::Mode::ReadOnly);
        throw;
    }
    currentDisk = disk;
}

bool CArchiveStorage::NextVolume() {
    if (spanMode != splitFiles || currentDisk >= lastDisk) {
        return false;
    }
    ChangeDisk(currentDisk + 1);
    file.Seek(0);
    return true;
}

size_t CArchiveStorage::ReadInVolume(void* buffer, size_t size) {
    return file.Read(buffer, size);
}

void CArchiveStorage::Read(void* buffer, size_t size, ReadKind kind) {
    auto* out = static_cast<char*>(buffer);
    size_t done = file.Read(out, size);
    if (done == size) {
        return;
    }
    if (spanMode != splitFiles || kind == ReadKind::SameVolume ||
        (kind == ReadKind::Record && done != 0)) {
        ThrowBadArchive();
    }
    while (done < size) {
        if (!NextVolume()) {
            ThrowBadArchive();
        }
        const size_t n = file.Read(out + done, size - done);
        if (n == 0 || (kind == ReadKind::Record && n != size)) {
            ThrowBadArchive();
        }
        done += n;
    }
}

void CArchiveStorage::Skip(uint64_t size) {
    if (spanMode != splitFiles) {
        file.Seek(file.GetPosition() + size);
        return;
    }
    char scratch[4096];
    while (size > 0) {
        const size_t n = static_cast<size_t>(std::min<uint64_t>(size, sizeof scratch));
        Read(scratch, n, ReadKind::Data);
        size -= n;
    }
}
