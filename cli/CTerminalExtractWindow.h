#pragma once

#include <chrono>
#include <functional>
#include <string>

#include "IExtractWindow.h"

// An installation on a terminal: errors and questions on stderr, answers from stdin when it is a
// terminal (otherwise existing files are kept), and a progress line while stderr is a terminal.
class CTerminalExtractWindow : public IExtractWindow {
public:
    // answer, when not overwriteNo, answers every replace question in advance; progress shows
    // the progress line (while stderr is a terminal).
    explicit CTerminalExtractWindow(OverwriteChoice answer, bool progress = true);

    // Called from PumpMessages once the user pressed Ctrl+C.
    std::function<void()> onInterrupt;
    // Risky files are installed only when asked for on the command line (--allow-risky).
    bool allowRisky = false;

    void ShowFileLabel(const std::string& text) override;
    void SetTotalRange(int archiveCount) override;
    void SetTotalPosition(int archivesDone) override;
    void SetArchiveRange(int entryCount) override;
    void SetArchivePosition(int entry) override;
    Node InsertArchiveNode(const std::string& archiveName) override;
    Node AddFolderNodes(Node archive, const std::string& subFolder) override;
    void AddFileNode(Node folder, const std::string& fileName, bool errorMark) override;
    void ShowError(const std::string& subject, const std::string& message) override;
    OverwriteChoice AskOverwrite(const std::string& destination, const std::string& existingLine,
                                 const std::string& entryLine) override;
    bool AskInstallRisky(const std::string&, const std::string&) override { return allowRisky; }
    void RunFinished(const std::string& status, bool withErrors, bool cancelled) override;
    void PumpMessages() override;

private:
    void DrawProgress(bool force);
    void ClearProgress();

    OverwriteChoice presetAnswer;
    bool showProgress;
    bool progressShown = false;
    std::chrono::steady_clock::time_point lastDrawn{};
    int totalArchives = 0;
    int archivesDone = 0;
    int totalEntries = 0;
    int currentEntry = 0;
};
