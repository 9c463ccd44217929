#pragma once

#include <string>

// A Windows-style path split into prefix (\\, \\?\ or \\?\unc\), drive, folder, title and
// extension. '\' and '/' both separate components.
class PathParts {
public:
    explicit PathParts(const std::string& path);

    std::string FileName() const;
    std::string FolderPath() const;
    std::string PathWithoutDrive() const;
    std::string FullPath() const;

    // True when the name, taken relative to a folder, stays inside it: no root, drive,
    // UNC or \\?\ prefix, no ".." that climbs above its start, no zero byte, not empty.
    static bool StaysInside(const std::string& name);
    // Resolves "." and ".." segments of a relative path that StaysInside accepted.
    static std::string Normalize(const std::string& relative);

    std::string prefix;
    std::string drive;
    std::string folder;
    std::string title;
    std::string extension;
};
