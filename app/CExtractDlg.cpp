#include "CExtractDlg.h"

#include <QApplication>
#include <QMessageBox>
#include <QScreen>
#include <QShowEvent>
#include <QTreeWidgetItem>
#include <utility>

#include "CFileIconList.h"
#include "COverwriteDlg.h"
#include "CReportDlg.h"
#include "DialogIds.h"
#include "IconIds.h"
#include "StringIds.h"
#include "WindowTexts.h"
#include "ui_ExtractDlg.h"

namespace {

// How often the run lets the window handle what the user did, at most: a click waits no
// longer, and a run over many small entries does not pay for an event loop pass each.
constexpr std::chrono::milliseconds kPumpGap{10};

QTreeWidgetItem* Item(IExtractWindow::Node node) {
    return static_cast<QTreeWidgetItem*>(node);
}

QString FromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

CExtractDlg::CExtractDlg(InstallJob job_, const InstallOptions& options, QWidget* parent)
    : QDialog(parent),
      ui(std::make_unique<Ui::CExtractDlg>()),
      job(std::move(job_)),
      prompts(this),
      run(job, options, *this, prompts) {
    ui->setupUi(this);
    tree.emplace(ui->tree);
    WindowTexts::Apply(this, IDD_EXTRACT);
    // The program's two icons join the file types' list once; the list is borrowed.
    CFileIconList& icons = CFileIconList::Shared();
    errorIcon = icons.ProgramIcon(IDI_ERROR_MARK);
    archiveIcon = icons.ProgramIcon(IDI_ARCHIVE);

    // Labels name what they stand beside, for screen readers.
    ui->sourceLabel->setBuddy(ui->sourceValue);
    ui->targetLabel->setBuddy(ui->targetValue);
    ui->fileLabel->setBuddy(ui->fileValue);
    ui->totalLabel->setBuddy(ui->totalBar);
    ui->archiveLabel->setBuddy(ui->archiveBar);
    ui->treeLabel->setBuddy(ui->tree);
    // A tree view does not take its name from its buddy as other controls do.
    ui->tree->setAccessibleName(ui->treeLabel->text());
    ui->sourceValue->SetPathEllipsis(true);
    ui->targetValue->SetPathEllipsis(true);

    SetTotalRange(0);
    SetActionLook(IDI_UNZIP, IDS_TIP_UNZIP, IDS_ACTION_UNZIP);
    SetDetailsLook(IDI_SHOW_DETAILS, IDS_TIP_SHOW_DETAILS);
    ui->closeButton->SetIconResource(IDI_CLOSE);
    ui->closeButton->UseBalloonTips();
    ui->closeButton->SetTipText(IDS_TIP_CLOSE_WINDOW);
    HideDetails();
    // The tree is hidden while the run builds it: each archive joins the view in one piece.
    tree->HoldTopLevel(true);
    ui->sourceValue->setText(FromUtf8(job.SourceDir));
    ui->targetValue->setText(FromUtf8(job.TargetDir));

    connect(ui->actionButton, &QPushButton::clicked, this, &CExtractDlg::OnAction);
    connect(ui->detailsButton, &QPushButton::clicked, this, &CExtractDlg::OnDetails);
    connect(ui->closeButton, &QPushButton::clicked, this, &QWidget::close);
}

CExtractDlg::~CExtractDlg() = default;

int CExtractDlg::exec() {
    if (run.CountArchives() == 0) {
        QMessageBox box(QMessageBox::Information, WindowTexts::String(IDS_CAPTION_ERROR),
                        WindowTexts::String(IDS_NO_ARCHIVE), QMessageBox::Ok, parentWidget());
        box.exec();
        setResult(kNoArchive);
        return kNoArchive;
    }
    return QDialog::exec();
}

void CExtractDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (placed || event->spontaneous()) {
        return;
    }
    placed = true;
    // Centred for the window with its tree shown: half the tree's height higher, within the
    // screen.
    QPoint place = pos() - QPoint(0, ui->treeFrame->sizeHint().height() / 2);
    if (const QScreen* screen = this->screen()) {
        place.setY(qMax(place.y(), screen->availableGeometry().top()));
    }
    move(place);
}

void CExtractDlg::done(int result) {
    if (runExecuting) {
        // The run still uses this window: it goes on hidden, and the window ends after it.
        hide();
        endPending = true;
        endResult = result;
        return;
    }
    QDialog::done(result);
}

void CExtractDlg::reject() {
    if (state == stateRunning && !ConfirmCancel()) {
        return;
    }
    done(Rejected);
}

bool CExtractDlg::ConfirmCancel() {
    QMessageBox box(QMessageBox::Information, WindowTexts::String(IDS_CAPTION_WARNING),
                    WindowTexts::String(IDS_CANCEL_QUESTION), QMessageBox::Yes | QMessageBox::No,
                    Owner());
    if (box.exec() != QMessageBox::Yes) {
        return false;
    }
    // Asked twice (the Action button, then the close box), it counts once.
    if (state == stateRunning) {
        state = stateDone;
        run.RequestCancel();
    }
    return true;
}

void CExtractDlg::OnAction() {
    switch (state) {
        case stateReady: {
            if (runExecuting) {
                return;
            }
            state = stateRunning;
            SetActionLook(IDI_CANCEL, IDS_TIP_CANCEL, IDS_ACTION_CANCEL);
            ui->animation->Open(IDR_EXTRACT_ANIMATION);
            runExecuting = true;
            run.RunExtraction();
            runExecuting = false;
            if (endPending) {
                QDialog::done(endResult);
            }
            break;
        }
        case stateRunning:
            ConfirmCancel();
            break;
        case stateDone:
            ShowReport();
            break;
    }
}

void CExtractDlg::OnDetails() {
    if (!run.IsFinished()) {
        QMessageBox box(QMessageBox::Information, WindowTexts::String(IDS_CAPTION_ERROR),
                        WindowTexts::String(IDS_NO_DETAILS_YET), QMessageBox::Ok, Owner());
        box.exec();
        return;
    }
    if (detailsShown) {
        HideDetails();
    } else {
        ShowDetails();
    }
}

void CExtractDlg::ShowDetails() {
    // On screen, the tree shows each node as it comes (after a cancel, the archive in progress
    // goes on).
    tree->Attach();
    tree->HoldTopLevel(false);
    // The window grows by the frame's height: the layout keeps it at its contents' size.
    ui->treeFrame->show();
    layout()->activate();
    detailsShown = true;
    SetDetailsLook(IDI_HIDE_DETAILS, IDS_TIP_HIDE_DETAILS);
    ui->tree->scrollToTop();
    update();
}

void CExtractDlg::HideDetails() {
    ui->treeFrame->hide();
    layout()->activate();
    detailsShown = false;
    SetDetailsLook(IDI_SHOW_DETAILS, IDS_TIP_SHOW_DETAILS);
    update();
}

void CExtractDlg::ShowReport() {
    CReportDlg report(run.Report().Text(), Owner());
    report.exec();
}

void CExtractDlg::SetActionLook(int iconId, int tipId, int captionId) {
    ui->actionButton->SetIconResource(iconId);
    ui->actionButton->UseBalloonTips();
    ui->actionButton->SetTipText(tipId);
    ui->actionButton->setText(WindowTexts::String(captionId));
}

void CExtractDlg::SetDetailsLook(int iconId, int tipId) {
    ui->detailsButton->SetIconResource(iconId);
    ui->detailsButton->UseBalloonTips();
    ui->detailsButton->SetTipText(tipId);
}

QWidget* CExtractDlg::Owner() {
    return isVisible() ? this : nullptr;
}

void CExtractDlg::ShowFileLabel(const std::string& text) {
    ui->fileValue->setText(FromUtf8(text));
}

void CExtractDlg::SetTotalRange(int archiveCount) {
    ui->totalBar->setRange(0, archiveCount);
    ui->totalBar->setValue(0);
}

void CExtractDlg::SetTotalPosition(int archivesDone) {
    ui->totalBar->setValue(archivesDone);
}

void CExtractDlg::SetArchiveRange(int entryCount) {
    ui->archiveBar->setRange(0, entryCount);
    archivePosition = ui->archiveBar->value();
}

void CExtractDlg::SetArchivePosition(int entry) {
    // A bar paints itself at once whenever it moves a pixel; nothing of it reaches the screen
    // before the run lets the window handle its events anyway, so it moves then.
    archivePosition = entry;
}

void CExtractDlg::ShowArchivePosition() {
    if (ui->archiveBar->value() != archivePosition) {
        ui->archiveBar->setValue(archivePosition);
    }
}

IExtractWindow::Node CExtractDlg::InsertArchiveNode(const std::string& archiveName) {
    tree->Attach();  // the archives before this one are complete
    return tree->InsertNode(nullptr, FromUtf8(archiveName),
                            CFileIconList::Shared().Icon(archiveIcon), true);
}

IExtractWindow::Node CExtractDlg::AddFolderNodes(Node archive, const std::string& subFolder) {
    CFileIconList& icons = CFileIconList::Shared();
    return tree->AddFolderNodes(Item(archive), subFolder,
                                icons.Icon(icons.IndexOf(subFolder, true)));
}

void CExtractDlg::AddFileNode(Node folder, const std::string& fileName, bool errorMark) {
    CFileIconList& icons = CFileIconList::Shared();
    // The icon of the name's type, known by its extension.
    const int icon = errorMark ? errorIcon : icons.IndexOf(fileName, false);
    tree->AddFileNode(Item(folder), FromUtf8(fileName), icons.Icon(icon));
}

void CExtractDlg::ShowError(const std::string& subject, const std::string& message) {
    QMessageBox box(QMessageBox::Warning, WindowTexts::String(IDS_CAPTION_ERROR),
                    WindowTexts::Formatted(IDS_ERROR_BOX, {subject, message}), QMessageBox::Ok,
                    Owner());
    box.exec();
}

bool CExtractDlg::AskInstallRisky(const std::string& archiveName, const std::string& lines) {
    QMessageBox box(QMessageBox::Warning, WindowTexts::String(IDS_RISKY_CAPTION),
                    WindowTexts::Formatted(IDS_RISKY_QUESTION, {archiveName, lines}),
                    QMessageBox::NoButton, Owner());
    box.setObjectName(QStringLiteral("riskyQuestion"));
    QPushButton* skip = box.addButton(WindowTexts::String(IDS_RISKY_SKIP), QMessageBox::RejectRole);
    skip->setObjectName(QStringLiteral("skipRiskyButton"));
    box.addButton(WindowTexts::String(IDS_RISKY_INSTALL), QMessageBox::AcceptRole)
        ->setObjectName(QStringLiteral("installRiskyButton"));
    // Leaving them out is what Enter, Esc and the close box do.
    box.setDefaultButton(skip);
    box.setEscapeButton(skip);
    box.exec();
    return box.clickedButton() != skip && box.clickedButton() != nullptr;
}

OverwriteChoice CExtractDlg::AskOverwrite(const std::string& destination,
                                          const std::string& existingLine,
                                          const std::string& entryLine) {
    COverwriteDlg question(FromUtf8(destination), FromUtf8(existingLine), FromUtf8(entryLine),
                           Owner());
    const int answer = question.exec();
    switch (answer) {
        case overwriteYes:
        case overwriteYesForAll:
        case overwriteNoForAll:
            return static_cast<OverwriteChoice>(answer);
        default:
            return overwriteNo;
    }
}

void CExtractDlg::RunFinished(const std::string& status, bool withErrors, bool cancelled) {
    ui->animation->Stop();
    ui->animation->Close();
    if (cancelled) {
        // The caption and tooltip stay; only the look says the run did not complete.
        ui->actionButton->SetIconResource(IDI_DONE_ERRORS);
    } else {
        state = stateDone;
        SetActionLook(withErrors ? IDI_DONE_ERRORS : IDI_DONE, IDS_TIP_REPORT, IDS_ACTION_REPORT);
    }
    QApplication::beep();
    ShowFileLabel(status);
    ShowArchivePosition();
    tree->Attach();
    tree->SortTopLevel();
    ui->tree->update();
}

void CExtractDlg::PumpMessages() {
    const auto now = std::chrono::steady_clock::now();
    if (now - lastPump < kPumpGap) {
        return;
    }
    ShowArchivePosition();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    lastPump = std::chrono::steady_clock::now();
}
