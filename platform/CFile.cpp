#include "CFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "CFileException.h"
#include "FileSystem.h"
#include "SystemError.h"

CFile::~CFile() {
    Abort();
}

void CFile::Fail(int error) const {
    SystemError::SetLast(error);
    throw CFileException::FromErrno(error, path);
}

void CFile::Open(const std::string& filePath, Mode mode) {
    Abort();
    path = filePath;
    current = 0;
    const std::string native = FileSystem::NativePath(filePath);
    int flags = O_CLOEXEC;
    switch (mode) {
        case Mode::ReadOnly:
            flags |= O_RDONLY;
            break;
        case Mode::ReadWrite:
            flags |= O_RDWR;
            break;
        case Mode::CreateNew:
            flags |= O_WRONLY | O_CREAT | O_EXCL;
            break;
    }
    // A file whose write bits are all cleared is read-only even to root, as on Windows.
    if (mode == Mode::ReadWrite) {
        struct stat st {};
        if (::stat(native.c_str(), &st) == 0 && !S_ISDIR(st.st_mode) && (st.st_mode & 0222) == 0) {
            Fail(EACCES);
        }
    }
    int handle;
    do {
        handle = ::open(native.c_str(), flags, 0666);
    } while (handle < 0 && errno == EINTR);
    if (handle < 0) {
        Fail(errno);
    }
    struct stat st {};
    if (::fstat(handle, &st) != 0 || S_ISDIR(st.st_mode)) {
        const int error = S_ISDIR(st.st_mode) ? EISDIR : errno;
        ::close(handle);
        Fail(error);
    }
    fd = handle;
    readOnly = mode == Mode::ReadOnly;
}

void CFile::Adopt(int handle, const std::string& filePath) {
    Abort();
    fd = handle;
    path = filePath;
    current = 0;
    readOnly = false;
}

void CFile::Close() {
    if (fd >= 0) {
        const int result = ::close(fd);
        fd = -1;
        // A delayed write error (disk quota, network file system) shows up only here.
        if (result != 0 && errno != EINTR) {
            Fail(errno);
        }
    }
}

void CFile::Abort() noexcept {
    if (fd >= 0) {
        ::close(fd);
        fd = -1;
    }
}

size_t CFile::ReadAt(uint64_t position, void* buffer, size_t size) const {
    auto* out = static_cast<char*>(buffer);
    size_t done = 0;
    while (done < size) {
        const ssize_t n = ::pread(fd, out + done, size - done, static_cast<off_t>(position + done));
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            Fail(errno);
        }
        if (n == 0) {
            break;
        }
        done += static_cast<size_t>(n);
    }
    return done;
}

size_t CFile::Read(void* buffer, size_t size) {
    const size_t n = ReadAt(current, buffer, size);
    current += n;
    return n;
}

void CFile::Write(const void* data, size_t size) {
    const auto* in = static_cast<const char*>(data);
    size_t done = 0;
    while (done < size) {
        const ssize_t n = ::pwrite(fd, in + done, size - done, static_cast<off_t>(current + done));
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            Fail(errno);
        }
        if (n == 0) {
            Fail(ENOSPC);
        }
        done += static_cast<size_t>(n);
    }
    current += done;
}

uint64_t CFile::GetLength() {
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        Fail(errno);
    }
    return static_cast<uint64_t>(st.st_size);
}
