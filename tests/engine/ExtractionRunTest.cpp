// Whole runs over real archives: the report bytes, the status, the tree, what lands on disk,
// with faults struck while the run writes.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <regex>
#include <system_error>
#include <thread>

#include "CMemoryException.h"
#include "EngineKit.h"
#include "FileSystem.h"
#include "LocalTime.h"

TEST(ExtractionRun, reportStatusAndFilesTellTheRun) {
    struct Row {
        std::string name;
        std::vector<std::pair<std::string, std::string>> archives;  // file name, bytes
        bool fileSource, analyse;
        std::function<void(EngineRun&)> inSecond;  // once b.zip's second entry is described
        std::string report, finishes, total, tree, boxes, contents;
        size_t openErrors;
    };
    const auto box = [](const std::string& subject, const std::string& message) {
        return "File: \r\n     " + subject + "\r\n\r\nError : \r\n     " + message + "|";
    };
    const std::string a = Pack("maps/a.bsp"), c = Pack("maps/c.bsp"), up = "../up.wad=mine ";
    const std::string b =
        Pack("maps/b.bsp x.wad=" + std::string(99999, 'x') + " y.wad=" + std::string(99999, 'y'));
    const std::string abc = "a.zip\na.zip/maps/a.bsp\nb.zip\nb.zip/maps/b.bsp\n", ok = "Done.\n";
    const std::string outside = "The entry's path leads outside the folder it is extracted into";
    const std::string damaged = "Damaged or not a zip file", lost = "%T est introuvable.";
    const std::string climb = Pack("../up.wad=evil ok.wad"),
                      oneError = "Done:  1 Error(s). errors\n";
    const std::string climbed = "e.zip : up.wad -> " + outside + "\r\n";
    const std::string big(20'000'000, 'A'),
        notFolder = "%Tfoo/bar contient un chemin d'accès non valide.";
    // clang-format off
    const std::vector<Row> rows = {
        {"failing entry in the middle archive", {{"a.zip", a},
         {"b.zip", Pack("w.wad", {{.name = "maps/b1.bsp", .stated = {.crc = 1}}})}, {"c.zip", c}},
         false, true, nullptr, "a.zip : Ok\r\nb.zip : b1.bsp -> Crc mismatched\r\nc.zip : Ok\r\n",
         oneError, "[3] 0 1 2 3",
         "a.zip\na.zip/maps/a.bsp\nb.zip\nb.zip/maps/b1.bsp!\nb.zip/w.wad\nc.zip\nc.zip/maps/c.bsp\n",
         box("maps\\b1.bsp", "Crc mismatched"), "maps/a.bsp= maps/c.bsp= w.wad= " + up, 0},
        {"cancel confirmed in the second archive", {{"a.zip", a}, {"b.zip", b}, {"c.zip", c}},
         false, true, [](EngineRun& run) { run.run->RequestCancel(); },
         "a.zip : Ok\r\nCanceled by userb.zip : Ok\r\nCanceled by user",
         "Done:  0 Error(s). errors cancelled\nDone:  0 Error(s). errors cancelled\n", "[3] 0 1 2",
         abc + "b.zip/x.wad\nb.zip/y.wad\n", "", "maps/a.bsp= maps/b.bsp= x.wad=<99999> "
         "y.wad=<99999> " + up, 0},
        {"archive truncated", {{"a.zip", a}, {"b.zip", b}, {"c.zip", c}}, false, true,
         [](EngineRun& run) { std::filesystem::resize_file(run.source / "b.zip", 50000); },
         "a.zip : Ok\r\nb.zip : x.wad -> " + damaged + "\r\nb.zip : y.wad -> " + damaged +
         "\r\nc.zip : Ok\r\n", "Done:  2 Error(s). errors\n", "[3] 0 1 2 3",
         abc + "b.zip/x.wad!\nb.zip/y.wad!\nc.zip\nc.zip/maps/c.bsp\n",
         box("x.wad", damaged) + box("y.wad", damaged), "maps/a.bsp= maps/b.bsp= maps/c.bsp= " + up, 0},
        {"target removed", {{"a.zip", a}, {"b.zip", b}, {"c.zip", c}}, false, true,
         [](EngineRun& run) { FileSystem::RemoveTree(run.Target()); },
         "a.zip : Ok\r\nb.zip : x.wad -> " + lost + "\r\nb.zip : y.wad -> " + lost + "\r\nc.zip : "
         "c.bsp -> " + lost + "\r\n", "Done:  3 Error(s). errors\n", "[3] 0 1 2 3",
         abc + "b.zip/x.wad!\nb.zip/y.wad!\nc.zip\nc.zip/maps/c.bsp!\n",
         box("x.wad", lost) + box("y.wad", lost) + box("maps\\c.bsp", lost), up, 0},
        {"file source", {{"a.zip", a}, {"b.zip", b}}, true, true, nullptr, "a.zip : Ok\r\n", ok,
         "[1] 0 1", "a.zip\na.zip/maps/a.bsp\n", "", "maps/a.bsp= " + up, 0},
        {"folders only", {{"d.zip", Pack("maps/ maps/sub/")}}, false, true, nullptr,
         "d.zip : Ok\r\n", ok, "[1] 0 1", "d.zip\n", "", up, 0},
        {"damaged archive", {{"a.zip", "not a zip"}, {"c.zip", c}}, false, true, nullptr,
         "a.zip : Error on opening file !\r\nc.zip : Ok\r\n", oneError, "[2] 0 1 2",
         "a.zip\nc.zip\nc.zip/maps/c.bsp\n", "", "maps/c.bsp= " + up, 1},
        {"climbing out, sorted", {{"e.zip", climb}}, false, true, nullptr, climbed, oneError,
         "[1] 0 1", "e.zip\ne.zip/up.wad!\ne.zip/ok.wad\n", box("..\\up.wad", outside),
         "ok.wad= " + up, 0},
        {"climbing out, as stored", {{"e.zip", climb}}, false, false, nullptr, climbed, oneError,
         "[1] 0 1", "e.zip\ne.zip/up.wad!\ne.zip/ok.wad\n", box("..\\up.wad", outside),
         "ok.wad= " + up, 0},
        {"one destination twice", {{"d.zip", Pack("a/x.wad=1 b/x.wad=2 y.wad")}}, false, true,
         nullptr, "d.zip : x.wad -> Existing file not replaced\r\nd.zip : Ok\r\n", ok, "[1] 0 1",
         "d.zip\nd.zip/x.wad\nd.zip/y.wad\n", "", "x.wad=1 y.wad= " + up, 0},
        // A large first entry is still being written when the second one is decided.
        {"one file under two names", {{"d.zip", Pack("x.wad=" + big + " ./x.wad=2 a/../x.wad=3")}},
         false, false, nullptr, "d.zip : x.wad -> Existing file not replaced\r\nd.zip : x.wad -> "
         "Existing file not replaced\r\nd.zip : Ok\r\n", ok, "[1] 0 1", "d.zip\nd.zip/x.wad\n", "",
         "x.wad=<20000000> " + up, 0},
        {"a file, then a folder of its name", {{"d.zip", Pack("foo=" + big + " foo/bar=2")}},
         false, false, nullptr, "d.zip : bar -> " + notFolder + "\r\n", oneError, "[1] 0 1",
         "d.zip\nd.zip/foo\nd.zip/foo/bar!\n", box("foo\\bar", notFolder),
         "foo=<20000000> " + up, 0},
    };
    // clang-format on
    // Workers beside the run's thread change nothing the run shows, reports or writes; only a
    // change made from outside during the run meets the entries in flight at another moment.
    for (const Row& row : rows)
        for (const int threads : {0, 2}) {
            if (threads > 0 && (row.name == "archive truncated" || row.name == "target removed")) {
                continue;
            }
            SCOPED_TRACE(row.name + " with " + std::to_string(threads) + " workers");
            EngineRun run;
            run.threads = threads;
            run.options.Analyse = row.analyse;
            // Beside the target: neither to be asked about nor replaced.
            run.root.WriteFile("up.wad", "mine");
            for (const auto& [name, bytes] : row.archives) {
                run.source.WriteFile(name, bytes);
            }
            run.window.onPump = [&] {
                if (row.inSecond && run.window.labels == "a.zip|b.zip|" &&
                    run.window.archivePosition == 2) {
                    row.inSecond(run);
                }
            };
            const std::regex target("%T");
            EXPECT_EQ(run.Install(row.fileSource ? "a.zip" : ""),
                      std::regex_replace(row.report, target, run.Target()));
            EXPECT_EQ(run.window.finishes, row.finishes);
            EXPECT_EQ(row.finishes.find(run.run->StatusText()), 0u);
            EXPECT_EQ(run.window.total, row.total);
            EXPECT_EQ(run.window.tree, row.tree);
            EXPECT_EQ(run.window.boxes, std::regex_replace(row.boxes, target, run.Target()));
            EXPECT_EQ(run.Contents(), row.contents);
            EXPECT_EQ(run.prompts.errors.size(), row.openErrors);
            EXPECT_EQ(run.finishedUncancelled, row.finishes.find("cancelled") == std::string::npos);
            EXPECT_EQ(run.window.archivePosition, run.window.archiveRange);
        }
}

TEST(ExtractionRun, cancelBeforeAnArchiveStartsLeavesItUntouched) {
    // A cancel taken in the pump just before an archive (Ctrl+C during the last entry of the
    // previous one) must not let that archive be installed.
    EngineRun run;
    run.source.WriteFile("a.zip", Pack("maps/a.bsp"));
    run.source.WriteFile("b.zip", Pack("maps/b.bsp"));
    run.source.WriteFile("c.zip", Pack("maps/c.bsp"));
    run.window.onPump = [&] {
        if (run.window.total == "[3] 0 1" && !run.run->CancelRequested()) {
            run.run->RequestCancel();
        }
    };
    EXPECT_EQ(run.Install(), "a.zip : Ok\r\nCanceled by userCanceled by user");
    EXPECT_EQ(run.Contents(), "maps/a.bsp= ");
    EXPECT_EQ(run.window.labels, "a.zip|");
    EXPECT_FALSE(run.finishedUncancelled);
}

TEST(ExtractionRun, writeFailingPartWayLeavesOldFileWhole) {
    for (const bool existing : {false, true}) {
        SCOPED_TRACE(existing ? "replacing a file" : "new file");
        EngineRun run;
        run.options.Replace = 1;
        if (existing) {
            run.root.WriteFile("target/maps/big.bsp", "old");
        }
        run.source.WriteFile("f.zip", Pack("big.bsp=" + std::string(200000, 'b') + " next.wad=n"));
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            // Past the size limit a write fails with EFBIG, as on a full disk, instead of
            // killing the process. The report is far below the limit.
            const rlimit limit{65536, 65536};
            std::signal(SIGXFSZ, SIG_IGN);
            if (::setrlimit(RLIMIT_FSIZE, &limit) == 0) {
                run.source.WriteFile("report", run.Install());
            }
            ::_exit(0);
        }
        int status = 1;
        EXPECT_TRUE(::waitpid(child, &status, 0) == child && status == 0);
        EXPECT_EQ(TestFolder::ReadFile(run.source / "report"),
                  "f.zip : big.bsp -> Disque plein lors de l'accès à " + run.Target() +
                      "maps/big.bsp.\r\n");
        EXPECT_EQ(run.Contents(), existing ? "maps/big.bsp=old next.wad=n " : "next.wad=n ");
    }
}

TEST(ExtractionRun, runsOnItsOwnThreadWhenNoThreadIsGranted) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "only root can run the child as a user without threads to spare";
    }
    EngineRun run;
    run.threads = 2;
    run.source.WriteFile("f.zip", Pack("maps/a.bsp=a b.wad=b"));
    for (const std::string& folder : {run.root.Path(), run.Target(), run.source.Path()}) {
        ::chmod(folder.c_str(), 0777);
    }
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // A user at its process limit gets no thread at all (root's limit is not enforced).
        const rlimit limit{1, 1};
        if (::setrlimit(RLIMIT_NPROC, &limit) != 0 || ::setgid(65534) != 0 ||
            ::setuid(65534) != 0) {
            ::_exit(3);
        }
        try {
            std::thread([] {}).join();
            ::_exit(4);
        } catch (const std::system_error&) {
        }
        run.source.WriteFile("report", run.Install());
        ::_exit(0);
    }
    int status = 1;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 4) {
        GTEST_SKIP() << "the process limit left threads to spare";
    }
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(TestFolder::ReadFile(run.source / "report"), "f.zip : Ok\r\n");
    EXPECT_EQ(run.Contents(), "b.wad=b maps/a.bsp=a ");
}

TEST(ExtractionRun, existingFileDecisionFollowsSettingsAndAnswer) {
    struct Row {
        int replace, newer, year;  // year: the existing file's; the entry's is 2020
        std::string existing;
        OverwriteChoice answer;
        bool asked, replaced;
    };
    // clang-format off
    const std::vector<Row> rows = {
        {0, 0, 2020, "old!", overwriteNo, true, false}, {0, 1, 2019, "old!", overwriteYes, true, true},
        {0, 0, 2020, "old", overwriteNo, true, false}, {1, 0, 2019, "old", overwriteNo, false, true},
        {1, 1, 2020, "old!", overwriteNo, false, true}, {1, 1, 2019, "old!", overwriteNo, true, false},
        {1, 1, 2020, "old", overwriteYes, true, true},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(&row - rows.data());
        EngineRun run;
        run.options.Replace = row.replace;
        run.options.Newer = row.newer;
        run.window.answers = {row.answer};
        // Found whatever its case, and replaced under its own name.
        const std::string existing = run.Target() + "MAPS/DE_X.BSP";
        run.root.WriteFile("target/MAPS/DE_X.BSP", row.existing);
        const uint16_t date = ZipWriter::DosDate(row.year, 6, 15), time = 12 << 11 | 34 << 5;
        ASSERT_TRUE(FileSystem::SetFileTimes(existing, LocalTime::FromDos(date, time)));
        run.source.WriteFile("a.zip", Pack("de_x.bsp=new!"));
        const std::string kept = "a.zip : de_x.bsp -> Existing file not replaced\r\n";
        EXPECT_EQ(run.Install(), (row.replaced ? "" : kept) + "a.zip : Ok\r\n");
        const std::string line = std::to_string(row.existing.size()) + " bytes 15/06/" +
                                 std::to_string(row.year) + " 12:34|4 bytes 15/06/2020 12:34\n";
        EXPECT_EQ(run.window.questions, row.asked ? existing + "|" + line : "");
        EXPECT_EQ(run.Contents(), "MAPS/DE_X.BSP=" + (row.replaced ? "new!" : row.existing) + " ");
        EXPECT_EQ(run.window.tree, row.replaced ? "a.zip\na.zip/maps/de_x.bsp\n" : "a.zip\n");
    }
}

TEST(ExtractionRun, forAllAnswerHoldsInLaterArchives) {
    const std::string kept = " -> Existing file not replaced\r\n";
    for (const OverwriteChoice answer : {overwriteYesForAll, overwriteNoForAll}) {
        SCOPED_TRACE(answer);
        const bool yes = answer == overwriteYesForAll;
        EngineRun run;
        run.window.answers = {answer};
        run.root.WriteFile("target/maps/x.bsp", "old");
        run.root.WriteFile("target/maps/y.bsp", "old");
        run.source.WriteFile("a.zip", Pack("x.bsp=ax"));
        run.source.WriteFile("b.zip", Pack("y.bsp=by new.wad=bn"));
        EXPECT_EQ(run.Install(), yes ? "a.zip : Ok\r\nb.zip : Ok\r\n"
                                     : "a.zip : x.bsp" + kept + "a.zip : Ok\r\nb.zip : y.bsp" +
                                           kept + "b.zip : Ok\r\n");
        EXPECT_EQ(run.window.askedCount, 1u);
        EXPECT_EQ(run.Contents(), yes ? "maps/x.bsp=ax maps/y.bsp=by new.wad=bn "
                                      : "maps/x.bsp=old maps/y.bsp=old new.wad=bn ");
    }
}

TEST(ExtractionRun, workersShowWhatOneThreadShows) {
    // Far more entries than may wait for their outcome, with failures, kept files and
    // destinations shared by two entries spread among them: the workers must give what one
    // thread gives, the tree and every box in the same order.
    std::vector<ZipEntry> entries;
    for (int i = 0; i < 400; ++i) {
        ZipEntry entry{.name = "f" + std::to_string(i) + ".wad",
                       .data = std::string(static_cast<size_t>(i * 37 % 5000), 'a' + i % 26),
                       .method = static_cast<uint16_t>(i % 3 == 0 ? 0 : 8)};
        if (i % 41 == 7) {
            entry.stated.crc = 1;
        }
        if (i % 53 == 11) {
            entry.name = "other/f" + std::to_string(i - 9) + ".wad";  // the same destination
        }
        entries.push_back(std::move(entry));
    }
    const std::string archive = Pack("", entries);
    struct Seen {
        std::string report, tree, boxes, contents, finishes;
    };
    const auto runWith = [&](int threads) {
        EngineRun run;
        run.threads = threads;
        run.root.WriteFile("target/f100.wad", "old");
        run.root.WriteFile("target/F300.WAD", "old");
        run.source.WriteFile("a.zip", archive);
        run.source.WriteFile("b.zip", archive);
        const std::string report = run.Install();
        return Seen{report, run.window.tree, run.window.boxes, run.Contents(), run.window.finishes};
    };
    const Seen one = runWith(0);
    EXPECT_NE(one.report.find("a.zip : f7.wad -> Crc mismatched"), std::string::npos);
    EXPECT_NE(one.report.find("a.zip : f300.wad -> Existing file not replaced"), std::string::npos);
    EXPECT_NE(one.report.find("a.zip : f2.wad -> Existing file not replaced"), std::string::npos);
    for (int attempt = 0; attempt < 3; ++attempt) {
        const Seen many = runWith(2);
        EXPECT_EQ(many.report, one.report);
        EXPECT_EQ(many.tree, one.tree);
        EXPECT_EQ(many.boxes, one.boxes);
        EXPECT_EQ(many.contents, one.contents);
        EXPECT_EQ(many.finishes, one.finishes);
    }
}

TEST(ExtractionRun, foreignErrorEndsRunThroughItsOwnFinish) {
    struct Row {
        std::string name;
        std::function<void()> strike;
        std::string message;
    } rows[] = {
        {"thread refused",
         [] {
             throw std::system_error(
                 std::make_error_code(std::errc::resource_unavailable_try_again));
         },
         "Internal error"},
        {"memory ran out", [] { throw std::bad_alloc(); }, CMemoryException().ErrorMessage()},
    };
    for (const Row& row : rows)
        for (const int threads : {0, 2}) {
            SCOPED_TRACE(row.name + " with " + std::to_string(threads) + " workers");
            EngineRun run;
            run.threads = threads;
            run.source.WriteFile("a.zip", Pack("maps/a.bsp"));
            run.source.WriteFile("b.zip", Pack("b1.wad b2.wad b3.wad"));
            run.source.WriteFile("c.zip", Pack("maps/c.bsp"));
            // Strikes while b.zip's second entry is on its way.
            run.window.onPump = [&] {
                if (run.window.labels == "a.zip|b.zip|" && run.window.archivePosition == 2) {
                    row.strike();
                }
            };
            EXPECT_EQ(run.Install(), "a.zip : Ok\r\nb.zip : " + row.message + "\r\n");
            EXPECT_EQ(run.window.finishes, "Done:  1 Error(s). errors\n");
            EXPECT_EQ(run.run->ErrorCount(), 1);
            EXPECT_TRUE(run.finishedUncancelled);
            EXPECT_NE(run.window.boxes.find(row.message), std::string::npos);
        }
}
