#pragma once

#include <chrono>
#include <exception>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "CCaseResolver.h"
#include "EntryDestination.h"
#include "ExtractReport.h"
#include "IExtractWindow.h"
#include "InstallJob.h"
#include "InstallOptions.h"

struct ArchiveEntryInfo;

class CArchiveReader;
class IReaderPrompts;

// One installation: every archive the source names, into the target folder. It decides each
// entry's destination, handles existing files, counts errors and writes the report, and shows
// all of it through its window. One object per run; the Extracting window owns it.
class CExtractionRun {
public:
    CExtractionRun(InstallJob job, InstallOptions options, IExtractWindow& window,
                   IReaderPrompts& prompts);

    // The archives the source names, in the order the run takes them.
    std::vector<std::string> FindArchives() const;
    // Counts the archives and gives the Total bar its range; 0 means "No archive found !".
    int CountArchives();

    // The whole run; false when it was cancelled.
    bool RunExtraction();
    // One archive, by its file name; true when none of its entries failed.
    bool ExtractArchive(const std::string& archiveName);
    void FinishRun();
    void PumpMessages();
    // The user confirmed the cancel question: the run stops before its next archive.
    void RequestCancel();

    std::string SortEntry(const std::string& fileName, const std::string& folder,
                          const std::string& mapName) const;
    std::string FindMapName(CArchiveReader& reader, int entryCount);
    // Where a file entry goes: the sorting rules' folder (or the entry's own) and its file name,
    // cleaned up once; or why it is refused, or that it is left out. Every step takes this.
    EntryDestination Destination(const ArchiveEntryInfo& info, const std::string& mapName) const;
    // The destination's path on disk, below the target.
    std::string FullPath(const EntryDestination& destination) const;

    // One file entry as a run meets it, and where it goes; exists tells whether something stands
    // there already (always false without a target, or for an entry not to be written).
    // risk says why the file runs code or changes the game's configuration; empty when not.
    using PlannedEntry = std::function<void(
        const std::string& archiveName, const ArchiveEntryInfo& info,
        const EntryDestination& destination, bool exists, const std::string& risk)>;
    // Goes through the archives and entries as RunExtraction does, writing and showing nothing;
    // false when an archive could not be opened.
    bool PlanExtraction(const PlannedEntry& onEntry);

    // The existing-file decision for a destination: true to extract over it, false to keep it.
    bool ShouldExtract(const std::string& destination, const std::string& entrySizeText,
                       const std::string& entryDateText);
    // Something (a file, a folder, a link even to nothing) stands at the path.
    static bool FileExists(const std::string& path);
    static bool GetExistingFileInfo(const std::string& path, std::string& sizeText,
                                    std::string& dateText);
    static bool IsSameFile(const std::string& existingSize, const std::string& existingDate,
                           const std::string& entrySize, const std::string& entryDate);
    bool AskOverwrite(const std::string& destination, const std::string& existingDate,
                      const std::string& existingSize, const std::string& entryDate,
                      const std::string& entrySize);
    void ReportNotReplaced(const std::string& archiveName, const std::string& fileName);

    // How many threads read and write entries while the run decides about the next ones; 0 does
    // everything on the run's thread. What the run shows and reports is the same either way.
    void SetWorkerThreads(int threads) { workerThreads = threads; }

    const ExtractReport& Report() const { return report; }
    const std::string& StatusText() const { return statusText; }
    // How many risky files the run left out.
    int RiskySkipped() const { return riskySkipped; }
    int ErrorCount() const { return errorCount; }
    int ArchiveCount() const { return archiveCount; }
    bool IsFinished() const { return finished; }
    bool CancelRequested() const { return cancelRequested; }

private:
    struct ArchiveState;
    struct InFlight;

    void CountError(const std::string& boxSubject, const std::string& message);
    // The text of any error: the program's own, memory, or one it has no text for.
    static std::string MessageOf(const std::exception_ptr& error);
    // The reader of an archive of the source, found whatever the case of its name.
    std::unique_ptr<CArchiveReader> OpenReader(const std::string& archiveName);
    // Every file entry of an open archive with its destination, in entry order, as the run
    // takes them (the Archive bar and the window's messages go on meanwhile).
    void ForEachFileEntry(CArchiveReader& reader,
                          const std::function<void(int index, const ArchiveEntryInfo&,
                                                   const EntryDestination&)>& onEntry);
    // Why a file entry runs code or changes the game's configuration, from its path in the
    // archive and its first bytes; empty when it does not. Install and plan both ask this; with
    // a destination, only of what would be written there.
    std::string RiskOf(CArchiveReader& reader, int index);
    std::string RiskOf(CArchiveReader& reader, int index, const EntryDestination& destination);
    // The risky files of an archive, by entry index, each with its reason; the user is asked
    // once whether to install them. What stays in the map is left out.
    std::map<int, std::string> RiskyToSkip(const std::string& archiveName, CArchiveReader& reader);
    // Extracts one file entry, or hands it to the workers; what follows is shown in order.
    void InstallEntry(ArchiveState& archive, int index, const ArchiveEntryInfo& info,
                      const EntryDestination& destination);
    // What an entry's extraction ended with: the error line and box, the tree node.
    void ShowOutcome(ArchiveState& archive, const std::string& name, const std::string& folder,
                     const EntryDestination& destination, const std::string* failure);
    // Waits for the entries in flight and shows their outcomes, oldest first; with all false,
    // only those already done.
    void Settle(bool all);
    bool ExistsAtDestination(const std::string& resolved);
    // Writes the archive's journal; a journal that cannot be written fails the archive.
    void SaveJournal(ArchiveState& archive);

    const InstallJob job;
    const InstallOptions options;
    IExtractWindow& window;
    IReaderPrompts& prompts;

    // How long the run waits for an entry in flight before it lets the window handle what the
    // user did.
    static constexpr std::chrono::milliseconds kPumpInterval{50};

    bool cancelRequested = false;
    bool settling = false;
    bool finished = false;
    int errorCount = 0;
    int archiveCount = 0;
    int riskySkipped = 0;
    // The report lines of the risky files left out of the archive being installed, written
    // after its own lines.
    std::vector<std::pair<std::string, std::string>> riskyLines;
    ExtractReport report;
    std::string statusText;
    bool replace;
    bool confirmWhenDifferent;
    bool yesForAll = false;
    bool noForAll = false;
    // One per archive: what an archive learnt of the target would only cost memory for the
    // next one, which lists again the few folders it needs.
    CCaseResolver resolver;
    int workerThreads;
    ArchiveState* current = nullptr;  // the archive being installed
};
