#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

// File-system services with the semantics of the Windows calls they stand for. Paths given to
// these functions may use '\' as well as '/' as separator; both name a folder boundary.
class FileSystem {
public:
    // Windows attribute bits of an archive entry.
    static constexpr uint32_t kReadOnly = 0x01;
    static constexpr uint32_t kHidden = 0x02;
    static constexpr uint32_t kSystem = 0x04;
    static constexpr uint32_t kDirectory = 0x10;
    static constexpr uint32_t kArchive = 0x20;

    static char NativeSeparator();
    // The path with every separator turned into the native one.
    static std::string NativePath(const std::string& path);

    // The path with every component that exists under another case spelled as it exists on
    // disk (an existing "Maps" answers "maps"); components below a missing one are kept.
    static std::string ResolveCase(const std::string& path);

    // Creates the folder and every missing parent, reusing existing folders whatever their
    // case. True when the folder exists afterwards. The path must be resolved by ResolveCase.
    static bool CreateFolderChain(const std::string& resolvedFolder);

    // Creates one folder, whose parent must exist. On failure the error is recorded as the last
    // system error.
    static bool CreateFolder(const std::string& path);

    // A file's size and last-write time, from the name's own bytes (whatever their encoding).
    static bool SizeAndTime(const std::string& path, uint64_t& size, std::time_t& modified);

    static bool Exists(const std::string& path);
    static bool IsDirectory(const std::string& path);

    // Modification time (the current time when it is -1) and access time (always now).
    static bool SetFileTimes(const std::string& path, std::time_t modified);
    // Read-only clears every write bit of a file; the other attributes have no meaning here.
    // Folders stay writable whatever they are given, as on Windows.
    static bool SetAttributes(const std::string& path, uint32_t attributes);

    // Makes a folder and its missing parents as named (no case lookup); made, when given, gets
    // each folder made, parents first. False, with the system error recorded, on failure.
    static bool MakeFolders(const std::string& folder, std::vector<std::string>* made = nullptr);
    // Copies a regular file (or a link, as a link) with its mode and times, to a new name.
    static bool CopyKeepingTimes(const std::string& from, const std::string& to);
    // Renames a file, or a link itself; across file systems, a copy then a removal. Without
    // replace, nothing that stands at to is ever replaced (EEXIST).
    static bool MoveFile(const std::string& from, const std::string& to, bool replace);

    // A second name for a file, or for a link itself (never what it leads to). False, with the
    // system error recorded (EXDEV across file systems), on failure.
    static bool LinkFile(const std::string& existing, const std::string& newName);
    static bool RemoveFile(const std::string& path);
    // Removes an empty folder.
    static bool RemoveFolder(const std::string& path);
    // The names in a folder, "." and ".." left out; empty when it cannot be read.
    static std::vector<std::string> ListNames(const std::string& folder);
    // Reads a regular file of at most maxSize bytes without following a link; false, with the
    // system error recorded (EFBIG when larger), otherwise.
    static bool ReadSmallFile(const std::string& path, size_t maxSize, std::string& text);
    // Waits until the names in a folder are on the disk.
    static void SyncFolder(const std::string& folder);

    // Removes a folder and everything below it (used for scratch folders).
    static bool RemoveTree(const std::string& path);
    // Creates a new, empty, private folder under the system's temporary folder.
    static std::string MakeTempFolder(const std::string& prefix);
};
