#include "CExtractionRun.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <deque>
#include <future>
#include <memory>
#include <new>
#include <utility>

#include "ArchiveEntryInfo.h"
#include "CArchiveReader.h"
#include "CEntryWorkers.h"
#include "CFileException.h"
#include "CMemoryException.h"
#include "CStringTable.h"
#include "CZipException.h"
#include "CaseFold.h"
#include "FileFinder.h"
#include "FileSystem.h"
#include "LocalTime.h"
#include "PathParts.h"
#include "SortRules.h"
#include "StringIds.h"
#include "TextFormat.h"

namespace {

// True when path lies inside folder (both native, case-folded).
bool IsFolderOf(const std::string& folder, const std::string& path) {
    return path.size() > folder.size() && path[folder.size()] == '/' &&
           path.compare(0, folder.size(), folder) == 0;
}

}  // namespace

CExtractionRun::CExtractionRun(InstallJob job_, InstallOptions options_, IExtractWindow& window_,
                               IReaderPrompts& prompts_)
    : job(std::move(job_)),
      options(std::move(options_)),
      window(window_),
      prompts(prompts_),
      replace(options.Replace != 0),
      confirmWhenDifferent(options.Newer != 0),
      workerThreads(CEntryWorkers::DefaultThreads()) {}

// An entry handed to the workers, waiting for its outcome to be shown.
struct CExtractionRun::InFlight {
    std::string name;
    std::string folder;
    std::string subFolder;
    std::string key;  // its destination, case-folded
    CZipArchive::Extraction extraction;
    std::future<CEntryWorkers::Outcome> outcome;
};

// The archive being installed.
struct CExtractionRun::ArchiveState {
    std::string name;
    CArchiveReader& reader;
    IExtractWindow::Node node;
    bool error = false;
    std::unique_ptr<CEntryWorkers> workers;  // none: everything on the run's thread
    std::deque<InFlight> inFlight;
};

std::vector<std::string> CExtractionRun::FindArchives() const {
    return FileFinder::FindFiles(job.Type == sourceFile ? job.SourceDir : job.SourceDir + "*.zip");
}

int CExtractionRun::CountArchives() {
    archiveCount = static_cast<int>(FindArchives().size());
    if (archiveCount > 0) {
        window.SetTotalRange(archiveCount);
        window.SetTotalPosition(0);
    }
    return archiveCount;
}

void CExtractionRun::PumpMessages() {
    window.PumpMessages();
}

bool CExtractionRun::RunExtraction() {
    int done = 0;
    for (const std::string& name : FindArchives()) {
        if (cancelRequested) {
            break;
        }
        PumpMessages();
        window.ShowFileLabel(name);
        if (ExtractArchive(name)) {
            report.AddOk(name);
        }
        window.SetTotalPosition(++done);
    }
    FinishRun();
    return !cancelRequested;
}

void CExtractionRun::CountError(const std::string& boxSubject, const std::string& message) {
    ++errorCount;
    window.ShowError(TextFormat::Format(CStringTable::Load(IDS_ERROR_BOX), {boxSubject, message}));
}

bool CExtractionRun::ExtractArchive(const std::string& archiveName) {
    // The source, like the target, is found whatever the case of its names.
    const std::string path =
        resolver.Resolve(job.Type == sourceFile ? job.SourceDir : job.SourceDir + archiveName);
    std::unique_ptr<CArchiveReader> reader;
    try {
        try {
            reader = std::make_unique<CArchiveReader>(path, prompts);
        } catch (const std::bad_alloc&) {
            throw CMemoryException();
        }
    } catch (const CException& e) {
        const std::string message = e.ErrorMessage();
        report.AddArchiveError(archiveName, message);
        CountError(archiveName, message);
        return false;
    }
    reader->archive.SetCaseResolver(&resolver);
    window.SetArchiveRange(reader->isOpen ? reader->entryCount : 0);
    window.SetArchivePosition(0);
    const IExtractWindow::Node archiveNode = window.InsertArchiveNode(archiveName);
    if (!reader->isOpen) {
        // The reader has told the user already; the run counts the archive as failed instead of
        // reporting it installed.
        ++errorCount;
        report.AddArchiveError(archiveName, CStringTable::Load(IDS_OPEN_ERROR));
        return false;
    }
    const std::string mapName = FindMapName(*reader, reader->entryCount);
    ArchiveState archive{archiveName, *reader, archiveNode, false, nullptr, {}};
    if (workerThreads > 0 && reader->archive.AllowsParallelReads()) {
        archive.workers = std::make_unique<CEntryWorkers>(reader->archive, workerThreads);
    }
    current = &archive;
    // Whichever way this function is left, no one may settle this archive's entries later.
    struct Forget {
        ArchiveState*& current;
        ~Forget() { current = nullptr; }
    } forget{current};
    ArchiveEntryInfo info;
    for (int i = 0; i < reader->entryCount; ++i) {
        window.SetArchivePosition(i + 1);
        if (!reader->GetEntryInfo(info, i, true)) {
            continue;
        }
        PumpMessages();
        if (info.isDirectory) {
            continue;
        }
        const std::string subFolder =
            options.Analyse != 0 ? SortEntry(info.name, info.folder, mapName) : info.folder;
        if (subFolder != SortRules::kSkipMarker) {
            InstallEntry(archive, i, info, subFolder);
        }
    }
    Settle(true);
    return !archive.error;
}

bool CExtractionRun::ExistsAtDestination(const std::string& resolved) {
    return !resolver.KnownAbsent(resolved) && FileExists(resolved);
}

void CExtractionRun::InstallEntry(ArchiveState& archive, int index, const ArchiveEntryInfo& info,
                                  const std::string& subFolder) {
    const bool outside = !PathParts::StaysInside(subFolder + info.name);
    const std::string destination =
        FileSystem::NativePath(job.TargetDir + RelativeDestination(subFolder, info.name));
    const std::string resolved = resolver.Resolve(destination);
    const std::string key = CaseFold::Fold(resolved);
    // Whatever this entry shows (a question, a kept file, an error) comes after what the
    // entries before it show, and its existing-file check sees the files they wrote. An entry
    // still being written at a folder of this one's path (or inside it) decides whether this
    // one can be made at all.
    const bool sharesPath =
        std::any_of(archive.inFlight.begin(), archive.inFlight.end(), [&](const InFlight& entry) {
            return entry.key == key || IsFolderOf(entry.key, key) || IsFolderOf(key, entry.key);
        });
    if (sharesPath || (!yesForAll && ExistsAtDestination(resolved))) {
        Settle(true);
    }
    // A destination outside the target is refused before anything there is asked about or
    // reported as kept, which would hide the refusal.
    if (!outside && !ShouldExtract(destination, info.sizeText, info.dateText)) {
        ReportNotReplaced(archive.name, info.name);
        return;
    }
    CZipArchive::Extraction extraction;
    try {
        if (outside) {
            throw CZipException(CZipException::unsafeName, destination);
        }
        // The target folder must stay for the whole run: one that vanished (removed, or a disk
        // unmounted) fails each entry instead of being made again somewhere else.
        if (archive.reader.PrepareEntry(index, job.TargetDir, info.folder, subFolder, job.TargetDir,
                                        extraction)) {
            if (archive.workers) {
                CZipArchive& zip = archive.reader.archive;
                auto outcome = archive.workers->Submit([&zip, extraction](CEntryReader& reader) {
                    return zip.CarryOut(extraction, reader, 65536);
                });
                archive.inFlight.push_back(
                    {info.name, info.folder, subFolder, key, extraction, std::move(outcome)});
                // Outcomes are shown as they come. Many entries may wait, so that the cores stay
                // busy behind a large one; a waiting entry holds no data, only its names.
                const size_t limit = CEntryWorkers::kMaxWaiting;
                Settle(false);
                while (archive.inFlight.size() > limit) {
                    archive.inFlight.front().outcome.wait();
                    Settle(false);
                }
                return;
            }
            archive.reader.archive.ExtractPrepared(extraction, 65536);
        }
    } catch (const CException& e) {
        Settle(true);
        const std::string message = e.ErrorMessage();
        archive.reader.CloseEntry({}, true);
        ShowOutcome(archive, info.name, info.folder, subFolder, &message);
        return;
    }
    ShowOutcome(archive, info.name, info.folder, subFolder, nullptr);
}

void CExtractionRun::ShowOutcome(ArchiveState& archive, const std::string& name,
                                 const std::string& folder, const std::string& subFolder,
                                 const std::string* failure) {
    if (failure != nullptr) {
        archive.error = true;
        report.AddEntryError(archive.name, name, *failure);
        CountError(folder + name, *failure);
    }
    window.AddFileNode(window.AddFolderNodes(archive.node, subFolder), name, archive.error);
}

void CExtractionRun::Settle(bool all) {
    if (current == nullptr) {
        return;
    }
    ArchiveState& archive = *current;
    while (!archive.inFlight.empty()) {
        InFlight& entry = archive.inFlight.front();
        if (!all && entry.outcome.wait_for(std::chrono::seconds(0)) != std::future_status::ready) {
            return;
        }
        const CEntryWorkers::Outcome outcome = entry.outcome.get();
        if (!outcome.failed) {
            archive.reader.archive.Finished(entry.extraction);
        }
        const InFlight done = std::move(entry);
        archive.inFlight.pop_front();
        ShowOutcome(archive, done.name, done.folder, done.subFolder,
                    outcome.failed ? &outcome.message : nullptr);
    }
}

void CExtractionRun::FinishRun() {
    finished = true;
    const bool withErrors = cancelRequested || errorCount > 0;
    statusText = withErrors ? TextFormat::Format(CStringTable::Load(IDS_DONE_ERRORS),
                                                 {std::to_string(errorCount)})
                            : CStringTable::Load(IDS_DONE);
    if (cancelRequested) {
        report.AddCancelNotice();
    }
    window.RunFinished(statusText, withErrors, cancelRequested);
}

void CExtractionRun::RequestCancel() {
    // The entries already in flight show their outcomes first, as they would have before the
    // question was asked had the run not overlapped them.
    Settle(true);
    cancelRequested = true;
    FinishRun();
}

std::string CExtractionRun::SortEntry(const std::string& fileName, const std::string& folder,
                                      const std::string& mapName) const {
    return SortRules::SortEntry(fileName, folder, mapName, options.MiscPath);
}

std::string CExtractionRun::FindMapName(CArchiveReader& reader, int entryCount) {
    return SortRules::FindMapName(reader, entryCount, [this] { PumpMessages(); });
}

bool CExtractionRun::ShouldExtract(const std::string& destination, const std::string& entrySizeText,
                                   const std::string& entryDateText) {
    if (yesForAll) {
        return true;
    }
    // The file that would be replaced, whatever the case of its name.
    const std::string existing = resolver.Resolve(destination);
    if (!ExistsAtDestination(existing)) {
        return true;
    }
    if (noForAll) {
        return false;
    }
    std::string sizeText, dateText;
    GetExistingFileInfo(existing, sizeText, dateText);
    const bool same = IsSameFile(sizeText, dateText, entrySizeText, entryDateText);
    if (replace && (!confirmWhenDifferent || same)) {
        return true;
    }
    return AskOverwrite(existing, dateText, sizeText, entryDateText, entrySizeText);
}

std::string CExtractionRun::RelativeDestination(const std::string& subFolder,
                                                const std::string& name) {
    const std::string path = subFolder + name;
    return PathParts::StaysInside(path) ? PathParts::Normalize(path) : path;
}

bool CExtractionRun::FileExists(const std::string& path) {
    struct stat st {};
    return ::stat(FileSystem::NativePath(path).c_str(), &st) == 0;
}

bool CExtractionRun::GetExistingFileInfo(const std::string& path, std::string& sizeText,
                                         std::string& dateText) {
    struct stat st {};
    if (::stat(FileSystem::NativePath(path).c_str(), &st) != 0) {
        return false;
    }
    if (!S_ISDIR(st.st_mode)) {
        sizeText = CArchiveReader::FormatByteCount(static_cast<uint64_t>(st.st_size));
        // The entry's own pattern, so that a reinstalled identical file compares equal.
        dateText = LocalTime::Format(st.st_mtime, CStringTable::Load(IDS_DATE_FORMAT));
    }
    return true;
}

bool CExtractionRun::IsSameFile(const std::string& existingSize, const std::string& existingDate,
                                const std::string& entrySize, const std::string& entryDate) {
    return existingSize == entrySize && existingDate == entryDate;
}

bool CExtractionRun::AskOverwrite(const std::string& destination, const std::string& existingDate,
                                  const std::string& existingSize, const std::string& entryDate,
                                  const std::string& entrySize) {
    const std::string& line = CStringTable::Load(IDS_SIZE_DATE_LINE);
    switch (window.AskOverwrite(destination, TextFormat::Format(line, {existingSize, existingDate}),
                                TextFormat::Format(line, {entrySize, entryDate}))) {
        case overwriteYesForAll:
            yesForAll = true;
            return true;
        case overwriteNoForAll:
            noForAll = true;
            return false;
        case overwriteYes:
            return true;
        default:
            return false;
    }
}

void CExtractionRun::ReportNotReplaced(const std::string& archiveName,
                                       const std::string& fileName) {
    report.AddNotReplaced(archiveName, fileName);
}
