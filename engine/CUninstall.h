#pragma once

#include <string>
#include <utility>
#include <vector>

#include "CJournalFolder.h"

// Takes one journalled install (or uninstall) out again: removes each file it wrote that is
// still as written, brings back the files it replaced, removes the folders it made once they
// are empty. A file changed since, or replaced by a later install, is kept. What it removes
// goes to a backup folder of its own and it is journalled in turn, so that it can be reversed.
class CUninstall {
public:
    struct Step {
        enum Action { remove, restore, keep, removeFolder };
        enum Reason {
            none,
            changed,
            replacedBy,
            gone,
            notAFile,
            backupMissing,
            backupChanged,
            occupied,
            failed
        };
        Step() = default;
        Step(Action action_, std::string path_, Reason reason_ = none, std::string detail_ = {})
            : action(action_),
              path(std::move(path_)),
              reason(reason_),
              detail(std::move(detail_)) {}

        Action action = keep;
        std::string path;  // relative to the target
        Reason reason = none;
        std::string detail;  // the later archive, the backup's folder, or the system's message
        // A removal: the file taken away, as it is now.
        JournalRecord::File file;
        // A restore: the file brought back (relative to the target) and what the journal
        // that moved it aside recorded of it.
        std::string from;
        JournalRecord::Backup source;
    };

    // journals as CJournalFolder::Load gives them; index is the one to take out, still standing.
    CUninstall(const CJournalFolder& folder, const std::vector<CJournalFolder::Journal>& journals,
               size_t index);

    // What Run would do, touching nothing. False when a path of the journal leads through a
    // link; linkPath then names it and nothing may be done.
    bool Plan(std::vector<Step>& steps, std::string& linkPath) const;
    // Carries the plan out and journals it (even when everything was kept, so that the install
    // counts as taken out). Steps that failed become kept, with the reason. Throws
    // CFileException when the journal cannot be written.
    std::vector<Step> Run(const std::vector<Step>& plan);

private:
    // Where a backup of this journal went when it is no longer in its folder; empty if nowhere.
    std::string MovedBackup(const JournalRecord::Backup& backup) const;
    // Follows a restore back to the file that stood there before any install still counted.
    void OldestStanding(const CJournalFolder::FileIndex& owners, Step& step) const;
    // Whether the file at a path is still the one described.
    bool Matches(const std::string& full, const std::string& sha256, const std::string& link) const;

    const CJournalFolder& folder;
    const std::vector<CJournalFolder::Journal>& journals;
    size_t index;
};
