#include "CInstallJournal.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "CFileException.h"
#include "CaseFold.h"
#include "FileSystem.h"
#include "SystemError.h"

void CInstallJournal::Entry::Written(const void* data, size_t count) {
    sha.Update(data, count);
    size += count;
}

void CInstallJournal::Entry::BeforeCommit(const std::string& target) {
    struct stat st {};
    if (backupPath.empty() || ::lstat(target.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) {
        return;  // nothing to keep; a folder there fails the rename itself
    }
    JournalRecord::Backup kept;
    kept.path = relative;
    kept.size = static_cast<uint64_t>(st.st_size);
    kept.mtime = st.st_mtim.tv_sec;
    if (S_ISLNK(st.st_mode)) {
        std::vector<char> text(static_cast<size_t>(st.st_size) + 1);
        const ssize_t n = ::readlink(target.c_str(), text.data(), text.size());
        if (n < 0) {
            throw CFileException::FromErrno(errno, target);
        }
        kept.link.assign(text.data(), static_cast<size_t>(n));
    } else {
        CSha256::Digest digest;
        if (!CSha256::OfFile(target, digest)) {
            throw CFileException::FromErrno(errno != 0 ? errno : EIO, target);
        }
        kept.sha256 = CSha256::Hex(digest);
    }
    if (!FileSystem::MakeFolders(backupPath.substr(0, backupPath.rfind('/')))) {
        throw CFileException::FromErrno(SystemError::Last(), backupPath);
    }
    // A second name for the file (a link itself, not what it leads to): the rename over the
    // target then leaves the old file only in the backup folder, and no moment lacks either.
    if (::linkat(AT_FDCWD, target.c_str(), AT_FDCWD, backupPath.c_str(), 0) != 0) {
        if (errno != EXDEV && errno != EPERM && errno != EMLINK) {
            throw CFileException::FromErrno(errno, target);
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
            struct stat st {};
            if (::lstat(folder.PathOf(folderPath).c_str(), &st) != 0 && errno == ENOENT) {
                record.folders.push_back(folderPath);
            }
        }
        if (end == std::string::npos) {
            return;
        }
    }
}

std::unique_ptr<CInstallJournal::Entry> CInstallJournal::Begin(const std::string& relative) {
    if (name.empty()) {
        name = folder.Reserve(record.archive, record.time);
    }
    auto entry = std::make_unique<Entry>();
    entry->relative = relative;
    // A file this archive wrote itself is not its own backup.
    if (written.count(CaseFold::Fold(relative)) == 0) {
        entry->backupPath = folder.BackupPath(name, relative);
    }
    return entry;
}

void CInstallJournal::Done(Entry& entry, std::time_t modified) {
    JournalRecord::File file{entry.relative, entry.size, CSha256::Hex(entry.sha.Final()),
                             static_cast<int64_t>(modified)};
    if (modified == static_cast<std::time_t>(-1)) {
        struct stat st {};
        if (::lstat(folder.PathOf(entry.relative).c_str(), &st) == 0) {
            file.mtime = st.st_mtim.tv_sec;
        }
    }
    const auto [at, added] = written.emplace(CaseFold::Fold(entry.relative), record.files.size());
    if (added) {
        record.files.push_back(std::move(file));
    } else {
        record.files[at->second] = std::move(file);
    }
    if (entry.backup) {
        record.replaced.push_back(std::move(*entry.backup));
    }
}

void CInstallJournal::Failed(Entry& entry) noexcept {
    if (entry.backup) {
        ::unlink(entry.backupPath.c_str());
        entry.backup.reset();
    }
}

void CInstallJournal::Save() {
    // A target that went away took the files with it: there is nothing left to record.
    if (name.empty() || !FileSystem::IsDirectory(folder.Target())) {
        return;
    }
    if (!record.files.empty()) {
        folder.Save(name, record);
    }
    folder.DropEmptyBackup(name);
}
