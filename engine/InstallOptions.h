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
    int Journal = 1;    // keep a journal of each install in the target's .zanvo folder

    // The Misc folder as the properties dialog stores it: no separator in front, one between
    // names and one at the end ("\\divers" and "divers\\" give "divers\", "\" gives the
    // target itself). '/' counts as '\' so that a path typed on Linux means the same. Every
    // Misc path goes through it, whether typed or stored.
    static std::string NormalizeMiscPath(const std::string& text);
    // True when a normalised Misc path names a ".." folder, which is refused.
    static bool MiscPathClimbs(const std::string& normalized);
};
