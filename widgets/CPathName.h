#pragma once

#include <string>

// A file-system path and its parts. Construction from a string cleans the path up (blanks,
// quotes, "." and ".." segments, the \\?\ prefix), so different spellings of one path give
// the same parts. Both '\' and '/' separate components.
class CPathName {
public:
    CPathName() = default;
    // A path that comes from the program or an archive: %NAME% stays as written.
    explicit CPathName(const std::string& path);
    // A path that a person typed: %NAME% references of defined variables are expanded too.
    static CPathName FromTyped(const std::string& text);

    CPathName& operator=(const std::string& path);

    const std::string& String() const { return path; }
    bool IsEmpty() const { return path.empty(); }

    // The last component; the whole path when it ends with a separator.
    std::string NamePart() const;
    // The last component without its extension.
    std::string TitlePart() const;
    // The extension without its dot; empty when there is none.
    std::string ExtensionPart() const;
    // Everything in front of the last component, root and trailing separator included.
    CPathName FolderPart() const;

    static std::string CleanUp(const std::string& path, bool expandEnvironment);

private:
    size_t FileNameStart() const;
    size_t ExtensionDot() const;  // npos when there is no extension

    std::string path;
};
