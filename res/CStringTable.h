#pragma once

#include <string>

// The user-interface texts in English and French: ids 1 to 189 for the windows, from 1000 on
// for the command-line tool. The program chooses the
// language once, at start-up, before the first text is loaded; ids without a text give an
// empty string.
class CStringTable {
public:
    enum class Language { English, French };

    // "french", exactly, selects French; every other value English.
    static Language LanguageFromSetting(const std::string& setting);
    // Chooses the language of Load(id).
    static void Select(Language language);
    static Language Current();

    static const std::string& Load(int id);
    static const std::string& Load(int id, Language language);
    // The ids that hold a text, in ascending order.
    static const int* Ids(int* count);
};
