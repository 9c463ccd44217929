#pragma once

#include <string>

#include "CStringTable.h"

// The texts of the dialog templates in English and French: a window's title (control 0) and the
// captions of its controls, by template and control id. The language is the string table's.
class CDialogTexts {
public:
    static constexpr int kTitle = 0;

    static const std::string& Load(int dialogId, int controlId);
    static const std::string& Load(int dialogId, int controlId, CStringTable::Language language);
    // A caption without its '&' marks ("&&" stays one '&'): what a screen reader or a terminal
    // shows of it.
    static std::string WithoutMnemonic(const std::string& caption);
};
