#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CStringTable.h"
#include "StringIds.h"
#include "TextFormat.h"

using Language = CStringTable::Language;

extern const int kEnglishStringCount;
extern const int kFrenchStringCount;

TEST(StringTable, BothLanguagesHoldTheSameIds) {
    std::vector<int> expected = {1, 2, 4, 5, 6, 100, 101}, held;
    for (int id = 133; id <= 189; ++id) {
        if (id != 174 && id != 182 && id != 183) {
            expected.push_back(id);
        }
    }
    for (int id = -1; id <= 2000; ++id) {
        SCOPED_TRACE(id);
        const bool english = !CStringTable::Load(id, Language::English).empty();
        EXPECT_EQ(english, !CStringTable::Load(id, Language::French).empty());
        if (english && id <= 189) {
            held.push_back(id);
        }
    }
    EXPECT_EQ(held, expected);
    // Every text of both tables has an id the table can hold.
    int count = 0;
    CStringTable::Ids(&count);
    EXPECT_EQ(count, kEnglishStringCount);
    EXPECT_EQ(kFrenchStringCount, kEnglishStringCount);
}

// Filling the texts also shows that a '%' inside an argument is taken as it is.
TEST(StringTable, TextsAreExactAndFillInOrder) {
    struct Row {
        int id;
        std::string setting;  // only "french", exactly, selects French
        std::vector<std::string> args;
        std::string text;
    };
    const std::vector<Row> rows = {
        {IDS_WEB_SITE, "english", {}, "http://www.orbelle.example/"},
        {IDS_WEB_SITE, "french", {}, "http://www.orbelle.example/"},
        {IDS_NO_ARCHIVE, "french", {}, "Aucun fichier archive trouvé !"},
        {IDS_NO_ARCHIVE, "French", {}, "No archive found !"},
        {IDS_NO_ARCHIVE, "", {}, "No archive found !"},
        {100, "", {}, "You must restart this application\nfor changes to take place."},
        {165,
         "",
         {},
         "The target directory could not be created !  The error returned by Windows is:  "
         "\r\n\r\n"},
        {170, "", {"50%d"}, "Done:  50%d Error(s)."},
        {170, "french", {"3"}, "Extraction achevée:  3 Erreur(s)."},
        {175, "", {"x.bsp", "CRC"}, "File: \r\n     x.bsp\r\n\r\nError : \r\n     CRC"},
        {189, "french", {"a%sb", "c"}, "a%sb : c -> Fichier existant non remplacé\r\n"},
        {IDS_TOTALS, "french", {"3", "1 024"}, "Total: 3 fichiers, 1 024 octets."},
        {1, "french", {}, "Lancer le dézippage des Maps"},
        {162, "french", {}, "Lancer l'extraction des fichiers"}};
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.id << " " << row.setting);
        CStringTable::Select(CStringTable::LanguageFromSetting(row.setting));
        const std::string& pattern = CStringTable::Load(row.id);
        const auto& a = row.args;
        EXPECT_EQ(a.empty()       ? pattern
                  : a.size() == 1 ? TextFormat::Format(pattern, {a[0]})
                                  : TextFormat::Format(pattern, {a[0], a[1]}),
                  row.text);
    }
    CStringTable::Select(Language::English);
}
