#include <dlfcn.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "CCaseResolver.h"
#include "CFile.h"
#include "CFileException.h"
#include "CPendingFile.h"
#include "CSha256.h"
#include "CaseFold.h"
#include "CodePage437.h"
#include "FileFinder.h"
#include "FileSystem.h"
#include "LocalTime.h"
#include "TestFolder.h"
#include "Utf8.h"

namespace {

// Files under this folder report a lost write when closed, as a network file system or an
// exceeded quota does; none while it is null.
std::atomic<const std::string*> failCloseUnder{nullptr};

}  // namespace

// Stands in for the C library's close in this test program, the platform code under test included.
extern "C" int close(int fd) {
    using Close = int (*)(int);
    static const auto next = reinterpret_cast<Close>(::dlsym(RTLD_NEXT, "close"));
    bool fail = false;
    if (const std::string* folder = failCloseUnder.load()) {
        char link[64], target[4096];
        std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
        const ssize_t n = ::readlink(link, target, sizeof target);
        fail = n > 0 && std::string(target, static_cast<size_t>(n)).rfind(*folder, 0) == 0;
    }
    const int result = next(fd);
    if (fail && result == 0) {
        errno = EIO;
        return -1;
    }
    return result;
}

TEST(Platform, NamesCompareAndConvertLikeWindows) {
    const std::vector<std::tuple<std::string, std::string, bool>> folds = {
        {"Maps", "mAPS", true},
        {"ÉTÉŸŁ", "étéÿł", true},
        {"КАРТА Ёж", "карта ёЖ", true},
        {"ΣΩ", "σω", true},
        {"ΑΣ", "ας", true},
        {"İ", "ı", false},
        {"é", "e", false},
        {"ß×", "SS÷", false},
        {"\xC9", "\xE9", false},
        {"m\xE0\x81\xA1ps", "maps", false}};
    for (const auto& [a, b, equal] : folds) {
        SCOPED_TRACE(a + " / " + b);
        EXPECT_EQ(CaseFold::Equal(a, b), equal);
        EXPECT_EQ(CaseFold::StartsWith(a + "/x", b + "/"), equal);
    }
    const std::vector<std::pair<std::string, std::string>> dosNames = {
        {"caf\x82.txt", "café.txt"},
        {"\x91\x86\xE1", "æåß"},
        {"\x80\x9E\xFF", "Ç₧\u00A0"},
        {"maps/de_x.bsp", "maps/de_x.bsp"}};
    for (const auto& [dos, utf8] : dosNames) {
        SCOPED_TRACE(utf8);
        EXPECT_EQ(CodePage437::ToUtf8(dos), utf8);
    }
}

TEST(Platform, DosStampsNormaliseAndStopBefore2038) {
    // year, month, day, hour, minute, seconds / 2, as local time
    const std::vector<std::pair<std::vector<int>, std::string>> rows = {
        {{1980, 1, 1, 0, 0, 0}, "1980-01-01 00:00:00"},
        {{2001, 3, 0, 12, 0, 0}, "2001-02-28 12:00:00"},
        {{2001, 13, 1, 12, 0, 0}, "2002-01-01 12:00:00"},
        {{2004, 2, 29, 23, 59, 31}, "2004-03-01 00:00:02"},
        {{2037, 12, 31, 23, 59, 29}, "2037-12-31 23:59:58"},
        {{2040, 6, 1, 12, 0, 0}, ""}};
    for (const auto& [f, expected] : rows) {
        SCOPED_TRACE(expected);
        const auto date = static_cast<uint16_t>(((f[0] - 1980) << 9) | (f[1] << 5) | f[2]);
        const auto time = static_cast<uint16_t>((f[3] << 11) | (f[4] << 5) | f[5]);
        EXPECT_EQ(LocalTime::Format(LocalTime::FromDos(date, time), "%Y-%m-%d %H:%M:%S"), expected);
    }
}

TEST(Platform, FolderChainsReuseExistingSpellings) {
    // tmpfs lists entries in the order they were made, so "one" and "two" list their variants
    // in opposite orders.
    const std::string tmp = std::getenv("TMPDIR") != nullptr ? std::getenv("TMPDIR") : "";
    ::setenv("TMPDIR", FileSystem::IsDirectory("/dev/shm") ? "/dev/shm" : tmp.c_str(), 1);
    TestFolder folder;
    tmp.empty() ? ::unsetenv("TMPDIR") : ::setenv("TMPDIR", tmp.c_str(), 1);
    for (const char* made :
         {"Maps/Sub/", "one/twin/", "one/TWIN/", "two/TWIN/", "two/twin/", "data/"}) {
        FileSystem::CreateFolderChain(folder / made);
    }
    folder.WriteFile("DATA", "");
    folder.WriteFile("Readme.TXT", "");
    // The variant picked must not depend on the order in which the folder lists its entries.
    const std::string picked =
        FileSystem::ResolveCase(folder / "one/Twin/a").substr(folder.Path().size() + 4);
    EXPECT_TRUE(picked == "twin/a" || picked == "TWIN/a") << picked;
    const std::vector<std::tuple<std::string, std::string, bool>> rows = {
        {"maps/sub/x", "Maps/Sub/x", true},
        {"maps\\SUB\\new", "Maps/Sub/new", true},
        {"MAPS/new/deeper/", "Maps/new/deeper/", true},
        {"two/Twin/a", "two/" + picked, true},
        {"two/twin/b", "two/twin/b", true},
        {"two/TWIN/b", "two/TWIN/b", true},
        {"Data/x", "data/x", true},
        {"DATA/x", "data/x", true},
        {"README.txt/x", "Readme.TXT/x", false}};
    for (const auto& [query, resolved, made] : rows) {
        SCOPED_TRACE(query);
        EXPECT_EQ(FileSystem::ResolveCase(folder / query), folder / resolved);
        EXPECT_EQ(CCaseResolver().Resolve(folder / query), folder / resolved);
        EXPECT_EQ(FileSystem::CreateFolderChain(FileSystem::ResolveCase(folder / query)), made);
        EXPECT_EQ(FileSystem::IsDirectory(folder / resolved), made);
    }
    EXPECT_FALSE(FileSystem::Exists(folder / "maps") || FileSystem::Exists(folder / "MAPS"));
}

TEST(Platform, FoldersMadeAgainAreLookedAtAfresh) {
    // What a resolver learnt inside a folder that someone else then removed says nothing about
    // the folder once the resolver has made it again.
    TestFolder folder;
    folder.WriteFile("Maps/Old.bsp", "");
    folder.WriteFile("Maps/Deep/Sub/Inner.txt", "");
    CCaseResolver resolver;
    ASSERT_EQ(resolver.Resolve(folder / "maps/old.bsp"), folder / "Maps/Old.bsp");
    ASSERT_EQ(resolver.Resolve(folder / "maps/Deep/Sub/inner.txt"),
              folder / "Maps/Deep/Sub/Inner.txt");
    EXPECT_FALSE(resolver.KnownAbsent(folder / "Maps/Old.bsp"));
    std::filesystem::remove_all(folder / "Maps");

    ASSERT_TRUE(resolver.CreateFolderChain(folder / "Maps", folder.Path()));
    folder.WriteFile("Maps/NEW.bsp", "");
    EXPECT_EQ(resolver.Resolve(folder / "maps/new.bsp"), folder / "Maps/NEW.bsp");
    EXPECT_EQ(resolver.Resolve(folder / "maps/old.bsp"), folder / "Maps/old.bsp");
    EXPECT_TRUE(resolver.KnownAbsent(folder / "Maps/Old.bsp"));
    // Folders seen below it before are made again, not taken as still there.
    EXPECT_TRUE(resolver.CreateFolderChain(folder / "Maps/Deep/Sub", folder.Path()));
    EXPECT_TRUE(FileSystem::IsDirectory(folder / "Maps/Deep/Sub"));
    folder.WriteFile("Maps/Deep/Sub/Other.TXT", "");
    EXPECT_EQ(resolver.Resolve(folder / "maps/deep/sub/other.txt"),
              folder / "Maps/Deep/Sub/Other.TXT");
}

TEST(Platform, AbsenceIsKnownOnlyFromWhatWasListed) {
    // A name missing from a listed folder has nothing below it; below a folder that exists but
    // was not listed, nothing is known. A wrong "absent" would replace a file without asking.
    TestFolder folder;
    folder.WriteFile("Maps/Deep/x.bsp", "");
    CCaseResolver resolver;
    ASSERT_EQ(resolver.Resolve(folder / "maps/new.bsp"), folder / "Maps/new.bsp");
    ASSERT_TRUE(resolver.CreateFolderChain(folder / "Maps/Made", folder.Path()));
    folder.WriteFile("Maps/Made/y.bsp", "");
    const std::vector<std::pair<std::string, bool>> rows = {
        {"Maps/new.bsp", true},           {"Maps/New/x.bsp", true},
        {"Other/a/b.bsp", true},          {"Maps/Deep/x.bsp", false},
        {"Maps/Deep/y.bsp", false},       {"Maps/Made/y.bsp", false},
        {"Maps/Made/z/y.bsp", false},     {"Maps/new.bsp/", false},
        {"Maps/New/../Deep/x.bsp", false}};
    for (const auto& [path, absent] : rows) {
        SCOPED_TRACE(path);
        EXPECT_EQ(resolver.KnownAbsent(folder / path), absent);
    }
}

TEST(Platform, ReadOnlyFilesAndFoldersAreNeverReplaced) {
    enum Existing { Nothing, File, ReadOnlyFile, Folder };
    using E = CFileException;
    // what is there, commit, cause of a read-write open, cause of the replacement, content, listing
    const std::vector<std::tuple<Existing, bool, int, int, std::string, std::string>> rows = {
        {Nothing, true, E::fileNotFound, E::none, "new", "x\n"},
        {File, true, E::none, E::none, "new", "x\n"},
        {File, false, E::none, E::none, "old", "x\n"},
        {ReadOnlyFile, true, E::accessDenied, E::accessDenied, "old", "x\n"},
        {Folder, true, E::accessDenied, E::accessDenied, "", "x/\n"}};
    for (const auto& [existing, commit, openCause, replaceCause, after, listing] : rows) {
        SCOPED_TRACE(testing::Message() << existing << commit);
        TestFolder folder;
        const std::string path = folder / "x";
        if (existing == Folder) {
            FileSystem::CreateFolderChain(path);
        } else if (existing != Nothing) {
            folder.WriteFile("x", "old");
            ::chmod(path.c_str(), 0666);
        }
        // Tests run as root: only the missing write bits make a file read-only; folders keep them.
        FileSystem::SetAttributes(path, existing == File ? 0 : FileSystem::kReadOnly);
        struct stat st {};
        EXPECT_EQ(::stat(path.c_str(), &st) == 0 && (st.st_mode & 0222) == 0,
                  existing == ReadOnlyFile);
        int causes[2] = {E::none, E::none};
        try {
            CFile().Open(path, CFile::Mode::ReadWrite);
        } catch (const E& e) {
            causes[0] = e.cause;
        }
        try {
            CPendingFile file;
            file.Create(path);
            file.Write("new", 3);
            EXPECT_EQ(TestFolder::ReadFile(path), existing == File ? "old" : "");
            if (commit) {
                file.Commit();
            }
        } catch (const E& e) {
            causes[1] = e.cause;
            EXPECT_EQ(e.fileName, path);
        }
        EXPECT_EQ(causes[0], openCause);
        EXPECT_EQ(causes[1], replaceCause);
        EXPECT_EQ(TestFolder::ReadFile(path), after);
        EXPECT_EQ(folder.Listing(), listing);
    }
}

TEST(Platform, FileErrorsNameTheFileInFrench) {
    const std::vector<std::tuple<int, std::string, unsigned, std::string>> rows = {
        {CFileException::accessDenied, "C:\\maps\\x.bsp", 256,
         "L'accès à C:\\maps\\x.bsp a été refusé."},
        {CFileException::fileNotFound, "a.zip", 256, "a.zip est introuvable."},
        {CFileException::diskFull, "b", 256, "Disque plein lors de l'accès à b."},
        // A cut must not leave part of a multi-byte character behind.
        {CFileException::accessDenied, "x", 7, "L'acc"},
        {CFileException::accessDenied, "x", 8, "L'accè"},
        {CFileException::fileNotFound, "a€", 4, "a"}};
    for (const auto& [cause, name, maxChars, text] : rows) {
        SCOPED_TRACE(text);
        EXPECT_EQ(CFileException(cause, 0, name).ErrorMessage(maxChars), text);
    }
}

TEST(Platform, WriteLostAtCloseLeavesNoFileAndKeepsTheOldOne) {
    // what is there, whether the caller knows the name free (an unnamed file then)
    const std::vector<std::tuple<std::string, bool>> rows = {
        {"", true}, {"", false}, {"old", false}};
    for (const auto& [existing, knownAbsent] : rows) {
        SCOPED_TRACE(existing + (knownAbsent ? " unnamed" : " named"));
        TestFolder folder;
        const std::string path = folder / "x";
        if (!existing.empty()) {
            folder.WriteFile("x", existing);
        }
        const std::string listing = folder.Listing();
        int cause = CFileException::none;
        {
            CPendingFile file;
            file.Create(path, knownAbsent);
            file.Write("new", 3);
            const std::string under = std::string(folder / "");
            failCloseUnder = &under;
            try {
                file.Commit();
            } catch (const CFileException& e) {
                cause = e.cause;
                EXPECT_EQ(e.fileName, path);
            }
            failCloseUnder = nullptr;
        }
        EXPECT_NE(cause, CFileException::none);
        EXPECT_EQ(folder.Listing(), listing);
        EXPECT_EQ(FileSystem::Exists(path), !existing.empty());
        if (!existing.empty()) {
            EXPECT_EQ(TestFolder::ReadFile(path), existing);
        }
    }
}

TEST(Platform, ControlCharactersShowAsQuestionMarks) {
    struct Row {
        std::string text, shown;
    } rows[] = {
        {"plain é ü ẞ 😀", "plain é ü ẞ 😀"},
        {"t\x1b]0;title\x07x", "t?]0;title?x"},
        {"a\tb\r\nc\x7f", "a?b??c?"},
        {"csi \xc2\x9b"
         "2J nbsp \xc2\xa0",
         "csi ?2J nbsp \xc2\xa0"},                                // U+009B, U+00A0
        {"stray \x9b and \xe9 bytes", "stray ? and \xe9 bytes"},  // not UTF-8
        {"cut \xe2\x82", "cut \xe2?"},                            // a sequence cut short
        {"overlong \xc0\x9b", "overlong \xc0?"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(Utf8::WithoutControls(row.text), row.shown);
    }
}

TEST(Platform, FoldersListInTheOrderWindowsGives) {
    TestFolder folder;
    for (const char* name : {"de_x.zip", "dea.zip", "DEB.ZIP", "de-y.zip", "Zed.zip", "zebra.zip",
                             "\xC3\xA9t\xC3\xA9.zip", "x.txt"}) {
        folder.WriteFile(name, "");
    }
    folder.WriteFile("dir.zip/inside", "");
    // Capitals order them: '-' (2D) < 'A' (41) < 'B' < '_' (5F); "ZEBRA" < "ZED"; É after Z.
    const std::vector<std::string> expected = {"de-y.zip",
                                               "dea.zip",
                                               "DEB.ZIP",
                                               "de_x.zip",
                                               "zebra.zip",
                                               "Zed.zip",
                                               "\xC3\xA9t\xC3\xA9.zip"};
    EXPECT_EQ(FileFinder::FindFiles(folder / "*.zip"), expected);
    EXPECT_EQ(CaseFold::Upper("de_x \xC3\xA9\xCF\x82\xD1\x8F \xC3\xBF"),
              "DE_X \xC3\x89\xCE\xA3\xD0\xAF \xC5\xB8");
}

TEST(Sha256, knownDigestsWholeAndInPieces) {
    EXPECT_EQ(CSha256::Hex(CSha256::OfText("abc")),
              "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(CSha256::Hex(CSha256::OfText("")),
              "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    // Fed in pieces, and used again after a digest, it gives the same.
    const std::string text(100000, 'z');
    CSha256 sha;
    sha.Update("x", 1);
    (void)sha.Final();
    for (size_t at = 0; at < text.size(); at += 777) {
        sha.Update(text.data() + at, std::min<size_t>(777, text.size() - at));
    }
    EXPECT_EQ(sha.Final(), CSha256::OfText(text));
}
