#include "CJournalCommands.h"

#include <iostream>
#include <string>
#include <vector>

#include "CArchiveCommands.h"
#include "CCommandLine.h"
#include "CException.h"
#include "CJournalFolder.h"
#include "CSha256.h"
#include "CStringTable.h"
#include "CUninstall.h"
#include "CaseFold.h"
#include "FileNode.h"
#include "FileSystem.h"
#include "StringIds.h"
#include "TextFormat.h"

namespace {

using Journal = CJournalFolder::Journal;

void Say(int id, std::initializer_list<std::string> fields) {
    std::vector<std::string> shown;
    for (const std::string& field : fields) {
        shown.push_back(CArchiveCommands::Printable(field));
    }
    std::cerr << TextFormat::Format(CStringTable::Load(id), shown) << '\n';
}

// The target's journals; false (after saying why) when the target is missing or its journal
// folder cannot be trusted. Journals that cannot be used are named on the way.
bool LoadJournals(const std::string& target, CJournalFolder& folder, std::vector<Journal>& journals,
                  bool& allTrusted) {
    if (!FileSystem::IsDirectory(target)) {
        Say(IDS_CLI_TARGET_MISSING, {target});
        return false;
    }
    std::vector<CJournalFolder::Refusal> refused;
    const bool loaded = folder.Load(journals, refused);
    for (const CJournalFolder::Refusal& refusal : refused) {
        switch (refusal.why) {
            case CJournalFolder::Refusal::notAFile:
                Say(IDS_CLI_JOURNAL_NOT_A_FILE, {refusal.name});
                break;
            case CJournalFolder::Refusal::tooLarge:
                Say(IDS_CLI_JOURNAL_TOO_LARGE, {refusal.name});
                break;
            case CJournalFolder::Refusal::unreadable:
                Say(IDS_CLI_JOURNAL_UNREADABLE, {refusal.name, refusal.detail});
                break;
            case CJournalFolder::Refusal::malformed:
                if (refusal.detail.empty()) {
                    Say(IDS_CLI_JOURNAL_NOT_JSON, {refusal.name});
                } else {
                    Say(IDS_CLI_JOURNAL_MALFORMED, {refusal.name, refusal.detail});
                }
                break;
            case CJournalFolder::Refusal::unsafePath:
                Say(IDS_CLI_JOURNAL_UNSAFE_PATH, {refusal.name, refusal.detail});
                break;
            case CJournalFolder::Refusal::linkInPath:
                Say(IDS_CLI_JOURNAL_LINK, {refusal.name});
                break;
        }
    }
    allTrusted = refused.empty();
    return loaded;
}

// A journal named by its own name, or by its archive's name in any case.
bool Names(const Journal& journal, const std::string& name) {
    return journal.name == name || CaseFold::Equal(journal.record.archive, name);
}

}  // namespace

int CJournalCommands::History(const CCommandLine& commandLine, std::FILE* out) {
    CJournalFolder folder(commandLine.operands[0]);
    std::vector<Journal> journals;
    bool trusted = true;
    if (!LoadJournals(commandLine.operands[0], folder, journals, trusted)) {
        return exitRefused;
    }
    if (journals.empty() && trusted) {
        Say(IDS_CLI_NO_HISTORY, {});
    }
    for (auto it = journals.rbegin(); it != journals.rend(); ++it) {
        const JournalRecord& record = it->record;
        const std::string state =
            record.kind == JournalRecord::Kind::uninstall
                ? "uninstall of " + record.undoes + (it->undone ? " (reversed)" : "")
            : it->undone      ? "uninstalled"
            : it->interrupted ? "interrupted"
                              : "installed";
        CArchiveCommands::WriteFields(
            out,
            {CArchiveCommands::Printable(record.time), CArchiveCommands::Printable(record.archive),
             std::to_string(record.files.size()), std::to_string(record.replaced.size()),
             CArchiveCommands::Printable(it->name), CArchiveCommands::Printable(state)});
    }
    return trusted ? exitOk : exitFound;
}

int CJournalCommands::Verify(const CCommandLine& commandLine, std::FILE* out) {
    const std::string& target = commandLine.operands[0];
    CJournalFolder folder(target);
    std::vector<Journal> journals;
    bool trusted = true;
    if (!LoadJournals(target, folder, journals, trusted)) {
        return exitRefused;
    }
    const bool named = commandLine.operands.size() > 1;
    bool found = false;
    bool faults = !trusted;
    const CJournalFolder::FileIndex owners = CJournalFolder::IndexFiles(journals);
    for (size_t i = 0; i < journals.size(); ++i) {
        const Journal& journal = journals[i];
        // What installs wrote; the files uninstalls brought back are the user's own again.
        if (journal.undone || journal.record.kind != JournalRecord::Kind::install ||
            (named && !Names(journal, commandLine.operands[1]))) {
            continue;
        }
        found = true;
        for (const JournalRecord::File& file : journal.record.files) {
            std::string status = "OK";
            const int owner =
                CJournalFolder::LaterOwner(journals, owners, i, file.path, file.sha256);
            CSha256::Digest digest;
            if (owner >= 0) {
                status = "replaced by " + journals[owner].record.archive;
            } else if (!folder.NoLinkOnPath(file.path, false) ||
                       !FileNode::Look(folder.PathOf(file.path)).Exists()) {
                status = "missing";
                faults = true;
            } else if (!CSha256::OfFile(folder.PathOf(file.path), digest) ||
                       CSha256::Hex(digest) != file.sha256) {
                status = "changed";
                faults = true;
            }
            CArchiveCommands::WriteFields(
                out, {CArchiveCommands::Printable(journal.record.archive),
                      CArchiveCommands::Printable(file.path), CArchiveCommands::Printable(status)});
        }
    }
    if (named && !found) {
        Say(IDS_CLI_NOT_INSTALLED, {commandLine.operands[1]});
        return exitRefused;
    }
    return faults ? exitFound : exitOk;
}

int CJournalCommands::Uninstall(const CCommandLine& commandLine, std::FILE* out) {
    const std::string& target = commandLine.operands[0];
    const std::string& wanted = commandLine.operands[1];
    CJournalFolder folder(target);
    std::vector<Journal> journals;
    bool trusted = true;
    if (!LoadJournals(target, folder, journals, trusted)) {
        Say(IDS_CLI_UNINSTALL_REFUSED, {});
        return exitRefused;
    }
    // The newest install of the archive that still stands; a journal named by its own name is
    // taken whatever it is (an uninstall, to reverse it).
    int chosen = -1;
    bool any = false;
    for (size_t i = 0; i < journals.size(); ++i) {
        if (!Names(journals[i], wanted)) {
            continue;
        }
        any = true;
        if (!journals[i].undone && (journals[i].name == wanted ||
                                    journals[i].record.kind == JournalRecord::Kind::install)) {
            chosen = static_cast<int>(i);
        }
    }
    if (!trusted) {
        // What an unreadable journal recorded is unknown: it may own files this one wrote.
        Say(IDS_CLI_UNINSTALL_REFUSED, {});
        return exitRefused;
    }
    if (chosen < 0) {
        Say(any ? IDS_CLI_ALREADY_UNINSTALLED : IDS_CLI_NOT_INSTALLED, {wanted});
        return any ? exitOk : exitRefused;
    }
    CUninstall uninstall(folder, journals, static_cast<size_t>(chosen));
    std::vector<CUninstall::Step> steps;
    std::string link;
    if (!uninstall.Plan(steps, link)) {
        Say(IDS_CLI_JOURNAL_PATH_LINK, {journals[chosen].name, link});
        return exitRefused;
    }
    bool failures = false;
    if (!commandLine.dryRun) {
        try {
            steps = uninstall.Run(steps);
        } catch (const CException& e) {
            Say(IDS_CLI_UNINSTALL_NOT_SAVED, {e.ErrorMessage()});
            failures = true;
        }
    }
    int counts[4] = {};
    for (const CUninstall::Step& step : steps) {
        static const char* const kActions[] = {"remove", "restore", "keep", "rmdir"};
        ++counts[step.action];
        std::string reason;
        switch (step.reason) {
            case CUninstall::Step::none:
                break;
            case CUninstall::Step::changed:
                reason = CStringTable::Load(IDS_KEEP_CHANGED);
                break;
            case CUninstall::Step::replacedBy:
                reason = TextFormat::Format(CStringTable::Load(IDS_KEEP_REPLACED), {step.detail});
                break;
            case CUninstall::Step::gone:
                reason = CStringTable::Load(IDS_KEEP_GONE);
                break;
            case CUninstall::Step::notAFile:
                reason = CStringTable::Load(IDS_KEEP_NOT_A_FILE);
                break;
            case CUninstall::Step::backupMissing:
                reason = CStringTable::Load(IDS_KEEP_BACKUP_MISSING);
                break;
            case CUninstall::Step::backupChanged:
                reason =
                    TextFormat::Format(CStringTable::Load(IDS_KEEP_BACKUP_CHANGED), {step.detail});
                break;
            case CUninstall::Step::occupied:
                reason = TextFormat::Format(CStringTable::Load(IDS_KEEP_OCCUPIED), {step.detail});
                break;
            case CUninstall::Step::failed:
                failures = true;
                reason = TextFormat::Format(CStringTable::Load(IDS_KEEP_FAILED), {step.detail});
                break;
        }
        if (reason.empty()) {
            CArchiveCommands::WriteFields(
                out, {kActions[step.action], CArchiveCommands::Printable(step.path)});
        } else {
            CArchiveCommands::WriteFields(
                out, {kActions[step.action], CArchiveCommands::Printable(step.path),
                      CArchiveCommands::Printable(reason)});
        }
    }
    CArchiveCommands::Flush(out);
    if (commandLine.dryRun) {
        Say(IDS_CLI_DRY_RUN, {});
    } else {
        Say(IDS_CLI_UNINSTALLED,
            {journals[chosen].record.archive, std::to_string(counts[CUninstall::Step::remove]),
             std::to_string(counts[CUninstall::Step::restore]),
             std::to_string(counts[CUninstall::Step::keep])});
    }
    return failures ? exitFound : exitOk;
}
