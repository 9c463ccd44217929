#include "CZipArchive.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>

#include "CFileException.h"
#include "CPendingFile.h"
#include "CZipException.h"
#include "CZlibInflater.h"
#include "CaseFold.h"
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

CZipArchive::CZipArchive() = default;

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
    reader = std::make_unique<CEntryReader>(storage, directory, inputBufferSize);
    stripPrefix.clear();
    directory.Read(storage, searchBufferSize);
}

void CZipArchive::CloseArchive() noexcept {
    reader.reset();
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
    return reader ? reader->DecompressorBlockCount() : 0;
}

CEntryReader& CZipArchive::Reader() {
    return *reader;
}

void CZipArchive::SetStripPrefix(const std::string& prefix) {
    if (IsClosed() || Reader().IsOpen()) {
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

bool CZipArchive::Prepare(int index, const std::string& path, bool keepFullPath,
                          const std::string& baseFolder, Extraction& job,
                          const std::string& newName) {
    const EntryHeader* header = FindHeader(index);
    if (header == nullptr) {
        throw CZipException(CZipException::internal, storage.CurrentPath());
    }
    CheckName(*header);
    return PrepareAt(index, BuildTargetName(header->name, path, keepFullPath, newName), baseFolder,
                     job);
}

bool CZipArchive::PrepareAt(int index, const std::string& targetPath, const std::string& baseFolder,
                            Extraction& job) {
    const EntryHeader* header = FindHeader(index);
    if (header == nullptr) {
        throw CZipException(CZipException::internal, storage.CurrentPath());
    }
    CheckName(*header);
    job.index = index;
    job.baseFolder = baseFolder;
    job.target = resolver->Resolve(targetPath);
    if (header->IsDirectory()) {
        resolver->CreateFolderChain(job.target, baseFolder);
        FileSystem::SetAttributes(job.target, header->GetSystemAttributes());
        return false;
    }
    // A failure here shows again, with its reason, when the file is created.
    resolver->CreateFolderChain(FolderOf(job.target), baseFolder);
    job.knownAbsent = resolver->KnownAbsent(job.target);
    job.modified = header->GetTime();
    job.readOnly = (header->GetSystemAttributes() & FileSystem::kReadOnly) != 0;
    return true;
}

int CZipArchive::CarryOut(const Extraction& job, CEntryReader& entryReader, size_t bufferSize,
                          IWriteObserver* observer) const {
    if (!entryReader.Open(job.index)) {
        throw CZipException(CZipException::internal, storage.archivePath);
    }
    CPendingFile file;
    try {
        file.Create(job.target, job.knownAbsent);
    } catch (const CFileException& e) {
        // The folder went away since it was made or seen: make it again, unless the base
        // folder itself has gone, which is not ours to make.
        if (e.osError != ENOENT) {
            throw;
        }
        if (!job.baseFolder.empty() && !FileSystem::IsDirectory(job.baseFolder)) {
            throw CFileException(CFileException::fileNotFound, ENOENT, job.baseFolder);
        }
        FileSystem::CreateFolderChain(FileSystem::ResolveCase(FolderOf(job.target)));
        file.Create(job.target, false);
    }
    bufferSize = std::max<size_t>(bufferSize, 1);
    uint8_t* buffer = entryReader.OutputBuffer(bufferSize);
    size_t n;
    do {
        n = entryReader.Read(buffer, bufferSize);
        if (n > 0) {
            file.Write(buffer, n);
            if (observer != nullptr) {
                observer->Written(buffer, n);
            }
        }
    } while (n == bufferSize);
    entryReader.Finish();
    // A file whose time or read-only mark cannot be set still holds the right data.
    const bool marked = file.SetTimes(job.modified) && (!job.readOnly || file.SetReadOnly());
    if (observer != nullptr) {
        observer->BeforeCommit(job.target);
    }
    file.Commit();
    return marked ? 1 : -2;
}

void CZipArchive::Finished(const Extraction& job) {
    resolver->Remember(job.target, false);
}

std::string CZipArchive::ReadHead(int index, size_t count) {
    if (IsClosed()) {
        return {};
    }
    if (!headReader) {
        headReader = std::make_unique<CEntryReader>(storage, directory, 1024,
                                                    std::make_unique<CZlibInflater>());
    }
    std::string head(count, '\0');
    size_t read = 0;
    try {
        if (headReader->Open(index)) {
            for (size_t n = 1; n > 0 && read < count; read += n) {
                n = headReader->Read(head.data() + read, count - read);
            }
        }
    } catch (const CException&) {
        read = 0;
    } catch (const std::bad_alloc&) {
        read = 0;
    }
    headReader->Abandon();
    head.resize(std::min(read, count));
    return head;
}

std::unique_ptr<CEntryReader> CZipArchive::MakeReader() const {
    return std::make_unique<CEntryReader>(const_cast<CArchiveStorage&>(storage), directory,
                                          inputBufferSize);
}

bool CZipArchive::AllowsParallelReads() const {
    return !IsClosed() && storage.spanMode == CArchiveStorage::singleFile;
}

bool CZipArchive::ExtractTo(int index, const std::string& path, bool keepFullPath,
                            const std::string& newName, size_t bufferSize,
                            const std::string& baseFolder) {
    const EntryHeader* header = FindHeader(index);
    if (header == nullptr || Reader().IsOpen()) {
        return false;
    }
    Extraction job;
    if (!Prepare(index, path, keepFullPath, baseFolder, job, newName)) {
        return true;
    }
    return ExtractPrepared(job, bufferSize);
}

bool CZipArchive::ExtractPrepared(const Extraction& job, size_t bufferSize,
                                  IWriteObserver* observer) {
    const int result = CarryOut(job, Reader(), bufferSize, observer);
    Finished(job);
    return result == 1;
}

void CZipArchive::TestEntry(int index, CEntryReader& entryReader, size_t bufferSize) const {
    const EntryHeader* header = FindHeader(index);
    if (header == nullptr) {
        return;
    }
    CheckName(*header);
    if (header->IsDirectory() || !entryReader.Open(index)) {
        return;
    }
    bufferSize = std::max<size_t>(bufferSize, 1);
    uint8_t* buffer = entryReader.OutputBuffer(bufferSize);
    while (entryReader.Read(buffer, bufferSize) == bufferSize) {
    }
    entryReader.Finish();
}

bool CZipArchive::TestEntry(int index, size_t bufferSize) {
    if (FindHeader(index) == nullptr || Reader().IsOpen()) {
        return false;
    }
    TestEntry(index, Reader(), bufferSize);
    return true;
}

bool CZipArchive::OpenEntry(int index) {
    return FindHeader(index) != nullptr && Reader().Open(index);
}

size_t CZipArchive::ReadEntry(void* buffer, size_t size) {
    return IsClosed() ? 0 : Reader().Read(buffer, size);
}

int CZipArchive::CloseEntry(const std::string& filePath, bool afterFailure) {
    if (IsClosed() || !Reader().IsOpen()) {
        return 0;
    }
    if (afterFailure) {
        Reader().Abandon();
        return 1;
    }
    const EntryHeader& header = Reader().Header();
    const std::time_t time = header.GetTime();
    const uint32_t attributes = header.GetSystemAttributes();
    Reader().Finish();
    // A file whose time or attributes cannot be set still holds the right data.
    if (!filePath.empty() && (!FileSystem::SetFileTimes(filePath, time) ||
                              !FileSystem::SetAttributes(filePath, attributes))) {
        return -2;
    }
    return 1;
}
