// The install journal as a user meets it through zanvo-cli: install, history, verify and
// uninstall over real targets, and journals that cannot be trusted.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <random>
#include <set>
#include <sstream>

#include "CliRun.h"
#include "TestFolder.h"
#include "ZipWriter.h"

namespace fs = std::filesystem;

namespace {

// Every file, link and folder below root but the journals: its kind, content (or link text),
// modification time to the nanosecond and mode.
std::string Snapshot(const std::string& root) {
    std::map<std::string, std::string> items;
    for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator();
         ++it) {
        if (it->path().filename() == ".zanvo") {
            it.disable_recursion_pending();
            continue;
        }
        const std::string name = it->path().filename().string();
        if (name == "stderr.txt") {
            continue;  // what the tool said, not what it did
        }
        // A file that replaces another has a temporary name for the instant before its rename;
        // a kill just then leaves that name (the file under it is whole).
        if (name.starts_with(".zanvo-") && name.ends_with(".part")) {
            continue;
        }
        struct stat st {};
        ::lstat(it->path().c_str(), &st);
        std::string item = std::to_string(st.st_mode) + " ";
        if (S_ISREG(st.st_mode)) {
            item += std::to_string(st.st_mtim.tv_sec) + "." + std::to_string(st.st_mtim.tv_nsec) +
                    " " + TestFolder::ReadFile(it->path());
        } else if (S_ISLNK(st.st_mode)) {
            item += fs::read_symlink(it->path()).string();
        }
        items[fs::relative(it->path(), root).string()] = item;
    }
    std::string text;
    for (const auto& [path, item] : items) {
        text += path + " " + item + "\n";
    }
    return text;
}

void SetTime(const std::string& path, time_t when) {
    const timespec times[2] = {{when, 0}, {when, 123456789}};
    ::utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW);
}

// The journal names of a target, oldest first.
std::vector<std::string> JournalNames(const std::string& target) {
    std::set<std::string> names;
    if (fs::is_directory(target + ".zanvo/journal")) {
        for (const auto& entry : fs::directory_iterator(target + ".zanvo/journal")) {
            names.insert(entry.path().stem().string());
        }
    }
    return {names.begin(), names.end()};
}

struct JournalTest : ::testing::Test {
    TestFolder scratch;
    const std::string target = scratch / "game/";

    JournalTest() {
        // What the user had: a map and a sound the packs replace, a file of their own.
        scratch.WriteFile("game/maps/de_x.bsp", "the user's map");
        scratch.WriteFile("game/sound/a.wav", "the user's sound");
        scratch.WriteFile("game/notes.txt", "mine");
        SetTime(target + "maps/de_x.bsp", 1000000000);
        SetTime(target + "sound/a.wav", 1100000000);
        fs::permissions(target + "notes.txt", fs::perms::owner_read | fs::perms::owner_write);
    }
    void Pack(const std::string& name, const std::string& words) const {
        ZipWriter(ZipWriter::FromWords(words)).Save(scratch / name);
    }
    CliRun Cli(const std::string& arguments) const {
        return RunCli("--language english " + arguments, scratch);
    }
    CliRun Install(const std::string& archive, const std::string& more = "--yes-all") const {
        return Cli("install " + more + " '" + scratch / archive + "' '" + target + "'");
    }
};

}  // namespace

TEST_F(JournalTest, installVerifyUninstallLeavesTheTargetAsItWas) {
    Pack("pack.zip",
         "maps/de_x.bsp=new sound/a.wav=newer models/props/crate/crate.mdl=m sound/amb/wind.wav=w");
    const std::string before = Snapshot(target);
    ASSERT_EQ(Install("pack.zip").status, 0);
    const std::string installed = Snapshot(target);
    ASSERT_NE(installed, before);

    const CliRun history = Cli("history '" + target + "'");
    EXPECT_EQ(history.status, 0);
    const std::string name = JournalNames(target).at(0);
    EXPECT_NE(history.out.find("\tpack.zip\t4\t2\t" + name + "\tinstalled\n"), std::string::npos)
        << history.out;
    const CliRun verify = Cli("verify '" + target + "' PACK.ZIP");
    EXPECT_EQ(verify.status, 0);
    EXPECT_EQ(verify.out,
              "pack.zip\tmaps/de_x.bsp\tOK\npack.zip\tsound/a.wav\tOK\n"
              "pack.zip\tmodels/props/crate/crate.mdl\tOK\npack.zip\tsound/amb/wind.wav\tOK\n");

    const std::string plan =
        "remove\tmaps/de_x.bsp\nremove\tsound/a.wav\nremove\tmodels/props/crate/crate.mdl\n"
        "remove\tsound/amb/wind.wav\nrestore\tmaps/de_x.bsp\nrestore\tsound/a.wav\n"
        "rmdir\tsound/amb\nrmdir\tmodels/props/crate\nrmdir\tmodels/props\nrmdir\tmodels\n";
    const CliRun dryRun = Cli("uninstall --dry-run '" + target + "' pack.zip");
    EXPECT_EQ(dryRun.status, 0);
    EXPECT_EQ(dryRun.out, plan);
    EXPECT_EQ(dryRun.err, "Dry run: nothing was changed.\n");
    EXPECT_EQ(Snapshot(target), installed);

    const CliRun uninstall = Cli("uninstall '" + target + "' pack.zip");
    EXPECT_EQ(uninstall.status, 0);
    EXPECT_EQ(uninstall.out, plan);
    EXPECT_EQ(uninstall.err, "pack.zip uninstalled: 4 removed, 2 restored, 0 kept.\n");
    EXPECT_EQ(Snapshot(target), before);

    const CliRun again = Cli("uninstall '" + target + "' pack.zip");
    EXPECT_EQ(again.status, 0);
    EXPECT_EQ(again.out, "");
    EXPECT_EQ(again.err, "pack.zip was uninstalled already: nothing to do.\n");

    // The uninstall was journalled: taking it out puts the pack back, times included.
    const std::vector<std::string> names = JournalNames(target);
    ASSERT_EQ(names.size(), 2u);
    EXPECT_EQ(Cli("uninstall '" + target + "' " + names[1]).status, 0);
    EXPECT_EQ(Snapshot(target), installed);
    EXPECT_EQ(Cli("verify '" + target + "'").status, 0);
    // The user's files, moved on by the reversal, still come back.
    EXPECT_EQ(Cli("uninstall '" + target + "' pack.zip").status, 0);
    EXPECT_EQ(Snapshot(target), before);
    EXPECT_NE(Cli("history '" + target + "'").out.find("(reversed)"), std::string::npos);
}

TEST_F(JournalTest, aRunThatDiedIsTakenBackFromItsBackupFolder) {
    // What a run killed before its journal leaves: the backup folder it named first, holding a
    // second name of each file it was about to replace; de_x.bsp was replaced, a.wav not yet.
    const std::string before = Snapshot(target);
    const std::string backup = target + ".zanvo/backup/20261208T101010.000001Z-pack.zip/";
    fs::create_directories(backup + "maps");
    fs::create_directories(backup + "sound");
    fs::create_hard_link(target + "maps/de_x.bsp", backup + "maps/de_x.bsp");
    fs::create_hard_link(target + "sound/a.wav", backup + "sound/a.wav");
    fs::remove(target + "maps/de_x.bsp");
    scratch.WriteFile("game/maps/de_x.bsp", "the pack's map");
    const CliRun history = Cli("history '" + target + "'");
    EXPECT_EQ(history.out,
              "2026-12-08T10:10:10.000001Z\tpack.zip\t0\t2\t20261208T101010.000001Z-pack.zip"
              "\tinterrupted\n");
    const CliRun uninstall = Cli("uninstall '" + target + "' pack.zip");
    EXPECT_EQ(uninstall.status, 0);
    EXPECT_EQ(uninstall.out, "remove\tmaps/de_x.bsp\nrestore\tmaps/de_x.bsp\n");
    EXPECT_EQ(Snapshot(target), before);
    EXPECT_FALSE(fs::exists(backup));
}

TEST_F(JournalTest, aLaterPackOwnsTheFilesItReplaced) {
    Pack("a.zip", "maps/de_x.bsp=A maps/de_x.txt=A");
    Pack("b.zip", "maps/de_x.bsp=B");
    const std::string before = Snapshot(target);
    ASSERT_EQ(Install("a.zip").status, 0);
    ASSERT_EQ(Install("b.zip").status, 0);

    const CliRun verify = Cli("verify '" + target + "'");
    EXPECT_EQ(verify.status, 0);
    EXPECT_EQ(verify.out,
              "a.zip\tmaps/de_x.bsp\treplaced by b.zip\na.zip\tmaps/de_x.txt\tOK\n"
              "b.zip\tmaps/de_x.bsp\tOK\n");
    const CliRun first = Cli("uninstall '" + target + "' a.zip");
    EXPECT_EQ(first.status, 0);
    EXPECT_EQ(first.out, "keep\tmaps/de_x.bsp\treplaced by b.zip\nremove\tmaps/de_x.txt\n");
    EXPECT_EQ(TestFolder::ReadFile(target + "maps/de_x.bsp"), "B");
    // The user's map, which a.zip had replaced, comes back when b.zip goes.
    EXPECT_EQ(Cli("uninstall '" + target + "' b.zip").status, 0);
    EXPECT_EQ(Snapshot(target), before);
}

TEST_F(JournalTest, changedAndMissingFilesAreReportedAndKept) {
    Pack("pack.zip", "maps/de_x.bsp=new maps/de_y.bsp=y maps/de_z.bsp=z");
    ASSERT_EQ(Install("pack.zip").status, 0);
    scratch.WriteFile("game/maps/de_y.bsp", "edited by the user");
    fs::remove(target + "maps/de_z.bsp");
    const CliRun verify = Cli("verify '" + target + "' pack.zip");
    EXPECT_EQ(verify.status, 1);
    EXPECT_EQ(verify.out,
              "pack.zip\tmaps/de_x.bsp\tOK\npack.zip\tmaps/de_y.bsp\tchanged\n"
              "pack.zip\tmaps/de_z.bsp\tmissing\n");
    const CliRun uninstall = Cli("uninstall '" + target + "' pack.zip");
    EXPECT_EQ(uninstall.status, 0);
    EXPECT_EQ(uninstall.out,
              "remove\tmaps/de_x.bsp\nkeep\tmaps/de_y.bsp\tchanged since the install\n"
              "keep\tmaps/de_z.bsp\talready gone\nrestore\tmaps/de_x.bsp\n");
    EXPECT_EQ(TestFolder::ReadFile(target + "maps/de_y.bsp"), "edited by the user");
    EXPECT_EQ(TestFolder::ReadFile(target + "maps/de_x.bsp"), "the user's map");
}

TEST_F(JournalTest, untrustedJournalsRemoveNothing) {
    // Each row spoils the journal of an install of de_x.bsp (content "new") its own way; the
    // victim, outside the target or beside it, has the very content the journal names.
    struct Row {
        const char* name;
        std::function<void(const std::string& journal)> spoil;
        std::string message;
    } rows[] = {
        {"not JSON", [](const std::string& j) { fs::resize_file(j, 10); }, "is not JSON"},
        {"climbs out",
         [](const std::string& j) {
             std::string text = TestFolder::ReadFile(j);
             text.replace(text.find("maps/de_x.bsp"), 13, "../victim.bsp");
             std::FILE* f = std::fopen(j.c_str(), "w");
             std::fputs(text.c_str(), f);
             std::fclose(f);
         },
         "names a path outside the target (../victim.bsp)"},
        {"journal is a link",
         [this](const std::string& j) {
             fs::rename(j, scratch / "elsewhere.json");
             fs::create_symlink(scratch / "elsewhere.json", j);
         },
         "is not a regular file"},
        {"folder on the way is a link",
         [this](const std::string&) {
             fs::rename(target + "maps", scratch / "maps-elsewhere");
             fs::create_symlink(scratch / "maps-elsewhere", target + "maps");
         },
         "leads through a symbolic link (maps/de_x.bsp)"},
        {"journal folder is a link",
         [this](const std::string&) {
             fs::rename(target + ".zanvo", scratch / "zanvo-elsewhere");
             fs::create_symlink(scratch / "zanvo-elsewhere", target + ".zanvo");
         },
         ".zanvo is a symbolic link"},
    };
    Pack("pack.zip", "maps/de_x.bsp=new");
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        fs::remove_all(target);
        fs::remove_all(scratch / "maps-elsewhere");
        fs::remove_all(scratch / "zanvo-elsewhere");
        scratch.WriteFile("game/maps/keep.txt", "k");
        ASSERT_EQ(Install("pack.zip").status, 0);
        scratch.WriteFile("victim.bsp", "new");
        row.spoil(target + ".zanvo/journal/" + JournalNames(target).at(0) + ".json");
        const std::string before = Snapshot(scratch.Path());
        const CliRun uninstall = Cli("uninstall '" + target + "' pack.zip");
        EXPECT_EQ(uninstall.status, 2);
        EXPECT_NE(uninstall.err.find(row.message), std::string::npos) << uninstall.err;
        EXPECT_EQ(Snapshot(scratch.Path()), before);
    }
}

TEST_F(JournalTest, journalCanBeTurnedOffAndArchivesCannotWriteIt) {
    Pack("pack.zip", "maps/de_x.bsp=new");
    ASSERT_EQ(Install("pack.zip", "--yes-all --no-journal").status, 0);
    EXPECT_FALSE(fs::exists(target + ".zanvo"));
    scratch.WriteFile("config/Orbelle/Zanvo.conf", "[Settings]\nJournal=0\n");
    ASSERT_EQ(Install("pack.zip").status, 0);
    EXPECT_FALSE(fs::exists(target + ".zanvo"));
    ASSERT_EQ(Install("pack.zip", "--yes-all --journal").status, 0);
    EXPECT_TRUE(fs::exists(target + ".zanvo"));

    // A journal planted by an archive could make a later uninstall take the user's files.
    Pack("planted.zip", ".zanvo/journal/x.json={} .ZANVO=x");
    const std::string kOutside =
        "The entry would be written into the folder of the install journals";
    const CliRun plan = Cli("plan --no-sort '" + scratch / "planted.zip' '" + target + "'");
    EXPECT_EQ(plan.out, "planted.zip\t.zanvo\\journal\\x.json\trefused\t" + kOutside +
                            "\nplanted.zip\t.ZANVO\trefused\t" + kOutside + "\n");
}

TEST_F(JournalTest, killedRunsLeaveCompleteFilesAndJournals) {
    // Three archives that replace the user's files and each other's, so that a kill falls
    // anywhere: inside a file, between a backup and its rename, while a journal is written.
    auto content = [](char archive, int i) { return std::string(20000 + i, archive); };
    std::string userWords;
    for (const char archive : {'a', 'b', 'c'}) {
        std::vector<ZipEntry> entries;
        for (int i = 0; i < 40; ++i) {
            entries.push_back({.name = "maps/m" + std::to_string(i) + ".bsp",
                               .data = content(archive, i),
                               .method = 8});
        }
        ZipWriter(entries).Save(scratch / (std::string("src/") + archive + ".zip"));
    }
    for (int i = 0; i < 40; ++i) {
        userWords += " maps/m" + std::to_string(i) + ".bsp=user" + std::to_string(i);
    }
    std::mt19937 random(12345);
    for (int round = 0; round < 50; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        fs::remove_all(target);
        for (const auto& entry : ZipWriter::FromWords(userWords)) {
            scratch.WriteFile("game/" + entry.name, entry.data);
        }
        const std::string before = Snapshot(target);
        const pid_t child = StartCli({"install", "--yes-all", scratch / "src", target}, scratch);
        ::usleep(std::uniform_int_distribution<useconds_t>(0, 200000)(random));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        for (int i = 0; i < 40; ++i) {
            const std::string file =
                TestFolder::ReadFile(target + "maps/m" + std::to_string(i) + ".bsp");
            EXPECT_TRUE(file == "user" + std::to_string(i) || file == content('a', i) ||
                        file == content('b', i) || file == content('c', i))
                << "m" << i << " is not whole: " << file.size() << " bytes";
        }
        // Every journal is complete and verifiable; taking out every install recorded, journal
        // or backup folder of a run that died, newest first, brings back every file replaced.
        const CliRun verify = Cli("verify '" + target + "'");
        EXPECT_EQ(verify.status, 0) << verify.err;
        EXPECT_EQ(verify.out.find("\tmissing"), std::string::npos);
        const CliRun history = Cli("history '" + target + "'");
        std::vector<std::string> names;
        std::istringstream lines(history.out);
        for (std::string line; std::getline(lines, line);) {
            const size_t end = line.rfind('\t'), start = line.rfind('\t', end - 1);
            names.push_back(line.substr(start + 1, end - start - 1));
        }
        for (const std::string& name : names) {
            EXPECT_EQ(Cli("uninstall '" + target + "' " + name).status, 0);
        }
        EXPECT_EQ(Snapshot(target), before);
    }
}
