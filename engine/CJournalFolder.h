#pragma once

#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "JournalRecord.h"

class CPendingFile;

// The .zanvo folder of a target: the journals of what was installed there and the files those
// installs replaced. Journals are read as untrusted input; one that cannot be read safely is
// set aside with the reason, and nothing is ever done because of it.
class CJournalFolder {
public:
    static constexpr const char* kHome = ".zanvo";

    struct Journal {
        std::string name;  // the file name without ".json": "<time>-<archive>"
        JournalRecord record;
        bool undone = false;  // taken out by an uninstall that stands
        // A run that ended before its journal was written (killed, a power cut): only its
        // backup folder tells what it replaced, and nothing what it wrote.
        bool interrupted = false;
    };
    struct Refusal {
        enum Why { notAFile, tooLarge, unreadable, malformed, unsafePath, linkInPath } why;
        std::string name;    // the journal's file name, or the folder's path
        std::string detail;  // the field or path concerned, or the system's message
    };

    explicit CJournalFolder(const std::string& target);

    const std::string& Target() const { return target; }
    // Every journal, oldest first (by time, then name), with what was undone marked. False when
    // the .zanvo folder itself cannot be trusted (a link), which refused then says.
    bool Load(std::vector<Journal>& journals, std::vector<Refusal>& refused) const;

    // A fresh journal name for an archive, reserved by making its backup folder before anything
    // is moved there; time is the journal's time, which the name begins with. Throws
    // CFileException.
    std::string Reserve(const std::string& archive, std::string& time) const;
    std::string BackupPath(const std::string& name, const std::string& relative) const;
    std::string PathOf(const std::string& relative) const { return target + relative; }
    // Writes a journal under its name at once or not at all: a temporary file, on the disk,
    // then renamed. Throws CFileException.
    void Save(const std::string& name, const JournalRecord& record) const;
    // Save in two halves, for a journal written as its install goes: Open makes the file under
    // no name yet, Close puts it on the disk and gives it its name. Both throw CFileException.
    void Open(const std::string& name, CPendingFile& file) const;
    static void Close(CPendingFile& file);
    // Removes the backup folder of a journal when nothing is left in it (empty folders only).
    void DropEmptyBackup(const std::string& name) const;

    // Whether every folder on the way to relative below the target (and relative itself when
    // withLast) is a real folder and not a link; a missing one ends the check well.
    bool NoLinkOnPath(const std::string& relative, bool withLast) const;
    // Where each path was written: its case-folded form, and the journals (oldest first) with
    // the record of the file each wrote there.
    using FileIndex =
        std::unordered_map<std::string, std::vector<std::pair<size_t, const JournalRecord::File*>>>;
    static FileIndex IndexFiles(const std::vector<Journal>& journals);
    // The newest journal after index that wrote path and still stands, and so owns the file
    // now; -1 when none does. ownDigest is what journal index wrote there (empty if nothing).
    static int LaterOwner(const std::vector<Journal>& journals, const FileIndex& index,
                          size_t journal, const std::string& path, const std::string& ownDigest);
    // UTC now as journals write it.
    static std::string Now();

private:
    // The backup folders no journal names, as journals of what they hold.
    void FindInterrupted(std::vector<Journal>& journals) const;

    std::string target;  // native, ends with '/'
};
