#pragma once

#include <cstddef>
#include <ctime>
#include <string>

#include "CFile.h"

// A file written without a name (or, where the file system cannot do that, under a temporary
// one) in its destination folder, and put in place only when Commit is called: a failed write
// never leaves a partial file under the real name and never harms a file it was to replace. A
// file that replaces another gets a temporary name only for the instant before the rename, so
// that a killed program leaves nothing behind. Failures throw CFileException naming the real
// file.
class CPendingFile {
public:
    CPendingFile() = default;
    ~CPendingFile();
    CPendingFile(const CPendingFile&) = delete;
    CPendingFile& operator=(const CPendingFile&) = delete;

    // A folder, or a read-only file, at finalPath cannot be replaced: access denied. knownAbsent
    // tells that nothing is there as far as the caller knows, which spares a look.
    void Create(const std::string& finalPath, bool knownAbsent = false);
    void Write(const void* data, size_t size);
    // The modification time (now for -1) and the read-only mark, set on the open file so that
    // no path is looked up again. False when the system refuses.
    bool SetTimes(std::time_t modified);
    bool SetReadOnly();
    // Waits until what was written is on the disk, so that a crash never leaves the real name on
    // a file that lacks its data.
    void Sync();
    // Gives the written file its real name, replacing what is there.
    void Commit();
    // Drops what was written.
    void Discard() noexcept;

    // The temporary name, empty while the file has none.
    const std::string& TempPath() const { return tempPath; }
    const std::string& FinalPath() const { return finalPath; }

    // For a program that must end at once (a signal): removes the temporary names of the files
    // of every thread, and keeps every later Commit that would make one waiting for good.
    static void RemoveTemporaryNames() noexcept;

private:
    [[noreturn]] void Fail(int error);
    void CreateNamed(const std::string& folder);
    // Gives the unnamed file a temporary name and renames it over what stands at the real one.
    void ReplaceUnnamed(const std::string& native, const std::string& self);
    // Runs a file operation; its failure is reported under the real name.
    template <typename Operation>
    void Guard(Operation operation);

    CFile file;
    std::string finalPath;
    std::string tempPath;
    bool replacing = false;  // something stood at finalPath when the file was created
};
