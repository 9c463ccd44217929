#include "ProgramPath.h"

#include <filesystem>
#include <system_error>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

fs::path FsPath(const std::string& utf8) {
    return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

#ifdef _WIN32
std::string Utf8(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}
#endif

}  // namespace

std::string ProgramPath::Get() {
#ifdef _WIN32
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), DWORD(buffer.size()));
        if (length == 0) {
            return {};
        }
        if (length < buffer.size()) {
            return Utf8(fs::path(std::wstring(buffer.data(), length)));
        }
        buffer.resize(buffer.size() * 2);
    }
#else
    // The kernel's link names the file the program was started from, links resolved.
    std::vector<char> buffer(256);
    for (;;) {
        const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (length < 0) {
            return {};
        }
        if (size_t(length) < buffer.size()) {
            return std::string(buffer.data(), size_t(length));
        }
        buffer.resize(buffer.size() * 2);
    }
#endif
}

bool ProgramPath::IsProgram(const std::string& path) {
    const std::string program = Get();
    if (path.empty() || program.empty()) {
        return false;
    }
    std::error_code error;
    const fs::path given = fs::canonical(FsPath(path), error);
    if (error) {
        return false;
    }
    const fs::path own = fs::canonical(FsPath(program), error);
    if (error) {
        return false;
    }
#ifdef _WIN32
    // The file system ignores case there, and so does the module lookup.
    return _wcsicmp(given.c_str(), own.c_str()) == 0;
#else
    return given == own;
#endif
}
