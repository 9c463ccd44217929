#include "CExtractionRun.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <deque>
#include <exception>
#include <future>
#include <memory>
#include <new>
#include <optional>
#include <utility>

#include "ArchiveEntryInfo.h"
#include "CArchiveReader.h"
#include "CEntryWorkers.h"
#include "CFileException.h"
#include "CInstallJournal.h"
#include "CJournalFolder.h"
#include "CMemoryException.h"
#include "CPlannedPaths.h"
#include "CStringTable.h"
#include "CZipException.h"
#include "CaseFold.h"
#include "FileFinder.h"
#include "FileSystem.h"
#include "LocalTime.h"
#include "RiskyContent.h"
#include "SortRules.h"
#include "StringIds.h"
#include "TextFormat.h"

namespace {

// True when path lies inside folder (both native, case-folded).
bool IsFolderOf(const std::string& folder, const std::string& path) {
    return path.size() > folder.size() && path[folder.size()] == '/' &&
           path.compare(0, folder.size(), folder) == 0;
}

// Whatever the store holds, the Misc path is used in the form the properties dialog gives it.
InstallOptions Normalized(InstallOptions options) {
    options.MiscPath = InstallOptions::NormalizeMiscPath(options.MiscPath);
    return options;
}

}  // namespace

CExtractionRun::CExtractionRun(InstallJob job_, InstallOptions options_, IExtractWindow& window_,
                               IReaderPrompts& prompts_)
    : job(std::move(job_)),
      options(Normalized(std::move(options_))),
      window(window_),
      prompts(prompts_),
      replace(options.Replace != 0),
      confirmWhenDifferent(options.Newer != 0),
      workerThreads(CEntryWorkers::DefaultThreads()) {}

// An entry handed to the workers, waiting for its outcome to be shown.
struct CExtractionRun::InFlight {
    std::string name;
    std::string folder;
    EntryDestination destination;
    std::string key;  // its destination on disk, case-folded
    CZipArchive::Extraction extraction;
    std::future<CEntryWorkers::Outcome> outcome;
    // None without a journal; shared with the task, which may outlive this record when an
    // archive ends by an exception.
    std::shared_ptr<CInstallJournal::Entry> record;
};

// The archive being installed.
struct CExtractionRun::ArchiveState {
    std::string name;
    CArchiveReader& reader;
    IExtractWindow::Node node;
    bool error = false;
    std::unique_ptr<CEntryWorkers> workers;  // none: everything on the run's thread
    std::deque<InFlight> inFlight;
    std::string targetRoot;  // the target as it is spelled on disk, ending with '/'
    std::unique_ptr<CJournalFolder> journalFolder;
    std::unique_ptr<CInstallJournal> journal;  // none when journals are off
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
    std::string archiveName;
    try {
        for (const std::string& name : FindArchives()) {
            if (cancelRequested) {
                break;
            }
            archiveName = name;
            PumpMessages();
            // A cancel confirmed in that pump comes before this archive: it is not started.
            if (cancelRequested) {
                break;
            }
            window.ShowFileLabel(name);
            riskyLines.clear();
            if (ExtractArchive(name)) {
                report.AddOk(name);
            }
            for (const auto& [file, reason] : riskyLines) {
                report.AddRiskySkipped(name, file, reason);
            }
            window.SetTotalPosition(++done);
        }
    } catch (...) {
        // Whatever escaped the archive (memory that ran out where no entry was at work, a
        // thread the system refused) ends the run as any other end does, with the error
        // counted and reported, instead of ending the program.
        const std::string message = MessageOf(std::current_exception());
        report.AddArchiveError(archiveName, message);
        CountError(archiveName, message);
    }
    FinishRun();
    return !cancelRequested;
}

std::string CExtractionRun::MessageOf(const std::exception_ptr& error) {
    try {
        std::rethrow_exception(error);
    } catch (const CException& e) {
        return e.ErrorMessage();
    } catch (const std::bad_alloc&) {
        return CMemoryException().ErrorMessage();
    } catch (...) {
        return CZipException(CZipException::internal).ErrorMessage();
    }
}

void CExtractionRun::CountError(const std::string& boxSubject, const std::string& message) {
    ++errorCount;
    window.ShowError(boxSubject, message);
}

std::unique_ptr<CArchiveReader> CExtractionRun::OpenReader(const std::string& archiveName) {
    resolver = CCaseResolver();
    // The source, like the target, is found whatever the case of its names.
    const std::string path =
        resolver.Resolve(job.Type == sourceFile ? job.SourceDir : job.SourceDir + archiveName);
    std::unique_ptr<CArchiveReader> reader;
    try {
        reader = std::make_unique<CArchiveReader>(path, prompts);
    } catch (const std::bad_alloc&) {
        throw CMemoryException();
    }
    reader->archive.SetCaseResolver(&resolver);
    return reader;
}

EntryDestination CExtractionRun::Destination(const ArchiveEntryInfo& info,
                                             const std::string& mapName) const {
    const std::string subFolder =
        options.Analyse != 0 ? SortEntry(info.name, info.folder, mapName) : info.folder;
    if (subFolder == SortRules::kSkipMarker) {
        return {EntryDestination::skip, {}, {}};
    }
    std::optional<std::string> path = CArchiveReader::Destination(info, subFolder);
    // The journals' own folder is never written by an archive: a journal planted there could
    // make a later uninstall take the user's files away.
    if (path && CaseFold::Equal(path->substr(0, path->find('\\')), CJournalFolder::kHome)) {
        return {EntryDestination::refused, {}, CStringTable::Load(IDS_JOURNAL_FOLDER_REFUSED)};
    }
    if (!path) {
        return {
            EntryDestination::refused, {}, CZipException(CZipException::unsafeName).ErrorMessage()};
    }
    return {EntryDestination::install, std::move(*path), {}};
}

std::string CExtractionRun::FullPath(const EntryDestination& destination) const {
    return FileSystem::NativePath(job.TargetDir + destination.path);
}

void CExtractionRun::ForEachFileEntry(
    CArchiveReader& reader,
    const std::function<void(int, const ArchiveEntryInfo&, const EntryDestination&)>& onEntry) {
    const std::string mapName = FindMapName(reader, reader.entryCount);
    ArchiveEntryInfo info;
    for (int i = 0; i < reader.entryCount; ++i) {
        window.SetArchivePosition(i + 1);
        if (!reader.GetEntryInfo(info, i, true)) {
            continue;
        }
        PumpMessages();
        if (!info.isDirectory) {
            onEntry(i, info, Destination(info, mapName));
        }
    }
}

bool CExtractionRun::PlanExtraction(const PlannedEntry& onEntry) {
    bool allOpened = true;
    CPlannedPaths plannedPaths;
    for (const std::string& name : FindArchives()) {
        std::unique_ptr<CArchiveReader> reader;
        try {
            reader = OpenReader(name);
        } catch (const CException&) {
            allOpened = false;
            continue;
        }
        if (!reader->isOpen) {
            allOpened = false;
            continue;
        }
        const std::string target = resolver.Resolve(FileSystem::NativePath(job.TargetDir));
        ForEachFileEntry(*reader, [&](int index, const ArchiveEntryInfo& info,
                                      const EntryDestination& destination) {
            const std::string risk = RiskOf(*reader, index, destination);
            // Only a destination inside the target is ever looked at.
            if (job.TargetDir.empty() || destination.kind != EntryDestination::install) {
                onEntry(name, info, destination, false, risk);
                return;
            }
            const std::string resolved = resolver.Resolve(FullPath(destination));
            if (!resolved.starts_with(target)) {
                onEntry(name, info, destination, ExistsAtDestination(resolved), risk);
                return;
            }
            // Where install writes it: into what stands there or what an earlier entry made.
            EntryDestination planned = destination;
            planned.path = plannedPaths.Spell(
                resolved.substr(target.size()),
                [&](const std::string& path) { return resolver.KnownAbsent(target + path); });
            const bool earlier = plannedPaths.AddFile(planned.path);
            onEntry(name, info, planned, earlier || ExistsAtDestination(resolved), risk);
        });
    }
    return allOpened;
}

bool CExtractionRun::ExtractArchive(const std::string& archiveName) {
    std::unique_ptr<CArchiveReader> reader;
    try {
        reader = OpenReader(archiveName);
    } catch (const CException& e) {
        const std::string message = e.ErrorMessage();
        report.AddArchiveError(archiveName, message);
        CountError(archiveName, message);
        return false;
    }
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
    ArchiveState archive{archiveName, *reader, archiveNode, false, nullptr, {}, {}, {}, {}};
    if (workerThreads > 0 && reader->archive.AllowsParallelReads()) {
        archive.workers = std::make_unique<CEntryWorkers>(reader->archive, workerThreads);
    }
    if (options.Journal != 0 && !job.TargetDir.empty()) {
        archive.targetRoot = resolver.Resolve(FileSystem::NativePath(job.TargetDir));
        if (archive.targetRoot.back() != '/') {
            archive.targetRoot += '/';
        }
        archive.journalFolder = std::make_unique<CJournalFolder>(archive.targetRoot);
        archive.journal = std::make_unique<CInstallJournal>(*archive.journalFolder, archiveName);
    }
    current = &archive;
    // Whichever way this function is left, no one may settle this archive's entries later.
    struct Forget {
        ArchiveState*& current;
        ~Forget() { current = nullptr; }
    } forget{current};
    try {
        const std::map<int, std::string> leftOut = RiskyToSkip(archiveName, *reader);
        ForEachFileEntry(*reader, [&](int index, const ArchiveEntryInfo& info,
                                      const EntryDestination& destination) {
            if (leftOut.count(index) > 0) {
                ++riskySkipped;
                riskyLines.emplace_back(info.name, leftOut.at(index));
            } else if (destination.kind != EntryDestination::skip) {
                InstallEntry(archive, index, info, destination);
            }
        });
        Settle(true);
    } catch (...) {
        // What was written stays recorded, whatever ended the archive.
        SaveJournal(archive);
        throw;
    }
    SaveJournal(archive);
    return !archive.error;
}

std::string CExtractionRun::RiskOf(CArchiveReader& reader, int index,
                                   const EntryDestination& destination) {
    if (destination.kind != EntryDestination::install) {
        return {};
    }
    return RiskOf(reader, index);
}

std::string CExtractionRun::RiskOf(CArchiveReader& reader, int index) {
    const EntryHeader* header = reader.archive.FindHeader(index);
    if (header == nullptr || header->IsDirectory()) {
        return {};
    }
    // The first bytes tell a program whatever its name. The sorting never sends a file into a
    // folder that is risky in itself, so the archive's own path is the one to look at.
    const std::string head = header->uncompressedSize >= 2
                                 ? reader.archive.ReadHead(index, RiskyContent::kHeadSize)
                                 : std::string();
    return RiskyContent::Reason(header->name, head);
}

std::map<int, std::string> CExtractionRun::RiskyToSkip(const std::string& archiveName,
                                                       CArchiveReader& reader) {
    std::map<int, std::string> risky;
    std::string lines;
    std::optional<std::string> mapName;  // worked out only for an archive with risky files
    for (int i = 0; i < reader.entryCount; ++i) {
        if (i % 64 == 0) {
            PumpMessages();
        }
        std::string reason = RiskOf(reader, i);
        if (reason.empty()) {
            continue;
        }
        if (!mapName) {
            mapName = FindMapName(reader, reader.entryCount);
        }
        // Only what would be written: not what the sorting leaves out or what is refused.
        ArchiveEntryInfo info;
        if (reader.GetEntryInfo(info, i, true) &&
            RiskOf(reader, i, Destination(info, *mapName)).empty()) {
            continue;
        }
        lines += info.folder + info.name + ": " + reason + "\n";
        risky.emplace(i, std::move(reason));
    }
    if (!risky.empty() && window.AskInstallRisky(archiveName, lines)) {
        risky.clear();
    }
    return risky;
}

void CExtractionRun::SaveJournal(ArchiveState& archive) {
    if (!archive.journal) {
        return;
    }
    try {
        archive.journal->Save();
    } catch (const CException& e) {
        // The files are installed, but the install could not be recorded: not a success.
        archive.error = true;
        const std::string message = e.ErrorMessage();
        report.AddArchiveError(archive.name, message);
        CountError(archive.name, message);
    }
    archive.journal.reset();
}

bool CExtractionRun::ExistsAtDestination(const std::string& resolved) {
    return !resolver.KnownAbsent(resolved) && FileExists(resolved);
}

void CExtractionRun::InstallEntry(ArchiveState& archive, int index, const ArchiveEntryInfo& info,
                                  const EntryDestination& destination) {
    if (destination.kind == EntryDestination::refused) {
        // Refused before anything there is asked about or reported as kept, which would hide
        // the refusal; shown after the entries before it.
        Settle(true);
        ShowOutcome(archive, info.name, info.folder, destination, &destination.reason);
        return;
    }
    const std::string path = FullPath(destination);
    const std::string resolved = resolver.Resolve(path);
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
    if (!ShouldExtract(path, info.sizeText, info.dateText)) {
        ReportNotReplaced(archive.name, destination.FileName());
        return;
    }
    CZipArchive::Extraction extraction;
    std::shared_ptr<CInstallJournal::Entry> record;
    bool failed = false;
    std::string failure;
    try {
        const bool journalled = archive.journal && resolved.starts_with(archive.targetRoot);
        const std::string relative =
            journalled ? resolved.substr(archive.targetRoot.size()) : std::string();
        if (journalled) {
            // Before the entry's folders are made, to know which ones it made.
            const size_t slash = relative.rfind('/');
            archive.journal->NoteFolders(slash == std::string::npos ? std::string()
                                                                    : relative.substr(0, slash));
        }
        // The target folder must stay for the whole run: one that vanished (removed, or a disk
        // unmounted) fails each entry instead of being made again somewhere else.
        const bool prepared = archive.reader.PrepareEntry(index, path, job.TargetDir, extraction);
        if (prepared && journalled) {
            record = archive.journal->Begin(relative, key, extraction.modified);
        }
        if (prepared) {
            if (archive.workers) {
                CZipArchive& zip = archive.reader.archive;
                auto outcome =
                    archive.workers->Submit([&zip, extraction, record](CEntryReader& reader) {
                        return zip.CarryOut(extraction, reader, 65536, record.get());
                    });
                archive.inFlight.push_back({info.name, info.folder, destination, key, extraction,
                                            std::move(outcome), std::move(record)});
                // Outcomes are shown as they come. Many entries may wait, so that the cores stay
                // busy behind a large one; a waiting entry holds no data, only its names.
                const size_t limit = CEntryWorkers::kMaxWaiting;
                Settle(false);
                while (archive.inFlight.size() > limit) {
                    // The window stays alive while a large entry is written. What the user does
                    // meanwhile may settle entries itself, so the oldest is looked up anew.
                    if (archive.inFlight.front().outcome.wait_for(kPumpInterval) !=
                        std::future_status::ready) {
                        PumpMessages();
                        continue;
                    }
                    Settle(false);
                }
                return;
            }
            archive.reader.archive.ExtractPrepared(extraction, 65536, record.get());
            if (record) {
                archive.journal->Done(*record);
            }
        }
    } catch (const CException&) {
        failed = true;
        failure = MessageOf(std::current_exception());
    } catch (const std::bad_alloc&) {
        failed = true;
        failure = MessageOf(std::current_exception());
    }
    if (failed) {
        if (record) {
            CInstallJournal::Failed(*record);
        }
        Settle(true);
        archive.reader.CloseEntry({}, true);
        ShowOutcome(archive, info.name, info.folder, destination, &failure);
        return;
    }
    ShowOutcome(archive, info.name, info.folder, destination, nullptr);
}

void CExtractionRun::ShowOutcome(ArchiveState& archive, const std::string& name,
                                 const std::string& folder, const EntryDestination& destination,
                                 const std::string* failure) {
    const bool refused = destination.kind == EntryDestination::refused;
    if (failure != nullptr) {
        archive.error = true;
        // A refused entry has no file name of its own below the target: its name is the entry's.
        report.AddEntryError(archive.name, refused ? name : destination.FileName(), *failure);
        CountError(folder + name, *failure);
    }
    // A refused entry is shown at the archive's top: there is no folder of the target it is in.
    // Only the entry that failed carries the error mark; the archive's later entries that were
    // installed are not marked as failed.
    window.AddFileNode(window.AddFolderNodes(archive.node, refused ? "" : destination.Folder()),
                       refused ? name : destination.FileName(), failure != nullptr);
}

void CExtractionRun::Settle(bool all) {
    // A settle already under way (the window's messages are handled while it waits) finishes
    // the work; a second one nested in it would take entries from under it.
    if (current == nullptr || settling) {
        return;
    }
    settling = true;
    struct Done {
        bool& settling;
        ~Done() { settling = false; }
    } done{settling};
    ArchiveState& archive = *current;
    while (!archive.inFlight.empty()) {
        InFlight& entry = archive.inFlight.front();
        if (!all && entry.outcome.wait_for(std::chrono::seconds(0)) != std::future_status::ready) {
            return;
        }
        // A large entry must not freeze the window while the run waits for it.
        while (entry.outcome.wait_for(kPumpInterval) != std::future_status::ready) {
            PumpMessages();
        }
        const CEntryWorkers::Outcome outcome = entry.outcome.get();
        if (!outcome.failed) {
            archive.reader.archive.Finished(entry.extraction);
        }
        if (entry.record && archive.journal) {
            if (outcome.failed) {
                CInstallJournal::Failed(*entry.record);
            } else {
                archive.journal->Done(*entry.record);
            }
        }
        const InFlight settled = std::move(entry);
        archive.inFlight.pop_front();
        ShowOutcome(archive, settled.name, settled.folder, settled.destination,
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
    // A second confirmation (the close box after the Action button) changes nothing more.
    if (cancelRequested) {
        return;
    }
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

bool CExtractionRun::FileExists(const std::string& path) {
    // lstat: a link that leads nowhere still stands in the way, and is replaced only after the
    // same question as a file.
    struct stat st {};
    return ::lstat(FileSystem::NativePath(path).c_str(), &st) == 0;
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
