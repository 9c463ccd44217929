#include "CJournalFolder.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <memory>
#include <set>

#include "CFileException.h"
#include "CPendingFile.h"
#include "CSha256.h"
#include "CaseFold.h"
#include "FileNode.h"
#include "FileSystem.h"
#include "SystemError.h"

namespace {

// A journal lists one line per file: even an archive of 65,535 entries stays far below this.
constexpr size_t kMaxJournalSize = 64 << 20;

bool IsLink(const std::string& path) {
    return FileNode::Look(path).kind == FileNode::link;
}

// Makes a folder below a folder that exists; one that is there already is fine, unless it is
// not a real folder.
void MakeFolder(const std::string& path) {
    const FileNode node = FileNode::Look(path);
    if (node.kind == FileNode::folder) {
        return;
    }
    if (node.Exists()) {
        throw CFileException::FromErrno(ENOTDIR, path);
    }
    if (!FileSystem::CreateFolder(path) && FileNode::Look(path).kind != FileNode::folder) {
        throw CFileException::FromErrno(SystemError::Last(), path);
    }
}

// The archive's name as one file name: nothing that separates folders or hides the file.
std::string NamePart(const std::string& archive) {
    std::string name = archive.substr(0, 200);
    for (char& c : name) {
        if (c == '/' || c == '\\' || static_cast<unsigned char>(c) < 0x20) {
            c = '_';
        }
    }
    return name;
}

}  // namespace

CJournalFolder::CJournalFolder(const std::string& target_)
    : target(FileSystem::NativePath(target_)) {
    if (!target.empty() && target.back() != '/') {
        target += '/';
    }
}

std::string CJournalFolder::Now() {
    const auto now = std::chrono::system_clock::now();
    const auto micros =
        std::chrono::duration_cast<std::chrono::microseconds>(now.time_since_epoch()).count();
    const std::time_t seconds = static_cast<std::time_t>(micros / 1000000);
    const std::tm utc = *std::gmtime(&seconds);
    char text[96];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%06dZ", utc.tm_year + 1900,
                  utc.tm_mon + 1, utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec,
                  static_cast<int>(micros % 1000000));
    return text;
}

std::string CJournalFolder::BackupPath(const std::string& name, const std::string& relative) const {
    return target + kHome + "/backup/" + name + "/" + relative;
}

std::string CJournalFolder::Reserve(const std::string& archive, std::string& time) const {
    const std::string home = target + kHome;
    // A target that went away is said as the entries' own failures say it.
    if (!FileSystem::IsDirectory(target)) {
        throw CFileException::FromErrno(ENOENT, target);
    }
    MakeFolder(home);
    MakeFolder(home + "/backup");
    for (int attempt = 0;; ++attempt) {
        time = Now();
        // "2026-12-08T03:06:51.123456Z" as a file name: no ':' (Windows), still in time order.
        std::string stamp = time;
        stamp.erase(
            std::remove_if(stamp.begin(), stamp.end(), [](char c) { return c == '-' || c == ':'; }),
            stamp.end());
        const std::string name = stamp + "-" + NamePart(archive);
        if (FileSystem::CreateFolder(home + "/backup/" + name)) {
            return name;
        }
        if (SystemError::Last() != EEXIST || attempt == 100) {
            throw CFileException::FromErrno(SystemError::Last(), home + "/backup/" + name);
        }
    }
}

void CJournalFolder::Open(const std::string& name, CPendingFile& file) const {
    const std::string home = target + kHome;
    MakeFolder(home);
    MakeFolder(home + "/journal");
    file.Create(home + "/journal/" + name + ".json");
}

void CJournalFolder::Close(CPendingFile& file) {
    file.Sync();
    file.Commit();
    // The new name itself must reach the disk too.
    const std::string& path = file.FinalPath();
    FileSystem::SyncFolder(path.substr(0, path.rfind('/')));
}

void CJournalFolder::Save(const std::string& name, const JournalRecord& record) const {
    const std::string text = record.ToJson();
    CPendingFile file;
    Open(name, file);
    file.Write(text.data(), text.size());
    Close(file);
}

void CJournalFolder::DropEmptyBackup(const std::string& name) const {
    const std::string root = target + kHome + "/backup/" + name;
    if (IsLink(root)) {
        return;
    }
    // Deepest first: a folder is removed only once its own folders are gone.
    std::vector<std::string> folders{root};
    for (size_t i = 0; i < folders.size(); ++i) {
        for (const std::string& child : FileSystem::ListNames(folders[i])) {
            if (FileNode::Look(folders[i] + "/" + child).kind == FileNode::folder) {
                folders.push_back(folders[i] + "/" + child);
            }
        }
    }
    for (auto it = folders.rbegin(); it != folders.rend(); ++it) {
        FileSystem::RemoveFolder(*it);
    }
}

bool CJournalFolder::NoLinkOnPath(const std::string& relative, bool withLast) const {
    size_t end = 0;
    for (;;) {
        end = relative.find('/', end + 1);
        if (end == std::string::npos && !withLast) {
            return true;
        }
        const FileNode node = FileNode::Look(target + relative.substr(0, end));
        if (!node.Exists()) {
            return true;
        }
        if (node.kind == FileNode::link ||
            (end != std::string::npos && node.kind != FileNode::folder)) {
            return false;
        }
        if (end == std::string::npos) {
            return true;
        }
    }
}

bool CJournalFolder::Load(std::vector<Journal>& journals, std::vector<Refusal>& refused) const {
    const std::string home = target + kHome;
    const std::string folder = home + "/journal";
    for (const std::string& path : {home, folder}) {
        if (IsLink(path)) {
            refused.push_back({Refusal::linkInPath, path, {}});
            return false;
        }
    }
    std::set<std::string> names;
    // Without a journal folder, a first install that died may still have left its backups.
    for (const std::string& file : FileSystem::ListNames(folder)) {
        if (file.size() > 5 && file.compare(file.size() - 5, 5, ".json") == 0 &&
            file.front() != '.') {
            names.insert(file);
        }
    }
    for (const std::string& file : names) {
        const std::string path = folder + "/" + file;
        const FileNode node = FileNode::Look(path);
        if (node.kind != FileNode::file) {
            refused.push_back({Refusal::notAFile, file, {}});
            continue;
        }
        if (node.size > kMaxJournalSize) {
            refused.push_back({Refusal::tooLarge, file, {}});
            continue;
        }
        std::string text;
        if (!FileSystem::ReadSmallFile(path, kMaxJournalSize, text)) {
            refused.push_back(
                {SystemError::Last() == EFBIG ? Refusal::tooLarge : Refusal::unreadable, file,
                 SystemError::Text(SystemError::Last())});
            continue;
        }
        JournalRecord::Fault fault;
        std::string detail;
        std::optional<JournalRecord> record = JournalRecord::Parse(text, fault, detail);
        const std::string name = file.substr(0, file.size() - 5);
        if (!record || !JournalRecord::IsSafeName(name)) {
            refused.push_back({fault == JournalRecord::Fault::unsafePath ? Refusal::unsafePath
                                                                         : Refusal::malformed,
                               file, detail});
            continue;
        }
        journals.push_back({name, std::move(*record), false});
    }
    FindInterrupted(journals);
    std::stable_sort(journals.begin(), journals.end(), [](const Journal& a, const Journal& b) {
        return a.record.time != b.record.time ? a.record.time < b.record.time : a.name < b.name;
    });
    // An uninstall always comes after what it took out, so the newest decide first.
    std::set<std::string> undone;
    for (auto it = journals.rbegin(); it != journals.rend(); ++it) {
        it->undone = undone.count(it->name) > 0;
        if (!it->undone && it->record.kind == JournalRecord::Kind::uninstall) {
            undone.insert(it->record.undoes);
        }
    }
    return true;
}

void CJournalFolder::FindInterrupted(std::vector<Journal>& journals) const {
    const std::string backups = target + kHome + "/backup";
    if (IsLink(backups)) {
        return;
    }
    std::set<std::string> named;
    for (const Journal& journal : journals) {
        named.insert(journal.name);
    }
    std::set<std::string> orphans;
    for (const std::string& name : FileSystem::ListNames(backups)) {
        // "20261208T030651.123456Z-archive.zip", as Reserve names them.
        if (JournalRecord::IsSafeName(name) && named.count(name) == 0 && name.size() > 24 &&
            name[8] == 'T' && name[15] == '.' && name[22] == 'Z' && name[23] == '-') {
            orphans.insert(name);
        }
    }
    for (const std::string& name : orphans) {
        Journal journal;
        journal.name = name;
        journal.interrupted = true;
        JournalRecord& record = journal.record;
        record.archive = name.substr(24);
        record.time = name.substr(0, 4) + "-" + name.substr(4, 2) + "-" + name.substr(6, 5) + ":" +
                      name.substr(11, 2) + ":" + name.substr(13, 10);
        const std::string root = backups + "/" + name;
        if (IsLink(root)) {
            continue;
        }
        std::vector<std::string> folders{""};
        for (size_t i = 0; i < folders.size(); ++i) {
            for (const std::string& child : FileSystem::ListNames(root + "/" + folders[i])) {
                const std::string relative = folders[i].empty() ? child : folders[i] + "/" + child;
                const FileNode node = FileNode::Look(root + "/" + relative, true);
                if (node.kind == FileNode::folder) {
                    folders.push_back(relative);
                    continue;
                }
                JournalRecord::Backup backup{relative, {}, {}, node.size, node.modified};
                CSha256::Digest digest;
                if (node.kind == FileNode::file && CSha256::OfFile(root + "/" + relative, digest)) {
                    backup.sha256 = CSha256::Hex(digest);
                } else if (node.kind == FileNode::link) {
                    backup.link = node.linkText;
                } else {
                    continue;
                }
                if (JournalRecord::IsSafePath(relative)) {
                    record.replaced.push_back(std::move(backup));
                }
            }
        }
        if (!record.replaced.empty()) {
            journals.push_back(std::move(journal));
        }
    }
}

CJournalFolder::FileIndex CJournalFolder::IndexFiles(const std::vector<Journal>& journals) {
    FileIndex index;
    for (size_t i = 0; i < journals.size(); ++i) {
        for (const JournalRecord::File& file : journals[i].record.files) {
            index[CaseFold::Fold(file.path)].emplace_back(i, &file);
        }
    }
    return index;
}

int CJournalFolder::LaterOwner(const std::vector<Journal>& journals, const FileIndex& index,
                               size_t journal, const std::string& path,
                               const std::string& ownDigest) {
    const auto found = index.find(CaseFold::Fold(path));
    if (found == index.end()) {
        return -1;
    }
    for (auto it = found->second.rbegin(); it != found->second.rend() && it->first > journal;
         ++it) {
        const Journal& later = journals[it->first];
        // An uninstall that brought back this very file (it took out what had replaced it)
        // gave the file back to the journal, not to itself.
        if (!later.undone && !(later.record.kind == JournalRecord::Kind::uninstall &&
                               !ownDigest.empty() && it->second->sha256 == ownDigest)) {
            return static_cast<int>(it->first);
        }
    }
    return -1;
}
