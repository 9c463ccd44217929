// Entries whose stored names are spelled oddly (blanks, dots, quotes, ':', mixed separators,
// look-alike letters, other cases): install writes exactly where plan says, asks about exactly
// what is there, and a second install leaves everything as it was.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <set>
#include <sstream>

#include "CaseFold.h"
#include "CliRun.h"
#include "TestFolder.h"
#include "ZipWriter.h"

namespace {

// What stands at a path below a folder: a file's bytes, a link's text, or nothing for a folder;
// with its time to the nanosecond and its inode, so that a file written again shows.
struct Node {
    std::string content;
    long long mtime = 0;
    ino_t inode = 0;
    bool operator==(const Node&) const = default;
};
using Snapshot = std::map<std::string, Node>;

Snapshot Take(const std::string& root) {
    Snapshot nodes;
    for (auto it = std::filesystem::recursive_directory_iterator(root);
         it != std::filesystem::recursive_directory_iterator(); ++it) {
        const auto& entry = *it;
        if (entry.path().filename() == ".zanvo") {
            it.disable_recursion_pending();  // the journals: tested on their own
            continue;
        }
        const std::string path = entry.path().string();
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0) {
            continue;
        }
        Node node{{}, st.st_mtim.tv_sec * 1'000'000'000LL + st.st_mtim.tv_nsec, st.st_ino};
        if (S_ISLNK(st.st_mode)) {
            node.content = "-> " + std::filesystem::read_symlink(entry.path()).string();
        } else if (S_ISREG(st.st_mode)) {
            node.content = TestFolder::ReadFile(path);
        }
        nodes[path.substr(root.size())] = node;
    }
    return nodes;
}

// Paths of files (and links) that are new or another file than before.
std::set<std::string> Written(const Snapshot& before, const Snapshot& after) {
    std::set<std::string> written;
    for (const auto& [path, node] : after) {
        const auto old = before.find(path);
        if (node.content.empty()) {
            continue;  // a folder: every file and link of these tests holds something
        }
        if (old == before.end() || old->second.inode != node.inode) {
            written.insert(path);
        }
    }
    return written;
}

struct PlanLine {
    std::string archive, inner, where, state;
};

std::vector<PlanLine> ParsePlan(const std::string& out) {
    std::vector<PlanLine> lines;
    std::istringstream in(out);
    for (std::string line; std::getline(in, line);) {
        std::istringstream split(line);
        PlanLine& fields = lines.emplace_back();
        for (std::string* field : {&fields.archive, &fields.inner, &fields.where, &fields.state}) {
            std::getline(split, *field, '\t');
        }
    }
    return lines;
}

size_t Count(const std::string& text, const std::string& part) {
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

}  // namespace

TEST(OddNames, installWritesWherePlanSaysAndReinstallChangesNothing) {
    TestFolder packs;
    // Each entry has content of its own, none empty, so that every written file shows.
    // clang-format off
    ZipWriter writer(ZipWriter::Numbered({
        "dm_x/maps/dm_x.bsp", "server.cfg.", "maps/de_dust2.res.", "dm_x/readme.txt.",
        "dm_x/readme.txt", " models/x.mdl", "maps/de_y.res ", "\tsound/t.wav", "sound/u.wav\t",
        "\"q.wad\"", "a/x:y.mdl", "./x.wad", "a/../y.wad", "mixed\\sep/z.txt",
        "\xEF\xBD\x8Dodels/fullwidth.mdl", "\xCE\x9Codels/greek.mdl", "Case/File.TXT",
        "case/file.txt", "CASE/FILE.txt", "notes.doc", "models//double.mdl", "models/./dot.mdl",
        "dot./x.txt", " spaced folder /s.wav", "x/...", "models/link.mdl", "../../etc/evil.cfg",
        "a/../../evil.txt", "/abs.wad", "c:drive.wad", "dup.wad", "dup.wad"}));
    // clang-format on
    std::filesystem::create_directories(packs / "src");
    writer.Save(packs / "src/odd.zip");
    writer.entries = {{.name = "Server.CFG", .data = "second archive"},
                      {.name = "MODELS/X.MDL", .data = "second archive too"},
                      {.name = "Y.WAD", .data = "made by the first archive"}};
    writer.Save(packs / "src/other.zip");
    const std::string src = "'" + packs / "src" + "' ";

    // The stored Misc folder in the spellings a hand-edited settings file may hold.
    const std::vector<std::string> miscSettings = {"", "MiscPath=extras\n",
                                                   R"(MiscPath=\\\\divers)"
                                                   "\n",
                                                   "MiscPath=divers//\n"};
    for (const bool sort : {true, false})
        for (const std::string& misc : miscSettings) {
            SCOPED_TRACE((sort ? "sorted, " : "as stored, ") + misc);
            TestFolder home, root;
            if (!misc.empty()) {
                home.WriteFile("config/Orbelle/Zanvo.conf", "[Settings]\n" + misc);
            }
            root.WriteFile("beside.txt", "mine");
            const std::string target = root / "game/";
            for (const char* existing :
                 {"server.cfg", "divers/dm_x/readme.txt", "models/x.mdl", "maps/de_y.res",
                  "Sound/T.WAV", "extras/notes.doc", "divers/notes.doc", "notes.doc"}) {
                root.WriteFile("game/" + std::string(existing), "orig");
            }
            std::filesystem::create_directories(target + "models");
            std::filesystem::create_symlink("nowhere", target + "models/link.mdl");
            const std::string options = std::string("--language english ") +
                                        (sort ? "--sort " : "--no-sort ") + src + "'" + target +
                                        "'";
            const Snapshot before = Take(target);

            const CliRun plan = RunCli("plan " + options, home);
            ASSERT_EQ(plan.status, 0) << plan.err;
            std::set<std::string> planned, plannedFolded;
            size_t installable = 0, refused = 0;
            for (const PlanLine& line : ParsePlan(plan.out)) {
                if (line.where == "refused") {
                    ++refused;
                    continue;
                }
                if (line.where == "skip") {
                    continue;
                }
                ++installable;
                // What plan calls existing is there, whatever its case, or is written by an
                // entry before it; nothing else is.
                bool there = !plannedFolded.insert(CaseFold::Fold(line.where)).second;
                for (const auto& [path, node] : before) {
                    there = there || CaseFold::Fold(path) == CaseFold::Fold(line.where);
                }
                EXPECT_EQ(line.state, there ? "exists" : "new") << line.inner;
                planned.insert(line.where);
            }
            EXPECT_EQ(refused, 4u);

            // server.cfg is risky; what is looked at here is where each name lands.
            const CliRun first = RunCli("install --yes-all --allow-risky " + options, home);
            EXPECT_EQ(first.status, 1) << first.err;  // the refused entries
            const Snapshot installed = Take(target);
            // Path for path, as spelled on disk.
            EXPECT_EQ(Written(before, installed), planned);
            EXPECT_EQ(root.Listing().find("evil"), std::string::npos);
            EXPECT_EQ(TestFolder::ReadFile(root / "beside.txt"), "mine");

            // Everything is there now: kept, untouched, and said to be kept, one line each.
            const CliRun second = RunCli("install --no-all --allow-risky " + options, home);
            EXPECT_EQ(second.status, 1);
            EXPECT_EQ(Take(target), installed);
            EXPECT_EQ(Count(second.out, " -> Existing file not replaced\r\n"), installable);
        }
}
