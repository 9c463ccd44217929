#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// One journal of the target's .zanvo/journal/ folder: what one install of an archive wrote,
// replaced and created, or what one uninstall took out and brought back. Paths are relative to
// the target, with '/' between names, spelled as on disk.
struct JournalRecord {
    enum class Kind { install, uninstall };
    struct File {
        std::string path;
        uint64_t size = 0;
        std::string sha256;
        int64_t mtime = 0;  // seconds since 1970, as set on the file
    };
    // A file that was there before and was moved to the backup folder: a regular file with its
    // digest, or a symbolic link with the text it points to.
    struct Backup {
        std::string path;
        std::string sha256;  // empty for a link
        std::string link;
        uint64_t size = 0;
        int64_t mtime = 0;
    };
    // Why a text is not a journal.
    enum class Fault { none, notJson, badField, unsafePath };

    Kind kind = Kind::install;
    std::string archive;  // the archive's file name
    std::string time;     // UTC, "2026-12-08T03:06:51.123456Z"; journals sort by it
    std::string undoes;   // an uninstall: the name of the journal it took out
    std::vector<File> files;
    std::vector<Backup> replaced;
    std::vector<std::string>
        folders;  // made by an install (or removed by an uninstall), parents first

    std::string ToJson() const;
    // ToJson in pieces, for a journal written as its install goes: the head, a line for each
    // file written, and the tail with the files replaced and the folders made.
    std::string Head() const;
    static std::string FileLine(const File& file);
    std::string Tail() const;
    // Reads a journal as untrusted input: anything not as ToJson writes it is refused whole,
    // with the fault and what it concerns (a field's name, a path).
    static std::optional<JournalRecord> Parse(const std::string& text, Fault& fault,
                                              std::string& detail);
    // A path that stays inside the target and outside its .zanvo folder: relative, no empty,
    // "." or ".." names, no '\' and no NUL.
    static bool IsSafePath(const std::string& path);
    // A journal's own name (its file name without ".json"): one name, nothing that climbs.
    static bool IsSafeName(const std::string& name);
};
