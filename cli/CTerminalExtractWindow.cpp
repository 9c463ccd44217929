#include "CTerminalExtractWindow.h"

#include <unistd.h>

#include <iostream>

#include "CDialogTexts.h"
#include "CSignalWatcher.h"
#include "CStringTable.h"
#include "CaseFold.h"
#include "DialogIds.h"
#include "StringIds.h"
#include "TextFormat.h"
#include "Utf8.h"

CTerminalExtractWindow::CTerminalExtractWindow(OverwriteChoice answer, bool progress)
    : presetAnswer(answer), showProgress(progress && ::isatty(STDERR_FILENO) != 0) {}

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
    // The counts of the archive before are not this one's; the line comes back with its range.
    totalEntries = 0;
    currentEntry = 0;
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
    DrawProgress(true);
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

void CTerminalExtractWindow::ShowError(const std::string& subject, const std::string& message) {
    ClearProgress();
    std::cerr << TextFormat::Format(
                     CStringTable::Load(IDS_ERROR_BOX),
                     {Utf8::WithoutControls(subject), Utf8::WithoutControls(message)})
              << '\n';
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
    // The replace dialog's own labels, and what it shows under them.
    const std::string shown = Utf8::WithoutControls(destination);
    std::cerr << CDialogTexts::Load(IDD_OVERWRITE, IDC_REPLACE_LABEL) << "\n    " << shown
              << "\n    " << existingLine << '\n'
              << CDialogTexts::Load(IDD_OVERWRITE, IDC_WITH_LABEL) << "\n    " << shown << "\n    "
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
    if (onInterrupt && CSignalWatcher::TakeInterrupt()) {
        ClearProgress();
        onInterrupt();
    }
}
