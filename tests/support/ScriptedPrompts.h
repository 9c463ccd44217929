#pragma once

#include <string>
#include <vector>

#include "CException.h"
#include "IReaderPrompts.h"

// Answers the reader's questions from a script and records everything it was asked and shown.
class ScriptedPrompts : public IReaderPrompts {
public:
    bool AskRetry(const std::string& question) override {
        lastQuestion = question;
        const size_t asked = static_cast<size_t>(retryQuestions++);
        return asked < retryAnswers.size() && retryAnswers[asked];
    }
    void ShowOpenError(const std::string& message, const std::string& caption,
                       const CException& cause) override {
        errors.push_back(caption + "|" + message + "|" + cause.ErrorMessage());
    }
    int IconIndex(const std::string&, bool isDirectory) override { return isDirectory ? 1 : 0; }

    std::vector<bool> retryAnswers;  // consumed in order; No once they run out
    int retryQuestions = 0;
    std::vector<std::string> errors;  // "caption|message|cause text"
    std::string lastQuestion;
};
