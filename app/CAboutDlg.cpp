#include "CAboutDlg.h"

#include <QPalette>

#include "DialogIds.h"
#include "IconIds.h"
#include "WindowTexts.h"
#include "ui_AboutDlg.h"

CAboutDlg::CAboutDlg(const QString& versionText, const QString& legalText, QWidget* parent)
    : CBackdropDialog(parent), ui(std::make_unique<Ui::CAboutDlg>()) {
    ui->setupUi(this);
    WindowTexts::Apply(this, IDD_ABOUT);
    SetMode(kStretch);
    SetPicture(IDB_SPLASH);
    setFixedSize(kWidth, kHeight);

    if (!versionText.isEmpty()) {
        QString version = versionText;
        version.replace(QLatin1Char(','), QLatin1Char('.'));
        ui->versionLabel->setText(ui->versionLabel->text() + QLatin1Char(' ') + version);
    }
    ui->legalLabel->setText(legalText);

    // The texts lie on the picture's light strip, whatever colours the desktop gives windows.
    for (QLabel* label : {ui->versionLabel, ui->legalLabel}) {
        QPalette colours = label->palette();
        colours.setColor(QPalette::WindowText, Qt::black);
        label->setPalette(colours);
        label->setAutoFillBackground(false);
    }
    connect(ui->okButton, &QPushButton::clicked, this, &QDialog::accept);
}

CAboutDlg::~CAboutDlg() = default;
