#include "CMainDlg.h"

#include <QComboBox>
#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QKeySequence>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QShortcut>
#include <QTimer>
#include <QUrl>
#include <cstdio>

#include "CAboutDlg.h"
#include "CArchiveDetailsDlg.h"
#include "CDialogTexts.h"
#include "CExtractDlg.h"
#include "CFolderBrowser.h"
#include "CGameFinder.h"
#include "CPropertiesDlg.h"
#include "CRecentList.h"
#include "CSplashWindow.h"
#include "CStringTable.h"
#include "CUpdateCheck.h"
#include "CVersionInfo.h"
#include "DialogIds.h"
#include "FileSystem.h"
#include "IconIds.h"
#include "StringIds.h"
#include "SystemError.h"
#include "WindowTexts.h"
#include "ui_MainDlg.h"

namespace {

constexpr int kSplashMs = 3000;
// The file browser's filter, the same in both languages. Qt's own dialog matches it
// without regard to case, so it shows MAP.ZIP too.
const char* const kArchiveFilter = "Fichiers Archives (*.zip)";

// The name assistive tools give a field: the label in front of it.
QString LabelName(int controlId) {
    return WindowTexts::Shown(
        CDialogTexts::WithoutMnemonic(CDialogTexts::Load(IDD_MAIN, controlId)));
}

// The game folders of the Steam libraries, offered in the side bar of the target's browser.
std::vector<std::string> GameFolderPaths() {
    std::vector<std::string> paths;
    for (const GameFolder& folder : CGameFinder().Find()) {
        paths.push_back(folder.path);
    }
    return paths;
}

bool EndsWithSeparator(const std::string& path) {
    return !path.empty() && path.back() == FileSystem::NativeSeparator();
}

// Where a combo's list puts a path: in order, ignoring case, as the lists have always shown.
int SortedPlace(const QComboBox* combo, const QString& text) {
    int place = 0;
    while (place < combo->count() &&
           combo->itemText(place).compare(text, Qt::CaseInsensitive) <= 0) {
        ++place;
    }
    return place;
}

class WaitCursor {
public:
    explicit WaitCursor(QWidget* window) : window(window) { window->setCursor(Qt::WaitCursor); }
    ~WaitCursor() { window->unsetCursor(); }

private:
    QWidget* window;
};

}  // namespace

CMainDlg::CMainDlg(QWidget* parent) : QDialog(parent), ui(std::make_unique<Ui::CMainDlg>()) {
    settings.Bind(section);
    ui->setupUi(this);
    WindowTexts::Apply(this, IDD_MAIN);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setAcceptDrops(true);
    setWindowIcon(QIcon(QStringLiteral(":/icons/%1.svg").arg(IDI_MAIN)));

    for (QComboBox* combo : {ui->sourceCombo, ui->targetCombo}) {
        // The list is kept in order by AddRecent and LoadRecents; Enter adds nothing to it.
        combo->setInsertPolicy(QComboBox::NoInsert);
        // A drop on a field is a drop on the window: it sets the source, never pastes a URL.
        combo->lineEdit()->setAcceptDrops(false);
        combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    }
    ui->sourceLabel->setBuddy(ui->sourceCombo);
    ui->targetLabel->setBuddy(ui->targetCombo);
    // A combo box does not take its buddy's name; give it the label's, and to its text field,
    // which the accessibility bus shows in its place.
    for (auto [combo, label] : {std::pair{ui->sourceCombo, IDC_SOURCE_LABEL},
                                std::pair{ui->targetCombo, IDC_TARGET_LABEL}}) {
        combo->setAccessibleName(LabelName(label));
        combo->lineEdit()->setAccessibleName(LabelName(label));
    }
    ui->typeFrame->setAccessibleName(LabelName(IDC_TYPE_LABEL));

    SetUpButtons();
    connect(ui->extractButton, &QPushButton::clicked, this, &CMainDlg::OnExtract);
    connect(ui->viewButton, &QPushButton::clicked, this, &CMainDlg::OnView);
    connect(ui->propertiesButton, &QPushButton::clicked, this, &CMainDlg::OnProperties);
    connect(ui->browseSource, &QPushButton::clicked, this, &CMainDlg::OnBrowseSource);
    connect(ui->browseTarget, &QPushButton::clicked, this, &CMainDlg::OnBrowseTarget);
    connect(ui->quitButton, &QPushButton::clicked, this, [this] { done(kQuit); });
    connect(ui->fileType, &QRadioButton::clicked, this, &CMainDlg::OnSourceTypeClicked);
    connect(ui->folderType, &QRadioButton::clicked, this, &CMainDlg::OnSourceTypeClicked);
    connect(ui->sourceCombo, &QComboBox::activated, this, &CMainDlg::OnSourcePicked);
    connect(ui->targetCombo, &QComboBox::activated, this, &CMainDlg::OnTargetPicked);
    // Typing sets the texts; only picking, browsing, dropping and the commands normalise.
    connect(ui->sourceCombo->lineEdit(), &QLineEdit::textEdited, this,
            [this](const QString& text) { sourceText = text.toStdString(); });
    connect(ui->targetCombo->lineEdit(), &QLineEdit::textEdited, this,
            [this](const QString& text) { targetText = text.toStdString(); });
    auto* about = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(about, &QShortcut::activated, this, &CMainDlg::OnAbout);

    CSplashWindow::SetSplashLines(false, true, true, false);
    CSplashWindow::OpenSplash(kSplashMs, IDB_SPLASH, this);

    sourceText = settings.job.SourceDir;
    targetText = settings.job.TargetDir;
    sourceType = settings.job.Type;
    LoadRecents(ui->sourceCombo, "Source");
    LoadRecents(ui->targetCombo, "Target");
    NormalizePaths();
    ReadVersionTexts();
}

CMainDlg::~CMainDlg() = default;

void CMainDlg::SetUpButtons() {
    struct Setup {
        CImageButton* button;
        int icon;
        int tip;
    };
    const Setup setups[] = {
        {ui->quitButton, IDI_QUIT, IDS_TIP_QUIT},
        {ui->linkButton, IDI_LINK, IDS_TIP_LINK},
        {ui->extractButton, IDI_EXTRACT, IDS_TIP_EXTRACT},
        {ui->viewButton, IDI_VIEW, IDS_TIP_VIEW},
        {ui->propertiesButton, IDI_PROPERTIES, IDS_TIP_PROPERTIES},
        {ui->browseSource, IDI_BROWSE, IDS_TIP_BROWSE_SOURCE},
        {ui->browseTarget, IDI_BROWSE, IDS_TIP_BROWSE_TARGET},
    };
    for (const Setup& setup : setups) {
        setup.button->SetIconResource(setup.icon);
        setup.button->UseBalloonTips();
        setup.button->SetTipText(setup.tip);
        if (setup.button == ui->linkButton) {
            setup.button->SetLink(CStringTable::Load(IDS_WEB_SITE));
        }
    }
    // No button is the default: Enter in a field must not start a browser or a command.
    for (const Setup& setup : setups) {
        setup.button->setAutoDefault(false);
        setup.button->setDefault(false);
    }
    for (CImageButton* command : {ui->extractButton, ui->viewButton, ui->propertiesButton}) {
        command->SetLayout(CImageButton::kImageAbove);
    }
    for (CImageButton* browse : {ui->browseSource, ui->browseTarget}) {
        browse->FitToIcon();
    }
    for (CImageButton* iconOnly : {ui->quitButton, ui->linkButton}) {
        iconOnly->FitToIcon();
    }
}

void CMainDlg::ReadVersionTexts() {
    versionText.clear();
    legalText.clear();
    CVersionInfo info;
    if (info.Load(CVersionInfo::ProgramPath())) {
        versionText = QString::fromStdString(info.GetString("ProductVersion"));
        versionText.replace(QLatin1Char(','), QLatin1Char('.'));
        legalText = QString::fromStdString(info.GetString("LegalCopyright"));
    }
}

void CMainDlg::SaveSettings() const {
    section.Write();
}

void CMainDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (firstShow) {
        firstShow = false;
        // After the window shows, not before: a slow server must not keep it from appearing.
        if (settings.options.WebUpdate != 0) {
            QTimer::singleShot(0, this, [this] { CheckForUpdate(false); });
        }
    }
}

void CMainDlg::UpdateControls() {
    ui->sourceCombo->setEditText(QString::fromStdString(sourceText));
    ui->targetCombo->setEditText(QString::fromStdString(targetText));
    ui->fileType->setChecked(sourceType == sourceFile);
    ui->folderType->setChecked(sourceType != sourceFile);
}

void CMainDlg::UpdateVariables() {
    sourceText = ui->sourceCombo->currentText().toStdString();
    targetText = ui->targetCombo->currentText().toStdString();
    sourceType = ui->fileType->isChecked() ? sourceFile : sourceFolder;
}

void CMainDlg::PresetSource(const std::string& path) {
    UpdateVariables();
    sourceText = path;
    NormalizePaths();
}

void CMainDlg::NormalizePaths() {
    if (!sourceText.empty()) {
        sourceType = InstallJob::SourceTypeOf(sourceText);
        if (sourceType == sourceFolder && !EndsWithSeparator(sourceText)) {
            sourceText += FileSystem::NativeSeparator();
        }
    }
    if (!targetText.empty() && !EndsWithSeparator(targetText)) {
        targetText += FileSystem::NativeSeparator();
    }
    UpdateControls();
}

bool CMainDlg::FolderExists(const std::string& path) {
    // Found whatever the case of its names, as the installation finds it.
    return !path.empty() && FileSystem::IsDirectory(FileSystem::ResolveCase(path));
}

bool CMainDlg::CreateTargetFolder(const std::string& path) {
    if (!FileSystem::CreateFolder(path)) {
        const int error = SystemError::Last();
        char code[32];
        std::snprintf(code, sizeof code, "%ld : ", static_cast<long>(error));
        QMessageBox::warning(this, WindowTexts::String(IDS_CAPTION_ERROR),
                             WindowTexts::String(IDS_TARGET_NOT_CREATED) +
                                 QString::fromLatin1(code) +
                                 QString::fromStdString(SystemError::Text(error)));
        return false;
    }
    return FolderExists(path);
}

bool CMainDlg::HasWildcards(const std::string& path) {
    return path.find_first_of("*?") != std::string::npos;
}

void CMainDlg::Refuse(int messageId, QComboBox* focus) {
    QMessageBox::warning(this, WindowTexts::String(IDS_CAPTION_ERROR),
                         WindowTexts::String(messageId));
    focus->setFocus();
}

void CMainDlg::OnExtract() {
    UpdateVariables();
    if (sourceText.empty()) {
        Refuse(IDS_NO_SOURCE, ui->sourceCombo);
        return;
    }
    if (targetText.empty()) {
        Refuse(IDS_NO_TARGET, ui->targetCombo);
        return;
    }
    NormalizePaths();
    if (sourceType == sourceFolder && !FolderExists(sourceText)) {
        Refuse(IDS_SOURCE_NOT_FOUND, ui->sourceCombo);
        return;
    }
    if (!FolderExists(targetText)) {
        const auto answer = QMessageBox::information(
            this, WindowTexts::String(IDS_CAPTION_WARNING),
            WindowTexts::String(IDS_CREATE_FOLDER_QUESTION), QMessageBox::Yes | QMessageBox::No);
        if (answer != QMessageBox::Yes || !CreateTargetFolder(targetText)) {
            return;
        }
    }
    WaitCursor wait(this);
    settings.job.SourceDir = sourceText;
    settings.job.TargetDir = targetText;
    settings.job.Type = sourceType;
    AddRecent(ui->sourceCombo, "Source", sourceText);
    AddRecent(ui->targetCombo, "Target", targetText);
    UpdateVariables();
    CExtractDlg extracting(settings.job, settings.options, this);
    extracting.exec();
}

void CMainDlg::OnView() {
    UpdateVariables();
    if (sourceText.empty()) {
        Refuse(IDS_NO_SOURCE, ui->sourceCombo);
        return;
    }
    if (HasWildcards(sourceText)) {
        Refuse(IDS_WILDCARDS_REFUSED, ui->sourceCombo);
        return;
    }
    NormalizePaths();
    WaitCursor wait(this);
    CArchiveDetailsDlg details(sourceText, sourceType == sourceFolder ? 1 : 0, this);
    details.exec();
}

void CMainDlg::OnProperties() {
    // It reads and writes this window's options itself; its result changes nothing here.
    CPropertiesDlg properties(*this, this);
    properties.exec();
}

void CMainDlg::OnBrowseSource() {
    UpdateVariables();
    if (sourceType == sourceFile) {
        QFileDialog dialog(this);
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setNameFilter(QString::fromUtf8(kArchiveFilter));
        // No "*.zip" typed into the name: Qt applies it once the folder is read, over
        // whatever the user picked by then; the filter already shows only archives.
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        const QFileInfo current(QString::fromStdString(sourceText));
        const QString folder =
            current.isDir() ? current.absoluteFilePath() : current.absolutePath();
        if (!sourceText.empty() && QFileInfo(folder).isDir()) {
            dialog.setDirectory(folder);
        }
        if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
            sourceText = QDir::toNativeSeparators(dialog.selectedFiles().first()).toStdString();
        }
    } else {
        CFolderBrowser browser(this, sourceText, true);
    }
    ui->sourceCombo->setCurrentIndex(-1);
    NormalizePaths();  // refreshes the controls too
}

void CMainDlg::OnBrowseTarget() {
    UpdateVariables();
    CFolderBrowser browser(this, targetText, false, GameFolderPaths());
    ui->targetCombo->setCurrentIndex(-1);
    NormalizePaths();  // refreshes the controls too
}

void CMainDlg::OnSourceTypeClicked() {
    UpdateVariables();
    // Choosing a type always clears the source.
    sourceText.clear();
    UpdateControls();
}

void CMainDlg::OnSourcePicked(int index) {
    // The other field may hold a completion the typing signal never reported.
    UpdateVariables();
    if (index >= 0) {
        sourceText = ui->sourceCombo->itemText(index).toStdString();
    }
    NormalizePaths();
}

void CMainDlg::OnTargetPicked(int index) {
    UpdateVariables();
    if (index >= 0) {
        targetText = ui->targetCombo->itemText(index).toStdString();
    }
    NormalizePaths();
}

void CMainDlg::LoadRecents(QComboBox* combo, const std::string& listName) {
    combo->clear();
    for (const std::string& path : CRecentList(listName).Load()) {
        const QString text = QString::fromStdString(path);
        combo->insertItem(SortedPlace(combo, text), text);
    }
    combo->setCurrentIndex(-1);
    UpdateControls();
}

void CMainDlg::AddRecent(QComboBox* combo, const std::string& listName, const std::string& path) {
    const QString text = QString::fromStdString(path);
    // A path that fell off the stored list may still be in the combo's: listed once only.
    if (CRecentList(listName).Add(path) && combo->findText(text, Qt::MatchFixedString) < 0) {
        const QString edit = combo->currentText();
        combo->insertItem(SortedPlace(combo, text), text);
        combo->setEditText(edit);
    }
}

void CMainDlg::OnDropFiles(const QStringList& paths) {
    if (paths.isEmpty()) {
        return;
    }
    std::string dropped = paths.first().toStdString();
    if (dropped.empty() || !FileSystem::Exists(dropped)) {
        return;
    }
    UpdateVariables();
    ui->sourceCombo->setCurrentIndex(-1);
    if (FileSystem::IsDirectory(dropped)) {
        sourceText = dropped;
    } else {
        const size_t last = dropped.rfind(FileSystem::NativeSeparator());
        // A file in the root keeps the root's one separator.
        sourceText = last == std::string::npos ? std::string()
                     : last == 0               ? dropped.substr(0, 1)
                                               : dropped.substr(0, last);
    }
    NormalizePaths();  // refreshes the controls too
}

void CMainDlg::dragEnterEvent(QDragEnterEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (!urls.isEmpty() && urls.first().isLocalFile()) {
        event->acceptProposedAction();
    }
}

void CMainDlg::dropEvent(QDropEvent* event) {
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile()) {
            paths << QDir::toNativeSeparators(url.toLocalFile());
        }
    }
    OnDropFiles(paths);
    event->acceptProposedAction();
}

void CMainDlg::contextMenuEvent(QContextMenuEvent* event) {
    const QString about = WindowTexts::String(IDS_MENU_ABOUT);
    if (about.isEmpty()) {
        return;
    }
    QMenu menu(this);
    menu.addAction(about, this, &CMainDlg::OnAbout);
    menu.exec(event->globalPos());
}

void CMainDlg::OnAbout() {
    CAboutDlg about(versionText, legalText, this);
    about.exec();
}

void CMainDlg::CheckForUpdate(bool verbose) {
    CUpdateCheck::CheckForUpdate(this, versionText.toStdString(), verbose);
}
