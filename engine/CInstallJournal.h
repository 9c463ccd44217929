#pragma once

#include <ctime>
#include <exception>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <unordered_set>

#include "CJournalFolder.h"
#include "CPendingFile.h"
#include "CSha256.h"
#include "IWriteObserver.h"
#include "JournalRecord.h"

// The journal of one archive's install, kept while the archive is installed and written when it
// is done: every file written with its digest, every file replaced (moved to the backup folder
// the moment before the new one takes its name), every folder made.
class CInstallJournal {
public:
    // The files this archive wrote, each by 128 bits of its key's SHA-256: a few bytes per file
    // instead of its path, for archives of tens of thousands of files.
    struct WrittenKey {
        uint64_t high, low;
        bool operator==(const WrittenKey&) const = default;
    };
    struct WrittenHash {
        size_t operator()(const WrittenKey& key) const { return key.high ^ (key.low * 31); }
    };
    WrittenKey KeyOf(const std::string& key);

    // One file on its way: its digest is worked out as it is written, on the writing thread.
    class Entry : public IWriteObserver {
    public:
        void Written(const void* data, size_t size) override;
        // Whatever stands at target is linked into the backup folder (copied only when the
        // backup folder lies on another file system), so that the rename that follows replaces
        // nothing that is lost.
        void BeforeCommit(const std::string& target) override;

    private:
        friend class CInstallJournal;
        std::string relative;
        WrittenKey key{0, 0};
        // Where what stands there goes: made only when something does. None when what stands
        // there is this journal's own.
        const std::string* journalName = nullptr;
        const CJournalFolder* folder = nullptr;
        std::string backupPath;
        std::time_t modified = -1;
        // Made on the writing thread, so that the run's own thread has little to do per file.
        std::optional<CSha256> sha;
        uint64_t size = 0;
        std::string line;  // the file's line of the journal, once it is written
        std::optional<JournalRecord::Backup> backup;
    };

    CInstallJournal(const CJournalFolder& folder, const std::string& archive);

    // Before the folders of a file are made: notes those that do not exist yet. relativeFolder
    // has '/' between names, without one at the end; empty for the target itself.
    void NoteFolders(const std::string& relativeFolder);
    // A file about to be written at relative (key: its whole path, case-folded). The first one
    // reserves the journal's name and starts its file. Throws CFileException when the journal's
    // folder cannot be made.
    std::unique_ptr<Entry> Begin(const std::string& relative, const std::string& key,
                                 std::time_t modified);
    // The file took its name.
    void Done(Entry& entry);
    // The file was not written: what was put in the backup folder for it goes again.
    static void Failed(Entry& entry) noexcept;
    // Writes the journal when a file was written; drops an empty backup folder. Throws
    // CFileException.
    void Save();
    const std::string& Name() const { return name; }

private:
    const CJournalFolder& folder;
    // Sends what was collected of the journal to its file, once there is enough of it.
    void Flush(bool all);

    std::string name;      // empty until the first file
    JournalRecord record;  // its head, the files replaced and the folders made
    CPendingFile file;     // the journal, under no name until it is complete
    std::string pending;   // its lines not written yet
    size_t fileCount = 0;
    std::exception_ptr failure;  // the first write of the journal that failed
    std::unordered_set<WrittenKey, WrittenHash> written;
    CSha256 keyHasher;
    std::set<std::string> seenFolders;
};
