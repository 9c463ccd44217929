#pragma once

#include <QDialog>
#include <chrono>
#include <memory>
#include <optional>
#include <string>

#include "CExtractTree.h"
#include "CExtractionRun.h"
#include "CWindowPrompts.h"
#include "IExtractWindow.h"
#include "InstallJob.h"
#include "InstallOptions.h"

namespace Ui {
class CExtractDlg;
}

// The "Extracting" window: it shows where an installation reads and writes, runs it when the
// user presses Unzip, with both progress bars and the animation, offers a cancel while it runs,
// and afterwards shows the final status, the report and the tree of extracted files. One
// window, one run. The run stays on the window's thread: the user's clicks run nested in it.
class CExtractDlg : public QDialog, public IExtractWindow {
    Q_OBJECT

public:
    enum State { stateReady = 0, stateRunning = 1, stateDone = 2 };
    // What exec gives when the source names no archive.
    static constexpr int kNoArchive = 1;

    CExtractDlg(InstallJob job, const InstallOptions& options, QWidget* parent = nullptr);
    ~CExtractDlg() override;

    // Counts the archives first: with none, says so and returns kNoArchive without showing.
    int exec() override;
    // While the run executes, ending the window only hides it; it ends once the run returns.
    void done(int result) override;
    // Esc and the close box: the cancel question while running, otherwise the end.
    void reject() override;

    State DialogState() const { return state; }
    bool DetailsShown() const { return detailsShown; }
    const CExtractionRun& Run() const { return run; }

    void ShowDetails();
    void HideDetails();
    void ShowReport();

    // IExtractWindow
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
    bool AskInstallRisky(const std::string& archiveName, const std::string& lines) override;
    void RunFinished(const std::string& status, bool withErrors, bool cancelled) override;
    void PumpMessages() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void OnAction();
    void OnDetails();
    // Asks "Cancel operation ?"; on Yes the run stops before its next archive.
    bool ConfirmCancel();
    void SetActionLook(int iconId, int tipId, int captionId);
    void SetDetailsLook(int iconId, int tipId);
    // The window message boxes belong to: this one while it is shown.
    QWidget* Owner();
    // The Archive bar takes the entry the run has reached.
    void ShowArchivePosition();

    std::unique_ptr<Ui::CExtractDlg> ui;
    const InstallJob job;
    CWindowPrompts prompts;
    CExtractionRun run;
    std::optional<CExtractTree> tree;  // made once the window's widgets exist
    State state = stateReady;
    bool detailsShown = true;  // the window is laid out with the tree shown
    bool placed = false;
    bool runExecuting = false;
    bool endPending = false;
    int endResult = Rejected;
    int archivePosition = 0;
    int errorIcon = -1;
    int archiveIcon = -1;
    std::chrono::steady_clock::time_point lastPump{};
};
