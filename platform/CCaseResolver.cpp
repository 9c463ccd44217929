#include "CCaseResolver.h"

#include <dirent.h>
#include <sys/stat.h>

#include <cerrno>
#include <string_view>

#include "CaseFold.h"
#include "FileSystem.h"
#include "SystemError.h"

namespace {

// Views into path, which must outlive them.
std::vector<std::string_view> SplitComponents(std::string_view path) {
    std::vector<std::string_view> parts;
    size_t start = 0;
    for (size_t i = 0; i <= path.size(); ++i) {
        if (i == path.size() || path[i] == '/') {
            if (i > start) {
                parts.push_back(path.substr(start, i - start));
            }
            start = i + 1;
        }
    }
    return parts;
}

// 0 when nothing is there, 1 for a file, 2 for a folder (links followed).
int Kind(const std::string& path) {
    struct stat st {};
    if (::stat(path.empty() ? "." : path.c_str(), &st) != 0) {
        return 0;
    }
    return S_ISDIR(st.st_mode) ? 2 : 1;
}

}  // namespace

CCaseResolver::Listing* CCaseResolver::ListFolder(const std::string& folder) {
    if (const auto found = listings.find(folder); found != listings.end()) {
        return &found->second;
    }
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (dir == nullptr) {
        return nullptr;
    }
    Listing listing;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..") {
            continue;
        }
        bool isFolder = entry->d_type == DT_DIR;
        if (entry->d_type == DT_UNKNOWN || entry->d_type == DT_LNK) {
            isFolder = Kind(folder + name) == 2;
        }
        listing[CaseFold::Fold(name)].push_back({name, isFolder});
    }
    ::closedir(dir);
    return &listings.emplace(folder, std::move(listing)).first->second;
}

std::string CCaseResolver::Resolve(const std::string& path) {
    const std::string native = FileSystem::NativePath(path);
    const bool trailing = !native.empty() && native.back() == '/';
    const std::vector<std::string_view> parts = SplitComponents(native);
    std::string resolved = !native.empty() && native[0] == '/' ? "/" : "";  // empty or ending '/'
    bool missing = false;
    for (size_t i = 0; i < parts.size(); ++i) {
        std::string part(parts[i]);
        const bool last = i + 1 == parts.size();
        const bool wantsFolder = !last || trailing;
        if (!missing && part != "." && part != "..") {
            const auto listed = listings.find(resolved);
            Listing* listing = listed != listings.end() ? &listed->second : nullptr;
            if (listing == nullptr && !knownFolders.count(resolved + part)) {
                const int kind = Kind(resolved + part);
                if (kind == 2) {
                    knownFolders.insert(resolved + part);
                } else if (kind == 0 || wantsFolder) {
                    // Missing, or a file where a folder is wanted: another case may fit.
                    listing = ListFolder(resolved);
                    missing = listing == nullptr;
                }
            }
            if (listing != nullptr) {
                // A folder where a folder is wanted first, then the exact name, then the
                // smallest name, so that the choice does not depend on the listing's order.
                const auto found = listing->find(CaseFold::Fold(part));
                const Candidate* best = nullptr;
                if (found != listing->end()) {
                    for (const Candidate& candidate : found->second) {
                        const auto rank = [&](const Candidate& c) {
                            return std::make_pair(wantsFolder && !c.isFolder ? 1 : 0,
                                                  c.name != part);
                        };
                        if (best == nullptr || rank(candidate) < rank(*best) ||
                            (rank(candidate) == rank(*best) && candidate.name < best->name)) {
                            best = &candidate;
                        }
                    }
                }
                if (best != nullptr) {
                    part = best->name;
                } else {
                    missing = true;  // nothing below a missing folder can exist
                }
            }
        }
        resolved += part;
        if (!last || trailing) {
            resolved += '/';
        }
    }
    return resolved;
}

void CCaseResolver::Remember(const std::string& resolvedPath, bool isFolder) {
    std::string path = FileSystem::NativePath(resolvedPath);
    while (path.size() > 1 && path.back() == '/') {
        path.pop_back();
    }
    const size_t slash = path.rfind('/');
    const std::string folder =
        slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    const std::string name = path.substr(slash == std::string::npos ? 0 : slash + 1);
    if (isFolder) {
        knownFolders.insert(path);
    }
    if (const auto listed = listings.find(folder); listed != listings.end()) {
        auto& candidates = listed->second[CaseFold::Fold(name)];
        for (const Candidate& candidate : candidates) {
            if (candidate.name == name) {
                return;
            }
        }
        candidates.push_back({name, isFolder});
    }
}

bool CCaseResolver::KnownAbsent(const std::string& resolvedPath) const {
    const std::string native = FileSystem::NativePath(resolvedPath);
    const std::string_view path = native;
    // The nearest listed folder above decides: a name it does not hold has nothing below it.
    for (size_t end = path.size(); end > 0;) {
        const size_t slash = path.rfind('/', end - 1);
        if (slash == std::string_view::npos) {
            return false;
        }
        const std::string_view name = path.substr(slash + 1, end - slash - 1);
        if (name.empty() || name == "." || name == "..") {
            return false;
        }
        if (const auto listed = listings.find(path.substr(0, slash + 1));
            listed != listings.end()) {
            return !listed->second.count(CaseFold::Fold(name));
        }
        // A folder known to be there, unlisted, says nothing about what it holds.
        if (slash == 0 || knownFolders.count(path.substr(0, slash))) {
            return false;
        }
        end = slash;
    }
    return false;
}

void CCaseResolver::Forget(const std::string& folder) {
    // Whatever was learnt at or below a folder that has gone may be wrong now. The paths that
    // start with "x/" sort from "x/" up to "x0" ('0' follows '/').
    std::string end = folder;
    end.back() = '0';
    // Most often nothing is known there: one look each.
    if (const auto first = listings.lower_bound(folder);
        first != listings.end() && first->first < end) {
        listings.erase(first, listings.lower_bound(end));
    }
    if (const auto first = knownFolders.lower_bound(folder);
        first != knownFolders.end() && *first < end) {
        knownFolders.erase(first, knownFolders.lower_bound(end));
    }
}

namespace {

std::string WithoutTrailingSeparators(const std::string& path) {
    std::string native = FileSystem::NativePath(path);
    while (native.size() > 1 && native.back() == '/') {
        native.pop_back();
    }
    return native;
}

}  // namespace

bool CCaseResolver::CreateFolderChain(const std::string& resolvedFolder, const std::string& base) {
    const std::string native = WithoutTrailingSeparators(resolvedFolder);
    const std::string lowest = WithoutTrailingSeparators(base);
    // A folder seen or made before is not looked up again: one look per folder and run.
    if (native.empty() || knownFolders.count(native)) {
        return true;
    }
    if (!KnownAbsent(native) && Kind(native) == 2) {
        knownFolders.insert(native);
        return true;
    }
    // The folders above the nearest known one were there when it was seen: the walk starts
    // below it, most often at the last folder of the chain.
    size_t start = 0;
    for (size_t slash = native.rfind('/'); slash != std::string::npos && slash > 0;
         slash = native.rfind('/', slash - 1)) {
        if (knownFolders.count(std::string_view(native).substr(0, slash))) {
            start = slash + 1;
            break;
        }
    }
    std::string current = start > 0 ? native.substr(0, start) : native[0] == '/' ? "/" : "";
    for (const std::string_view part : SplitComponents(std::string_view(native).substr(start))) {
        current += part;
        if (!knownFolders.count(current)) {
            if (current.size() <= lowest.size() && Kind(current) != 2) {
                SystemError::SetLast(ENOENT);  // the base has gone: it is not ours to make
                return false;
            }
            if (current.size() <= lowest.size()) {
                knownFolders.insert(current);
            } else if (::mkdir(current.c_str(), 0777) == 0) {
                Forget(current + '/');
                Remember(current, true);
            } else if (errno == EEXIST && Kind(current) == 2) {
                knownFolders.insert(current);
            } else {
                SystemError::SetLast(errno == EEXIST ? ENOTDIR : errno);
                return false;
            }
        }
        current += '/';
    }
    return true;
}
