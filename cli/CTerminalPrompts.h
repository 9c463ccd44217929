#pragma once

#include "IReaderPrompts.h"

// The reader's questions and messages on a terminal: questions on stderr, answered from stdin
// when it is a terminal and answered No otherwise; messages on stderr.
class CTerminalPrompts : public IReaderPrompts {
public:
    bool AskRetry(const std::string& question) override;
    void ShowOpenError(const std::string& message, const std::string& caption,
                       const CException& cause) override;
    int IconIndex(const std::string& name, bool isDirectory) override;

    // Asks a yes-or-no question; No without a terminal or at the end of the input.
    static bool AskYesNo(const std::string& question);
};
