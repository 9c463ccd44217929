#include "CZipArchive.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>

#include "CPendingFile.h"
#include "CZipException.h"
#include "CaseFold.h"
#include "Crc32.h"
#include "FileSystem.h"
#include "PathParts.h"
#include "ZipRecords.h"

using ZipRecords::Read16;
using ZipRecords::Read32;

namespace {

constexpr size_t kMinBufferSize = 1024;

std::string TrimTrailingSeparators(std::string text) {
    while (!text.empty() && (text.back() == '\\' || text.back() == '/')) {
        text.pop_back();
    }
    return text;
}

std::string FolderOf(const std::string& path) {
    const size_t separator = path.find_last_of("\\/");
    return separator == std::string::npos ? std::string() : path.substr(0, separator + 1);
}

}  // namespace

CZipArchive::CZipArchive() : inflater(IInflater::Create()) {}

CZipArchive::~CZipArchive() {
    CloseArchive();
}

void CZipArchive::ThrowError(int cause) const {
    throw CZipException(cause, storage.CurrentPath());
}

void CZipArchive::SetBufferSizes(size_t input, size_t search) {
    if (!IsClosed()) {
        return;
    }
    inputBufferSize = std::max(input, kMinBufferSize);
    searchBufferSize = std::max(search, kMinBufferSize);
}

void CZipArchive::OpenArchive(const std::string& path, int mode) {
    if (!IsClosed()) {
        return;
    }
    storage.Open(path, mode == openReadOnly);
    ResetEntryState();
    stripPrefix.clear();
    directory.Read(storage, searchBufferSize);
}

void CZipArchive::CloseArchive() noexcept {
    ResetEntryState();
    directory.Clear();
    storage.Close();
}

const EntryHeader* CZipArchive::FindHeader(int index) const {
    if (IsClosed() || index < 0 || static_cast<size_t>(index) >= directory.Count()) {
        return nullptr;
    }
    return &directory.headers[static_cast<size_t>(index)];
}

bool CZipArchive::GetEntryHeader(EntryHeader& header, int index) const {
    const EntryHeader* found = FindHeader(index);
    if (found == nullptr) {
        return false;
    }
    header = *found;
    return true;
}

size_t CZipArchive::DecompressorBlockCount() const {
    return inflater->TrackedBlockCount();
}

void CZipArchive::SetStripPrefix(const std::string& prefix) {
    if (IsClosed() || openEntry >= 0) {
        return;
    }
    stripPrefix = TrimTrailingSeparators(prefix);
}

std::string CZipArchive::BuildTargetName(const std::string& nameInArchive, const std::string& path,
                                         bool keepFullPath, const std::string& newName) const {
    const std::string file = newName.empty() ? nameInArchive : newName;
    if (file.empty()) {
        return path;
    }
    std::string target = path;
    if (!target.empty()) {
        target = TrimTrailingSeparators(target) + '\\';
    }
    const PathParts parts(TrimTrailingSeparators(file));
    if (keepFullPath) {
        return target + PathParts::Normalize(parts.PathWithoutDrive());
    }
    if (stripPrefix.empty()) {
        return target + parts.FileName();
    }
    const std::string full = parts.FullPath();
    const std::string& prefix = stripPrefix;
    if (prefix.size() <= full.size() && CaseFold::StartsWith(full, prefix) &&
        (prefix.size() == full.size() || full[prefix.size()] == '\\' ||
         full[prefix.size()] == '/')) {
        const size_t rest = full.find_first_not_of("\\/", prefix.size());
        return target + (rest == std::string::npos ? std::string()
                                                   : PathParts::Normalize(full.substr(rest)));
    }
    return target + parts.FileName();
}

void CZipArchive::CheckName(const EntryHeader& header) const {
    // Whatever the folder the caller chose, an entry named outside of it is refused whole.
    if (!PathParts::StaysInside(header.name)) {
        ThrowError(CZipException::unsafeName);
    }
}

bool CZipArchive::ExtractTo(int index, const std::string& path, bool keepFullPath,
                            const std::string& newName, size_t bufferSize) {
    const EntryHeader* header = FindHeader(index);
    if (header == nullptr || openEntry >= 0) {
        return false;
    }
    CheckName(*header);
    const std::string target =
        resolver->Resolve(BuildTargetName(header->name, path, keepFullPath, newName));
    if (header->IsDirectory()) {
        resolver->CreateFolderChain(target);
        FileSystem::SetAttributes(target, header->GetSystemAttributes());
        return true;
    }
    if (!OpenEntry(index)) {
        return false;
    }
    resolver->CreateFolderChain(FolderOf(target));
    CPendingFile file;
    file.Create(target);
    bufferSize = std::max<size_t>(bufferSize, 1);
    const auto buffer = std::make_unique_for_overwrite<uint8_t[]>(bufferSize);
    size_t n;
    do {
        n = ReadEntry(buffer.get(), bufferSize);
        if (n > 0) {
            file.Write(buffer.get(), n);
        }
    } while (n == bufferSize);
    file.CloseFile();
    const int result = CloseEntry(file.TempPath(), false);
    file.Commit();
    resolver->Remember(target, false);
    return result == 1;
}

bool CZipArchive::TestEntry(int index, size_t bufferSize) {
    const EntryHeader* header = FindHeader(index);
    if (header == nullptr || openEntry >= 0) {
        return false;
    }
    CheckName(*header);
    if (header->IsDirectory()) {
        return true;
    }
    if (!OpenEntry(index)) {
        return false;
    }
    bufferSize = std::max<size_t>(bufferSize, 1);
    const auto buffer = std::make_unique_for_overwrite<uint8_t[]>(bufferSize);
    while (ReadEntry(buffer.get(), bufferSize) == bufferSize) {
    }
    return CloseEntry({}, false) == 1;
}

uint16_t CZipArchive::ReadLocalHeader(EntryHeader& header) {
    uint8_t record[ZipRecords::kLocalHeaderLength];
    storage.Read(record, sizeof record, CArchiveStorage::ReadKind::Record);
    if (Read32(record) != ZipRecords::kLocalHeaderSignature) {
        ThrowError(CZipException::badZipFile);
    }
    const uint16_t flags = Read16(record + 6);
    const uint16_t method = Read16(record + 8);
    if ((flags & 0xF) != (header.flags & 0xF)) {
        header.flags = static_cast<uint16_t>((header.flags & ~0xF) | (flags & 0xF));
    }
    if (method != header.method ||
        (method != ZipRecords::kMethodStored && method != ZipRecords::kMethodDeflated) ||
        Read16(record + 26) != header.storedNameLength) {
        ThrowError(CZipException::badZipFile);
    }
    if (!(flags & ZipRecords::kFlagDataDescriptor) &&
        (Read32(record + 14) != header.crc || Read32(record + 18) != header.compressedSize ||
         Read32(record + 22) != header.uncompressedSize)) {
        ThrowError(CZipException::badZipFile);
    }
    const uint16_t extraLength = Read16(record + 28);
    // The name is skipped; the extra field must follow on the same volume.
    storage.Seek(storage.Position() + header.storedNameLength);
    if (extraLength != 0) {
        std::vector<uint8_t> extra(extraLength);
        storage.Read(extra.data(), extraLength, CArchiveStorage::ReadKind::SameVolume);
    }
    return extraLength;
}

bool CZipArchive::OpenEntry(int index) {
    if (FindHeader(index) == nullptr || openEntry >= 0) {
        return false;
    }
    EntryHeader& header = directory.headers[static_cast<size_t>(index)];
    readState.input = std::make_unique_for_overwrite<uint8_t[]>(inputBufferSize);
    readState.inputSize = inputBufferSize;
    storage.ChangeDisk(header.diskStart);
    storage.Seek(directory.bytesBeforeArchive + header.localHeaderOffset);
    const uint16_t extraLength = ReadLocalHeader(header);

    // Data that runs into the next entry's header, or the directory, belongs to two entries at
    // once: the overlapping-entry trick of zip bombs.
    const uint64_t dataEnd = uint64_t{header.localHeaderOffset} + ZipRecords::kLocalHeaderLength +
                             header.storedNameLength + extraLength + header.compressedSize;
    if (dataEnd > directory.DataLimit(static_cast<size_t>(index))) {
        ThrowError(CZipException::badZipFile);
    }
    if (header.flags & ZipRecords::kFlagEncrypted) {
        ThrowError(CZipException::badPassword);
    }
    if (header.method == ZipRecords::kMethodDeflated) {
        const int result = inflater->Start();
        if (result != Z_OK) {
            inflater->Release();
            ThrowError(CZipException::ZlibErrorToCause(result));
        }
    }
    readState.compressedLeft = header.compressedSize;
    readState.uncompressedLeft = header.uncompressedSize;
    readState.runningCrc = 0;
    readState.inputPosition = 0;
    readState.inputAvailable = 0;
    readState.extraByteOffered = false;
    openEntry = index;
    return true;
}

size_t CZipArchive::ReadEntry(void* buffer, size_t size) {
    if (openEntry < 0 || buffer == nullptr || size == 0) {
        return 0;
    }
    const EntryHeader& header = directory.headers[static_cast<size_t>(openEntry)];
    const bool deflated = header.method == ZipRecords::kMethodDeflated;
    auto* out = static_cast<uint8_t*>(buffer);
    size_t space = std::min<size_t>(size, readState.uncompressedLeft);
    // Compressed bytes left over after the last output byte are still fed to the decompressor,
    // so that it reaches the stream's end.
    const bool force = space == 0 && readState.compressedLeft > 0;
    size_t count = 0;
    while (space > 0 || (force && readState.compressedLeft > 0)) {
        if (readState.inputAvailable == 0) {
            const size_t amount = std::min<size_t>(readState.inputSize, readState.compressedLeft);
            if (amount == 0) {
                // One dummy byte lets the decompressor finish a stream whose end it has not yet
                // seen. Bytes beyond the entry's own data are never read: they belong to others.
                if (!deflated || readState.extraByteOffered) {
                    ThrowError(CZipException::badZipFile);
                }
                readState.extraByteOffered = true;
                readState.input[0] = 0;
                readState.inputAvailable = 1;
            } else {
                storage.Read(readState.input.get(), amount, CArchiveStorage::ReadKind::Data);
                readState.compressedLeft -= static_cast<uint32_t>(amount);
                readState.inputAvailable = amount;
            }
            readState.inputPosition = 0;
        }
        const uint8_t* in = readState.input.get() + readState.inputPosition;
        size_t produced;
        if (deflated) {
            const IInflater::Step step =
                inflater->Inflate(in, readState.inputAvailable, out + count, space);
            readState.inputPosition += step.consumed;
            readState.inputAvailable -= step.consumed;
            produced = step.produced;
            readState.runningCrc = Crc32::Update(readState.runningCrc, out + count, produced);
            readState.uncompressedLeft -= static_cast<uint32_t>(produced);
            count += produced;
            space -= produced;
            if (step.result == Z_STREAM_END) {
                return count;
            }
            if (step.result != Z_OK && step.result != Z_NEED_DICT) {
                ThrowError(CZipException::ZlibErrorToCause(step.result));
            }
            if (step.consumed == 0 && produced == 0) {
                ThrowError(CZipException::bufError);  // a decompressor that stalls would loop
            }
        } else {
            produced = std::min(space, readState.inputAvailable);
            std::memcpy(out + count, in, produced);
            readState.runningCrc = Crc32::Update(readState.runningCrc, out + count, produced);
            readState.inputPosition += produced;
            readState.inputAvailable -= produced;
            readState.uncompressedLeft -= static_cast<uint32_t>(produced);
            count += produced;
            space -= produced;
            if (force) {
                readState.inputAvailable = 0;  // stored bytes beyond the stated size are skipped
            }
        }
    }
    return count;
}

void CZipArchive::CheckDataDescriptor(const EntryHeader& header) {
    // The descriptor follows the whole of the entry's data, also when the stream ended early.
    if (readState.compressedLeft > 0) {
        storage.Skip(readState.compressedLeft);
        readState.compressedLeft = 0;
    }
    uint8_t descriptor[4 + ZipRecords::kDataDescriptorLength];
    storage.Read(descriptor, 4, CArchiveStorage::ReadKind::Data);
    const uint8_t* fields = descriptor;
    if (Read32(descriptor) == ZipRecords::kDataDescriptorSignature) {
        storage.Read(descriptor + 4, ZipRecords::kDataDescriptorLength,
                     CArchiveStorage::ReadKind::Data);
        fields = descriptor + 4;
    } else {
        storage.Read(descriptor + 4, ZipRecords::kDataDescriptorLength - 4,
                     CArchiveStorage::ReadKind::Data);
    }
    if (Read32(fields) != header.crc || Read32(fields + 4) != header.compressedSize ||
        Read32(fields + 8) != header.uncompressedSize) {
        ThrowError(CZipException::badZipFile);
    }
}

int CZipArchive::CloseEntry(const std::string& filePath, bool afterFailure) {
    if (openEntry < 0) {
        return 0;
    }
    int result = 1;
    if (!afterFailure) {
        const EntryHeader& header = directory.headers[static_cast<size_t>(openEntry)];
        // Fewer bytes than the header states is a damaged entry, not a shorter file.
        if (readState.uncompressedLeft != 0) {
            ThrowError(CZipException::badZipFile);
        }
        if (!ignoreCrc && readState.runningCrc != header.crc) {
            ThrowError(CZipException::badCrc);
        }
        if (header.method == ZipRecords::kMethodDeflated) {
            inflater->Finish();
        }
        if (!filePath.empty()) {
            if (!FileSystem::SetFileTimes(filePath, header.GetTime()) ||
                !FileSystem::SetAttributes(filePath, header.GetSystemAttributes())) {
                result = -2;
            }
        }
        if (header.flags & ZipRecords::kFlagDataDescriptor) {
            CheckDataDescriptor(header);
        }
    }
    ResetEntryState();
    return result;
}

void CZipArchive::ResetEntryState() noexcept {
    openEntry = -1;
    inflater->Release();
    readState.input.reset();
    readState.inputSize = 0;
    readState.inputPosition = 0;
    readState.inputAvailable = 0;
}
