// zanvo-cli install and plan as a user runs them, over real archives in temporary folders.
#include <gtest/gtest.h>

#include "CliRun.h"
#include "TestFolder.h"
#include "ZipWriter.h"

namespace {

const std::string kSorted =
    "divers/\ndivers/de_x/\ndivers/de_x/readme.txt\nmaps/\nmaps/de_x.bsp\nmaps/de_x.txt\n";
const std::string kUnsorted = "Maps/\nMaps/de_x.bsp\nMaps/de_x.txt\nThumbs.db\nreadme.txt\n";
// An existing MAPS/DE_X.BSP receives what the rules send to maps\de_x.bsp.
const std::string kExisting =
    "MAPS/\nMAPS/DE_X.BSP\nMAPS/de_x.txt\ndivers/\ndivers/de_x/\ndivers/de_x/readme.txt\n";

// The lines of plan for a.zip, given each entry's destination (and new or exists).
std::string Plan(const std::vector<std::string>& where) {
    const std::string inner[] = {"Maps\\de_x.bsp", "Maps\\de_x.txt", "readme.txt", "Thumbs.db"};
    std::string out;
    for (size_t i = 0; i < where.size(); ++i) {
        out += "a.zip\t" + inner[i] + "\t" + where[i] + "\n";
    }
    return out;
}

}  // namespace

TEST(InstallAndPlan, exitStatusOutputAndDestinations) {
    TestFolder packs;
    ZipWriter writer(
        ZipWriter::FromWords("Maps/de_x.bsp=bsp Maps/de_x.txt=txt readme.txt=hi Thumbs.db=db"));
    packs.WriteFile("src/a.zip", writer.Build());
    packs.WriteFile("a.zip.bak", writer.Build());
    packs.WriteFile("empty/notes.txt", "not an archive");
    ZipWriter({{.name = "maps/de_y.bsp", .data = "bsp", .stated = {.crc = 1}},
               {.name = "ok.wad", .data = "wad"}})
        .Save(packs / "Bad.ZiP");
    const std::string src = "'" + packs / "src' ", en = "--language english ", done = "Done.\n";
    const std::string ok = "a.zip : Ok\r\n",
                      kept = "a.zip : de_x.bsp -> Existing file not replaced\r\n" + ok;
    const std::string notFound = "Unable to find source directory.\r\n\r\n Please retry.\n";
    // The target before the run: empty, holding MAPS/DE_X.BSP ("old"), new/deeper missing, or
    // not given at all.
    enum Target { empty, withOld, missing, none };
    struct Row {
        std::string arguments;  // followed by the target folder
        std::string conf;       // stored settings before the run; never changed by it
        Target target;
        int status;
        std::string out, err, listing;
    } rows[] = {
        {"install " + src, "", empty, 0, ok, "Extraction achevée.\n", kSorted},
        {en + "install --yes '" + packs / "Bad.ZiP' ", "", missing, 1,
         "Bad.ZiP : de_y.bsp -> Crc mismatched\r\n",
         "File: \r\n     maps\\de_y.bsp\r\n\r\nError : \r\n     Crc mismatched\nDone:  1 "
         "Error(s).\n",
         "new/\nnew/deeper/\nnew/deeper/maps/\nnew/deeper/ok.wad\n"},
        {en + "install " + src, "", missing, 2, "",
         "This folder doesn't exists. \r\n\r\nDo you want to create it?\n", ""},
        {en + "install '" + packs / "empty' ", "", empty, 2, "", "No archive found !\n", ""},
        {en + "install '" + packs / "none' ", "", empty, 2, "", notFound, ""},
        {en + "install '" + packs / "a.zip.bak' ", "", empty, 2, "", notFound, ""},
        {en + "--bogus install " + src, "", empty, 2, "",
         "zanvo-cli: Unknown option: --bogus\nTry 'zanvo-cli --help'.\n", ""},
        {en + "install --no-sort " + src, "", empty, 0, ok, done, kUnsorted},
        {en + "install --misc '\\x' " + src, "", empty, 0, ok, done,
         "maps/\nmaps/de_x.bsp\nmaps/de_x.txt\nx/\nx/de_x/\nx/de_x/readme.txt\n"},
        {en + "install --misc=x/y " + src, "", empty, 0, ok, done,
         "maps/\nmaps/de_x.bsp\nmaps/de_x.txt\nx/\nx/y/\nx/y/de_x/\nx/y/de_x/readme.txt\n"},
        {en + "install " + src, "", withOld, 0, kept, done, kExisting},
        {en + "install --no-all " + src, "", withOld, 0, kept, done, kExisting},
        {en + "install --yes-all " + src, "", withOld, 0, ok, done, kExisting},
        {en + "install " + src, "[Settings]\nReplace=1\n", withOld, 0, ok, done, kExisting},
        {en + "install " + src, "[Settings]\nAnalyse=0\n", empty, 0, ok, done, kUnsorted},
        {en + "install --sort " + src, "[Settings]\nAnalyse=0\n", empty, 0, ok, done, kSorted},
        {"install " + src, "[Settings]\nLanguage=english\n", empty, 0, ok, done, kSorted},
        {"plan " + src, "", none, 0,
         Plan({"maps/de_x.bsp", "maps/de_x.txt", "divers/de_x/readme.txt", "skip"}), "", ""},
        {"plan --no-sort " + src, "", withOld, 0,
         Plan({"MAPS/DE_X.BSP\texists", "MAPS/de_x.txt\tnew", "readme.txt\tnew", "Thumbs.db\tnew"}),
         "", "MAPS/\nMAPS/DE_X.BSP\n"},
        {"plan --misc x " + src, "", missing, 0,
         Plan({"maps/de_x.bsp\tnew", "maps/de_x.txt\tnew", "x/de_x/readme.txt\tnew", "skip"}), "",
         ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.arguments + row.conf);
        TestFolder home, target;
        if (!row.conf.empty()) {
            home.WriteFile("config/Orbelle/Zanvo.conf", row.conf);
        }
        if (row.target == withOld) {
            target.WriteFile("MAPS/DE_X.BSP", "old");
        }
        const std::string where = "'" + target / (row.target == missing ? "new/deeper" : "") + "'";
        const CliRun run = RunCli(row.arguments + (row.target == none ? "" : where), home);
        EXPECT_EQ(run.status, row.status);
        EXPECT_EQ(run.out, row.out);
        EXPECT_EQ(run.err, row.err);
        EXPECT_EQ(target.Listing(), row.listing);
        EXPECT_EQ(TestFolder::ReadFile(home / "config/Orbelle/Zanvo.conf"), row.conf);
        if (row.target == withOld) {
            EXPECT_EQ(TestFolder::ReadFile(target / "MAPS/DE_X.BSP"),
                      row.out == ok ? "bsp" : "old");
        }
    }
    // The plan names the file that install writes, not the entry's spelling of its path.
    ZipWriter(ZipWriter::FromWords("./x.wad=1 a/../y.wad=2")).Save(packs / "dots.zip");
    const CliRun dots = RunCli("plan --no-sort '" + packs / "dots.zip'", packs);
    EXPECT_EQ(dots.out, "dots.zip\t.\\x.wad\tx.wad\ndots.zip\ty.wad\ty.wad\n");
}

TEST(InstallAndPlan, riskyFilesAreMarkedAndLeftOutUnlessAllowed) {
    TestFolder packs;
    ZipWriter(
        ZipWriter::FromWords("maps/de_x.bsp=bsp cheat.exe=x sound/a.wav=MZ\x90 autoexec.cfg=b"))
        .Save(packs / "a.zip");
    const std::string en = "--language english ", archive = "'" + packs / "a.zip' ",
                      target = "'" + packs / "game' ";
    const CliRun plan = RunCli(en + "plan " + archive, packs);
    EXPECT_EQ(plan.out,
              "a.zip\tmaps\\de_x.bsp\tmaps/de_x.bsp\n"
              "a.zip\tcheat.exe\tdivers/de_x/cheat.exe\trisky: program or library (.exe)\n"
              "a.zip\tsound\\a.wav\tsound/a.wav\trisky: program (PE (MZ) signature)\n"
              "a.zip\tautoexec.cfg\tautoexec.cfg\trisky: game configuration (.cfg)\n");
    const CliRun install = RunCli(en + "install --yes " + archive + target, packs);
    EXPECT_EQ(install.status, 3);
    EXPECT_EQ(install.out,
              "a.zip : Ok\r\n"
              "a.zip : cheat.exe -> Not installed, program or library (.exe)\r\n"
              "a.zip : a.wav -> Not installed, program (PE (MZ) signature)\r\n"
              "a.zip : autoexec.cfg -> Not installed, game configuration (.cfg)\r\n");
    EXPECT_EQ(packs.Listing(), "a.zip\ngame/\ngame/maps/\ngame/maps/de_x.bsp\nstderr.txt\n");
    const CliRun allowed =
        RunCli(en + "install --allow-risky --yes-all " + archive + target, packs);
    EXPECT_EQ(allowed.status, 0);
    EXPECT_EQ(allowed.out, "a.zip : Ok\r\n");
    EXPECT_EQ(TestFolder::ReadFile(packs / "game/sound/a.wav"), "MZ\x90");
}
