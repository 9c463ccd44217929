#include "CPathName.h"

#include <vector>

#include "Environment.h"

namespace {

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

void Trim(std::string& text) {
    if (!text.empty() && IsBlank(text.front())) {
        size_t first = 0;
        while (first < text.size() && IsBlank(text[first])) {
            ++first;
        }
        text.erase(0, first);
    }
    if (!text.empty() && IsBlank(text.back())) {
        size_t last = text.size();
        while (last > 0 && IsBlank(text[last - 1])) {
            --last;
        }
        text.erase(last);
    }
}

// Length of the root that ".." can never remove: "\\", "X:\", "X:" or a leading separator.
size_t RootLength(const std::string& text) {
    if (text.size() >= 2 && IsSeparator(text[0]) && IsSeparator(text[1])) {
        return 2;
    }
    if (text.size() >= 2 && text[1] == ':') {
        return text.size() >= 3 && IsSeparator(text[2]) ? 3 : 2;
    }
    return !text.empty() && IsSeparator(text[0]) ? 1 : 0;
}

// Resolves "." and ".." segments. A ".." that has nothing to remove stays in a relative path
// and is dropped at a root, which cannot be climbed above.
std::string Canonicalize(const std::string& text) {
    const size_t root = RootLength(text);
    std::vector<std::string> names;
    std::vector<char> separators;  // the separator that followed each kept name
    size_t i = root;
    while (i < text.size()) {
        size_t end = i;
        while (end < text.size() && !IsSeparator(text[end])) {
            ++end;
        }
        const std::string name = text.substr(i, end - i);
        const char separator = end < text.size() ? text[end] : '\\';
        if (name == "..") {
            if (!names.empty() && names.back() != "..") {
                names.pop_back();
                separators.pop_back();
            } else if (root == 0) {
                names.push_back(name);
                separators.push_back(separator);
            }
        } else if (!name.empty() && name != ".") {
            names.push_back(name);
            separators.push_back(separator);
        }
        i = end + 1;
    }
    std::string out = text.substr(0, root);
    for (size_t k = 0; k < names.size(); ++k) {
        out += names[k];
        if (k + 1 < names.size()) {
            out += separators[k];
        }
    }
    if (!names.empty() && IsSeparator(text.back())) {
        out += text.back();
    }
    return out;
}

std::string StripLongPrefix(const std::string& text) {
    if (text.size() < 6 || text.compare(0, 4, "\\\\?\\") != 0) {
        return text;
    }
    const char letter = text[4];
    if (((letter >= 'A' && letter <= 'Z') || (letter >= 'a' && letter <= 'z')) && text[5] == ':') {
        return text.substr(4);
    }
    if (text.size() >= 8) {
        std::string unc = text.substr(4, 4);
        for (char& c : unc) {
            if (c >= 'a' && c <= 'z') {
                c = static_cast<char>(c - 'a' + 'A');
            }
        }
        if (unc == "UNC\\") {
            return "\\\\" + text.substr(8);
        }
    }
    return text;
}

}  // namespace

std::string CPathName::CleanUp(const std::string& input, bool expandEnvironment) {
    std::string text = input;
    Trim(text);
    if (!text.empty() && text.front() == '"' && text.back() == '"') {
        text = text.size() >= 2 ? text.substr(1, text.size() - 2) : std::string();
    }
    Trim(text);
    if (expandEnvironment) {
        text = Environment::Expand(text);
    }
    if (text.find("\\.") != std::string::npos || text.find("/.") != std::string::npos) {
        text = Canonicalize(text);
    }
    return StripLongPrefix(text);
}

CPathName::CPathName(const std::string& text) : path(CleanUp(text, false)) {}

CPathName CPathName::FromTyped(const std::string& text) {
    CPathName result;
    result.path = CleanUp(text, true);
    return result;
}

CPathName& CPathName::operator=(const std::string& text) {
    if (&text != &path) {
        path = CleanUp(text, false);
    }
    return *this;
}

size_t CPathName::FileNameStart() const {
    // The component after the last separator or drive colon that is followed by more than a
    // separator: "C:\maps\" starts its last component at "maps\".
    size_t start = 0;
    for (size_t i = 0; i < path.size(); ++i) {
        const char c = path[i];
        if ((IsSeparator(c) || c == ':') && i + 1 < path.size() && !IsSeparator(path[i + 1])) {
            start = i + 1;
        }
    }
    return start;
}

size_t CPathName::ExtensionDot() const {
    size_t dot = std::string::npos;
    for (size_t i = FileNameStart(); i < path.size(); ++i) {
        const char c = path[i];
        if (IsSeparator(c) || c == ' ') {
            dot = std::string::npos;
        } else if (c == '.') {
            dot = i;
        }
    }
    return dot;
}

std::string CPathName::NamePart() const {
    if (!path.empty() && IsSeparator(path.back())) {
        return path;
    }
    return path.substr(FileNameStart());
}

std::string CPathName::TitlePart() const {
    const size_t start = FileNameStart();
    const size_t dot = ExtensionDot();
    return path.substr(start, dot == std::string::npos ? std::string::npos : dot - start);
}

std::string CPathName::ExtensionPart() const {
    const size_t dot = ExtensionDot();
    return dot == std::string::npos ? std::string() : path.substr(dot + 1);
}

CPathName CPathName::FolderPart() const {
    return CPathName(path.substr(0, FileNameStart()));
}
