#include "CTerminalPrompts.h"

#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <string>

#include "CException.h"
#include "CStringTable.h"
#include "CaseFold.h"
#include "StringIds.h"
#include "Utf8.h"

bool CTerminalPrompts::AskYesNo(const std::string& question) {
    if (!::isatty(STDIN_FILENO)) {
        return false;
    }
    std::cerr << question << CStringTable::Load(IDS_CLI_YES_NO) << std::flush;
    std::string answer;
    if (!std::getline(std::cin, answer)) {
        return false;
    }
    const std::string yes = CStringTable::Load(IDS_CLI_YES_LETTER);
    const std::string folded = CaseFold::Fold(answer);
    return !folded.empty() && folded.compare(0, yes.size(), yes) == 0;
}

bool CTerminalPrompts::AskRetry(const std::string& question) {
    return AskYesNo(question);
}

void CTerminalPrompts::ShowOpenError(const std::string& message, const std::string&,
                                     const CException& cause) {
    std::cerr << message << '\n';
    const std::string detail = Utf8::WithoutControls(cause.ErrorMessage());
    if (!detail.empty()) {
        std::cerr << detail << '\n';
    }
}

int CTerminalPrompts::IconIndex(const std::string&, bool isDirectory) {
    return isDirectory ? 1 : 0;
}
