#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <string>
#include <tuple>
#include <vector>

#include "CPathName.h"

TEST(PathName, CleanUpGivesOneSpellingPerPath) {
    ::setenv("ZANVO_T_DIR", "/srv/maps", 1);
    ::setenv("ZANVO_T_PCT", "a%ZANVO_T_DIR%b", 1);
    ::unsetenv("ZANVO_T_NONE");
    // 'c' constructs, 't' takes the text as typed, 's' also assigns the result to itself.
    const std::vector<std::tuple<char, std::string, std::string>> rows = {
        {'c', "  \"C:\\Games\\a b\\x.bsp\"  ", "C:\\Games\\a b\\x.bsp"},
        {'c', "\" C:/Games/a b/x.bsp \"", "C:/Games/a b/x.bsp"},
        {'c', "\t\"\r\n", ""},
        {'c', "maps\\..\\x.bsp", "x.bsp"},
        {'c', "maps/../x.bsp", "x.bsp"},
        {'c', "C:\\maps\\.\\sub\\..\\..\\..\\x.bsp", "C:\\x.bsp"},
        {'c', "..\\x.bsp", "..\\x.bsp"},
        {'c', "\\\\?\\c:\\maps", "c:\\maps"},
        {'c', "\\\\?\\unc\\srv\\share", "\\\\srv\\share"},
        {'c', "\\\\?\\Volume1\\x", "\\\\?\\Volume1\\x"},
        {'c', "%ZANVO_T_DIR%\\x.bsp", "%ZANVO_T_DIR%\\x.bsp"},
        {'t', " \"%ZANVO_T_DIR%\\x.bsp\" ", "/srv/maps\\x.bsp"},
        {'t', "%ZANVO_T_NONE%\\x.bsp", "%ZANVO_T_NONE%\\x.bsp"},
        {'t', "%ZANVO_T_PCT%", "a%ZANVO_T_DIR%b"},
        {'s', "\"\"a\"\"", "\"a\""},  // what CleanUp left is not cleaned twice
    };
    for (const auto& [how, input, expected] : rows) {
        SCOPED_TRACE(input);
        CPathName path = how == 't' ? CPathName::FromTyped(input) : CPathName(input);
        if (how == 's') {
            path = path.String();
        }
        EXPECT_EQ(path.String(), expected);
    }
}

TEST(PathName, PartsFollowTheLastComponent) {
    // path, NamePart, TitlePart, ExtensionPart, FolderPart
    const std::vector<std::array<std::string, 5>> rows = {
        {"C:\\maps\\de_x.bsp", "de_x.bsp", "de_x", "bsp", "C:\\maps\\"},
        {"C:/maps/de_x.bsp", "de_x.bsp", "de_x", "bsp", "C:/maps/"},
        {"readme", "readme", "readme", "", ""},
        {"pak.tar.gz", "pak.tar.gz", "pak.tar", "gz", ""},
        {"maps.old\\readme", "readme", "readme", "", "maps.old\\"},
        {"maps.old/readme", "readme", "readme", "", "maps.old/"},
        {"maps\\v1.2 final", "v1.2 final", "v1.2 final", "", "maps\\"},
        {"\\\\srv\\share\\x.", "x.", "x", "", "\\\\srv\\share\\"},
        {"C:\\maps\\", "C:\\maps\\", "maps\\", "", "C:\\"},
        {"C:/maps/", "C:/maps/", "maps/", "", "C:/"}};
    for (const auto& [text, name, title, extension, folder] : rows) {
        SCOPED_TRACE(text);
        const CPathName path(text);
        EXPECT_EQ(path.NamePart(), name);
        EXPECT_EQ(path.TitlePart(), title);
        EXPECT_EQ(path.ExtensionPart(), extension);
        EXPECT_EQ(path.FolderPart().String(), folder);
    }
}
