#include "CInstallJournal.h"

#include <cerrno>
#include <vector>

#include "CFileException.h"
#include "FileNode.h"
#include "FileSystem.h"
#include "SystemError.h"

void CInstallJournal::Entry::Written(const void* data, size_t count) {
    if (!sha) {
        sha.emplace();
    }
    sha->Update(data, count);
    size += count;
}

void CInstallJournal::Entry::BeforeCommit(const std::string& target) {
    if (!sha) {
        sha.emplace();  // an empty file
    }
    line = JournalRecord::FileLine(
        {relative, size, CSha256::Hex(sha->Final()), static_cast<int64_t>(modified)});
    const FileNode node = FileNode::Look(target, true);
    if (journalName == nullptr || !node.Exists() || node.kind == FileNode::folder) {
        return;  // nothing to keep; a folder there fails the rename itself
    }
    JournalRecord::Backup kept;
    kept.path = relative;
    kept.size = node.size;
    kept.mtime = node.modified;
    if (node.kind == FileNode::link) {
        kept.link = node.linkText;
    } else {
        CSha256::Digest digest;
        if (!CSha256::OfFile(target, digest)) {
            throw CFileException::FromErrno(SystemError::Last(), target);
        }
        kept.sha256 = CSha256::Hex(digest);
    }
    backupPath = folder->BackupPath(*journalName, relative);
    if (!FileSystem::MakeFolders(backupPath.substr(0, backupPath.rfind('/')))) {
        throw CFileException::FromErrno(SystemError::Last(), backupPath);
    }
    // A second name for the file (a link itself, not what it leads to): the rename over the
    // target then leaves the old file only in the backup folder, and no moment lacks either.
    if (!FileSystem::LinkFile(target, backupPath)) {
        const int error = SystemError::Last();
        if (error != EXDEV && error != EPERM && error != EMLINK) {
            throw CFileException::FromErrno(error, target);
        }
        if (!FileSystem::CopyKeepingTimes(target, backupPath)) {
            throw CFileException::FromErrno(SystemError::Last(), backupPath);
        }
    }
    backup = std::move(kept);
}

CInstallJournal::CInstallJournal(const CJournalFolder& folder_, const std::string& archive)
    : folder(folder_) {
    record.kind = JournalRecord::Kind::install;
    record.archive = archive;
}

void CInstallJournal::NoteFolders(const std::string& relativeFolder) {
    if (relativeFolder.empty() || seenFolders.count(relativeFolder) > 0) {
        return;
    }
    for (size_t end = relativeFolder.find('/');; end = relativeFolder.find('/', end + 1)) {
        const std::string folderPath = relativeFolder.substr(0, end);
        if (seenFolders.insert(folderPath).second) {
            if (!FileNode::Look(folder.PathOf(folderPath)).Exists()) {
                record.folders.push_back(folderPath);
            }
        }
        if (end == std::string::npos) {
            return;
        }
    }
}

std::unique_ptr<CInstallJournal::Entry> CInstallJournal::Begin(const std::string& relative,
                                                               const std::string& key,
                                                               std::time_t modified) {
    if (name.empty()) {
        name = folder.Reserve(record.archive, record.time);
        folder.Open(name, file);
        pending = record.Head();
    }
    auto entry = std::make_unique<Entry>();
    entry->relative = relative;
    entry->key = KeyOf(key);
    entry->modified = modified;
    // A file this archive wrote itself is not its own backup.
    if (written.count(entry->key) == 0) {
        entry->journalName = &name;
        entry->folder = &folder;
    }
    return entry;
}

void CInstallJournal::Done(Entry& entry) {
    if (entry.modified == static_cast<std::time_t>(-1)) {
        // The file took the time of its writing: what it has now is recorded.
        JournalRecord::File done{entry.relative, entry.size, {}, 0};
        const FileNode node = FileNode::Look(folder.PathOf(entry.relative));
        done.mtime = node.modified;
        const size_t digest = entry.line.find("\"sha256\":\"") + 10;
        done.sha256 = entry.line.substr(digest, 64);
        entry.line = JournalRecord::FileLine(done);
    }
    // A path written again (two entries sent to one place) gets a later line, which stands.
    pending += fileCount == 0 ? "\n" : ",\n";
    pending += entry.line;
    ++fileCount;
    written.insert(entry.key);
    if (entry.backup) {
        record.replaced.push_back(std::move(*entry.backup));
    }
    Flush(false);
}

CInstallJournal::WrittenKey CInstallJournal::KeyOf(const std::string& key) {
    keyHasher.Update(key.data(), key.size());
    const CSha256::Digest digest = keyHasher.Final();
    WrittenKey bits{0, 0};
    for (size_t i = 0; i < 8; ++i) {
        bits.high = bits.high << 8 | digest[i];
        bits.low = bits.low << 8 | digest[i + 8];
    }
    return bits;
}

void CInstallJournal::Flush(bool all) {
    if ((!all && pending.size() < (1 << 16)) || failure) {
        return;
    }
    try {
        file.Write(pending.data(), pending.size());
    } catch (...) {
        // Said when the journal is saved: the install goes on meanwhile.
        failure = std::current_exception();
    }
    pending.clear();
}

void CInstallJournal::Failed(Entry& entry) noexcept {
    if (entry.backup) {
        FileSystem::RemoveFile(entry.backupPath);
        entry.backup.reset();
    }
}

void CInstallJournal::Save() {
    // A target that went away took the files with it: there is nothing left to record.
    if (name.empty() || !FileSystem::IsDirectory(folder.Target())) {
        file.Discard();
        return;
    }
    if (fileCount > 0) {
        pending += record.Tail();
        Flush(true);
        if (failure) {
            file.Discard();
            std::rethrow_exception(failure);
        }
        CJournalFolder::Close(file);
    } else {
        file.Discard();
    }
    folder.DropEmptyBackup(name);
}
