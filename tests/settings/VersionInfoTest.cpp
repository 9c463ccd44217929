// The program's version block, read through the running program's own path.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "CVersionInfo.h"
#include "TestFolder.h"

TEST(VersionInfo, programLoadsItsOwnBlockAlsoThroughALink) {
    const std::string program = CVersionInfo::ProgramPath();
    ASSERT_TRUE(std::filesystem::path(program).is_absolute()) << program;
    ASSERT_TRUE(std::filesystem::exists(program)) << program;
    TestFolder folder;
    std::filesystem::create_symlink(program, folder / "linked-program");
    for (const std::string& path : {program, folder / "linked-program"}) {
        SCOPED_TRACE(path);
        CVersionInfo info;
        ASSERT_TRUE(info.Load(path));
        const CVersionInfo::FixedInfo& fixed = info.Fixed();
        EXPECT_EQ(fixed.signature, 0xFEEF04BDu);
        EXPECT_EQ(fixed.productVersionMS, 0x00010002u);
        EXPECT_EQ(fixed.productVersionLS, 0u);
        EXPECT_EQ(fixed.fileVersionMS, 0x00010002u);
        EXPECT_EQ(info.Language(), 0x040C);
        EXPECT_EQ(info.CodePage(), 0x04B0);
        EXPECT_EQ(info.GetString("ProductVersion"), "1.02");
        EXPECT_EQ(info.GetString("FileVersion"), "1.02");
        EXPECT_EQ(info.GetString("CompanyName"), "Orbelle");
        EXPECT_EQ(info.GetString("ProductName"), "Zanvo");
        EXPECT_EQ(info.GetString("LegalCopyright"), "Copyright (C) 2026 Orbelle");
        EXPECT_EQ(info.GetString("Comments"), "");
    }
}

TEST(VersionInfo, otherFilesHaveNoBlock) {
    TestFolder folder;
    folder.WriteFile("other.exe", "MZ not the program");
    for (const std::string& path :
         {folder / "other.exe", folder / "missing.exe", folder.Path(), std::string()}) {
        // Even after a good load, nothing of it stays readable.
        CVersionInfo info;
        ASSERT_TRUE(info.Load(CVersionInfo::ProgramPath()));
        EXPECT_FALSE(info.Load(path)) << path;
        EXPECT_FALSE(info.IsLoaded());
        EXPECT_EQ(info.Fixed().signature, 0u);
        EXPECT_EQ(info.CodePage(), CVersionInfo::kDefaultCodePage);
        EXPECT_EQ(info.GetString("ProductVersion"), "") << path;
    }
}

TEST(VersionInfo, stringsComeFromTheFirstTranslationOnly) {
    const CVersionInfo::Translation translations[] = {{0x0409, 0x04E4}, {0x040C, 0x04B0}};
    const CVersionInfo::StringValue english[] = {{"ProductVersion", "2,0,1"}};
    const CVersionInfo::StringValue french[] = {{"ProductVersion", "2,0,1 fr"},
                                                {"CompanyName", "Orbelle"}};
    const CVersionInfo::StringTable tables[] = {{"040c04b0", french}, {"040904e4", english}};
    CVersionInfo info;
    EXPECT_TRUE(info.LoadBlock({.fixed = {.signature = CVersionInfo::kSignature},
                                .translations = translations,
                                .tables = tables}));
    EXPECT_EQ(info.GetString("ProductVersion"), "2,0,1");
    EXPECT_EQ(info.GetString("CompanyName"), "");
}

TEST(VersionInfo, blockWithoutTranslationOrSignature) {
    const CVersionInfo::StringValue values[] = {{"ProductVersion", "3"}};
    const CVersionInfo::StringTable tables[] = {{"000004e4", values}, {"040c04b0", values}};
    CVersionInfo info;
    // No translation table: the code page stays 1252, so the language-neutral table is read.
    EXPECT_TRUE(info.LoadBlock(
        {.fixed = {.signature = CVersionInfo::kSignature}, .translations = {}, .tables = tables}));
    EXPECT_EQ(info.CodePage(), 1252);
    EXPECT_EQ(info.GetString("ProductVersion"), "3");

    // A block whose signature is wrong is refused, though its strings were copied.
    EXPECT_FALSE(
        info.LoadBlock({.fixed = {.signature = 0xFEEF04BC}, .translations = {}, .tables = tables}));
    EXPECT_EQ(info.GetString("ProductVersion"), "3");
}
