#include "FileFinder.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>

#include "CCaseResolver.h"
#include "CaseFold.h"
#include "FileSystem.h"

namespace {

bool IsFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool MatchFolded(std::string_view pattern, std::string_view name) {
    // Iterative matching with one backtrack point: linear for the patterns people type.
    size_t p = 0, n = 0, starP = std::string_view::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == name[n])) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (starP != std::string_view::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') {
        ++p;
    }
    return p == pattern.size();
}

}  // namespace

bool FileFinder::Matches(std::string_view pattern, std::string_view name) {
    return MatchFolded(CaseFold::Fold(pattern), CaseFold::Fold(name));
}

std::vector<std::string> FileFinder::FindFiles(const std::string& pattern) {
    const std::string native = FileSystem::NativePath(pattern);
    const size_t slash = native.rfind('/');
    const std::string folder = CCaseResolver().Resolve(
        slash == std::string::npos ? std::string() : native.substr(0, slash + 1));
    const std::string last = native.substr(slash == std::string::npos ? 0 : slash + 1);
    std::vector<std::string> names;
    if (last.empty()) {
        return names;
    }
    if (last.find_first_of("*?") == std::string::npos) {
        // One name: the file itself, spelled as it exists.
        const std::string found = CCaseResolver().Resolve(folder + last);
        if (IsFile(found)) {
            names.push_back(found.substr(found.rfind('/') + 1));
        }
        return names;
    }
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (dir == nullptr) {
        return names;
    }
    const std::string folded = CaseFold::Fold(last);
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name == "." || name == ".." || entry->d_type == DT_DIR ||
            !MatchFolded(folded, CaseFold::Fold(name))) {
            continue;
        }
        if (entry->d_type == DT_REG || IsFile(folder + name)) {
            names.push_back(name);
        }
    }
    ::closedir(dir);
    // The order NTFS lists them in: names compared in capitals, so "dea.zip" (A) comes before
    // "de_x.zip" (_), which small letters would put the other way round.
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        const std::string ua = CaseFold::Upper(a);
        const std::string ub = CaseFold::Upper(b);
        return ua != ub ? ua < ub : a < b;
    });
    return names;
}
