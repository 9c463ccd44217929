#include "CExtractionRun.h"

#include <sys/stat.h>

#include <cerrno>
#include <memory>
#include <new>
#include <utility>

#include "ArchiveEntryInfo.h"
#include "CArchiveReader.h"
#include "CFileException.h"
#include "CMemoryException.h"
#include "CStringTable.h"
#include "CZipException.h"
#include "FileFinder.h"
#include "FileSystem.h"
#include "LocalTime.h"
#include "PathParts.h"
#include "SortRules.h"
#include "StringIds.h"
#include "TextFormat.h"

CExtractionRun::CExtractionRun(InstallJob job_, InstallOptions options_, IExtractWindow& window_,
                               IReaderPrompts& prompts_)
    : job(std::move(job_)),
      options(std::move(options_)),
      window(window_),
      prompts(prompts_),
      replace(options.Replace != 0),
      confirmWhenDifferent(options.Newer != 0) {}

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
    bool archiveError = false;
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
        if (subFolder == SortRules::kSkipMarker) {
            continue;
        }
        const std::string destination =
            FileSystem::NativePath(job.TargetDir + subFolder + info.name);
        // A destination outside the target is refused before anything there is asked about or
        // reported as kept, which would hide the refusal.
        const bool outside = !PathParts::StaysInside(subFolder + info.name);
        if (!outside && !ShouldExtract(destination, info.sizeText, info.dateText)) {
            ReportNotReplaced(archiveName, info.name);
            continue;
        }
        try {
            if (outside) {
                throw CZipException(CZipException::unsafeName, destination);
            }
            // The target folder must stay for the whole run: one that vanished (removed, or a
            // disk unmounted) fails each entry instead of being made again somewhere else.
            CZipArchive::Extraction extraction;
            if (reader->PrepareEntry(i, job.TargetDir, info.folder, subFolder, job.TargetDir,
                                     extraction)) {
                reader->archive.ExtractPrepared(extraction, 65536);
            }
        } catch (const CException& e) {
            const std::string message = e.ErrorMessage();
            archiveError = true;
            report.AddEntryError(archiveName, info.name, message);
            CountError(info.folder + info.name, message);
            reader->CloseEntry({}, true);
        }
        window.AddFileNode(window.AddFolderNodes(archiveNode, subFolder), info.name, archiveError);
    }
    return !archiveError;
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
    if (!FileExists(existing)) {
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
