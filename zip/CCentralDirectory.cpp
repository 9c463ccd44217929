#include "CCentralDirectory.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "CArchiveStorage.h"
#include "CZipException.h"
#include "ZipRecords.h"

using ZipRecords::Read16;
using ZipRecords::Read32;

namespace {

// Reads records in large blocks from the current volume; a record may begin on the next
// volume of a split archive but never straddle two.
class RecordReader {
public:
    explicit RecordReader(CArchiveStorage& storage_) : storage(storage_), buffer(64 * 1024) {}

    // The next size bytes. The first part of a record may move to the next volume.
    const uint8_t* Take(size_t size, bool recordStart) {
        if (!Have(size, recordStart)) {
            storage.ThrowBadArchive();
        }
        const uint8_t* data = buffer.data() + begin;
        begin += size;
        taken += size;
        return data;
    }

    // Whether the next record, here or at the start of the next volume, begins with signature;
    // nothing is taken.
    bool NextStartsWith(uint32_t signature) {
        return Have(4, true) && Read32(buffer.data() + begin) == signature;
    }

    // Bytes taken since the start.
    uint64_t Taken() const { return taken; }

private:
    bool Have(size_t size, bool recordStart) {
        if (end - begin < size) {
            Fill(size);
            if (end - begin < size && recordStart && end == begin && storage.NextVolume()) {
                Fill(size);
            }
        }
        return end - begin >= size;
    }

    void Fill(size_t size) {
        std::memmove(buffer.data(), buffer.data() + begin, end - begin);
        end -= begin;
        begin = 0;
        if (buffer.size() < size) {
            buffer.resize(size);
        }
        while (end < size) {
            const size_t n = storage.ReadInVolume(buffer.data() + end, buffer.size() - end);
            if (n == 0) {
                break;
            }
            end += n;
        }
    }

    CArchiveStorage& storage;
    std::vector<uint8_t> buffer;
    size_t begin = 0;
    size_t end = 0;
    uint64_t taken = 0;
};

// One central record: the fixed part, which must start with its signature, then the name, extra
// field and comment on the same volume.
EntryHeader ReadRecord(RecordReader& reader, CArchiveStorage& storage) {
    const uint8_t* p = reader.Take(ZipRecords::kCentralHeaderLength, true);
    EntryHeader header;
    header.signature = Read32(p);
    if (header.signature != ZipRecords::kCentralHeaderSignature) {
        storage.ThrowBadArchive();
    }
    header.versionMadeBy = Read16(p + 4);
    header.versionNeeded = Read16(p + 6);
    header.flags = Read16(p + 8);
    header.method = Read16(p + 10);
    header.modTime = Read16(p + 12);
    header.modDate = Read16(p + 14);
    header.crc = Read32(p + 16);
    header.compressedSize = Read32(p + 20);
    header.uncompressedSize = Read32(p + 24);
    const uint16_t nameLength = Read16(p + 28);
    const uint16_t extraLength = Read16(p + 30);
    const uint16_t commentLength = Read16(p + 32);
    header.diskStart = Read16(p + 34);
    header.internalAttributes = Read16(p + 36);
    header.externalAttributes = Read32(p + 38);
    header.localHeaderOffset = Read32(p + 42);
    header.storedNameLength = nameLength;

    const size_t variable = size_t{nameLength} + extraLength + commentLength;
    const auto* v = reinterpret_cast<const char*>(reader.Take(variable, false));
    header.name =
        EntryHeader::ConvertName(std::string(v, nameLength), header.HostSystem(), header.flags);
    header.extraField.assign(v + nameLength, extraLength);
    header.comment.assign(v + nameLength + extraLength, commentLength);
    return header;
}

}  // namespace

void CCentralDirectory::Clear() {
    headers.clear();
    headers.shrink_to_fit();
    comment.clear();
}

uint64_t CCentralDirectory::FindEndRecord(CArchiveStorage& storage, size_t searchBufferSize) {
    const uint64_t length = storage.VolumeLength();
    const uint64_t window =
        std::min<uint64_t>(ZipRecords::kMaxCommentLength + ZipRecords::kEndRecordLength, length);
    const uint64_t windowStart = length - window;
    std::vector<uint8_t> chunk(searchBufferSize);
    uint64_t chunkEnd = length;
    while (chunkEnd > windowStart) {
        const uint64_t chunkStart = std::max<uint64_t>(
            windowStart, chunkEnd - std::min<uint64_t>(chunkEnd, searchBufferSize));
        const size_t size = static_cast<size_t>(chunkEnd - chunkStart);
        storage.Seek(chunkStart);
        if (storage.ReadInVolume(chunk.data(), size) != size) {
            storage.ThrowBadArchive();
        }
        for (size_t i = size >= 4 ? size - 4 + 1 : 0; i-- > 0;) {
            if (Read32(chunk.data() + i) == ZipRecords::kEndRecordSignature) {
                return chunkStart + i;
            }
        }
        if (chunkStart == windowStart) {
            break;
        }
        chunkEnd = chunkStart + 3;  // a signature across the boundary is found in the next chunk
    }
    throw CZipException(CZipException::cdirNotFound, storage.CurrentPath());
}

void CCentralDirectory::Read(CArchiveStorage& storage, size_t searchBufferSize) {
    Clear();
    endRecordPosition = FindEndRecord(storage, searchBufferSize);
    uint8_t record[ZipRecords::kEndRecordLength];
    storage.Seek(endRecordPosition);
    if (storage.ReadInVolume(record, sizeof record) != sizeof record) {
        storage.ThrowBadArchive();
    }
    thisDisk = Read16(record + 4);
    diskWithDirectory = Read16(record + 6);
    entriesOnThisDisk = Read16(record + 8);
    totalEntries = Read16(record + 10);
    directorySize = Read32(record + 12);
    directoryOffset = Read32(record + 16);
    const uint16_t commentLength = Read16(record + 20);

    storage.SetLastDisk(thisDisk);
    const bool split = storage.spanMode == CArchiveStorage::splitFiles;
    const uint64_t directoryEnd = uint64_t{directoryOffset} + directorySize;
    if (!split && endRecordPosition < directoryEnd) {
        storage.ThrowBadArchive();
    }
    comment.resize(commentLength);
    if (commentLength != 0 &&
        storage.ReadInVolume(comment.data(), commentLength) != commentLength) {
        storage.ThrowBadArchive();
    }
    bytesBeforeArchive = split ? 0 : endRecordPosition - directoryEnd;
    // A count of 0 with records may be 65,536 wrapped: ReadHeaders settles it.
    if (directorySize == 0 && totalEntries != 0) {
        storage.ThrowBadArchive();
    }
    storage.ChangeDisk(diskWithDirectory);
    if (directorySize != 0) {
        storage.Seek(directoryOffset + bytesBeforeArchive);
        ReadHeaders(storage);
    }
    SortHeaders();
}

void CCentralDirectory::ReadHeaders(CArchiveStorage& storage) {
    RecordReader reader(storage);
    // The count is only 16 bits: past 65,535 entries it wraps, and the directory's size tells
    // how many records really follow. Reserve no more than those bytes could hold.
    headers.reserve(
        std::min<size_t>(totalEntries, directorySize / ZipRecords::kCentralHeaderLength));
    for (unsigned i = 0; i < totalEntries; ++i) {
        headers.push_back(ReadRecord(reader, storage));
    }
    // Records past the count must lie whole within the directory's size. Bytes there that start
    // no record (padding, a signature block) end the directory.
    while (reader.Taken() + ZipRecords::kCentralHeaderLength <= directorySize &&
           reader.NextStartsWith(ZipRecords::kCentralHeaderSignature)) {
        headers.push_back(ReadRecord(reader, storage));
        if (reader.Taken() > directorySize) {
            storage.ThrowBadArchive();
        }
    }
    // Only a wrapped count is taken: one that disagrees otherwise, or a directory with no
    // record in it, is as inconsistent as a count beyond the records.
    if (static_cast<uint16_t>(headers.size()) != totalEntries || headers.empty()) {
        storage.ThrowBadArchive();
    }
}

void CCentralDirectory::SortHeaders() {
    const auto before = [](const EntryHeader& a, const EntryHeader& b) {
        return a.diskStart != b.diskStart ? a.diskStart < b.diskStart
                                          : a.localHeaderOffset < b.localHeaderOffset;
    };
    // Most archives list their entries in data order already.
    if (!std::is_sorted(headers.begin(), headers.end(), before)) {
        std::stable_sort(headers.begin(), headers.end(), before);
    }
    for (size_t i = 1; i < headers.size(); ++i) {
        if (headers[i].diskStart == headers[i - 1].diskStart &&
            headers[i].localHeaderOffset == headers[i - 1].localHeaderOffset) {
            throw CZipException(CZipException::badZipFile);
        }
    }
}

uint64_t CCentralDirectory::DataLimit(size_t index) const {
    const EntryHeader& header = headers[index];
    if (index + 1 < headers.size() && headers[index + 1].diskStart == header.diskStart) {
        return headers[index + 1].localHeaderOffset;
    }
    if (header.diskStart == diskWithDirectory) {
        return directoryOffset;
    }
    return std::numeric_limits<uint64_t>::max();
}
