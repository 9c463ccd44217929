#include "CEntryReader.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <utility>
#include <vector>

#include "CArchiveStorage.h"
#include "CCentralDirectory.h"
#include "CZipException.h"
#include "CZlibInflater.h"
#include "Crc32.h"
#include "EntryHeader.h"
#include "ZipRecords.h"

using ZipRecords::Read16;
using ZipRecords::Read32;
using ReadKind = CArchiveStorage::ReadKind;

CEntryReader::CEntryReader(CArchiveStorage& storage_, const CCentralDirectory& directory_,
                           size_t inputBufferSize_, std::unique_ptr<IInflater> inflater_)
    : storage(storage_),
      directory(directory_),
      inputBufferSize(std::max<size_t>(inputBufferSize_, ZipRecords::kLocalHeaderLength)),
      inflater(inflater_ ? std::move(inflater_) : IInflater::Create()) {}

CEntryReader::~CEntryReader() {
    Abandon();
}

void CEntryReader::ThrowError(int cause) const {
    throw CZipException(cause, storage.CurrentPath());
}

const EntryHeader& CEntryReader::Header() const {
    return directory.headers[static_cast<size_t>(entry)];
}

void CEntryReader::ReadExact(void* buffer, size_t size, int kind) {
    if (storage.spanMode != CArchiveStorage::splitFiles) {
        if (storage.ReadAt(position, buffer, size) != size) {
            ThrowError(CZipException::badZipFile);
        }
        position += size;
        return;
    }
    // Volumes of a split archive are read one at a time, through the storage's current file.
    storage.ChangeDisk(disk);
    storage.Seek(position);
    storage.Read(buffer, size, static_cast<ReadKind>(kind));
    disk = storage.currentDisk;
    position = storage.Position();
}

size_t CEntryReader::ReadLocalHeader(const EntryHeader& header) {
    const bool single = storage.spanMode != CArchiveStorage::splitFiles;
    size_t got = ZipRecords::kLocalHeaderLength;
    if (single) {
        // One read brings the header and, for a small entry, all of its data.
        const uint64_t limit = directory.DataLimit(static_cast<size_t>(entry));
        const uint64_t span =
            limit == std::numeric_limits<uint64_t>::max() || limit < header.localHeaderOffset
                ? inputBufferSize
                : limit - header.localHeaderOffset;
        got = storage.ReadAt(position, input.get(),
                             static_cast<size_t>(std::clamp<uint64_t>(
                                 span, ZipRecords::kLocalHeaderLength, inputBufferSize)));
        if (got < ZipRecords::kLocalHeaderLength) {
            ThrowError(CZipException::badZipFile);
        }
    } else {
        ReadExact(input.get(), ZipRecords::kLocalHeaderLength, static_cast<int>(ReadKind::Record));
    }
    const uint8_t* record = input.get();
    if (Read32(record) != ZipRecords::kLocalHeaderSignature) {
        ThrowError(CZipException::badZipFile);
    }
    const uint16_t localFlags = Read16(record + 6);
    const uint16_t method = Read16(record + 8);
    flags = static_cast<uint16_t>((header.flags & ~0xF) | (localFlags & 0xF));
    if (method != header.method ||
        (method != ZipRecords::kMethodStored && method != ZipRecords::kMethodDeflated) ||
        Read16(record + 26) != header.storedNameLength) {
        ThrowError(CZipException::badZipFile);
    }
    if (!(localFlags & ZipRecords::kFlagDataDescriptor) &&
        (Read32(record + 14) != header.crc || Read32(record + 18) != header.compressedSize ||
         Read32(record + 22) != header.uncompressedSize)) {
        ThrowError(CZipException::badZipFile);
    }
    const size_t extraLength = Read16(record + 28);
    const size_t dataStart = ZipRecords::kLocalHeaderLength + header.storedNameLength + extraLength;
    if (single) {
        // The name and the extra field must be there whole; what follows is entry data.
        if (got < dataStart && storage.ReadAt(position + got, input.get() + got,
                                              std::min(dataStart, inputBufferSize) - got) !=
                                   std::min(dataStart, inputBufferSize) - got) {
            ThrowError(CZipException::badZipFile);
        }
        if (dataStart > inputBufferSize) {
            got = inputBufferSize;
            if (storage.ReadAt(position + dataStart - 1, input.get(), 1) != 1) {
                ThrowError(CZipException::badZipFile);
            }
            inputAvailable = 0;
        } else {
            got = std::max(got, dataStart);
            inputPosition = dataStart;
            inputAvailable = std::min<size_t>(got - dataStart, header.compressedSize);
        }
        position += dataStart + inputAvailable;
    } else {
        // The name is skipped; the extra field must follow on the same volume.
        position += header.storedNameLength;
        if (extraLength != 0) {
            std::vector<uint8_t> extra(extraLength);
            ReadExact(extra.data(), extraLength, static_cast<int>(ReadKind::SameVolume));
        }
        inputAvailable = 0;
    }
    return extraLength;
}

bool CEntryReader::Open(int index) {
    if (entry >= 0 || index < 0 || static_cast<size_t>(index) >= directory.Count()) {
        return false;
    }
    entry = index;
    const EntryHeader& header = Header();
    if (!input) {
        input = std::make_unique_for_overwrite<uint8_t[]>(inputBufferSize);
    }
    inputPosition = 0;
    inputAvailable = 0;
    disk = header.diskStart;
    position = directory.bytesBeforeArchive + header.localHeaderOffset;
    try {
        const size_t extraLength = ReadLocalHeader(header);
        // Data that runs into the next entry's header, or the directory, belongs to two entries
        // at once: the overlapping-entry trick of zip bombs.
        const uint64_t dataEnd = uint64_t{header.localHeaderOffset} +
                                 ZipRecords::kLocalHeaderLength + header.storedNameLength +
                                 extraLength + header.compressedSize;
        if (dataEnd > directory.DataLimit(static_cast<size_t>(index))) {
            ThrowError(CZipException::badZipFile);
        }
        if (flags & ZipRecords::kFlagEncrypted) {
            ThrowError(CZipException::badPassword);
        }
        if (header.method == ZipRecords::kMethodDeflated) {
            const int result = inflater->Start();
            if (result != Z_OK) {
                ThrowError(CZipException::ZlibErrorToCause(result));
            }
        }
    } catch (...) {
        Abandon();
        throw;
    }
    compressedLeft = header.compressedSize - static_cast<uint32_t>(inputAvailable);
    uncompressedLeft = header.uncompressedSize;
    runningCrc = 0;
    extraByteOffered = false;
    return true;
}

size_t CEntryReader::Read(void* buffer, size_t size) {
    try {
        return ReadData(buffer, size);
    } catch (const CZipException&) {
        ThrowZlibVerdict();
        throw;
    }
}

void CEntryReader::Finish() {
    try {
        CheckEnd();
    } catch (const CZipException&) {
        ThrowZlibVerdict();
        throw;
    }
}

uint8_t* CEntryReader::OutputBuffer(size_t size) {
    if (outputSize < size) {
        output = std::make_unique_for_overwrite<uint8_t[]>(size);
        outputSize = size;
    }
    return output.get();
}

void CEntryReader::ThrowZlibVerdict() {
    if (entry < 0 || Header().method != ZipRecords::kMethodDeflated ||
        dynamic_cast<const CZlibInflater*>(inflater.get()) != nullptr) {
        return;
    }
    CEntryReader judge(storage, directory, inputBufferSize, std::make_unique<CZlibInflater>());
    try {
        if (judge.Open(entry)) {
            const auto scratch = std::make_unique_for_overwrite<uint8_t[]>(inputBufferSize);
            while (judge.ReadData(scratch.get(), inputBufferSize) == inputBufferSize) {
            }
            judge.CheckEnd();
        }
    } catch (const CZipException&) {
        throw;
    } catch (const CException&) {
        // A failure to read the archive says nothing about the stream.
    }
}

size_t CEntryReader::ReadData(void* buffer, size_t size) {
    if (entry < 0 || buffer == nullptr || size == 0) {
        return 0;
    }
    const bool deflated = Header().method == ZipRecords::kMethodDeflated;
    auto* out = static_cast<uint8_t*>(buffer);
    size_t space = std::min<size_t>(size, uncompressedLeft);
    // Compressed bytes left over after the last output byte are still fed to the decompressor,
    // so that it reaches the stream's end.
    const bool force = space == 0 && (compressedLeft > 0 || inputAvailable > 0);
    size_t count = 0;
    while (space > 0 || (force && (compressedLeft > 0 || inputAvailable > 0))) {
        if (inputAvailable == 0) {
            const size_t amount = std::min<size_t>(inputBufferSize, compressedLeft);
            if (amount == 0) {
                // One dummy byte lets the decompressor finish a stream whose end it has not yet
                // seen. Bytes beyond the entry's own data are never read: they belong to others.
                if (!deflated || extraByteOffered) {
                    ThrowError(CZipException::badZipFile);
                }
                extraByteOffered = true;
                input[0] = 0;
                inputAvailable = 1;
            } else {
                ReadExact(input.get(), amount, static_cast<int>(ReadKind::Data));
                compressedLeft -= static_cast<uint32_t>(amount);
                inputAvailable = amount;
            }
            inputPosition = 0;
        }
        const uint8_t* in = input.get() + inputPosition;
        IInflater::Step step{0, 0, Z_OK};
        if (deflated) {
            step = inflater->Inflate(in, inputAvailable, out + count, space);
        } else {
            step.consumed = step.produced = std::min(space, inputAvailable);
            std::memcpy(out + count, in, step.produced);
        }
        inputPosition += step.consumed;
        inputAvailable -= step.consumed;
        runningCrc = Crc32::Update(runningCrc, out + count, step.produced);
        uncompressedLeft -= static_cast<uint32_t>(step.produced);
        count += step.produced;
        space -= step.produced;
        if (!deflated) {
            if (force) {
                inputAvailable = 0;  // stored bytes beyond the stated size are skipped
            }
            continue;
        }
        if (step.result == Z_STREAM_END) {
            return count;
        }
        if (step.result != Z_OK && step.result != Z_NEED_DICT) {
            ThrowError(CZipException::ZlibErrorToCause(step.result));
        }
        if (step.consumed == 0 && step.produced == 0) {
            ThrowError(CZipException::bufError);  // a decompressor that stalls would loop
        }
    }
    return count;
}

void CEntryReader::CheckDataDescriptor(const EntryHeader& header) {
    // The descriptor follows the whole of the entry's data, also when the stream ended early.
    if (storage.spanMode != CArchiveStorage::splitFiles) {
        position += compressedLeft;
    } else {
        std::vector<uint8_t> skipped(std::min<uint32_t>(compressedLeft, 4096));
        for (uint32_t left = compressedLeft; left > 0;) {
            const size_t n = std::min<size_t>(left, skipped.size());
            ReadExact(skipped.data(), n, static_cast<int>(ReadKind::Data));
            left -= static_cast<uint32_t>(n);
        }
    }
    compressedLeft = 0;
    uint8_t descriptor[4 + ZipRecords::kDataDescriptorLength];
    ReadExact(descriptor, 4, static_cast<int>(ReadKind::Data));
    const uint8_t* fields = descriptor;
    if (Read32(descriptor) == ZipRecords::kDataDescriptorSignature) {
        ReadExact(descriptor + 4, ZipRecords::kDataDescriptorLength,
                  static_cast<int>(ReadKind::Data));
        fields = descriptor + 4;
    } else {
        ReadExact(descriptor + 4, ZipRecords::kDataDescriptorLength - 4,
                  static_cast<int>(ReadKind::Data));
    }
    if (Read32(fields) != header.crc || Read32(fields + 4) != header.compressedSize ||
        Read32(fields + 8) != header.uncompressedSize) {
        ThrowError(CZipException::badZipFile);
    }
}

void CEntryReader::CheckEnd() {
    if (entry < 0) {
        return;
    }
    const EntryHeader& header = Header();
    // Fewer bytes than the header states is a damaged entry, not a shorter file.
    if (uncompressedLeft != 0) {
        ThrowError(CZipException::badZipFile);
    }
    if (runningCrc != header.crc) {
        ThrowError(CZipException::badCrc);
    }
    if (header.method == ZipRecords::kMethodDeflated) {
        inflater->Finish();
    }
    if (flags & ZipRecords::kFlagDataDescriptor) {
        CheckDataDescriptor(header);
    }
    Abandon();
}

void CEntryReader::Abandon() noexcept {
    entry = -1;
    inflater->Release();
    inputPosition = 0;
    inputAvailable = 0;
}
