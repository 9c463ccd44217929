// Where "Analyse and sort Steam archives" sends each entry, and the map name it works from.
#include <gtest/gtest.h>

#include "EngineKit.h"
#include "SortRules.h"

TEST(SortRules, sendsEachEntryToItsFolder) {
    struct Row {
        std::string file, folder, map, expected;
    };
    const std::string misc = "divers\\", mapMisc = "divers\\de_x\\", models = "models\\";
    // clang-format off
    const std::vector<Row> rows = {
        {"x.jpg", "", "", misc}, {"x.jpg", "", "de_x", mapMisc},
        {"x.jpg", "Cstrike\\Models\\Skins\\", "", "models\\skins\\"},
        {"x.pcx", "overviews_old\\", "", "overviews\\"}, {"x.PCX", "gfx\\env\\", "", "gfx\\env\\"},
        {"x.pcx", "gfx\\", "de_x", mapMisc}, {"Thumbs.db", "maps\\", "", "$$$$$"},
        {"DE_X.BSP", "cstrike\\", "", "maps\\"}, {"x.vtf", "", "", "materials\\"},
        {"x.vmt", "a\\Materials\\Walls\\", "", "materials\\walls\\"},
        {"x.mdl", "cstrike\\models\\player\\x\\", "", "models\\player\\x\\"},
        {"X.MDL", "Models\\", "", models}, {"x.mdl", "mymodels\\", "", models},
        {"x.phy", "other\\", "", models}, {"x.vtx", "", "", models},
        {"wind.wav", "sounds\\ambience\\", "", "sound\\ambience\\"}, {"wind.WAV", "", "", "sound\\"},
        {"x.wav", "sounds\\sound\\a\\", "", "sound\\a\\"}, {"x.spr", "", "", "sprites\\"},
        {"x.spr", "a\\Sprites\\fx\\", "", "sprites\\fx\\"}, {"sky.tga", "skies\\", "", "gfx\\env\\"},
        {"de_x.res", "x\\", "", "maps\\"}, {"server.cfg", "cfg\\", "", ""}, {"x.mat", "a\\", "", ""},
        {"pak.wad", "cstrike\\", "", ""}, {"de_x.pwf", "", "", "PODBot\\WPTDefault\\"},
        {"de_x.pxp", "", "", "PODBot\\WPTDefault\\"}, {"de_x.wpt", "", "", "Sturmbot\\waypoints\\"},
        {"de_x.rmf", "src\\", "de_x", "WorldCraft\\de_x\\"}, {"de_x.map", "", "", "WorldCraft\\"},
        {"x.p3", "", "de_x", "WorldCraft\\de_x\\"}, {"x.rfk", "", "", "WorldCraft\\"},
        {"de_x.bmp", "Overviews\\", "", "overviews\\"}, {"x.bmp", "gfx\\env\\", "", "gfx\\env\\"},
        {"x.bmp", "", "de_x", mapMisc}, {"de_x.txt", "maps\\", "de_x", "maps\\"},
        {"DE_X.TXT", "", "de_x", "maps\\"}, {"de_x.txt", "Overviews\\", "de_x", "overviews\\"},
        {"de_x.txt", "overviews_old\\", "de_x", "maps\\"}, {"readme.txt", "de_x\\", "de_x", mapMisc},
        {"readme.txt", "", "", misc}, {"README", "", "de_x", mapMisc}, {"x.zzz", "maps\\", "", misc},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(row.folder + row.file + " map " + row.map);
        EXPECT_EQ(SortRules::SortEntry(row.file, row.folder, row.map, misc), row.expected);
    }
}

TEST(SortRules, installedLayoutFollowsMapNameExistingCaseAndAnalyse) {
    struct Row {
        std::string name;
        bool analyse;
        std::string bsps, expected;
    };
    // clang-format off
    const std::vector<Row> rows = {
        {"one map", true, "De_X/maps/DE_X.Bsp=b x.bsp/", "Maps/DE_X.Bsp=b Maps/de_x.txt=t "
         "WorldCraft/de_x/de_x.rmf=r divers/de_x/readme.txt=m overviews/de_x.bmp=o "},
        {"two maps", true, "De_X/maps/de_x.bsp=b de_y.bsp=y", "Maps/de_x.bsp=b Maps/de_y.bsp=y "
         "WorldCraft/de_x.rmf=r divers/de_x.txt=t divers/readme.txt=m overviews/de_x.bmp=o "},
        {"no map", true, "", "WorldCraft/de_x.rmf=r divers/de_x.txt=t divers/readme.txt=m "
         "overviews/de_x.bmp=o "},
        {"dots for a map name", true, "...bsp=b", "Maps/...bsp=b WorldCraft/de_x.rmf=r "
         "divers/de_x.txt=t divers/readme.txt=m overviews/de_x.bmp=o "},
        {"analyse off", false, "De_X/maps/de_x.bsp=b", "De_X/Thumbs.db=d De_X/de_x.rmf=r "
         "De_X/maps/de_x.bsp=b De_X/maps/de_x.txt=t De_X/overviews/de_x.bmp=o De_X/readme.txt=m "},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EngineRun run;
        run.options.Analyse = row.analyse;
        std::filesystem::create_directory(run.Target() + "Maps");
        run.source.WriteFile("p.zip", Pack(row.bsps + " De_X/maps/de_x.txt=t De_X/readme.txt=m "
                                                      "De_X/overviews/de_x.bmp=o De_X/Thumbs.db=d "
                                                      "De_X/de_x.rmf=r"));
        EXPECT_EQ(run.Install(), "p.zip : Ok\r\n");
        EXPECT_EQ(run.Contents(), row.expected);
        // The skipped file leaves no trace in the tree either.
        EXPECT_EQ(run.window.tree.find("Thumbs.db") != std::string::npos, !row.analyse);
    }
}

TEST(SortRules, miscFolderTakesOneSpellingWhateverItWasGiven) {
    struct Row {
        std::string given, normalized;
        bool climbs;
    } rows[] = {
        {"divers", "divers\\", false},
        {"divers\\", "divers\\", false},
        {"\\divers\\", "divers\\", false},
        {"\\\\divers", "divers\\", false},
        {"//a//b//", "a\\b\\", false},
        {"\\", "", false},
        {"", "", false},
        {"..", "..\\", true},
        {"a/../../b", "a\\..\\..\\b\\", true},
        {"a..b\\...", "a..b\\...\\", false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.given);
        EXPECT_EQ(InstallOptions::NormalizeMiscPath(row.given), row.normalized);
        EXPECT_EQ(InstallOptions::MiscPathClimbs(row.normalized), row.climbs);
    }
    // A run normalises the Misc folder it is given, however the store spelled it.
    for (const std::string misc : {"extras", "\\\\extras", "extras//"}) {
        SCOPED_TRACE(misc);
        EngineRun run;
        run.options.MiscPath = misc;
        run.root.WriteFile("target/extras/notes.doc", "old");
        run.source.WriteFile("a.zip", Pack("notes.doc=new readme=r"));
        EXPECT_EQ(run.Install(),
                  "a.zip : notes.doc -> Existing file not replaced\r\na.zip : Ok\r\n");
        EXPECT_EQ(run.Contents(), "extras/notes.doc=old extras/readme=r ");
    }
}
