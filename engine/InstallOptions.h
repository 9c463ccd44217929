#pragma once

#include <string>

// The installation options the user sets in the properties dialog.
struct InstallOptions {
    std::string MiscPath = "divers\\";  // relative to the target; ends with '\'
    std::string Language = "french";
    int Analyse = 1;    // "Analyse and sort Steam archives"
    int Newer = 0;      // "Confirm on different date or size"
    int Replace = 0;    // "Replace existing files without confirmation"
    int WebUpdate = 0;  // "Check on launch"

    // The Misc folder as the properties dialog stores it: ending with one '\' and not beginning
    // with one. '/' counts as '\' so that a path typed on Linux means the same.
    static std::string NormalizeMiscPath(std::string text);
};
