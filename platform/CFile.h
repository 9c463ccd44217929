#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// An open file of the file system. Every failure throws CFileException with the file's path.
class CFile {
public:
    enum class Mode {
        ReadOnly,   // existing file, read only
        ReadWrite,  // existing file, read and write; a read-only file is refused (access denied)
        CreateNew,  // a file that must not exist yet, write only
    };

    CFile() = default;
    ~CFile();
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;

    void Open(const std::string& path, Mode mode);
    // Takes over a handle opened elsewhere; failures then name path.
    void Adopt(int handle, const std::string& path);
    // Closes the file; a write error that the system reports only now throws.
    void Close();
    // Closes the file whatever happens, never throwing.
    void Abort() noexcept;
    bool IsOpen() const { return fd >= 0; }

    // Reads up to size bytes at the current position; fewer only at the end of the file.
    size_t Read(void* buffer, size_t size);
    // Reads up to size bytes at the given position without moving the current position.
    // Safe to call from several threads at once.
    size_t ReadAt(uint64_t position, void* buffer, size_t size) const;
    void Write(const void* data, size_t size);
    void Seek(uint64_t position) { current = position; }
    uint64_t GetPosition() const { return current; }
    uint64_t GetLength();

    const std::string& GetFilePath() const { return path; }
    bool IsReadOnly() const { return readOnly; }
    int Handle() const { return fd; }

private:
    [[noreturn]] void Fail(int error) const;

    int fd = -1;
    bool readOnly = false;
    uint64_t current = 0;
    std::string path;
};
