#pragma once

#include "IReaderPrompts.h"

class QWidget;

// What opening an archive asks, answered with message boxes over a window.
class CWindowPrompts : public IReaderPrompts {
public:
    explicit CWindowPrompts(QWidget* window) : window(window) {}

    bool AskRetry(const std::string& question) override;
    void ShowOpenError(const std::string& message, const std::string& caption,
                       const CException& cause) override;
    int IconIndex(const std::string& name, bool isDirectory) override;

private:
    // The window the boxes belong to, while it is shown.
    QWidget* Owner() const;

    QWidget* window;
};
