#include "CPendingFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <mutex>
#include <set>

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

// A file without a name can be linked into its folder only through /proc.
bool CanLinkUnnamed() {
    static const bool available = ::access("/proc/self/fd", X_OK) == 0;
    return available;
}

std::string FolderOf(const std::string& native) {
    const size_t slash = native.rfind('/');
    return slash == std::string::npos ? std::string() : native.substr(0, slash + 1);
}

// The temporary names that exist at the moment, of every thread. The lock is held from the
// moment a name is made until it is given up or renamed, where that is short, so that a
// program ending at once can remove them all and leave none behind.
std::recursive_mutex& NamesLock() {
    static std::recursive_mutex lock;  // a failure under the lock discards under it again
    return lock;
}

std::set<std::string>& TemporaryNames() {
    static std::set<std::string> names;
    return names;
}

}  // namespace

void CPendingFile::RemoveTemporaryNames() noexcept {
    NamesLock().lock();  // never given back: the program ends
    for (const std::string& name : TemporaryNames()) {
        ::unlink(name.c_str());
    }
}

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

void CPendingFile::CreateNamed(const std::string& folder) {
    for (int attempt = 0;; ++attempt) {
        const std::string candidate = folder + ".zanvo-" + UniqueSuffix() + ".part";
        try {
            const std::lock_guard lock(NamesLock());
            file.Open(candidate, CFile::Mode::CreateNew);
            tempPath = candidate;
            TemporaryNames().insert(tempPath);
            return;
        } catch (CFileException& e) {
            if (e.osError != EEXIST || attempt == 100) {
                e.fileName = finalPath;
                throw;
            }
        }
    }
}

void CPendingFile::Create(const std::string& path, bool knownAbsent) {
    Discard();
    finalPath = path;
    replacing = false;
    const std::string native = FileSystem::NativePath(path);
    const std::string folder = FolderOf(native);
    if (!knownAbsent) {
        struct stat st {};
        if (::lstat(native.c_str(), &st) == 0) {
            if (S_ISDIR(st.st_mode)) {
                Fail(EISDIR);
            }
            if (S_ISREG(st.st_mode) && (st.st_mode & 0222) == 0) {
                Fail(EACCES);
            }
            replacing = true;
        }
    }
    if (CanLinkUnnamed()) {
        const int handle =
            ::open(folder.empty() ? "." : folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
        if (handle >= 0) {
            file.Adopt(handle, native);
            return;
        }
        // File systems without unnamed files get a temporary name instead.
        if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) {
            Fail(errno);
        }
    }
    CreateNamed(folder);
}

void CPendingFile::Write(const void* data, size_t size) {
    Guard([&] { file.Write(data, size); });
}

bool CPendingFile::SetTimes(std::time_t modified) {
    timespec times[2];
    times[0].tv_sec = 0;
    times[0].tv_nsec = UTIME_NOW;
    times[1].tv_sec = modified == static_cast<std::time_t>(-1) ? 0 : modified;
    times[1].tv_nsec = modified == static_cast<std::time_t>(-1) ? UTIME_NOW : 0;
    if (::futimens(file.Handle(), times) != 0) {
        SystemError::CaptureErrno();
        return false;
    }
    return true;
}

bool CPendingFile::SetReadOnly() {
    struct stat st {};
    if (::fstat(file.Handle(), &st) != 0 ||
        ::fchmod(file.Handle(), st.st_mode & 07777 & ~static_cast<mode_t>(0222)) != 0) {
        SystemError::CaptureErrno();
        return false;
    }
    return true;
}

void CPendingFile::Sync() {
    if (::fsync(file.Handle()) != 0) {
        Fail(errno);
    }
}

void CPendingFile::ReplaceUnnamed(const std::string& native, const std::string& self) {
    const std::lock_guard lock(NamesLock());
    for (int attempt = 0; tempPath.empty(); ++attempt) {
        const std::string candidate = FolderOf(native) + ".zanvo-" + UniqueSuffix() + ".part";
        if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, candidate.c_str(), AT_SYMLINK_FOLLOW) == 0) {
            tempPath = candidate;
            TemporaryNames().insert(tempPath);
        } else if (errno != EEXIST || attempt == 100) {
            Fail(errno);
        }
    }
    Guard([&] { file.Close(); });
    if (::rename(tempPath.c_str(), native.c_str()) != 0) {
        Fail(errno);
    }
    TemporaryNames().erase(tempPath);
    tempPath.clear();
}

void CPendingFile::Commit() {
    const std::string native = FileSystem::NativePath(finalPath);
    if (tempPath.empty()) {
        // An unnamed file gets its name by a link, which never replaces; a file that replaces
        // another (or whose name something took since) gets a temporary name, for an instant.
        char self[64];
        std::snprintf(self, sizeof self, "/proc/self/fd/%d", file.Handle());
        if (!replacing &&
            ::linkat(AT_FDCWD, self, AT_FDCWD, native.c_str(), AT_SYMLINK_FOLLOW) == 0) {
            // The name is this file's own: should the close report a lost write, Discard takes
            // the name away again.
            tempPath = native;
            Guard([&] { file.Close(); });
            tempPath.clear();
            return;
        }
        if (!replacing && errno != EEXIST) {
            Fail(errno);
        }
        ReplaceUnnamed(native, self);
        return;
    }
    Guard([&] { file.Close(); });
    const std::lock_guard lock(NamesLock());
    if (::rename(tempPath.c_str(), native.c_str()) != 0) {
        Fail(errno);
    }
    TemporaryNames().erase(tempPath);
    tempPath.clear();
}

void CPendingFile::Discard() noexcept {
    file.Abort();
    if (!tempPath.empty()) {
        const std::lock_guard lock(NamesLock());
        ::unlink(tempPath.c_str());
        TemporaryNames().erase(tempPath);
        tempPath.clear();
    }
}
