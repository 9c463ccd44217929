#include "CGameFinder.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <iterator>
#include <set>
#include <string_view>
#include <system_error>

#include "CKeyValues.h"
#include "CaseFold.h"
#include "Environment.h"
#include "SteamPlaces.h"

namespace {

namespace fs = std::filesystem;

// The mod folders maps are installed into, by the folder their game installs into.
struct KnownMod {
    std::string_view installDir;
    std::string_view folder;
    std::string_view mod;
    unsigned long appId;  // the game whose own folder it is
    bool extraFolders;    // its <mod>_addon and <mod>_downloads folders are game folders too
};

// Every Half-Life game of Steam installs into Half-Life/ beside the others. Counter-Strike:
// Source reads maps from its own cstrike/ (custom/ holds whole add-on folders, not maps), and it
// takes another name than Counter-Strike's, so that "cstrike" stays one folder on the many
// computers that have both.
constexpr KnownMod kKnownMods[] = {
    {"Half-Life", "valve", "valve", 70, true},
    {"Half-Life", "cstrike", "cstrike", 10, true},
    {"Half-Life", "czero", "czero", 80, true},
    {"Half-Life", "dod", "dod", 30, true},
    {"Half-Life", "tfc", "tfc", 20, true},
    {"Half-Life", "gearbox", "gearbox", 50, true},
    {"Counter-Strike Source", "cstrike", "cstrike_source", 240, false},
};

struct App {
    unsigned long appId = 0;
    std::string name;
    std::string installDir;
};

bool IsFolder(const fs::path& path) {
    std::error_code error;
    return fs::is_directory(path, error);
}

// A folder's canonical path; empty when it is not a folder.
std::string CanonicalFolder(const std::string& path) {
    std::error_code error;
    if (path.empty() || !IsFolder(path)) {
        return {};
    }
    const fs::path canonical = fs::canonical(path, error);
    return error ? std::string() : canonical.string();
}

// The entry of folder named name, whatever its case, as the games find their folders: the exact
// spelling first, else the first match in byte order; empty when there is none.
fs::path Child(const fs::path& folder, std::string_view name) {
    std::error_code error;
    if (fs::exists(folder / name, error)) {
        return folder / name;
    }
    fs::path found;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const fs::path& entry = it->path();
        if (CaseFold::Equal(entry.filename().string(), name) && (found.empty() || entry < found)) {
            found = entry;
        }
    }
    return found;
}

bool IsNumber(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

unsigned long Number(std::string_view text) {
    unsigned long number = 0;
    std::from_chars(text.data(), text.data() + text.size(), number);
    return number;
}

// The libraries that one installation's libraryfolders.vdf files list, in every shape Steam has
// written: numbered paths of "LibraryFolders" (old), and numbered sections with a "path" (now).
std::vector<std::string> ListedLibraries(const std::string& root) {
    std::vector<std::string> paths;
    for (const std::string_view folder : {"steamapps", "config"}) {
        const fs::path list = Child(root, folder);
        if (list.empty()) {
            continue;
        }
        const CKeyValues vdf = CKeyValues::Load(Child(list, "libraryfolders.vdf").string());
        for (const CKeyValues* libraries : vdf.FindAll("libraryfolders")) {
            for (const CKeyValues& library : libraries->children) {
                // The other keys of the old shape are statistics.
                const std::string path = library.isSection       ? library.Value("path")
                                         : IsNumber(library.key) ? library.value
                                                                 : std::string();
                // A relative path would name a folder of wherever the program was started.
                if (!path.empty() && fs::path(path).is_absolute()) {
                    paths.push_back(path);
                }
            }
        }
    }
    return paths;
}

// The games that a library's manifests name.
std::vector<App> InstalledApps(const fs::path& steamapps) {
    std::vector<App> apps;
    std::error_code error;
    for (fs::directory_iterator it(steamapps, error), end; !error && it != end;
         it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (!CaseFold::StartsWith(name, "appmanifest_") || name.size() <= 16 ||
            !CaseFold::Equal(std::string_view(name).substr(name.size() - 4), ".acf")) {
            continue;
        }
        const CKeyValues manifest = CKeyValues::Load(it->path().string());
        const CKeyValues* state = manifest.Find("AppState");
        if (state == nullptr) {
            continue;
        }
        apps.push_back({.appId = Number(state->Value("appid")),
                        .name = state->Value("name"),
                        .installDir = state->Value("installdir")});
    }
    return apps;
}

// The game folders of one library, sorted by game, then mod.
std::vector<GameFolder> LibraryGames(const std::string& library) {
    std::vector<GameFolder> found;
    const fs::path steamapps = Child(library, "steamapps");
    if (steamapps.empty()) {
        return found;
    }
    const std::vector<App> apps = InstalledApps(steamapps);
    const fs::path common = Child(steamapps, "common");
    for (const KnownMod& known : kKnownMods) {
        // Several games may install the folder; the mod's own game names it, else the folder.
        bool installed = false;
        std::string name(known.installDir);
        for (const App& app : apps) {
            if (CaseFold::Equal(app.installDir, known.installDir)) {
                installed = true;
                if (app.appId == known.appId && !app.name.empty()) {
                    name = app.name;
                }
            }
        }
        if (!installed || common.empty()) {
            continue;
        }
        const fs::path game = Child(common, known.installDir);
        if (game.empty() || !IsFolder(game)) {
            continue;
        }
        std::vector<std::string_view> suffixes{""};
        if (known.extraFolders) {
            suffixes.insert(suffixes.end(), {"_addon", "_downloads"});
        }
        for (const std::string_view suffix : suffixes) {
            const std::string folder = std::string(known.folder) + std::string(suffix);
            const fs::path path = Child(game, folder);
            if (!path.empty() && IsFolder(path)) {
                found.push_back({.game = name,
                                 .mod = std::string(known.mod) + std::string(suffix),
                                 .path = fs::path(path).make_preferred().string()});
            }
        }
    }
    std::stable_sort(found.begin(), found.end(), [](const GameFolder& a, const GameFolder& b) {
        return a.game != b.game ? a.game < b.game : a.mod < b.mod;
    });
    return found;
}

}  // namespace

CGameFinder::CGameFinder()
    : CGameFinder(Environment::Variable("HOME"), Environment::Variable("STEAM_DIR")) {}

CGameFinder::CGameFinder(const std::string& home, const std::string& steamDir) {
    if (!steamDir.empty()) {
        candidates.push_back(steamDir);
    }
    for (std::string& place : SteamPlaces::Candidates(home)) {
        candidates.push_back(std::move(place));
    }
}

std::vector<std::string> CGameFinder::Libraries() const {
    std::vector<std::string> libraries;
    std::set<std::string> seen;
    const auto add = [&](const std::string& path) {
        const std::string canonical = CanonicalFolder(path);
        if (!canonical.empty() && seen.insert(canonical).second) {
            libraries.push_back(canonical);
        }
    };
    std::set<std::string> roots;
    for (const std::string& candidate : candidates) {
        const std::string root = CanonicalFolder(candidate);
        if (root.empty() || !roots.insert(root).second) {
            continue;
        }
        add(root);
        for (const std::string& listed : ListedLibraries(root)) {
            add(listed);
        }
    }
    return libraries;
}

std::vector<GameFolder> CGameFinder::Find() const {
    std::vector<GameFolder> folders;
    std::set<std::string> seen;
    for (const std::string& library : Libraries()) {
        for (GameFolder& folder : LibraryGames(library)) {
            std::error_code error;
            const std::string canonical = fs::canonical(folder.path, error).string();
            if (!error && seen.insert(canonical).second) {
                folders.push_back(std::move(folder));
            }
        }
    }
    return folders;
}

std::vector<GameFolder> CGameFinder::WithMod(const std::vector<GameFolder>& folders,
                                             const std::string& mod) {
    std::vector<GameFolder> matching;
    std::copy_if(folders.begin(), folders.end(), std::back_inserter(matching),
                 [&](const GameFolder& folder) { return CKeyValues::SameKey(folder.mod, mod); });
    return matching;
}
