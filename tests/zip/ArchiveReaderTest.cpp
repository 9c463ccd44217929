// The reader: opening with its questions, entry descriptions, destinations, error texts.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <optional>

#include "CStringTable.h"
#include "StringIds.h"
#include "SystemError.h"
#include "ZipTestKit.h"

namespace fs = std::filesystem;
using Language = CStringTable::Language;

TEST(ArchiveReader, opensWithReadOnlyFallbackAndRetryQuestion) {
    struct Row {
        std::string fault;
        std::optional<std::string> bytes;  // no file when absent
        bool readOnly;
        std::vector<bool> answers;
        int questions;
        size_t errors;
        int entryCount;  // -1: not opened
    };
    const std::string emptyZip = ZipWriter().Build();
    const std::string oneEntry = ZipWriter({ZipEntry{.name = "a.txt", .data = "a"}}).Build();
    const std::vector<Row> rows = {
        {"emptyPathOpensNothing", std::nullopt, false, {}, 0, 0, -1},
        {"missingFile", std::nullopt, false, {true}, 0, 1, -1},
        {"notAZipAnsweredNo", Text(100), false, {false}, 1, 1, -1},
        {"notAZipRetriedTwice", Text(100), false, {true, true, false}, 3, 1, -1},
        {"damagedArchiveAsksNothing", "PK\5\6", false, {true}, 0, 1, -1},
        {"readOnlyArchive", oneEntry, true, {}, 0, 0, 1},
        {"readOnlyNotAZipAsksNothing", Text(100), true, {true}, 0, 1, -1},
        {"emptyArchive", emptyZip, false, {}, 0, 0, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.fault);
        TestFolder folder;
        if (row.bytes) {
            folder.WriteFile("pack.zip", *row.bytes);
        }
        if (row.readOnly) {
            fs::permissions(folder / "pack.zip", kAllWrite, fs::perm_options::remove);
        }
        ScriptedPrompts prompts;
        prompts.retryAnswers = row.answers;
        CArchiveReader reader(row.fault == "emptyPathOpensNothing" ? "" : folder / "pack.zip",
                              prompts);
        EXPECT_EQ(prompts.retryQuestions, row.questions);
        if (row.questions > 0) {
            EXPECT_EQ(prompts.lastQuestion, CStringTable::Load(IDS_RETRY_CENTRAL_DIRECTORY));
        }
        ASSERT_EQ(prompts.errors.size(), row.errors);
        if (row.errors > 0) {
            EXPECT_EQ(prompts.errors[0].rfind("Error|Error on opening file !|", 0), 0u);
        }
        EXPECT_EQ(reader.isOpen, row.entryCount >= 0);
        EXPECT_EQ(reader.entryCount, std::max(row.entryCount, 0));
        EXPECT_EQ(reader.isOpen && reader.archive.IsReadOnly(), reader.isOpen && row.readOnly);
        ArchiveEntryInfo info;
        EXPECT_FALSE(reader.GetEntryInfo(info, reader.entryCount, true));
    }
}

TEST(ArchiveReader, describesEntries) {
    // folder|name|size|compressed|ratio|date|D(irectory) or F(ile)
    struct Row {
        std::string description;
        Language language;
        ZipEntry entry;
    };
    const auto En = Language::English, Fr = Language::French;
    // clang-format off
    const std::vector<Row> rows = {
        {"maps\\|de_x.bsp|1,000|1,000|100%|15/06/2020 12:34|F", En,
         {.name = "maps/de_x.bsp", .data = Text(1000)}},
        {"a\\b\\c\\|d.wav|1 000|1 000|100%|15/06/2020 12:34|F", Fr,
         {.name = "a/b/c/d.wav", .data = Text(1000)}},
        {"|e|0|0|0%|31/12/1999 23:59|F", En,
         {.name = "e", .dosTime = ZipWriter::DosTime(23, 59, 58),
          .dosDate = ZipWriter::DosDate(1999, 12, 31)}},
        {"|late|0|0|0%||F", En, {.name = "late", .dosDate = ZipWriter::DosDate(2040, 1, 1)}},
        // Halves of a percent round away from zero; sizes print unsigned.
        {"|r|8|1|13%|15/06/2020 12:34|F", En,
         {.name = "r", .stated = {.compressedSize = 1, .uncompressedSize = 8}}},
        {"|r|200|1|1%|15/06/2020 12:34|F", En,
         {.name = "r", .stated = {.compressedSize = 1, .uncompressedSize = 200}}},
        {"|r|1 234 567|12 345 678|1000%|15/06/2020 12:34|F", Fr,
         {.name = "r", .stated = {.compressedSize = 12345678, .uncompressedSize = 1234567}}},
        {"|r|4,294,967,295|2,147,483,648|50%|15/06/2020 12:34|F", En,
         {.name = "r", .stated = {.compressedSize = 2147483648u, .uncompressedSize = 4294967295u}}},
        // A folder is named by its whole path.
        {"maps\\|maps\\sub\\|0|0|0%|15/06/2020 12:34|D", En,
         {.name = "maps/sub/", .externalAttributes = 0x10}},
        {"|maps\\|0|0|0%|15/06/2020 12:34|D", En, {.name = "maps/", .externalAttributes = 0x10}},
        {"|empty\\|0|0|0%|15/06/2020 12:34|D", En, {.name = "empty/", .externalAttributes = 0}},
        // MS-DOS names are in code page 437 unless flagged UTF-8; other makers keep their bytes.
        {"\xc3\x84\xc3\x96\\|caf\xc3\xa9.wav|0|0|0%|15/06/2020 12:34|F", En,
         {.name = "\x8e\x99/caf\x82.wav"}},
        {"\xc3\x84\\|caf\xc3\xa9.wav|0|0|0%|15/06/2020 12:34|F", En,
         {.name = "\xc3\x84/caf\xc3\xa9.wav", .flags = 0x800}},
        {"m\\|caf\x82.wav|0|0|0%|15/06/2020 12:34|F", En, {.name = "m/caf\x82.wav", .host = 3}},
        {"m\\|caf\x82.wav|0|0|0%|15/06/2020 12:34|F", En, {.name = "m/caf\x82.wav", .host = 10}},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(row.description);
        OpenedArchive opened(ZipWriter({row.entry}));
        CStringTable::Select(row.language);
        ArchiveEntryInfo info;
        EXPECT_TRUE(opened.reader->GetEntryInfo(info, 0, true));
        CStringTable::Select(Language::English);
        EXPECT_EQ(info.folder + "|" + info.name + "|" + info.sizeText + "|" + info.compressedText +
                      "|" + info.ratioText + "|" + info.dateText + (info.isDirectory ? "|D" : "|F"),
                  row.description);
    }
}

TEST(ArchiveReader, extractsToTheChosenFolder) {
    // Files as "path=content", folders as "path/", separated by blanks.
    struct Row {
        std::string fault, existing, entries;
        const char* subFolder;  // null: the entry's own folder
        std::string tree;
    };
    const std::vector<Row> rows = {
        {"keepsArchiveFolders", "", "maps/de_x.bsp=m", nullptr, "maps/ maps/de_x.bsp=m "},
        {"rootsUnderSubFolder", "", "pack/models/x.mdl=m", "models\\player\\",
         "models/ models/player/ models/player/x.mdl=m "},
        {"reusesFolderOfOtherCase", "Maps/keep.txt=k", "maps/de_x.bsp=m", nullptr,
         "Maps/ Maps/de_x.bsp=m Maps/keep.txt=k "},
        {"subFolderOfOtherCase", "Maps/", "de_x.bsp=m", "maps\\", "Maps/ Maps/de_x.bsp=m "},
        {"replacesFileOfOtherCase", "maps/DE_X.BSP=old", "maps/de_x.bsp=m", nullptr,
         "maps/ maps/DE_X.BSP=m "},
        {"secondEntryReplacesFirst", "", "maps/a.txt=first MAPS/A.TXT=second", nullptr,
         "maps/ maps/a.txt=second "},
        {"folderEntryMakesFolder", "", "maps/sub/=", nullptr, "maps/ maps/sub/ "},
        {"dotSegmentsResolved", "", "maps/./x/../de_x.bsp=m", nullptr, "maps/ maps/de_x.bsp=m "},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.fault);
        OpenedArchive opened(ZipWriter(ZipWriter::FromWords(row.entries)));
        std::istringstream existing(row.existing);
        for (std::string file; existing >> file;) {
            const size_t equals = file.find('=');
            if (equals == std::string::npos) {
                fs::create_directories(opened.out / file);
            } else {
                opened.out.WriteFile(file.substr(0, equals), file.substr(equals + 1));
            }
        }
        for (int i = 0; i < opened.reader->entryCount; ++i) {
            EXPECT_EQ(opened.Extract(i, row.subFolder), "ok");
        }
        EXPECT_EQ(Tree(opened.out), row.tree);
    }
}

TEST(ZipException, textsFollowCauseAndSystemError) {
    struct Row {
        int cause, lastError, errnoValue;
        std::string text;
    };
    const std::vector<Row> rows = {
        {101, 0, 0, "Damaged or not a zip file"},
        {116, 0, 0,
         "The central directory was not found in the archive (or you were trying to open not the "
         "last disk of a multi-disk archive)"},
        {117, 0, 0, "The entry's path leads outside the folder it is extracted into"},
        {0, 0, 0, "Unknown error"},
        {501, 0, 0, "Unknown error"},
        {7, 0, 2, "No such file or directory"},
        {100, 2, 13, std::strerror(2)},
        {502, 5, 2, "No such file or directory"},
        {113, 5, 0, std::string("Error while removing a file (") + std::strerror(5) + ")"},
        {114, 0, 0, "Error while renaming a file (Unknown error)"},
        // errno values whose own text is made from the system text must not loop back to it.
        {0, 0, 113, "Unknown error"},
        {502, 0, 502, "Unknown error"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::to_string(row.cause) + " errno " + std::to_string(row.errnoValue));
        char buffer[256] = {};
        SystemError::SetLast(row.lastError);
        errno = row.errnoValue;
        EXPECT_TRUE(CZipException(row.cause, "pack.zip").GetErrorMessage(buffer, 255));
        EXPECT_EQ(std::string(buffer), row.text);
    }
    SystemError::SetLast(0);
}

TEST(ZipException, messageFitsTheBuffer) {
    const CZipException e(CZipException::cdirNotFound);
    const std::string whole = CZipException::CauseText(CZipException::cdirNotFound, true);
    for (const auto& [maxChars, filled, text] :
         std::vector<std::tuple<unsigned, bool, std::string>>{
             {255, true, whole}, {10, true, whole.substr(0, 9)}, {1, true, ""}, {0, false, "#"}}) {
        SCOPED_TRACE(maxChars);
        char buffer[256] = "#";
        EXPECT_EQ(e.GetErrorMessage(buffer, maxChars), filled);
        EXPECT_EQ(std::string(buffer), text);
    }
    EXPECT_FALSE(e.GetErrorMessage(nullptr, 255));
}
