#pragma once

#include <string>
#include <vector>

// Where this system's Steam client may be installed, most likely first. Candidates only: they
// may not exist, and several may lead to the same installation through links.
class SteamPlaces {
public:
    // On Linux the native, Debian, Flatpak and Snap places below home (none when home is empty);
    // on Windows the folders the Steam client records in the registry.
    static std::vector<std::string> Candidates(const std::string& home);
};
