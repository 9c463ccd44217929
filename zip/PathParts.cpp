#include "PathParts.h"

#include <vector>

namespace {

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::vector<std::string> Segments(const std::string& path) {
    std::vector<std::string> segments;
    size_t start = 0;
    for (size_t i = 0; i <= path.size(); ++i) {
        if (i == path.size() || IsSeparator(path[i])) {
            segments.push_back(path.substr(start, i - start));
            start = i + 1;
        }
    }
    return segments;
}

}  // namespace

PathParts::PathParts(const std::string& path) {
    static const std::string kLongUnc = "\\\\?\\unc\\";
    size_t agree = 0;
    while (agree < kLongUnc.size() && agree < path.size() &&
           Lower(path[agree]) == kLongUnc[agree]) {
        ++agree;
    }
    const size_t prefixLength = agree == 2 || agree == 4 || agree == 8 ? agree : 0;
    prefix = path.substr(0, prefixLength);
    std::string rest = path.substr(prefixLength);

    if (rest.size() >= 2 && rest[1] == ':') {
        drive = rest.substr(0, 2);
        rest.erase(0, 2);
    }
    const size_t lastSeparator = rest.find_last_of("\\/");
    std::string name = rest;
    if (lastSeparator != std::string::npos) {
        folder = rest.substr(0, lastSeparator + 1);
        name = rest.substr(lastSeparator + 1);
    }
    if (const size_t dot = name.rfind('.'); dot != std::string::npos) {
        extension = name.substr(dot + 1);
        title = name.substr(0, dot);
    } else {
        title = name;
    }
    const size_t first = folder.find_first_not_of("\\/");
    if (first == std::string::npos) {
        folder.clear();
    } else {
        folder = folder.substr(first, folder.find_last_not_of("\\/") - first + 1);
    }
}

std::string PathParts::FileName() const {
    return extension.empty() ? title : title + "." + extension;
}

std::string PathParts::FolderPath() const {
    return prefix + drive + (!drive.empty() && !folder.empty() ? "\\" : "") + folder;
}

std::string PathParts::PathWithoutDrive() const {
    const std::string file = FileName();
    return folder + (!folder.empty() && !file.empty() ? "\\" : "") + file;
}

std::string PathParts::FullPath() const {
    const std::string file = FileName();
    return FolderPath() + (file.empty() ? "" : "\\" + file);
}

bool PathParts::StaysInside(const std::string& name) {
    if (name.empty() || name.find('\0') != std::string::npos || IsSeparator(name[0]) ||
        (name.size() >= 2 && name[1] == ':')) {
        return false;
    }
    int depth = 0;
    for (const std::string& segment : Segments(name)) {
        if (segment == "..") {
            if (--depth < 0) {
                return false;
            }
        } else if (!segment.empty() && segment != ".") {
            ++depth;
        }
    }
    return depth > 0;  // a name that resolves to the folder itself names nothing in it
}

std::string PathParts::Normalize(const std::string& relative) {
    std::vector<std::string> kept;
    for (const std::string& segment : Segments(relative)) {
        if (segment == "..") {
            if (!kept.empty()) {
                kept.pop_back();
            }
        } else if (!segment.empty() && segment != ".") {
            kept.push_back(segment);
        }
    }
    std::string out;
    for (const std::string& segment : kept) {
        if (!out.empty()) {
            out += '\\';
        }
        out += segment;
    }
    return out;
}
