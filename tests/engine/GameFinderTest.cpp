// The game folders found in fake Steam installations under a temporary home.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "CGameFinder.h"
#include "FakeSteam.h"
#include "TestFolder.h"

namespace {

namespace fs = std::filesystem;
using FakeSteam::HalfLife;
using FakeSteam::Manifest;

// One line of Lines() for a folder of a library's steamapps/common/.
std::string Line(const std::string& game, const std::string& mod, const std::string& library,
                 const std::string& folder) {
    return game + "|" + mod + "|" + library + "steamapps/common/" + folder + "\n";
}

std::string HalfLifeLines(const std::string& library) {
    return Line("Half-Life", "cstrike", library, "Half-Life/cstrike") +
           Line("Half-Life", "valve", library, "Half-Life/valve");
}

// "game|mod|path" per folder, the path relative to the disk.
std::string Lines(const std::vector<GameFolder>& folders, const TestFolder& disk) {
    const std::string base = fs::canonical(disk.Path()).string() + "/";
    std::string out;
    for (const GameFolder& folder : folders) {
        const bool below = folder.path.rfind(base, 0) == 0;
        out += folder.game + "|" + folder.mod + "|" +
               (below ? folder.path.substr(base.size()) : folder.path) + "\n";
    }
    return out;
}

}  // namespace

TEST(GameFinder, findsTheModFoldersOfEveryLibrary) {
    const std::string native = "home/.local/share/Steam/";
    struct Row {
        const char* name;
        std::vector<std::string> tree;
        std::string steamDir = {};  // relative to the disk
        std::string expected;
    };
    const Row rows[] = {
        {.name = "mods of several games, their extra folders, Counter-Strike: Source",
         .tree = HalfLife(native) +
                 std::vector<std::string>{
                     native + "steamapps/appmanifest_10.acf=" +
                         Manifest(10, "Counter-Strike", "Half-Life"),
                     native + "steamapps/appmanifest_240.acf=" +
                         Manifest(240, "Counter-Strike: Source", "Counter-Strike Source"),
                     native + "steamapps/common/Half-Life/cstrike_addon/",
                     native + "steamapps/common/Half-Life/cstrike_downloads/",
                     native + "steamapps/common/Half-Life/valve_downloads/",
                     native + "steamapps/common/Half-Life/tfc/",
                     native + "steamapps/common/Half-Life/dod_addon/",  // dod/ itself is missing
                     native + "steamapps/common/Half-Life/ricochet/",
                     native + "steamapps/common/Counter-Strike Source/cstrike/custom/",
                 },
         .expected =
             Line("Counter-Strike", "cstrike", native, "Half-Life/cstrike") +
             Line("Counter-Strike", "cstrike_addon", native, "Half-Life/cstrike_addon") +
             Line("Counter-Strike", "cstrike_downloads", native, "Half-Life/cstrike_downloads") +
             Line("Counter-Strike: Source", "cstrike_source", native,
                  "Counter-Strike Source/cstrike") +
             Line("Half-Life", "dod_addon", native, "Half-Life/dod_addon") +
             Line("Half-Life", "tfc", native, "Half-Life/tfc") +
             Line("Half-Life", "valve", native, "Half-Life/valve") +
             Line("Half-Life", "valve_downloads", native, "Half-Life/valve_downloads")},
        {.name = "names in any case",
         .tree = {native + "SteamApps/appmanifest_70.acf=" + Manifest(70, "Half-Life", "Half-Life"),
                  native + "SteamApps/Common/HALF-LIFE/Cstrike/"},
         .expected = "Half-Life|cstrike|" + native + "SteamApps/Common/HALF-LIFE/Cstrike\n"},
        {.name = "old shape in steamapps/",
         .tree = HalfLife("lib2/") +
                 std::vector<std::string>{native + "steamapps/libraryfolders.vdf="
                                                   "\"LibraryFolders\" { \"TimeNextStatsReport\" "
                                                   "\"1\" \"ContentStatsID\" \"-5\" \"1\" "
                                                   "\"$Dlib2\" }"},
         .expected = HalfLifeLines("lib2/")},
        {.name = "lower-case shape in config/",
         .tree = HalfLife("lib2/") +
                 std::vector<std::string>{native + "config/libraryfolders.vdf="
                                                   "\"libraryfolders\" { \"contentstatsid\" "
                                                   "\"-5\" \"1\" \"$Dlib2/\" }"},
         .expected = HalfLifeLines("lib2/")},
        {.name = "current shape, listing the installation itself first",
         .tree = HalfLife(native) + HalfLife("lib2/") +
                 std::vector<std::string>{
                     native +
                     "steamapps/libraryfolders.vdf=\"libraryfolders\" {\n"
                     "\"0\" { \"path\" \"$D" +
                     native +
                     "\" \"label\" \"\" \"contentid\" \"7\" \"totalsize\" \"0\" "
                     "\"apps\" { \"70\" \"123\" } }\n"
                     "\"1\" { \"path\" \"$Dlib2\" \"label\" \"\" \"apps\" { \"70\" \"1\" } } }"},
         .expected = HalfLifeLines(native) + HalfLifeLines("lib2/")},
        {.name = "Flatpak",
         .tree = HalfLife("home/.var/app/com.valvesoftware.Steam/.local/share/Steam/"),
         .expected = HalfLifeLines("home/.var/app/com.valvesoftware.Steam/.local/share/Steam/")},
        {.name = "Snap",
         .tree = HalfLife("home/snap/steam/common/.local/share/Steam/"),
         .expected = HalfLifeLines("home/snap/steam/common/.local/share/Steam/")},
        {.name = "Debian's package",
         .tree = HalfLife("home/.steam/debian-installation/"),
         .expected = HalfLifeLines("home/.steam/debian-installation/")},
        {.name = "STEAM_DIR first",
         .tree = HalfLife(native) + HalfLife("elsewhere/"),
         .steamDir = "elsewhere",
         .expected = HalfLifeLines("elsewhere/") + HalfLifeLines(native)},
        {.name = "links to one installation count once",
         .tree = HalfLife(native) + std::vector<std::string>{"home/.steam/steam->$D" + native,
                                                             "home/.steam/root->$D" + native},
         .expected = HalfLifeLines(native)},
        {.name = "manifests whose folder is missing",
         .tree = {native + "steamapps/appmanifest_70.acf=" + Manifest(70, "Half-Life", "Half-Life"),
                  native + "steamapps/appmanifest_240.acf=" +
                      Manifest(240, "Counter-Strike: Source", "Counter-Strike Source"),
                  native + "steamapps/common/Counter-Strike Source/",
                  // A folder that no manifest names is not looked at.
                  "lib2/steamapps/common/Half-Life/cstrike/",
                  native + "steamapps/libraryfolders.vdf=\"libraryfolders\" { \"1\" { \"path\" "
                           "\"$Dlib2\" } }"},
         .expected = ""},
        {.name = "damaged files keep what was read before the damage",
         .tree = HalfLife(native) + HalfLife("lib2/") + HalfLife("lib3/") +
                 std::vector<std::string>{
                     native + "steamapps/appmanifest_10.acf=\"AppState\" { \"appid\" \"10\" "
                              "\"name\" \"Counter-",
                     native + "steamapps/libraryfolders.vdf=\"libraryfolders\" { \"1\" { "
                              "\"path\" \"$Dlib2\" } \"2\" { \"path\" \"$Dlib3",
                     native + "config/libraryfolders.vdf=\x01\x02{{\"1\" \"$Dlib3\""},
         .expected = HalfLifeLines(native) + HalfLifeLines("lib2/")},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TestFolder disk;
        FakeSteam::Make(disk, row.tree);
        const CGameFinder finder(disk / "home", row.steamDir.empty() ? "" : disk / row.steamDir);
        EXPECT_EQ(Lines(finder.Find(), disk), row.expected);
    }
}

TEST(GameFinder, environmentNamesTheHomeAndModsMatchInAnyCase) {
    TestFolder disk;
    FakeSteam::Make(
        disk, HalfLife("home/.local/share/Steam/") + HalfLife("lib2/") +
                  std::vector<std::string>{"home/.local/share/Steam/config/libraryfolders.vdf="
                                           "\"libraryfolders\" { \"1\" \"$Dlib2\" }"});
    const std::string savedHome = getenv("HOME") != nullptr ? getenv("HOME") : "";
    setenv("HOME", (disk / "home").c_str(), 1);
    setenv("STEAM_DIR", "", 1);
    const std::vector<GameFolder> found = CGameFinder().Find();
    setenv("HOME", savedHome.c_str(), 1);
    unsetenv("STEAM_DIR");
    EXPECT_EQ(Lines(found, disk),
              HalfLifeLines("home/.local/share/Steam/") + HalfLifeLines("lib2/"));
    EXPECT_EQ(Lines(CGameFinder::WithMod(found, "CStrike"), disk),
              "Half-Life|cstrike|home/.local/share/Steam/steamapps/common/Half-Life/cstrike\n"
              "Half-Life|cstrike|lib2/steamapps/common/Half-Life/cstrike\n");
    EXPECT_TRUE(CGameFinder::WithMod(found, "cstrike_source").empty());
    EXPECT_TRUE(CGameFinder(disk / "nobody", "").Find().empty());
}
