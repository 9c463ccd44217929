// zanvo-cli against what a hostile archive, a hand-edited settings file, or an odd target folder
// brings: nothing reaches the terminal as a control sequence, nothing stands in the way unseen,
// and every refusal says why.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>

#include "CliRun.h"
#include "TestFolder.h"
#include "ZipWriter.h"

namespace {

// The bytes that a terminal could take as a command: C0 controls but for the line ends given,
// DEL, and C1 controls (U+0080 to U+009F) in UTF-8.
std::string ControlsIn(const std::string& text, const std::string& lineEnds) {
    std::string found;
    for (size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        const bool c1 = c == 0xC2 && i + 1 < text.size() &&
                        static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
                        static_cast<unsigned char>(text[i + 1]) <= 0x9F;
        if (((c < 0x20 || c == 0x7F) && lineEnds.find(static_cast<char>(c)) == std::string::npos) ||
            c1) {
            found += "[" + std::to_string(i) + "]";
        }
    }
    return found;
}

}  // namespace

TEST(HostileInput, controlCharactersOfNamesNeverReachTheTerminal) {
    TestFolder folder;
    // A title sequence, a screen clear, a C1 introducer in UTF-8 and DEL; one entry fails, so
    // that its name also goes through the error message.
    ZipWriter({{.name = "title\x1b]0;pwned\x07.wad", .data = "a"},
               {.name = "clear\x1b[2J.wad", .data = "b", .stated = {.crc = 1}},
               {.name = "c1\xc2\x9b"
                        "31m.wad",
                .data = "c",
                .flags = 0x800},
               {.name = "del\x7f.wad", .data = "d"}})
        .Save(folder / "evil\x1b[5m.zip");
    const std::string archive = "'" + folder / "evil\x1b[5m.zip" + "' ";
    const std::string target = "'" + folder / "target" + "'";
    struct Row {
        std::string arguments;
        int status;
        bool namesEveryEntry;
    } rows[] = {
        {"install --yes " + archive + target, 1, false},
        {"plan " + archive + target, 0, true},
        {"list " + archive, 0, true},
        {"test " + archive, 1, true},
        {"install --yes --no-all " + archive + target, 1, true},  // the existing-file lines
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.arguments);
        const CliRun run = RunCli("--language english " + row.arguments, folder);
        EXPECT_EQ(run.status, row.status);
        EXPECT_EQ(ControlsIn(run.out, "\t\r\n"), "") << run.out;
        EXPECT_EQ(ControlsIn(run.err, "\r\n"), "") << run.err;
        if (row.namesEveryEntry) {
            EXPECT_NE(run.out.find("c1?31m.wad"), std::string::npos) << run.out;
        }
    }
    // The report keeps its line ends, and the names are otherwise as they are.
    const CliRun install =
        RunCli("--language english install --yes-all " + archive + target, folder);
    EXPECT_EQ(install.out, "evil?[5m.zip : clear?[2J.wad -> Crc mismatched\r\n");
    EXPECT_NE(install.err.find("File: \r\n     clear?[2J.wad\r\n"), std::string::npos);
    // What lands on disk keeps its name, controls and all.
    EXPECT_EQ(TestFolder::ReadFile(folder / "target/title\x1b]0;pwned\x07.wad"), "a");
}

TEST(HostileInput, unusableSettingsFileGivesDefaultsAndSaysWhy) {
    TestFolder packs;
    ZipWriter({ZipEntry{.name = "readme.txt", .data = "r"}}).Save(packs / "a.zip");
    const std::string plan = "--language english plan '" + packs / "a.zip'";
    const std::string defaults = "a.zip\treadme.txt\tdivers/readme.txt\n";
    struct Row {
        std::string name;
        std::function<void(const std::string& file)> make;
        std::string said;
    } rows[] = {
        {"pipe", [](const std::string& file) { ::mkfifo(file.c_str(), 0644); },
         "is not a regular file"},
        {"link to an endless device",
         [](const std::string& file) { std::filesystem::create_symlink("/dev/zero", file); },
         "is not a regular file"},
        {"folder", [](const std::string& file) { std::filesystem::create_directory(file); },
         "is not a regular file"},
        {"too large",
         [](const std::string& file) {
             std::ofstream(file) << "[Settings]\nMiscPath=big\n" << std::string(1 << 20, ';');
         },
         "is larger than 1 MiB"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TestFolder home;
        std::filesystem::create_directories(home / "config/Orbelle");
        row.make(home / "config/Orbelle/Zanvo.conf");
        const CliRun run = RunCli(plan, home, "timeout 60");
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.out, defaults);
        EXPECT_EQ(run.err, "zanvo-cli: The settings file " + home / "config/Orbelle/Zanvo.conf " +
                               row.said + "; the default settings apply.\n");
    }
}

TEST(HostileInput, anythingAtDestinationCountsAsExisting) {
    TestFolder folder;
    ZipWriter({{.name = "maps/de_x.bsp", .data = "new"}, {.name = "x.wad", .data = "new"}})
        .Save(folder / "a.zip");
    std::filesystem::create_directories(folder / "game/maps");
    std::filesystem::create_symlink("nowhere", folder / "game/maps/de_x.bsp");
    std::filesystem::create_symlink(folder / "game/elsewhere.wad", folder / "game/x.wad");
    const std::string arguments = "'" + folder / "a.zip' '" + folder / "game'";
    const CliRun plan = RunCli("--language english plan " + arguments, folder);
    EXPECT_EQ(plan.out,
              "a.zip\tmaps\\de_x.bsp\tmaps/de_x.bsp\texists\na.zip\tx.wad\tx.wad\texists\n");
    const CliRun install = RunCli("--language english install --no-all " + arguments, folder);
    EXPECT_EQ(install.status, 0);
    EXPECT_EQ(install.out,
              "a.zip : de_x.bsp -> Existing file not replaced\r\na.zip : x.wad -> Existing file "
              "not replaced\r\na.zip : Ok\r\n");
    EXPECT_EQ(std::filesystem::read_symlink(folder / "game/maps/de_x.bsp"), "nowhere");
    EXPECT_FALSE(std::filesystem::exists(folder / "game/maps/nowhere"));
    EXPECT_FALSE(std::filesystem::exists(folder / "game/elsewhere.wad"));
}

TEST(HostileInput, miscFolderLeadingThroughParentIsRefused) {
    TestFolder folder;
    ZipWriter({ZipEntry{.name = "notes.doc", .data = "n"}}).Save(folder / "a.zip");
    const std::string arguments = "'" + folder / "a.zip' '" + folder / "game/deep'";
    struct Row {
        std::string options, stored, shown;
    } rows[] = {
        {"--misc ../../up ", "", "..\\..\\up\\"},
        {"--misc=a/../../up ", "", "a\\..\\..\\up\\"},
        {"", "MiscPath=..\\\\\\\\up", "..\\up\\"},
    };
    for (const Row& row : rows)
        for (const std::string command : {"install --yes ", "plan "}) {
            SCOPED_TRACE(command + row.options + row.stored);
            TestFolder home;
            if (!row.stored.empty()) {
                home.WriteFile("config/Orbelle/Zanvo.conf", "[Settings]\n" + row.stored + "\n");
            }
            const CliRun run =
                RunCli("--language english " + command + row.options + arguments, home);
            EXPECT_EQ(run.status, 2);
            EXPECT_EQ(run.out, "");
            EXPECT_EQ(run.err, "The Misc folder may not lead through '..': " + row.shown + "\n");
            EXPECT_FALSE(std::filesystem::exists(folder / "game"));
        }
}

TEST(HostileInput, targetFoundUnderOtherCaseIsNamed) {
    TestFolder folder;
    ZipWriter({ZipEntry{.name = "x.wad", .data = "x"}}).Save(folder / "a.zip");
    folder.WriteFile("Game/Cstrike/keep.txt", "k");
    const std::string typed = folder / "game/cstrike";
    const std::string said = "Target folder used: " + folder / "Game/Cstrike/" +
                             " (its name differs from the one given only in case).\n";
    const CliRun plan =
        RunCli("--language english plan '" + folder / "a.zip' '" + typed + "'", folder);
    EXPECT_EQ(plan.err, said);
    EXPECT_EQ(plan.out, "a.zip\tx.wad\tx.wad\tnew\n");
    const CliRun install =
        RunCli("--language english install '" + folder / "a.zip' '" + typed + "'", folder);
    EXPECT_EQ(install.err, said + "Done.\n");
    EXPECT_EQ(TestFolder::ReadFile(folder / "Game/Cstrike/x.wad"), "x");
    // Spelled as it is, it is not mentioned.
    const CliRun exact = RunCli(
        "--language english plan '" + folder / "a.zip' '" + folder / "Game/Cstrike'", folder);
    EXPECT_EQ(exact.err, "");
}

TEST(Interrupts, endingWhileReplacingLeavesNoTemporaryFile) {
    TestFolder packs;
    // Long enough to write that the signal comes while the file is open.
    ZipWriter(
        {ZipEntry{.name = "big.wad", .data = std::string(size_t{256} << 20, '\0'), .method = 8}})
        .Save(packs / "big.zip");
    const std::vector<std::vector<int>> endings = {{SIGTERM}, {SIGHUP}, {SIGINT, SIGINT}};
    for (const std::vector<int>& signals : endings) {
        SCOPED_TRACE(signals.front());
        TestFolder scratch, game;
        game.WriteFile("big.wad", "old");
        const pid_t child = StartCli(
            {"--language", "english", "install", "--yes-all", packs / "big.zip", game.Path()},
            scratch);
        ASSERT_GT(child, 0);
        // Wait until the new file is open for writing in the game folder.
        bool writing = false;
        for (int look = 0; look < 20000 && !writing; ++look) {
            std::error_code error;
            const std::string fds = "/proc/" + std::to_string(child) + "/fd";
            for (const auto& fd : std::filesystem::directory_iterator(fds, error)) {
                std::error_code unreadable;
                const std::string to = std::filesystem::read_symlink(fd.path(), unreadable);
                writing = writing || to.rfind(game.Path(), 0) == 0;
            }
            if (!writing) {
                std::this_thread::sleep_for(std::chrono::microseconds(200));
            }
        }
        EXPECT_TRUE(writing);
        for (const int signal : signals) {
            ::kill(child, signal);
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        // Ended by the signal, with nothing left beside the file, which is whole either way.
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signals.front()) << status;
        EXPECT_EQ(game.Listing(), "big.wad\n");
        const auto size = std::filesystem::file_size(game / "big.wad");
        EXPECT_TRUE(size == 3 || size == size_t{256} << 20) << size;
    }
}

TEST(Terminal, questionsAndProgressSpeakTheWindowsWords) {
    TestFolder folder;
    std::filesystem::create_directories(folder / "src");
    ZipWriter(ZipWriter::FromWords("a1.wad=1 a2.wad=2 a3.wad=3")).Save(folder / "src/a.zip");
    ZipWriter({{.name = "x\x1b[2J.wad", .data = "new"}, {.name = "b2.wad", .data = "2"}})
        .Save(folder / "src/b.zip");
    folder.WriteFile("game/x\x1b[2J.wad", "old");
    const std::vector<std::string> arguments = {"--language", "english", "install", folder / "src",
                                                folder / "game"};
    const CliRun run = RunCliOnTerminal(arguments, folder, "n\n");
    EXPECT_EQ(run.status, 0);
    const std::string path = folder / "game/x?[2J.wad";
    EXPECT_NE(run.out.find("Replace existing file:\r\n    " + path + "\r\n    3 bytes "),
              std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("With file:\r\n    " + path + "\r\n    3 bytes 15/06/2020 12:34\r\n"),
              std::string::npos);
    EXPECT_EQ(TestFolder::ReadFile(folder / "game/x\x1b[2J.wad"), "old");
    // The second archive's line starts from its own counts, never from the first one's.
    EXPECT_NE(run.out.find("Archive 2/2, entry 0/2"), std::string::npos) << run.out;
    EXPECT_EQ(run.out.find("Archive 2/2, entry 3/3"), std::string::npos) << run.out;
}
