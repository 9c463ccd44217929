#include "CTerminalExtractWindow.h"

#include <unistd.h>

#include <csignal>
#include <iostream>

#include "CStringTable.h"
#include "CaseFold.h"
#include "StringIds.h"
#include "TextFormat.h"

namespace {

volatile std::sig_atomic_t interrupted = 0;

extern "C" void OnInterrupt(int) {
    interrupted = 1;
    std::signal(SIGINT, SIG_DFL);
}

}  // namespace

CTerminalExtractWindow::CTerminalExtractWindow(OverwriteChoice answer)
    : presetAnswer(answer), showProgress(::isatty(STDERR_FILENO) != 0) {}

void CTerminalExtractWindow::CatchInterrupt() {
    std::signal(SIGINT, OnInterrupt);
}

void CTerminalExtractWindow::DrawProgress(bool force) {
    if (!showProgress) {
        return;
    }
    // A terminal cannot show thousands of lines a second; a few redraws a second are enough.
    const auto now = std::chrono::steady_clock::now();
    if (!force && now - lastDrawn < std::chrono::milliseconds(100)) {
        return;
    }
    lastDrawn = now;
    const int archive = std::min(archivesDone + 1, totalArchives);
    std::cerr << '\r'
              << TextFormat::Format(CStringTable::Load(IDS_CLI_PROGRESS),
                                    {std::to_string(archive), std::to_string(totalArchives),
                                     std::to_string(currentEntry), std::to_string(totalEntries)})
              << "\x1b[K" << std::flush;
    progressShown = true;
}

void CTerminalExtractWindow::ClearProgress() {
    if (progressShown) {
        std::cerr << "\r\x1b[K" << std::flush;
        progressShown = false;
    }
}

void CTerminalExtractWindow::ShowFileLabel(const std::string&) {
    DrawProgress(true);
}

void CTerminalExtractWindow::SetTotalRange(int archiveCount) {
    totalArchives = archiveCount;
}

void CTerminalExtractWindow::SetTotalPosition(int done) {
    archivesDone = done;
}

void CTerminalExtractWindow::SetArchiveRange(int entryCount) {
    totalEntries = entryCount;
    currentEntry = 0;
}

void CTerminalExtractWindow::SetArchivePosition(int entry) {
    currentEntry = entry;
    DrawProgress(false);
}

IExtractWindow::Node CTerminalExtractWindow::InsertArchiveNode(const std::string&) {
    return nullptr;
}

IExtractWindow::Node CTerminalExtractWindow::AddFolderNodes(Node, const std::string&) {
    return nullptr;
}

void CTerminalExtractWindow::AddFileNode(Node, const std::string&, bool) {}

void CTerminalExtractWindow::ShowError(const std::string& text) {
    ClearProgress();
    std::cerr << text << '\n';
}

OverwriteChoice CTerminalExtractWindow::AskOverwrite(const std::string& destination,
                                                     const std::string& existingLine,
                                                     const std::string& entryLine) {
    if (presetAnswer != overwriteNo) {
        return presetAnswer;
    }
    if (!::isatty(STDIN_FILENO)) {
        return overwriteNo;  // as when the question cannot be shown
    }
    ClearProgress();
    std::cerr << CStringTable::Load(IDS_OVERWRITE_EXISTING) << "\n    " << destination << "\n    "
              << existingLine << '\n'
              << CStringTable::Load(IDS_WITH_FILE) << "\n    " << destination << "\n    "
              << entryLine << '\n';
    const std::string keys = CStringTable::Load(IDS_CLI_REPLACE_KEYS);
    static const OverwriteChoice kChoices[] = {overwriteYes, overwriteNo, overwriteYesForAll,
                                               overwriteNoForAll};
    for (;;) {
        std::cerr << CStringTable::Load(IDS_CLI_REPLACE_ANSWERS) << std::flush;
        std::string answer;
        if (!std::getline(std::cin, answer)) {
            return overwriteNo;
        }
        const std::string folded = CaseFold::Fold(answer);
        if (folded.empty()) {
            return overwriteNo;  // Enter answers No, as in the dialog
        }
        const size_t key = keys.find(folded[0]);
        if (key != std::string::npos && key < std::size(kChoices)) {
            return kChoices[key];
        }
    }
}

void CTerminalExtractWindow::RunFinished(const std::string&, bool, bool) {
    ClearProgress();
}

void CTerminalExtractWindow::PumpMessages() {
    if (interrupted && onInterrupt) {
        interrupted = 0;
        ClearProgress();
        onInterrupt();
    }
}
