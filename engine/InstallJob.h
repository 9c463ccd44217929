#pragma once

#include <string>

// What the source names: one archive, or a folder whose *.zip archives are all taken.
enum SourceType : int { sourceFile = 0, sourceFolder = 1 };

// What the next installation works on: target folder, source, and the source's type.
struct InstallJob {
    std::string TargetDir;  // ends with the native separator
    std::string SourceDir;  // an archive path, or a folder path ending with the separator
    int Type = sourceFolder;

    // A source whose last four characters are ".zip" in any case names one archive.
    static int SourceTypeOf(const std::string& source);
};
