#include "FileSystem.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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
