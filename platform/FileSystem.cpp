#include "FileSystem.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <vector>

#include "CCaseResolver.h"
#include "SystemError.h"

namespace {

bool LExists(const std::string& path, bool* isDirectory) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        return false;
    }
    if (isDirectory != nullptr) {
        *isDirectory = S_ISDIR(st.st_mode);
    }
    return true;
}

}  // namespace

char FileSystem::NativeSeparator() {
    return '/';
}

std::string FileSystem::NativePath(const std::string& path) {
    std::string native = path;
    for (char& c : native) {
        if (c == '\\') {
            c = '/';
        }
    }
    return native;
}

std::string FileSystem::ResolveCase(const std::string& path) {
    return CCaseResolver().Resolve(path);
}

bool FileSystem::CreateFolderChain(const std::string& resolvedFolder) {
    return CCaseResolver().CreateFolderChain(resolvedFolder);
}

bool FileSystem::CreateFolder(const std::string& path) {
    if (::mkdir(NativePath(path).c_str(), 0777) != 0) {
        SystemError::CaptureErrno();
        return false;
    }
    return true;
}

bool FileSystem::SizeAndTime(const std::string& path, uint64_t& size, std::time_t& modified) {
    struct stat st {};
    if (::stat(NativePath(path).c_str(), &st) != 0) {
        SystemError::CaptureErrno();
        return false;
    }
    size = static_cast<uint64_t>(st.st_size);
    modified = st.st_mtime;
    return true;
}

bool FileSystem::Exists(const std::string& path) {
    return LExists(NativePath(path), nullptr);
}

bool FileSystem::IsDirectory(const std::string& path) {
    bool isDirectory = false;
    return LExists(NativePath(path), &isDirectory) && isDirectory;
}

bool FileSystem::SetFileTimes(const std::string& path, std::time_t modified) {
    timespec times[2];
    times[0].tv_sec = 0;
    times[0].tv_nsec = UTIME_NOW;
    if (modified == static_cast<std::time_t>(-1)) {
        times[1].tv_sec = 0;
        times[1].tv_nsec = UTIME_NOW;
    } else {
        times[1].tv_sec = modified;
        times[1].tv_nsec = 0;
    }
    if (::utimensat(AT_FDCWD, NativePath(path).c_str(), times, 0) != 0) {
        SystemError::CaptureErrno();
        return false;
    }
    return true;
}

bool FileSystem::SetAttributes(const std::string& path, uint32_t attributes) {
    const std::string native = NativePath(path);
    struct stat st {};
    if (::stat(native.c_str(), &st) != 0) {
        SystemError::CaptureErrno();
        return false;
    }
    if (S_ISDIR(st.st_mode)) {
        return true;
    }
    mode_t mode = st.st_mode & 07777;
    if (attributes & kReadOnly) {
        mode &= ~static_cast<mode_t>(0222);
    } else if ((mode & 0222) == 0) {
        mode |= S_IWUSR;
    }
    if (mode != (st.st_mode & 07777) && ::chmod(native.c_str(), mode) != 0) {
        SystemError::CaptureErrno();
        return false;
    }
    return true;
}

bool FileSystem::LinkFile(const std::string& existing, const std::string& newName) {
    if (::linkat(AT_FDCWD, NativePath(existing).c_str(), AT_FDCWD, NativePath(newName).c_str(),
                 0) != 0) {
        SystemError::CaptureErrno();
        return false;
    }
    return true;
}

bool FileSystem::RemoveFile(const std::string& path) {
    if (::unlink(NativePath(path).c_str()) != 0) {
        SystemError::CaptureErrno();
        return false;
    }
    return true;
}

bool FileSystem::RemoveFolder(const std::string& path) {
    if (::rmdir(NativePath(path).c_str()) != 0) {
        SystemError::CaptureErrno();
        return false;
    }
    return true;
}

std::vector<std::string> FileSystem::ListNames(const std::string& folder) {
    std::vector<std::string> names;
    DIR* dir = ::opendir(NativePath(folder).c_str());
    if (dir == nullptr) {
        SystemError::CaptureErrno();
        return names;
    }
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..") {
            names.push_back(name);
        }
    }
    ::closedir(dir);
    return names;
}

bool FileSystem::ReadSmallFile(const std::string& path, size_t maxSize, std::string& text) {
    const int handle =
        ::open(NativePath(path).c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
    struct stat st {};
    if (handle < 0 || ::fstat(handle, &st) != 0 || !S_ISREG(st.st_mode) ||
        static_cast<uint64_t>(st.st_size) > maxSize) {
        SystemError::SetLast(handle < 0 ? errno : S_ISREG(st.st_mode) ? EFBIG : EINVAL);
        if (handle >= 0) {
            ::close(handle);
        }
        return false;
    }
    text.clear();
    char buffer[1 << 16];
    for (;;) {
        const ssize_t n = ::read(handle, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 || text.size() + static_cast<size_t>(std::max<ssize_t>(n, 0)) > maxSize) {
            SystemError::SetLast(n < 0 ? errno : EFBIG);
            ::close(handle);
            return false;
        }
        if (n == 0) {
            ::close(handle);
            return true;
        }
        text.append(buffer, static_cast<size_t>(n));
    }
}

void FileSystem::SyncFolder(const std::string& folder) {
    const int handle = ::open(NativePath(folder).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (handle >= 0) {
        ::fsync(handle);
        ::close(handle);
    }
}

bool FileSystem::MakeFolders(const std::string& folder, std::vector<std::string>* made) {
    for (size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        const std::string path = folder.substr(0, slash);
        if (!path.empty() && path.back() != '/') {
            if (::mkdir(path.c_str(), 0777) == 0) {
                if (made != nullptr) {
                    made->push_back(path);
                }
            } else if (errno != EEXIST || !LExists(path, nullptr)) {
                SystemError::CaptureErrno();
                return false;
            }
        }
        if (slash == std::string::npos) {
            return true;
        }
    }
}

bool FileSystem::CopyKeepingTimes(const std::string& from, const std::string& to) {
    struct stat st {};
    if (::lstat(from.c_str(), &st) != 0) {
        SystemError::CaptureErrno();
        return false;
    }
    if (S_ISLNK(st.st_mode)) {
        std::vector<char> text(static_cast<size_t>(st.st_size) + 1);
        const ssize_t n = ::readlink(from.c_str(), text.data(), text.size());
        if (n < 0 ||
            ::symlink(std::string(text.data(), static_cast<size_t>(n)).c_str(), to.c_str()) != 0) {
            SystemError::CaptureErrno();
            return false;
        }
        return true;
    }
    const int in = ::open(from.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    const int out =
        in < 0 ? -1
               : ::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, st.st_mode & 07777);
    int error = in < 0 || out < 0 ? errno : 0;
    std::vector<char> buffer(1 << 16);
    while (error == 0) {
        const ssize_t n = ::read(in, buffer.data(), buffer.size());
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            error = n < 0 ? errno : 0;
            break;
        }
        if (::write(out, buffer.data(), static_cast<size_t>(n)) != n) {
            error = errno != 0 ? errno : ENOSPC;
        }
    }
    const timespec times[2] = {st.st_atim, st.st_mtim};
    if (error == 0 && (::futimens(out, times) != 0 || ::fsync(out) != 0)) {
        error = errno;
    }
    if (in >= 0) {
        ::close(in);
    }
    if (out >= 0 && ::close(out) != 0 && error == 0) {
        error = errno;
    }
    if (error != 0) {
        if (out >= 0) {
            ::unlink(to.c_str());
        }
        SystemError::SetLast(error);
        return false;
    }
    return true;
}

bool FileSystem::MoveFile(const std::string& from, const std::string& to, bool replace) {
    const int done =
        replace ? ::rename(from.c_str(), to.c_str())
                : ::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE);
    if (done == 0) {
        return true;
    }
    // A file system that cannot refuse to replace: a link never replaces, then the old name goes.
    if (!replace && errno == EINVAL) {
        if (::link(from.c_str(), to.c_str()) == 0) {
            ::unlink(from.c_str());
            return true;
        }
    }
    if (errno != EXDEV) {
        SystemError::CaptureErrno();
        return false;
    }
    struct stat st {};
    if (!replace && ::lstat(to.c_str(), &st) == 0) {
        SystemError::SetLast(EEXIST);
        return false;
    }
    if (replace) {
        ::unlink(to.c_str());
    }
    if (!CopyKeepingTimes(from, to)) {
        return false;
    }
    ::unlink(from.c_str());
    return true;
}

bool FileSystem::RemoveTree(const std::string& path) {
    const std::string native = NativePath(path);
    struct stat st {};
    if (::lstat(native.c_str(), &st) != 0) {
        return errno == ENOENT;
    }
    if (!S_ISDIR(st.st_mode)) {
        return ::unlink(native.c_str()) == 0;
    }
    bool ok = true;
    if (DIR* dir = ::opendir(native.c_str())) {
        while (const dirent* entry = ::readdir(dir)) {
            const std::string name = entry->d_name;
            if (name != "." && name != "..") {
                ok = RemoveTree(native + "/" + name) && ok;
            }
        }
        ::closedir(dir);
    }
    return ::rmdir(native.c_str()) == 0 && ok;
}

std::string FileSystem::MakeTempFolder(const std::string& prefix) {
    const char* base = std::getenv("TMPDIR");
    std::string pattern =
        std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/" + prefix + "XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (::mkdtemp(buffer.data()) == nullptr) {
        SystemError::CaptureErrno();
        return {};
    }
    return std::string(buffer.data());
}
