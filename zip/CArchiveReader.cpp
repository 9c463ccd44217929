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

bool CArchiveReader::PrepareEntry(int index, const std::string& targetFolder,
                                  const std::string& entryFolder, const std::string& subFolder,
                                  const std::string& baseFolder, CZipArchive::Extraction& job) {
    try {
        if (entryFolder == subFolder) {
            return archive.Prepare(index, targetFolder, true, baseFolder, job);
        }
        archive.SetStripPrefix(entryFolder);
        const bool file = archive.Prepare(index, targetFolder + subFolder, false, baseFolder, job);
        archive.SetStripPrefix({});
        return file;
    } catch (const std::bad_alloc&) {
        archive.SetStripPrefix({});
        throw CMemoryException();
    } catch (...) {
        archive.SetStripPrefix({});
        throw;
    }
}

void CArchiveReader::ExtractEntry(int index, const std::string& targetFolder,
                                  const std::string& entryFolder, const std::string& subFolder) {
    CZipArchive::Extraction job;
    if (archive.FindHeader(index) == nullptr ||
        !PrepareEntry(index, targetFolder, entryFolder, subFolder, {}, job)) {
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
