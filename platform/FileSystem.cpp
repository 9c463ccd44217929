#include "FileSystem.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

#include "CaseFold.h"
#include "SystemError.h"

namespace {

std::vector<std::string> SplitComponents(const std::string& path) {
    std::vector<std::string> parts;
    std::string current;
    for (const char c : path) {
        if (c == '/' || c == '\\') {
            if (!current.empty()) {
                parts.push_back(std::move(current));
                current.clear();
            }
        } else {
            current += c;
        }
    }
    if (!current.empty()) {
        parts.push_back(std::move(current));
    }
    return parts;
}

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

// The entry of parent (empty, or ending with '/') whose name equals name without regard to
// case; folders first when a folder is wanted, then the smallest name, so that the choice is
// repeatable.
bool FindNoCase(const std::string& parent, const std::string& name, bool wantFolder,
                std::string& found) {
    DIR* dir = ::opendir(parent.empty() ? "." : parent.c_str());
    if (dir == nullptr) {
        return false;
    }
    const std::string key = CaseFold::Fold(name);
    bool have = false;
    bool haveIsFolder = false;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string candidate = entry->d_name;
        if (candidate == "." || candidate == ".." || CaseFold::Fold(candidate) != key) {
            continue;
        }
        bool isFolder = false;
        if (!LExists(parent + candidate, &isFolder)) {
            continue;
        }
        const bool preferFolder = wantFolder && isFolder != haveIsFolder;
        if (!have || (preferFolder && isFolder) || (!preferFolder && candidate < found)) {
            found = candidate;
            haveIsFolder = isFolder;
            have = true;
        }
    }
    ::closedir(dir);
    return have;
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
    const std::string native = NativePath(path);
    const bool absolute = !native.empty() && native[0] == '/';
    const bool trailing = !native.empty() && native.back() == '/';
    const std::vector<std::string> parts = SplitComponents(native);
    std::string resolved = absolute ? "/" : "";  // empty or ending with '/'
    bool missing = false;
    for (size_t i = 0; i < parts.size(); ++i) {
        std::string part = parts[i];
        const bool last = i + 1 == parts.size();
        if (!missing && part != "." && part != ".." && !LExists(resolved + part, nullptr)) {
            std::string found;
            if (FindNoCase(resolved, part, !last, found)) {
                part = found;
            } else {
                missing = true;  // nothing below a missing folder can exist
            }
        }
        resolved += part;
        if (!last || trailing) {
            resolved += '/';
        }
    }
    return resolved;
}

bool FileSystem::CreateFolderChain(const std::string& resolvedFolder) {
    const std::string native = NativePath(resolvedFolder);
    bool isDirectory = false;
    if (native.empty() || (LExists(native, &isDirectory) && isDirectory)) {
        return true;
    }
    std::string current = native[0] == '/' ? "/" : "";
    for (const std::string& part : SplitComponents(native)) {
        current += part;
        if (::mkdir(current.c_str(), 0777) != 0) {
            const int error = errno;
            if (error != EEXIST || !LExists(current, &isDirectory) || !isDirectory) {
                SystemError::SetLast(error == EEXIST ? ENOTDIR : error);
                return false;
            }
        }
        current += '/';
    }
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
