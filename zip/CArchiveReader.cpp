#include "CArchiveReader.h"

#include <cmath>
#include <new>

#include "CFileException.h"
#include "CMemoryException.h"
#include "CPathName.h"
#include "CStringTable.h"
#include "CZipException.h"
#include "FileSystem.h"
#include "IReaderPrompts.h"
#include "LocalTime.h"
#include "PathParts.h"
#include "StringIds.h"

namespace {

constexpr size_t kInputBufferSize = 65536;
constexpr size_t kSearchBufferSize = 32768;
constexpr size_t kMaxCommentLength = 255;

}  // namespace

CArchiveReader::CArchiveReader(const std::string& archivePath, IReaderPrompts& prompts_)
    : path(archivePath), prompts(prompts_) {
    if (!path.empty()) {
        Open(prompts);
    }
}

CArchiveReader::~CArchiveReader() = default;

void CArchiveReader::Open(IReaderPrompts& ui) {
    int mode = CZipArchive::openReadWrite;
    for (;;) {
        archive.SetBufferSizes(kInputBufferSize, kSearchBufferSize);
        try {
            archive.OpenArchive(path, mode);
            isOpen = true;
            entryCount = archive.GetCount();
            return;
        } catch (const CFileException& e) {
            if (mode == CZipArchive::openReadWrite &&
                (e.cause == CFileException::accessDenied ||
                 e.cause == CFileException::sharingViolation)) {
                mode = CZipArchive::openReadOnly;
                continue;
            }
            ui.ShowOpenError(CStringTable::Load(IDS_OPEN_ERROR),
                             CStringTable::Load(IDS_CAPTION_ERROR), e);
        } catch (const CZipException& e) {
            if (mode == CZipArchive::openReadWrite && e.cause == CZipException::cdirNotFound &&
                ui.AskRetry(CStringTable::Load(IDS_RETRY_CENTRAL_DIRECTORY))) {
                archive.CloseArchive();
                continue;
            }
            ui.ShowOpenError(CStringTable::Load(IDS_OPEN_ERROR),
                             CStringTable::Load(IDS_CAPTION_ERROR), e);
        } catch (const std::bad_alloc&) {
            const CMemoryException e;
            ui.ShowOpenError(CStringTable::Load(IDS_OPEN_ERROR),
                             CStringTable::Load(IDS_CAPTION_ERROR), e);
        }
        isOpen = false;
        entryCount = 0;
        return;
    }
}

std::string CArchiveReader::FormatByteCount(uint64_t value) {
    // Unsigned, so that sizes from 2 GiB on do not show as negative numbers.
    std::string digits = std::to_string(value);
    const std::string& separator = CStringTable::Load(IDS_THOUSANDS_SEPARATOR);
    for (size_t at = digits.size(); at > 3;) {
        at -= 3;
        digits.insert(at, separator);
    }
    return digits;
}

bool CArchiveReader::GetEntryInfo(ArchiveEntryInfo& info, int index, bool brief) {
    if (!isOpen) {
        return false;
    }
    const EntryHeader* header = archive.FindHeader(index);
    if (header == nullptr) {
        return false;
    }
    const CPathName name(header->name);
    info.name = name.NamePart();
    info.storedName = header->name;
    info.folder = name.FolderPart().String();
    info.uncompressedSize = header->uncompressedSize;
    info.compressedSize = header->compressedSize;
    info.sizeText = FormatByteCount(header->uncompressedSize);
    info.dateText = LocalTime::Format(header->GetTime(), CStringTable::Load(IDS_DATE_FORMAT));
    const double ratio = header->uncompressedSize == 0
                             ? 0.0
                             : header->compressedSize * 100.0 / header->uncompressedSize;
    // Halves round away from zero: 12.5 shows as 13%.
    info.ratioText = std::to_string(static_cast<long long>(std::round(ratio))) + "%";
    info.compressedText = FormatByteCount(header->compressedSize);
    if (!brief) {
        info.comment = header->comment.substr(0, kMaxCommentLength);
        const uint32_t attributes = header->GetSystemAttributes();
        info.attributes = {(attributes & FileSystem::kReadOnly) ? 'r' : '-',
                           (attributes & FileSystem::kArchive) ? 'a' : '-',
                           (attributes & FileSystem::kHidden) ? 'h' : '-',
                           (attributes & FileSystem::kSystem) ? 's' : '-'};
    }
    info.isDirectory = header->IsDirectory();
    info.iconIndex = prompts.IconIndex(info.isDirectory ? "TMP" : info.name, info.isDirectory);
    return true;
}

std::optional<std::string> CArchiveReader::Destination(const ArchiveEntryInfo& info,
                                                       const std::string& subFolder) {
    // The stored path is checked as well as the cleaned-up one: "../x" must not pass because
    // the sorting rules send x somewhere harmless.
    std::string name = info.name;
    if (info.isDirectory) {
        // A folder entry's name is its whole path: it lands as its last folder.
        while (!name.empty() && (name.back() == '\\' || name.back() == '/')) {
            name.pop_back();
        }
        name = CPathName(name).NamePart();
    }
    const std::string joined = subFolder + name;
    if (!PathParts::StaysInside(info.storedName) || !PathParts::StaysInside(joined)) {
        return std::nullopt;
    }
    return PathParts::Normalize(joined);
}

bool CArchiveReader::PrepareEntry(int index, const std::string& destination,
                                  const std::string& baseFolder, CZipArchive::Extraction& job) {
    try {
        return archive.PrepareAt(index, destination, baseFolder, job);
    } catch (const std::bad_alloc&) {
        throw CMemoryException();
    }
}

void CArchiveReader::ExtractEntry(int index, const std::string& targetFolder, const std::string&,
                                  const std::string& subFolder) {
    // Both ways of the classic extraction (the entry's own folders, or its file name alone in
    // subFolder) land where Destination says, so the file is written there directly.
    ArchiveEntryInfo info;
    if (!GetEntryInfo(info, index, true)) {
        return;
    }
    const std::optional<std::string> relative = Destination(info, subFolder);
    if (!relative) {
        throw CZipException(CZipException::unsafeName, path);
    }
    std::string folder = targetFolder;
    if (!folder.empty() && folder.back() != '\\' && folder.back() != '/') {
        folder += '\\';
    }
    CZipArchive::Extraction job;
    if (!PrepareEntry(index, folder + *relative, {}, job)) {
        return;
    }
    try {
        archive.ExtractPrepared(job, kInputBufferSize);
    } catch (const std::bad_alloc&) {
        throw CMemoryException();
    }
}

void CArchiveReader::TestEntry(int index) {
    try {
        archive.TestEntry(index, kInputBufferSize);
    } catch (const std::bad_alloc&) {
        throw CMemoryException();
    }
}

int CArchiveReader::CloseEntry(const std::string& filePath, bool afterFailure) {
    return archive.CloseEntry(filePath, afterFailure);
}
