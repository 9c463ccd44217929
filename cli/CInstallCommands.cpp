#include "CInstallCommands.h"

#include <unistd.h>

#include <cerrno>
#include <iostream>
#include <optional>
#include <string>

#include "AppSettings.h"
#include "ArchiveEntryInfo.h"
#include "CArchiveCommands.h"
#include "CArchiveReader.h"
#include "CCommandLine.h"
#include "CExtractionRun.h"
#include "CSettingsSection.h"
#include "CSignalWatcher.h"
#include "CStringTable.h"
#include "CTerminalExtractWindow.h"
#include "CTerminalPrompts.h"
#include "FileSystem.h"
#include "StringIds.h"
#include "SystemError.h"
#include "TextFormat.h"
#include "Utf8.h"

namespace {

std::string WithSeparator(std::string folder) {
    if (!folder.empty() && folder.back() != '/' && folder.back() != '\\') {
        folder += FileSystem::NativeSeparator();
    }
    return folder;
}

// The stored options, read and never written, with the command line's overrides; nothing, after
// saying why, when the Misc folder (typed or stored) would lead through "..".
std::optional<InstallOptions> OptionsFor(const CCommandLine& commandLine) {
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
        options.MiscPath = *commandLine.misc;
    }
    if (commandLine.journal) {
        options.Journal = *commandLine.journal ? 1 : 0;
    }
    options.MiscPath = InstallOptions::NormalizeMiscPath(options.MiscPath);
    if (InstallOptions::MiscPathClimbs(options.MiscPath)) {
        std::cerr << TextFormat::Format(CStringTable::Load(IDS_CLI_MISC_CLIMBS),
                                        {CArchiveCommands::Printable(options.MiscPath)})
                  << '\n';
        return std::nullopt;
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

// Game folders are found whatever the case of their names, as the game itself finds them; the
// folder used is said when it is not spelled as typed, so that no one installs into Maps/
// believing it was maps/.
void SayTargetCase(const std::string& target) {
    const std::string typed = FileSystem::NativePath(target);
    const std::string used = FileSystem::ResolveCase(typed);
    if (used != typed) {
        std::cerr << TextFormat::Format(CStringTable::Load(IDS_CLI_TARGET_CASE),
                                        {Utf8::WithoutControls(used)})
                  << '\n';
    }
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
    const std::optional<InstallOptions> options = OptionsFor(commandLine);
    if (!options || !PrepareSource(commandLine.operands[0], job) ||
        !PrepareTarget(job.TargetDir, commandLine.createTarget)) {
        return exitRefused;
    }
    SayTargetCase(job.TargetDir);
    CTerminalExtractWindow window(commandLine.yesToAll  ? overwriteYesForAll
                                  : commandLine.noToAll ? overwriteNoForAll
                                                        : overwriteNo);
    CTerminalPrompts prompts;
    CExtractionRun run(job, *options, window, prompts);
    if (!FoundArchives(run)) {
        return exitRefused;
    }
    window.onInterrupt = [&run] { run.RequestCancel(); };
    window.allowRisky = commandLine.allowRisky;
    CSignalWatcher::Start();
    run.RunExtraction();
    const std::string& report = run.Report().TextWithoutControls();
    CArchiveCommands::Write(out, report);
    CArchiveCommands::Flush(out);
    std::cerr << run.StatusText() << '\n';
    if (run.ErrorCount() > 0 || run.CancelRequested()) {
        return exitErrors;
    }
    return run.RiskySkipped() > 0 ? exitRiskySkipped : exitOk;
}

int CInstallCommands::Plan(const CCommandLine& commandLine, std::FILE* out) {
    InstallJob job;
    const bool withTarget = commandLine.operands.size() > 1;
    if (withTarget) {
        job.TargetDir = WithSeparator(commandLine.operands[1]);
    }
    const std::optional<InstallOptions> options = OptionsFor(commandLine);
    if (!options || !PrepareSource(commandLine.operands[0], job)) {
        return exitRefused;
    }
    if (withTarget) {
        SayTargetCase(job.TargetDir);
    }
    CTerminalExtractWindow window(overwriteNo, false);
    CTerminalPrompts prompts;
    CExtractionRun run(job, *options, window, prompts);
    if (!FoundArchives(run)) {
        return exitRefused;
    }
    // The same walk as install's, with the same destinations; nothing is written.
    const bool allOpened = run.PlanExtraction(
        [&](const std::string& archive, const ArchiveEntryInfo& info,
            const EntryDestination& destination, bool exists, const std::string& risk) {
            const std::string shownArchive = CArchiveCommands::Printable(archive);
            const std::string inner = CArchiveCommands::Printable(info.folder + info.name);
            switch (destination.kind) {
                case EntryDestination::skip:
                    CArchiveCommands::WriteFields(out, {shownArchive, inner, "skip"});
                    return;
                case EntryDestination::refused:
                    CArchiveCommands::WriteFields(
                        out, {shownArchive, inner, "refused", destination.reason});
                    return;
                case EntryDestination::install:
                    break;
            }
            const std::string where =
                CArchiveCommands::Printable(FileSystem::NativePath(destination.path));
            const std::string flag = risk.empty() ? std::string() : "risky: " + risk;
            if (withTarget && !risk.empty()) {
                CArchiveCommands::WriteFields(
                    out, {shownArchive, inner, where, exists ? "exists" : "new", flag});
            } else if (withTarget) {
                CArchiveCommands::WriteFields(
                    out, {shownArchive, inner, where, exists ? "exists" : "new"});
            } else if (!risk.empty()) {
                CArchiveCommands::WriteFields(out, {shownArchive, inner, where, flag});
            } else {
                CArchiveCommands::WriteFields(out, {shownArchive, inner, where});
            }
        });
    return allOpened ? exitOk : exitErrors;
}
