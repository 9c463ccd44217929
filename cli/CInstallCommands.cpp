#include "CInstallCommands.h"

#include <unistd.h>

#include <cerrno>
#include <iostream>
#include <string>

#include "AppSettings.h"
#include "ArchiveEntryInfo.h"
#include "CArchiveCommands.h"
#include "CArchiveReader.h"
#include "CCaseResolver.h"
#include "CCommandLine.h"
#include "CExtractionRun.h"
#include "CSettingsSection.h"
#include "CStringTable.h"
#include "CTerminalExtractWindow.h"
#include "CTerminalPrompts.h"
#include "FileSystem.h"
#include "SortRules.h"
#include "StringIds.h"
#include "SystemError.h"
#include "TextFormat.h"

namespace {

std::string WithSeparator(std::string folder) {
    if (!folder.empty() && folder.back() != '/' && folder.back() != '\\') {
        folder += FileSystem::NativeSeparator();
    }
    return folder;
}

// The stored options, read and never written, with the command line's overrides.
InstallOptions OptionsFor(const CCommandLine& commandLine) {
    AppSettings settings;
    {
        CSettingsSection section("Settings", true);
        settings.Bind(section);
    }
    InstallOptions options = settings.options;
    if (commandLine.sort) {
        options.Analyse = *commandLine.sort ? 1 : 0;
    }
    if (commandLine.replace) {
        options.Replace = *commandLine.replace ? 1 : 0;
    }
    if (commandLine.confirmDifferent) {
        options.Newer = *commandLine.confirmDifferent ? 1 : 0;
    }
    if (commandLine.misc) {
        options.MiscPath = InstallOptions::NormalizeMiscPath(*commandLine.misc);
    }
    return options;
}

// The source as the main window takes it: one archive when it ends in ".zip", otherwise a
// folder. False, after saying so, when it does not exist.
bool PrepareSource(const std::string& source, InstallJob& job) {
    job.Type = InstallJob::SourceTypeOf(source);
    job.SourceDir = job.Type == sourceFolder ? WithSeparator(source) : source;
    const std::string onDisk = FileSystem::ResolveCase(job.SourceDir);
    const bool exists =
        job.Type == sourceFolder ? FileSystem::IsDirectory(onDisk) : FileSystem::Exists(onDisk);
    if (!exists) {
        std::cerr << CStringTable::Load(IDS_SOURCE_NOT_FOUND) << '\n';
    }
    return exists;
}

// A missing target is created with its parents, after a question or at once with --yes.
bool PrepareTarget(const std::string& target, bool createWithoutAsking) {
    if (FileSystem::IsDirectory(FileSystem::ResolveCase(target))) {
        return true;
    }
    if (!createWithoutAsking) {
        const std::string question = CStringTable::Load(IDS_CREATE_FOLDER_QUESTION);
        if (!CTerminalPrompts::AskYesNo(question)) {
            // Without a terminal the question was never shown; the refusal still needs a reason.
            if (::isatty(STDIN_FILENO) == 0) {
                std::cerr << question << '\n';
            }
            return false;
        }
    }
    if (FileSystem::CreateFolderChain(FileSystem::ResolveCase(target))) {
        return true;
    }
    const int error = SystemError::Last() != 0 ? SystemError::Last() : errno;
    std::cerr << CStringTable::Load(IDS_TARGET_NOT_CREATED) << error << " : "
              << SystemError::Text(error) << '\n';
    return false;
}

bool FoundArchives(CExtractionRun& run) {
    if (run.CountArchives() > 0) {
        return true;
    }
    std::cerr << CStringTable::Load(IDS_NO_ARCHIVE) << '\n';
    return false;
}

}  // namespace

int CInstallCommands::Install(const CCommandLine& commandLine, std::FILE* out) {
    InstallJob job;
    job.TargetDir = WithSeparator(commandLine.operands[1]);
    if (!PrepareSource(commandLine.operands[0], job) ||
        !PrepareTarget(job.TargetDir, commandLine.createTarget)) {
        return exitRefused;
    }
    CTerminalExtractWindow window(commandLine.yesToAll  ? overwriteYesForAll
                                  : commandLine.noToAll ? overwriteNoForAll
                                                        : overwriteNo);
    CTerminalPrompts prompts;
    CExtractionRun run(job, OptionsFor(commandLine), window, prompts);
    if (!FoundArchives(run)) {
        return exitRefused;
    }
    window.onInterrupt = [&run] { run.RequestCancel(); };
    CTerminalExtractWindow::CatchInterrupt();
    run.RunExtraction();
    const std::string& report = run.Report().Text();
    CArchiveCommands::Write(out, report);
    CArchiveCommands::Flush(out);
    std::cerr << run.StatusText() << '\n';
    return run.ErrorCount() > 0 || run.CancelRequested() ? exitErrors : exitOk;
}

int CInstallCommands::Plan(const CCommandLine& commandLine, std::FILE* out) {
    InstallJob job;
    const bool withTarget = commandLine.operands.size() > 1;
    if (withTarget) {
        job.TargetDir = WithSeparator(commandLine.operands[1]);
    }
    if (!PrepareSource(commandLine.operands[0], job)) {
        return exitRefused;
    }
    const InstallOptions options = OptionsFor(commandLine);
    CTerminalExtractWindow window(overwriteNo);
    CTerminalPrompts prompts;
    CExtractionRun run(job, options, window, prompts);
    if (!FoundArchives(run)) {
        return exitRefused;
    }
    int status = exitOk;
    CCaseResolver resolver;
    ArchiveEntryInfo info;
    for (const std::string& name : run.FindArchives()) {
        CArchiveReader reader(
            resolver.Resolve(job.Type == sourceFile ? job.SourceDir : job.SourceDir + name),
            prompts);
        if (!reader.isOpen) {
            status = exitErrors;
            continue;
        }
        const std::string mapName = run.FindMapName(reader, reader.entryCount);
        for (int i = 0; i < reader.entryCount; ++i) {
            if (!reader.GetEntryInfo(info, i, true) || info.isDirectory) {
                continue;
            }
            const std::string subFolder =
                options.Analyse != 0 ? run.SortEntry(info.name, info.folder, mapName) : info.folder;
            const std::string inner = CArchiveCommands::Printable(info.folder + info.name);
            if (subFolder == SortRules::kSkipMarker) {
                CArchiveCommands::WriteFields(out, {name, inner, "skip"});
                continue;
            }
            const std::string destination =
                FileSystem::NativePath(CExtractionRun::RelativeDestination(subFolder, info.name));
            if (!withTarget) {
                CArchiveCommands::WriteFields(
                    out, {name, inner, CArchiveCommands::Printable(destination)});
                continue;
            }
            const bool exists =
                CExtractionRun::FileExists(resolver.Resolve(job.TargetDir + destination));
            CArchiveCommands::WriteFields(
                out,
                {name, inner, CArchiveCommands::Printable(destination), exists ? "exists" : "new"});
        }
    }
    return status;
}
