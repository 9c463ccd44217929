// End-to-end runs of the zanvo-cli program.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "CFileException.h"
#include "CStringTable.h"
#include "CliRun.h"
#include "FrameworkTexts.h"
#include "StringIds.h"
#include "TestFolder.h"
#include "ZipWriter.h"

TEST(ZanvoCli, answersEveryCommandLine) {
    TestFolder folder;
    // clang-format off
    ZipWriter writer({
        {.name = "maps/", .externalAttributes = 0x10},
        {.name = "maps/de_x.bsp", .data = std::string(1000, 'x'), .host = 3,
         .externalAttributes = 0100644u << 16},
        {.name = "maps/de_x.txt", .data = "hello", .method = 8, .host = 3,
         .externalAttributes = 0100444u << 16, .dosDate = ZipWriter::DosDate(2040, 1, 1)}});
    // clang-format on
    writer.Save(folder / "good.zip");
    writer.entries[1].stated.crc = 1;
    writer.Save(folder / "bad.zip");
    folder.WriteFile("text.zip", "not an archive");
    const std::string good = "'" + folder / "good.zip" + "' ";
    // 5 bytes deflated: the ratio is a whole number of percent.
    const size_t deflated = ZipWriter::Deflate("hello").size();
    const std::string listing =
        "0\t\tmaps\\\t0\t0\t0%\t15/06/2020 12:34\t----\tD\n"
        "1\tmaps\\\tde_x.bsp\t1,000\t1,000\t100%\t15/06/2020 12:34\t-a--\tF\n"
        "2\tmaps\\\tde_x.txt\t5\t" +
        std::to_string(deflated) + "\t" + std::to_string(deflated * 20) + "%\t\tra--\tF\n";
    const std::string missing = folder / "missing.zip";
    const std::string notFound = FrameworkTexts::FileError(CFileException::fileNotFound, missing);
    struct Row {
        std::string arguments;
        int status;
        std::string out;      // the whole of stdout
        std::string errPart;  // found in stderr
    };
    const std::string full = "zanvo-cli: Cannot write the output: No space left on device";
    std::string frenchListing = listing;
    frenchListing.replace(frenchListing.find("1,000\t1,000"), 11, "1 000\t1 000");
    const std::vector<Row> rows = {
        {"--language english list " + good, 0, listing, ""},
        {"list " + good, 0, frenchListing, ""},
        {"--language english test " + good, 0, "maps\\de_x.bsp\tOK\nmaps\\de_x.txt\tOK\n", ""},
        {"--language english test '" + folder / "bad.zip'", 1,
         "maps\\de_x.bsp\tCrc mismatched\nmaps\\de_x.txt\tOK\n", ""},
        {"--language english list '" + missing + "'", 2, "",
         "Error on opening file !\n" + notFound},
        {"test '" + missing + "'", 2, "", "Erreur lors de l'ouverture du fichier !\n" + notFound},
        {"--language english test '" + folder / "text.zip'", 2, "",
         "Error on opening file !\nThe central directory was not found in the archive"},
        {"--language=english --bogus list " + good, 2, "", "Unknown option: --bogus"},
        {"--language klingon list " + good, 2, "", "klingon"},
        {"--language english plan " + good + "--misc", 2, "", "Missing value for --misc."},
        {"list " + good + "--language", 2, "", "Valeur manquante pour --language."},
        {"--language english frobnicate " + good, 2, "", "Unknown command: frobnicate"},
        {"--language english list", 2, "", "Missing archive path."},
        {"--language english list " + good + good, 2, "", "Too many arguments."},
        {"--help", 0, CStringTable::Load(IDS_CLI_USAGE, CStringTable::Language::French), ""},
        {"--language english --help", 0, CStringTable::Load(IDS_CLI_USAGE), ""},
        // Output lost on a full disk: the command's result never arrived.
        {"--language english list " + good + ">/dev/full", 1, "", full},
        {"--language english test " + good + ">/dev/full", 1, "", full},
        {"--language english test '" + folder / "bad.zip' >/dev/full", 1, "", full},
        {"--language english plan " + good + ">/dev/full", 1, "", full},
        {"--language english install --yes " + good + "'" + folder / "t' >/dev/full", 1, "", full},
        {"--help >/dev/full", 1, "", "Impossible d'écrire la sortie : No space left on device"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.arguments);
        const CliRun run = RunCli(row.arguments, folder);
        EXPECT_EQ(run.status, row.status);
        EXPECT_EQ(run.out, row.out);
        EXPECT_NE(run.err.find(row.errPart), std::string::npos) << run.err;
    }
}

TEST(ZanvoCli, listsTestsAndInstallsEveryEntryPastWrappedCount) {
    // 70,000 entries: the end record's 16-bit count says 4,464.
    TestFolder packs, target;
    ZipWriter writer(ZipWriter::TinyEntries(70000));
    packs.WriteFile("many.zip", writer.Build());
    const std::string zip = "'" + packs / "many.zip" + "' ";
    const auto lines = [](const std::string& text) {
        return std::count(text.begin(), text.end(), '\n');
    };

    const CliRun list = RunCli("--language english list " + zip, packs);
    EXPECT_EQ(list.status, 0);
    EXPECT_EQ(lines(list.out), 70000);
    EXPECT_TRUE(
        list.out.ends_with("\n69999\tpart6\\\t69999.txt\t1\t1\t100%\t15/06/2020 12:34\t-a--\tF\n"));

    const CliRun test = RunCli("--language english test " + zip, packs);
    EXPECT_EQ(test.status, 0);
    EXPECT_EQ(lines(test.out), 70000);
    EXPECT_TRUE(test.out.ends_with("\npart6\\69999.txt\tOK\n"));

    // Writing 70,000 files takes the sanitized build most of a minute, so the installed archive
    // has 65,536 folder entries, cheap to install, then 4,464 files that all lie past the
    // wrapped count.
    writer.entries.assign(65536, {.name = "part0/", .externalAttributes = 0x10});
    const std::vector<ZipEntry> files = ZipWriter::TinyEntries(4464);
    writer.entries.insert(writer.entries.end(), files.begin(), files.end());
    packs.WriteFile("src/folders.zip", writer.Build());
    const CliRun install = RunCli(
        "--language english install --no-sort --no-journal '" + packs / "src' '" + target.Path() + "'", packs);
    EXPECT_EQ(install.status, 0);
    EXPECT_EQ(install.out, "folders.zip : Ok\r\n");
    size_t written = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(target.Path())) {
        written += entry.is_regular_file() ? 1 : 0;
    }
    EXPECT_EQ(written, files.size());
    EXPECT_EQ(TestFolder::ReadFile(target / ZipWriter::TinyEntryName(4463)), files.back().data);
}
