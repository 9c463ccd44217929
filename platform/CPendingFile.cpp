#include "CPendingFile.h"

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

CPendingFile::~CPendingFile() {
    Discard();
}

void CPendingFile::Fail(int error) {
    SystemError::SetLast(error);
    Discard();
    throw CFileException::FromErrno(error, finalPath);
}

template <typename Operation>
void CPendingFile::Guard(Operation operation) {
    try {
        operation();
    } catch (CFileException& e) {
        Discard();
        e.fileName = finalPath;
        throw;
    }
}

void CPendingFile::Create(const std::string& path) {
    Discard();
    finalPath = path;
    const std::string native = FileSystem::NativePath(path);
    struct stat st {};
    if (::lstat(native.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode)) {
            Fail(EISDIR);
        }
        if (S_ISREG(st.st_mode) && (st.st_mode & 0222) == 0) {
            Fail(EACCES);
        }
    }
    const size_t slash = native.rfind('/');
    const std::string folder =
        slash == std::string::npos ? std::string() : native.substr(0, slash + 1);
    for (int attempt = 0;; ++attempt) {
        const std::string candidate = folder + ".zanvo-" + UniqueSuffix() + ".part";
        try {
            file.Open(candidate, CFile::Mode::CreateNew);
            tempPath = candidate;
            return;
        } catch (CFileException& e) {
            if (e.osError != EEXIST || attempt == 100) {
                e.fileName = finalPath;
                throw;
            }
        }
    }
}

void CPendingFile::Write(const void* data, size_t size) {
    Guard([&] { file.Write(data, size); });
}

void CPendingFile::CloseFile() {
    Guard([&] { file.Close(); });
}

void CPendingFile::Commit() {
    CloseFile();
    if (::rename(tempPath.c_str(), FileSystem::NativePath(finalPath).c_str()) != 0) {
        Fail(errno);
    }
    tempPath.clear();
}

void CPendingFile::Discard() noexcept {
    file.Abort();
    if (!tempPath.empty()) {
        ::unlink(tempPath.c_str());
        tempPath.clear();
    }
}
