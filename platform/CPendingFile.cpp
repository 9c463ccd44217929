#include "CPendingFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>

#include "CFileException.h"
#include "FileSystem.h"
#include "SystemError.h"

namespace {

std::string UniqueSuffix() {
    static std::atomic<unsigned long> counter{0};
    const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
    char text[64];
    std::snprintf(text, sizeof text, "%lx%lx%lx", static_cast<unsigned long>(::getpid()),
                  static_cast<unsigned long>(now) & 0xFFFFFu, counter.fetch_add(1));
    return text;
}

}  // namespace

CPendingFile::~CPendingFile() { Discard(); }

void CPendingFile::Fail(int error) {
    SystemError::SetLast(error);
    Discard();
    throw CFileException::FromErrno(error, finalPath);
}

void CPendingFile::Create(const std::string& path) {
    Discard();
    finalPath = path;
    const std::string native = FileSystem::NativePath(path);
    struct stat st{};
    if (::lstat(native.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode)) {
            Fail(EISDIR);
        }
        if (S_ISREG(st.st_mode) && (st.st_mode & 0222) == 0) {
            Fail(EACCES);
        }
    }
    const size_t slash = native.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string() : native.substr(0, slash + 1);
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string candidate = folder + ".zanvo-" + UniqueSuffix() + ".part";
        const int handle = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (handle >= 0) {
            fd = handle;
            tempPath = std::move(candidate);
            return;
        }
        if (errno != EEXIST) {
            Fail(errno);
        }
    }
    Fail(EEXIST);
}

void CPendingFile::Write(const void* data, size_t size) {
    const auto* in = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = ::write(fd, in, size);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            Fail(errno);
        }
        if (n == 0) {
            Fail(ENOSPC);
        }
        in += n;
        size -= static_cast<size_t>(n);
    }
}

void CPendingFile::CloseFile() {
    if (fd >= 0) {
        const int result = ::close(fd);
        fd = -1;
        // A delayed write error (NFS, quota) shows up only here.
        if (result != 0 && errno != EINTR) {
            Fail(errno);
        }
    }
}

void CPendingFile::Commit() {
    CloseFile();
    if (::rename(tempPath.c_str(), FileSystem::NativePath(finalPath).c_str()) != 0) {
        Fail(errno);
    }
    tempPath.clear();
}

void CPendingFile::Discard() noexcept {
    if (fd >= 0) {
        ::close(fd);
        fd = -1;
    }
    if (!tempPath.empty()) {
        ::unlink(tempPath.c_str());
        tempPath.clear();
    }
}
