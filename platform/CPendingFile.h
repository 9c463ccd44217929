#pragma once

#include <cstddef>
#include <string>

#include "CFile.h"

// A file written under a temporary name in its destination folder and renamed into place only
// when Commit is called, so that a failed write never leaves a partial file under the real name
// and never harms a file it was to replace. Failures throw CFileException naming the real file.
class CPendingFile {
public:
    CPendingFile() = default;
    ~CPendingFile();
    CPendingFile(const CPendingFile&) = delete;
    CPendingFile& operator=(const CPendingFile&) = delete;

    // A folder, or a read-only file, at finalPath cannot be replaced: access denied.
    void Create(const std::string& finalPath);
    void Write(const void* data, size_t size);
    void CloseFile();
    // Renames the written file over the real name.
    void Commit();
    // Removes the temporary file, if any.
    void Discard() noexcept;

    const std::string& TempPath() const { return tempPath; }
    const std::string& FinalPath() const { return finalPath; }

private:
    [[noreturn]] void Fail(int error);
    // Runs a file operation; its failure is reported under the real name.
    template <typename Operation>
    void Guard(Operation operation);

    CFile file;
    std::string finalPath;
    std::string tempPath;
};
