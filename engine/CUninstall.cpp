#include "CUninstall.h"

#include <set>
#include <unordered_map>

#include "CSha256.h"
#include "CaseFold.h"
#include "FileNode.h"
#include "FileSystem.h"
#include "SystemError.h"

namespace {

std::string ParentOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

bool Exists(const std::string& path) {
    return FileNode::Look(path).Exists();
}

bool SameFile(const std::string& a, const std::string& b) {
    return FileNode::Look(a).SameAs(FileNode::Look(b));
}

}  // namespace

CUninstall::CUninstall(const CJournalFolder& folder_,
                       const std::vector<CJournalFolder::Journal>& journals_, size_t index_)
    : folder(folder_), journals(journals_), index(index_) {}

bool CUninstall::Matches(const std::string& full, const std::string& sha256,
                         const std::string& link) const {
    const FileNode node = FileNode::Look(full, true);
    if (sha256.empty()) {
        return node.kind == FileNode::link && node.linkText == link;
    }
    CSha256::Digest digest;
    return node.kind == FileNode::file && CSha256::OfFile(full, digest) &&
           CSha256::Hex(digest) == sha256;
}

bool CUninstall::Plan(std::vector<Step>& steps, std::string& linkPath) const {
    const CJournalFolder::Journal& journal = journals[index];
    const JournalRecord& record = journal.record;
    const std::string backupFolder = std::string(CJournalFolder::kHome) + "/backup/" + journal.name;
    // Nothing is done when any path of the journal leads through a link: it could lead out of
    // the target.
    auto throughLink = [&](const std::string& path, bool withLast) {
        if (folder.NoLinkOnPath(path, withLast)) {
            return false;
        }
        linkPath = path;
        return true;
    };
    for (const JournalRecord::File& file : record.files) {
        if (throughLink(file.path, false)) {
            return false;
        }
    }
    for (const JournalRecord::Backup& backup : record.replaced) {
        if (throughLink(backup.path, false) ||
            throughLink(backupFolder + "/" + backup.path, false)) {
            return false;
        }
    }
    for (const std::string& made : record.folders) {
        if (throughLink(made, true)) {
            return false;
        }
    }
    const CJournalFolder::FileIndex owners = CJournalFolder::IndexFiles(journals);
    auto ownerOf = [&](const std::string& path, const std::string& digest) {
        return CJournalFolder::LaterOwner(journals, owners, index, path, digest);
    };
    std::set<std::string> removed;  // case-folded paths that will be gone
    std::unordered_map<std::string, const JournalRecord::File*> written;
    for (const JournalRecord::File& file : record.files) {
        written[CaseFold::Fold(file.path)] = &file;
        Step step(Step::remove, file.path);
        const std::string full = folder.PathOf(file.path);
        const FileNode node = FileNode::Look(full);
        const int owner = ownerOf(file.path, file.sha256);
        if (owner >= 0) {
            step = Step(Step::keep, file.path, Step::replacedBy, journals[owner].record.archive);
        } else if (!node.Exists()) {
            step = Step(Step::keep, file.path, Step::gone, {});
            removed.insert(CaseFold::Fold(file.path));
        } else if (node.kind != FileNode::file) {
            step = Step(Step::keep, file.path, Step::notAFile, {});
        } else if (!Matches(full, file.sha256, {})) {
            step = Step(Step::keep, file.path, Step::changed, {});
        } else {
            step.file = file;
            removed.insert(CaseFold::Fold(file.path));
        }
        steps.push_back(std::move(step));
    }
    for (const JournalRecord::Backup& backup : record.replaced) {
        const std::string folded = CaseFold::Fold(backup.path);
        const auto own = written.find(folded);
        // A later install owns the place: the file kept there says so already.
        if (ownerOf(backup.path, own != written.end() ? own->second->sha256 : std::string()) >= 0) {
            continue;
        }
        std::string kept = backupFolder + "/" + backup.path;
        if (!Exists(folder.PathOf(kept))) {
            kept = MovedBackup(backup);
        }
        const FileNode there = FileNode::Look(folder.PathOf(backup.path));
        if (kept.empty() || !Exists(folder.PathOf(kept))) {
            steps.push_back(Step(Step::keep, backup.path, Step::backupMissing, {}));
        } else if (!Matches(folder.PathOf(kept), backup.sha256, backup.link)) {
            steps.push_back(Step(Step::keep, backup.path, Step::backupChanged, kept));
        } else if (journal.interrupted && there.Exists() &&
                   !there.SameAs(FileNode::Look(folder.PathOf(kept)))) {
            // The run replaced it and died before recording what it wrote: what stands there
            // is its file, moved aside as any removed file.
            Step take(Step::remove, backup.path, Step::none, {});
            take.file = {backup.path, there.size, {}, there.modified};
            CSha256::Digest digest;
            if (there.kind == FileNode::file &&
                CSha256::OfFile(folder.PathOf(backup.path), digest)) {
                take.file.sha256 = CSha256::Hex(digest);
            }
            steps.push_back(std::move(take));
            Step step(Step::restore, backup.path);
            step.from = kept;
            step.source = backup;
            steps.push_back(std::move(step));
        } else if (journal.interrupted && there.Exists()) {
            continue;  // never replaced: the backup's second name goes with the run's folder
        } else if (removed.count(folded) == 0 && there.Exists()) {
            // What stands there is not the installed file: it is not replaced.
            steps.push_back(Step(Step::keep, backup.path, Step::occupied, kept));
        } else {
            Step step(Step::restore, backup.path);
            step.from = kept;
            step.source = backup;
            OldestStanding(owners, step);
            steps.push_back(std::move(step));
            removed.erase(folded);
        }
    }
    // Deepest first; a folder goes when all it holds goes too.
    for (auto it = record.folders.rbegin(); it != record.folders.rend(); ++it) {
        if (FileNode::Look(folder.PathOf(*it)).kind != FileNode::folder) {
            continue;
        }
        bool empty = true;
        for (const std::string& name : FileSystem::ListNames(folder.PathOf(*it))) {
            if (removed.count(CaseFold::Fold(*it + "/" + name)) == 0) {
                empty = false;
            }
        }
        if (empty) {
            steps.push_back(Step(Step::removeFolder, *it, Step::none, {}));
            removed.insert(CaseFold::Fold(*it));
        }
    }
    return true;
}

std::string CUninstall::MovedBackup(const JournalRecord::Backup& backup) const {
    // An uninstall that was reversed took the file back out of the place it had restored it
    // to, into its own backup folder: the same path with the same content.
    for (size_t i = journals.size(); i-- > index + 1;) {
        for (const JournalRecord::Backup& moved : journals[i].record.replaced) {
            const std::string kept = std::string(CJournalFolder::kHome) + "/backup/" +
                                     journals[i].name + "/" + moved.path;
            if (CaseFold::Equal(moved.path, backup.path) && moved.sha256 == backup.sha256 &&
                moved.link == backup.link && folder.NoLinkOnPath(kept, false) &&
                Matches(folder.PathOf(kept), backup.sha256, backup.link)) {
                return kept;
            }
        }
    }
    return {};
}

void CUninstall::OldestStanding(const CJournalFolder::FileIndex& owners, Step& step) const {
    // What was moved aside may itself be the file of an earlier install that was taken out
    // while this one owned the place; the file that install had replaced is what belongs there.
    const auto found = owners.find(CaseFold::Fold(step.path));
    if (found == owners.end()) {
        return;
    }
    for (auto it = found->second.rbegin(); it != found->second.rend(); ++it) {
        const CJournalFolder::Journal& earlier = journals[it->first];
        if (it->first >= index || !earlier.undone || step.source.sha256.empty() ||
            it->second->sha256 != step.source.sha256) {
            continue;
        }
        for (const JournalRecord::Backup& backup : earlier.record.replaced) {
            const std::string kept =
                std::string(CJournalFolder::kHome) + "/backup/" + earlier.name + "/" + backup.path;
            if (CaseFold::Equal(backup.path, step.path) && folder.NoLinkOnPath(kept, false) &&
                Matches(folder.PathOf(kept), backup.sha256, backup.link)) {
                step.from = kept;
                step.source = backup;
            }
        }
    }
}

std::vector<CUninstall::Step> CUninstall::Run(const std::vector<Step>& plan) {
    const CJournalFolder::Journal& journal = journals[index];
    JournalRecord record;
    record.kind = JournalRecord::Kind::uninstall;
    record.archive = journal.record.archive;
    record.undoes = journal.name;
    const std::string name = folder.Reserve(record.archive, record.time);
    std::vector<Step> steps;
    auto failed = [&](Step step) {
        step.action = Step::keep;
        step.reason = Step::failed;
        step.detail = SystemError::Text(SystemError::Last());
        steps.push_back(std::move(step));
    };
    for (const Step& step : plan) {
        const std::string full = folder.PathOf(step.path);
        if (step.action == Step::remove) {
            // Moved aside, not deleted: reversing this uninstall brings it back.
            const JournalRecord::File& file = step.file;
            const std::string aside = folder.BackupPath(name, step.path);
            const FileNode node = FileNode::Look(full);
            if (!node.Exists() || !FileSystem::MakeFolders(ParentOf(aside)) ||
                !FileSystem::MoveFile(full, aside, false)) {
                failed(step);
                continue;
            }
            record.replaced.push_back({step.path, file.sha256, {}, file.size, node.modified});
        } else if (step.action == Step::restore) {
            const JournalRecord::Backup& backup = step.source;
            const std::string kept = folder.PathOf(step.from);
            if (!FileSystem::MakeFolders(ParentOf(full), &record.folders) ||
                !FileSystem::MoveFile(kept, full, false)) {
                failed(step);
                continue;
            }
            if (backup.sha256.empty()) {
                // A link comes back as it was; nothing of it is removed by a later reversal.
                steps.push_back(step);
                continue;
            }
            record.files.push_back({step.path, backup.size, backup.sha256, backup.mtime});
        } else if (step.action == Step::removeFolder) {
            if (!FileSystem::RemoveFolder(full)) {
                continue;  // something came into it since: it stays, as any folder in use
            }
        }
        steps.push_back(step);
    }
    if (journal.interrupted) {
        // Second names of files the run never replaced.
        for (const JournalRecord::Backup& backup : journal.record.replaced) {
            const std::string kept = folder.BackupPath(journal.name, backup.path);
            if (SameFile(folder.PathOf(backup.path), kept)) {
                FileSystem::RemoveFile(kept);
            }
        }
    }
    // The made folders are relative like every path of a journal.
    for (std::string& made : record.folders) {
        made = made.substr(folder.Target().size());
    }
    folder.Save(name, record);
    folder.DropEmptyBackup(journal.name);
    folder.DropEmptyBackup(name);
    return steps;
}
