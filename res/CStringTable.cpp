#include "CStringTable.h"

#include <algorithm>
#include <array>
#include <atomic>

#include "StringEntry.h"

extern const StringEntry kEnglishStrings[];
extern const int kEnglishStringCount;
extern const StringEntry kFrenchStrings[];
extern const int kFrenchStringCount;

namespace {

constexpr int kMaxId = 1099;  // 1 to 189 for the windows, 1000 on for the command line

struct Table {
    std::array<std::string, kMaxId + 1> texts;
    std::array<int, kMaxId + 1> ids{};
    int idCount = 0;

    Table(const StringEntry* entries, int count) {
        for (int i = 0; i < count; ++i) {
            if (entries[i].id < 0 || entries[i].id > kMaxId) {
                continue;  // the tables' own test finds such an id
            }
            texts[entries[i].id] = entries[i].text;
            ids[idCount++] = entries[i].id;
        }
        std::sort(ids.begin(), ids.begin() + idCount);
    }
};

const Table& TableOf(CStringTable::Language language) {
    static const Table english(kEnglishStrings, kEnglishStringCount);
    static const Table french(kFrenchStrings, kFrenchStringCount);
    return language == CStringTable::Language::French ? french : english;
}

std::atomic<CStringTable::Language> current{CStringTable::Language::English};

}  // namespace

CStringTable::Language CStringTable::LanguageFromSetting(const std::string& setting) {
    return setting == "french" ? Language::French : Language::English;
}

void CStringTable::Select(Language language) {
    current = language;
}

CStringTable::Language CStringTable::Current() {
    return current;
}

const std::string& CStringTable::Load(int id) {
    return Load(id, current);
}

const std::string& CStringTable::Load(int id, Language language) {
    static const std::string none;
    if (id < 0 || id > kMaxId) {
        return none;
    }
    return TableOf(language).texts[id];
}

const int* CStringTable::Ids(int* count) {
    const Table& table = TableOf(Language::English);
    *count = table.idCount;
    return table.ids.data();
}
