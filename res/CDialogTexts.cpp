#include "CDialogTexts.h"

#include <map>
#include <utility>

#include "DialogEntry.h"

extern const DialogEntry kEnglishDialogTexts[];
extern const int kEnglishDialogTextCount;
extern const DialogEntry kFrenchDialogTexts[];
extern const int kFrenchDialogTextCount;

namespace {

using Table = std::map<std::pair<int, int>, std::string>;

Table Build(const DialogEntry* entries, int count) {
    Table table;
    for (int i = 0; i < count; ++i) {
        table[{entries[i].dialog, entries[i].control}] = entries[i].text;
    }
    return table;
}

}  // namespace

const std::string& CDialogTexts::Load(int dialogId, int controlId) {
    return Load(dialogId, controlId, CStringTable::Current());
}

const std::string& CDialogTexts::Load(int dialogId, int controlId,
                                      CStringTable::Language language) {
    static const Table english = Build(kEnglishDialogTexts, kEnglishDialogTextCount);
    static const Table french = Build(kFrenchDialogTexts, kFrenchDialogTextCount);
    static const std::string none;
    const Table& table = language == CStringTable::Language::French ? french : english;
    const auto found = table.find({dialogId, controlId});
    return found != table.end() ? found->second : none;
}

std::string CDialogTexts::WithoutMnemonic(const std::string& caption) {
    std::string out;
    for (size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&' && i + 1 < caption.size()) {
            ++i;
        }
        out += caption[i];
    }
    return out;
}
