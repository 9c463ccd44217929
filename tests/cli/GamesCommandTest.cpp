// zanvo-cli games, and install and plan with --game in place of the target, over fake Steam
// installations under a temporary home.
#include <gtest/gtest.h>

#include <filesystem>

#include "CliRun.h"
#include "FakeSteam.h"
#include "TestFolder.h"
#include "ZipWriter.h"

using FakeSteam::HalfLife;
using FakeSteam::Manifest;

TEST(GamesCommand, listsGameFoldersAndResolvesGame) {
    TestFolder disk;
    const std::string native = "home/.local/share/Steam/";
    FakeSteam::Make(
        disk,
        HalfLife(native, {"valve", "cstrike", "cstrike_downloads"}) + HalfLife("lib2/", {"valve"}) +
            std::vector<std::string>{
                native + "steamapps/appmanifest_240.acf=" +
                    Manifest(240, "Counter-Strike: Source\x1b]0;x\x07", "Counter-Strike Source"),
                native + "steamapps/common/Counter-Strike Source/cstrike/",
                native + "config/libraryfolders.vdf=\"libraryfolders\" { \"1\" { \"path\" "
                         "\"$Dlib2\" } }"});
    ZipWriter(ZipWriter::FromWords("maps/de_x.bsp=bsp")).Save(disk / "a.zip");
    const std::string root = std::filesystem::canonical(disk.Path()).string() + "/";
    const std::string common = root + native + "steamapps/common/";
    const std::string cstrike = common + "Half-Life/cstrike";
    const std::string valve = common + "Half-Life/valve",
                      valve2 = root + "lib2/" + "steamapps/common/Half-Life/valve";
    const std::string tryHelp = "Try 'zanvo-cli --help'.\n";
    const std::string env = "env -u STEAM_DIR HOME='" + disk / "home" + "'";
    const std::string zip = " '" + disk / "a.zip" + "'";
    struct Row {
        std::string arguments;
        int status;
        std::string out, err;
    } rows[] = {
        {"games", 0,
         "Counter-Strike: Source?]0;x?\tcstrike_source\t" + common +
             "Counter-Strike Source/cstrike\n"
             "Half-Life\tcstrike\t" +
             cstrike + "\nHalf-Life\tcstrike_downloads\t" + cstrike + "_downloads\n" +
             "Half-Life\tvalve\t" + valve + "\nHalf-Life\tvalve\t" + valve2 + "\n",
         ""},
        {"games extra", 2, "", "zanvo-cli: Too many arguments.\n" + tryHelp},
        {"plan --game CStrike" + zip, 0, "a.zip\tmaps\\de_x.bsp\tmaps/de_x.bsp\tnew\n", ""},
        {"plan --game valve" + zip, 2, "",
         "Several game folders are named valve; give the one meant as TARGET:\n" + valve + "\n" +
             valve2 + "\n"},
        {"plan --game=tfc" + zip, 2, "",
         "No game folder tfc was found in the Steam libraries; 'zanvo-cli games' lists the ones "
         "found.\n"},
        {"install --game cstrike" + zip + " '" + disk / "x'", 2, "",
         "zanvo-cli: --game takes the place of TARGET; give only one of them.\n" + tryHelp},
        {"install --game", 2, "", "zanvo-cli: Missing value for --game.\n" + tryHelp},
        {"install --game cstrike", 2, "", "zanvo-cli: Missing source or target.\n" + tryHelp},
        {"install --yes --game cstrike_source" + zip, 0, "a.zip : Ok\r\n", "Done.\n"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.arguments);
        const CliRun run = RunCli("--language english " + row.arguments, disk, env);
        EXPECT_EQ(run.status, row.status);
        EXPECT_EQ(run.out, row.out);
        EXPECT_EQ(run.err, row.err);
    }
    // The install went into the mod's folder, and nowhere else.
    EXPECT_EQ(TestFolder::ReadFile(common + "Counter-Strike Source/cstrike/maps/de_x.bsp"), "bsp");
    EXPECT_FALSE(std::filesystem::exists(cstrike + "/maps"));

    const CliRun none = RunCli("--language english games", disk, "env -u STEAM_DIR HOME=/nowhere");
    EXPECT_EQ(none.status, 1);
    EXPECT_EQ(none.out, "");
    EXPECT_EQ(none.err,
              "No game folder was found in the Steam libraries; if Steam is installed elsewhere, "
              "set STEAM_DIR to its folder.\n");
}
