#include "ScriptedPrompts.h"

#include "CException.h"

bool ScriptedPrompts::AskRetry(const std::string& question) {
    lastQuestion = question;
    const size_t asked = static_cast<size_t>(retryQuestions++);
    return asked < retryAnswers.size() && retryAnswers[asked];
}

void ScriptedPrompts::ShowOpenError(const std::string& message, const std::string& caption,
                                    const CException& cause) {
    errors.push_back(caption + "|" + message + "|" + cause.ErrorMessage());
}

int ScriptedPrompts::IconIndex(const std::string&, bool isDirectory) {
    return isDirectory ? 1 : 0;
}
