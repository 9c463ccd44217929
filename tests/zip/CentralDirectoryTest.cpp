// Opening archives: the end record, the central directory, names, attributes, split volumes.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>

#include "CZipArchive.h"
#include "ZipTestKit.h"

namespace {

const std::string kEndSignature("PK\5\6", 4);

// A small archive of one deflated entry, changed by tweak.
std::string Zip(const std::function<void(ZipWriter&)>& tweak = {}) {
    ZipWriter writer({ZipEntry{.name = "maps/de_x.bsp", .data = Text(3000), .method = 8}});
    if (tweak) {
        tweak(writer);
    }
    return writer.Build();
}

}  // namespace

TEST(CentralDirectory, opensOnlyConsistentArchives) {
    struct Row {
        std::string fault, bytes, outcome;
        int count;
    };
    // clang-format off
    std::vector<Row> rows = {
        {"emptyFile", "", "zip 116", 0},
        {"noEndSignature", Text(5000), "zip 116", 0},
        {"truncatedEndRecord", kEndSignature + "0123", "zip 101", 0},
        {"commentEndsInBareSignature", Zip([](auto& w) { w.comment = "xx" + kEndSignature; }),
         "zip 101", 0},
        {"commentHoldsLaterEndRecord",
         Zip([](auto& w) { w.comment = kEndSignature + std::string(18, '\0'); }), "ok", 0},
        {"longestComment", Zip([](auto& w) { w.comment = Text(65535); }), "ok", 1},
        {"selfExtractorStub", Zip([](auto& w) { w.junk = Text(7000); }), "ok", 1},
        {"stubCountedInOffsets",
         Zip([](auto& w) { w.junk = Text(7000); w.offsetsCountJunk = true; }), "ok", 1},
        {"noEntries", Zip([](auto& w) { w.entries.clear(); }), "ok", 0},
        {"entriesWithoutDirectory", Zip([](auto& w) { w.directorySize = 0; }), "zip 101", 0},
        {"directoryWithoutEntries", Zip([](auto& w) { w.totalEntries = 0; }), "zip 101", 0},
        // One byte more than the one record of maps/de_x.bsp.
        {"directoryRunsIntoEndRecord", Zip([](auto& w) { w.directorySize = 46 + 13 + 1; }),
         "zip 101", 0},
        {"moreEntriesThanRecords", Zip([](auto& w) { w.totalEntries = 2; }), "zip 101", 0},
        {"fewerEntriesThanRecords", Zip([](auto& w) {
             w.entries.push_back({.name = "b.txt", .data = "b"});
             w.totalEntries = 1;
         }), "zip 101", 0},
        {"directoryBytesWithoutRecords", Zip([](auto& w) {
             w.entries.clear();
             w.junk = Text(100);
             w.totalEntries = 0;
             w.directorySize = 50;
         }), "zip 101", 0},
        {"twoEntriesAtOnePosition",
         Zip([](auto& w) { w.entries.push_back({.name = "b", .data = "b", .offset = 0}); }),
         "zip 101", 0},
        {"directoryOutOfDataOrder", Zip([](auto& w) {
             w.entries.push_back({.name = "b.txt", .data = "b"});
             w.entries.push_back({.name = "c.txt", .data = "c", .method = 8});
             w.centralOrder = {2, 0, 1};
         }), "ok", 3},
    };
    // clang-format on
    ZipWriter writer({ZipEntry{.name = "a.txt", .data = "a"}});
    std::string badSignature = writer.Build();
    badSignature[writer.centralAt + 2] = 'X';
    rows.push_back({"badCentralSignature", badSignature, "zip 101", 0});
    // Chunks of the backward search overlap, so an end record on their boundary is found.
    for (size_t length = 32745; length <= 32750; ++length) {
        rows.push_back({"commentOf" + std::to_string(length),
                        Zip([&](auto& w) { w.comment = Text(length); }), "ok", 1});
    }

    for (const Row& row : rows) {
        SCOPED_TRACE(row.fault);
        TestFolder folder;
        folder.WriteFile("pack.zip", row.bytes);
        CZipArchive archive;
        archive.SetBufferSizes(65536, 32768);
        int count = 0;
        EXPECT_EQ(Outcome([&] {
                      archive.OpenArchive(folder / "pack.zip", CZipArchive::openReadOnly);
                      count = archive.GetCount();
                      // Indices follow the entries' data, whatever the directory's order.
                      for (int i = 0; i < count; ++i) {
                          EXPECT_TRUE(archive.TestEntry(i));
                          EXPECT_TRUE(i == 0 || archive.FindHeader(i - 1)->localHeaderOffset <
                                                    archive.FindHeader(i)->localHeaderOffset);
                      }
                  }),
                  row.outcome);
        EXPECT_EQ(count, row.count);
    }
}

TEST(CentralDirectory, readsEveryRecordPastWrappedCount) {
    // The end record counts entries in 16 bits: 65,536 entries state 0, 70,000 state 4,464. The
    // directory's size shows the records that follow.
    const std::vector<ZipEntry> many = ZipWriter::TinyEntries(70000);
    uint32_t manySize = 0;
    for (const ZipEntry& e : many) {
        manySize += static_cast<uint32_t>(46 + e.name.size());
    }
    struct Row {
        std::string archive;
        size_t entries;
        std::function<void(ZipWriter&)> tweak;
        std::string outcome;
        int count;
    };
    const std::vector<Row> rows = {
        {"largestCount", 65535, {}, "ok", 65535},
        {"countWrappedToZero", 65536, {}, "ok", 65536},
        {"countWrappedPastZero", 70000, {}, "ok", 70000},
        {"selfExtractorStub", 70000, [](ZipWriter& w) { w.junk = Text(7000); }, "ok", 70000},
        // The next volume starts with the first record past the wrapped count.
        {"directorySplitWhereCountEnds", 70000, [](ZipWriter& w) { w.directoryCutBefore = 4464; },
         "ok", 70000},
        {"countDisagreesWithRecords", 70000, [](ZipWriter& w) { w.totalEntries = 4465; }, "zip 101",
         0},
        // Only in a split archive does a smaller size leave the directory where it is (a single
        // file would take the difference for a stub in front): it ends inside the last record.
        {"lastRecordPastDirectorySize", 70000,
         [&](ZipWriter& w) {
             w.directoryStartsVolume = true;
             w.directorySize = manySize - 1;
         },
         "zip 101", 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.archive);
        ZipWriter writer(std::vector<ZipEntry>(many.begin(),
                                               many.begin() + static_cast<ptrdiff_t>(row.entries)));
        if (row.tweak) {
            row.tweak(writer);
        }
        TestFolder folder;
        writer.Save(folder / "pack.zip");
        CZipArchive archive;
        archive.SetBufferSizes(65536, 32768);
        int count = 0;
        EXPECT_EQ(Outcome([&] {
                      archive.OpenArchive(folder / "pack.zip", CZipArchive::openReadOnly);
                      count = archive.GetCount();
                  }),
                  row.outcome);
        EXPECT_EQ(count, row.count);
        if (count > 0 && count == row.count) {
            std::string last = ZipWriter::TinyEntryName(row.entries - 1);
            std::replace(last.begin(), last.end(), '/', '\\');
            EXPECT_EQ(archive.FindHeader(count - 1)->name, last);
            EXPECT_TRUE(archive.TestEntry(count - 1));
        }
    }
}

TEST(CentralDirectory, attributesConvertedFromTheirHost) {
    struct Row {
        uint8_t host;
        uint32_t external;
        std::string name, attributes;  // the letters of the full form, then D(irectory) or F(ile)
    };
    const std::vector<Row> rows = {
        {3, 0100644u << 16, "a.txt", "-a--F"},
        {3, 0100444u << 16, "a.txt", "ra--F"},
        {3, 0100755u << 16, "a.txt", "----F"},
        {3, 0, "a.txt", "rah-F"},
        {3, 040755u << 16, "d/", "----D"},
        {3, 0, "d/", "----D"},
        {0, 0x10, "d/", "----D"},
        {0, 0, "d/", "----D"},
        {0, 0x27, "a.txt", "rahsF"},
        {10, 0x21, "a.txt", "ra--F"},
        {6, 0x10, "d", "----D"},
        {7, 0x27, "a.txt", "r---F"},
        {1, 0x01, "a.txt", "-a--F"},
        {2, 0x10, "d", "-a--F"},
        {11, 0, "d/", "----D"},
        {30, 0x07, "a.txt", "-a--F"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE("host " + std::to_string(row.host) + " " + row.name + " " +
                     std::to_string(row.external));
        OpenedArchive opened(ZipWriter(
            {ZipEntry{.name = row.name, .host = row.host, .externalAttributes = row.external}}));
        ArchiveEntryInfo info;
        ASSERT_TRUE(opened.reader->GetEntryInfo(info, 0, false));
        EXPECT_EQ(info.attributes + (info.isDirectory ? "D" : "F"), row.attributes);
    }
}

TEST(SplitArchive, failsClearlyWhenAVolumeIsMissingOrShort) {
    // pack.000: a.txt and the start of b.txt; pack.001: the rest of b.txt; pack.002: c.txt;
    // pack.zip: the directory. The damaged volume is cut to size, or removed for -1.
    struct Row {
        std::string fault, volume;
        int size;
        std::string outcomes;
    };
    const std::vector<Row> rows = {
        {"intact", "", 0, "ok|ok|ok|"},
        {"missingMiddleVolume", "pack.001", -1, "ok|file 2|ok|"},
        {"missingFirstVolume", "pack.000", -1, "file 2|file 2|ok|"},
        {"truncatedMiddleVolume", "pack.001", 1000, "ok|zip 101|ok|"},
        {"truncatedInLocalHeader", "pack.000", 5040, "ok|zip 101|ok|"},
        {"emptyVolume", "pack.002", 0, "ok|ok|zip 101|"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.fault);
        ZipWriter writer(
            {{.name = "a.txt", .data = Text(5000)},
             {.name = "b.txt", .data = Text(20000), .volumeCutInData = 4000},
             {.name = "c.txt", .data = Text(9000), .method = 8, .startsVolume = true}});
        writer.directoryStartsVolume = true;
        TestFolder folder, out;
        writer.Save(folder / "pack.zip");
        if (row.size < 0) {
            std::filesystem::remove(folder / row.volume);
        } else if (!row.volume.empty()) {
            std::filesystem::resize_file(folder / row.volume, static_cast<uintmax_t>(row.size));
        }
        ScriptedPrompts prompts;
        CArchiveReader reader(folder / "pack.zip", prompts);
        ASSERT_EQ(reader.entryCount, 3);
        std::string outcomes;
        for (int i = 0; i < 3; ++i) {
            const std::string outcome =
                Outcome([&] { reader.ExtractEntry(i, out.Path(), "", ""); });
            reader.CloseEntry({}, true);
            const bool written = TestFolder::ReadFile(out / writer.entries[i].name) ==
                                 (outcome == "ok" ? writer.entries[i].data : "");
            outcomes += outcome + (written ? "|" : " but the file is wrong|");
        }
        EXPECT_EQ(outcomes, row.outcomes);
    }
}
