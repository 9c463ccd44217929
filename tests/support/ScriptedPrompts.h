#pragma once

#include <string>
#include <vector>

#include "IReaderPrompts.h"

// Answers the reader's questions from a script and records everything it was asked and shown.
class ScriptedPrompts : public IReaderPrompts {
public:
    bool AskRetry(const std::string& question) override;
    void ShowOpenError(const std::string& message, const std::string& caption,
                       const CException& cause) override;
    int IconIndex(const std::string& name, bool isDirectory) override;

    std::vector<bool> retryAnswers;  // consumed in order; No once they run out
    int retryQuestions = 0;
    std::vector<std::string> errors;  // "caption|message|cause text"
    std::string lastQuestion;
};
