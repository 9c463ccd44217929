#pragma once

#include <cstdint>
#include <string>

// What stands at a path: the link itself, never what it leads to. Journals and uninstalls look
// at names this way, so that a link planted in a target never leads them elsewhere.
struct FileNode {
    enum Kind { none, file, folder, link, other };

    Kind kind = none;
    uint64_t size = 0;
    int64_t modified = 0;  // seconds since 1970
    uint64_t device = 0;
    uint64_t inode = 0;
    std::string linkText;  // a link's own text, when asked for

    static FileNode Look(const std::string& path, bool withLinkText = false);
    bool Exists() const { return kind != none; }
    // Two names of one file.
    bool SameAs(const FileNode& other) const {
        return Exists() && other.Exists() && device == other.device && inode == other.inode;
    }
};
