#include "CPropertiesDlg.h"

#include <QMessageBox>
#include <QPointer>

#include "CDialogTexts.h"
#include "CMainDlg.h"
#include "DialogIds.h"
#include "StringIds.h"
#include "WindowTexts.h"
#include "ui_PropertiesDlg.h"

namespace {

QString Caption(int controlId) {
    return WindowTexts::Shown(CDialogTexts::Load(IDD_PROPERTIES, controlId));
}

Qt::CheckState Mark(int value) {
    return value != 0 ? Qt::Checked : Qt::Unchecked;
}

}  // namespace

CPropertiesDlg::CPropertiesDlg(CMainDlg& mainWindow, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::CPropertiesDlg>()), mainWindow(mainWindow) {
    ui->setupUi(this);
    WindowTexts::Apply(this, IDD_PROPERTIES);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    ui->languageCombo->addItem(Caption(IDC_FRENCH_ITEM));
    ui->languageCombo->addItem(Caption(IDC_ENGLISH_ITEM));
    ui->languageLabel->setBuddy(ui->languageCombo);
    ui->miscLabel->setBuddy(ui->miscEdit);
    // A list and a field take the names of the labels in front of them.
    ui->languageCombo->setAccessibleName(WindowTexts::Shown(
        CDialogTexts::WithoutMnemonic(CDialogTexts::Load(IDD_PROPERTIES, IDC_LANGUAGE_LABEL))));
    ui->miscEdit->setAccessibleName(WindowTexts::Shown(
        CDialogTexts::WithoutMnemonic(CDialogTexts::Load(IDD_PROPERTIES, IDC_MISC_LABEL))));

    connect(ui->analyseCheck, &QCheckBox::clicked, this, [this] {
        UpdateVariables();
        ApplyEnableRules();
    });
    connect(ui->replaceCheck, &QCheckBox::clicked, this, [this] {
        UpdateVariables();
        ApplyEnableRules();
    });
    connect(ui->downloadButton, &QPushButton::clicked, this, &CPropertiesDlg::OnDownload);
    connect(ui->okButton, &QPushButton::clicked, this, &CPropertiesDlg::accept);
    connect(ui->cancelButton, &QPushButton::clicked, this, &CPropertiesDlg::reject);

    LoadOptions();
    ApplyEnableRules();
}

CPropertiesDlg::~CPropertiesDlg() = default;

void CPropertiesDlg::LoadOptions() {
    options = mainWindow.Options();
    miscText = options.MiscPath;
    analyse = options.Analyse;
    newer = options.Newer;
    replace = options.Replace;
    webUpdate = options.WebUpdate;
    languageIndex = options.Language == "french" ? kFrench : kEnglish;
    loadedLanguageIndex = languageIndex;
    UpdateControls();
}

void CPropertiesDlg::SaveOptions() {
    UpdateVariables();
    // The stored form: no separator in front, one at the end ("divers" and "\divers\" give
    // "divers\", a lone "\" the target itself), the one every installation reads it in.
    miscText = InstallOptions::NormalizeMiscPath(miscText);
    options.MiscPath = miscText;
    options.Analyse = analyse;
    options.Newer = newer;
    options.Replace = replace;
    options.WebUpdate = webUpdate;
    options.Language = languageIndex != kFrench ? "english" : "french";
    mainWindow.Options() = options;

    if (languageIndex != loadedLanguageIndex) {
        // The running program keeps its language; the next start takes the new one.
        QMessageBox notice(QMessageBox::Information, WindowTexts::String(IDS_CAPTION_WARNING),
                           WindowTexts::String(IDS_RESTART_NOTICE), QMessageBox::Ok, this);
        notice.exec();
    }
}

void CPropertiesDlg::accept() {
    SaveOptions();
    QDialog::accept();
}

void CPropertiesDlg::UpdateControls() {
    ui->languageCombo->setCurrentIndex(languageIndex);
    ui->miscEdit->setText(QString::fromStdString(miscText));
    ui->miscEdit->setCursorPosition(0);
    ui->analyseCheck->setCheckState(Mark(analyse));
    ui->newerCheck->setCheckState(Mark(newer));
    ui->replaceCheck->setCheckState(Mark(replace));
    ui->webUpdateCheck->setCheckState(Mark(webUpdate));
}

void CPropertiesDlg::UpdateVariables() {
    languageIndex = ui->languageCombo->currentIndex();
    miscText = ui->miscEdit->text().toStdString();
    analyse = ui->analyseCheck->isChecked() ? 1 : 0;
    newer = ui->newerCheck->isChecked() ? 1 : 0;
    replace = ui->replaceCheck->isChecked() ? 1 : 0;
    webUpdate = ui->webUpdateCheck->isChecked() ? 1 : 0;
}

void CPropertiesDlg::ApplyEnableRules() {
    ui->miscEdit->setEnabled(analyse != 0);
    ui->newerCheck->setEnabled(replace != 0);
}

void CPropertiesDlg::OnDownload() {
    const QPointer<QWidget> hadFocus = focusWidget();
    mainWindow.CheckForUpdate(true);
    // The check's messages belong to the main window; the keyboard comes back here.
    activateWindow();
    if (!hadFocus.isNull()) {
        hadFocus->setFocus(Qt::OtherFocusReason);
    } else {
        setFocus(Qt::OtherFocusReason);
    }
}
