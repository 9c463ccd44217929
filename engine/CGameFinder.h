#pragma once

#include <string>
#include <vector>

// A folder of an installed game that maps are installed into.
struct GameFolder {
    std::string game;  // the game's name in its Steam manifest
    std::string mod;   // the name a user gives for it: the folder's own, in lower case
    std::string path;  // native, without a trailing separator
};

// Finds the game folders of the Steam libraries on this computer: the Steam installations, the
// libraries each one lists in libraryfolders.vdf, the games that the manifests of each library
// name, and the mod folders of those games that exist on disk.
class CGameFinder {
public:
    // Looks where the environment says: the folder STEAM_DIR names first, then this system's
    // places for Steam below HOME.
    CGameFinder();
    CGameFinder(const std::string& home, const std::string& steamDir);

    // Every library, each once however many links lead to it (canonical paths): each Steam
    // installation in the order looked at, followed by the libraries it lists.
    std::vector<std::string> Libraries() const;
    // The game folders of every library, by library order, then game, then mod; each once.
    std::vector<GameFolder> Find() const;

    // The folders whose mod is mod, in any ASCII case.
    static std::vector<GameFolder> WithMod(const std::vector<GameFolder>& folders,
                                           const std::string& mod);

private:
    std::vector<std::string> candidates;
};
