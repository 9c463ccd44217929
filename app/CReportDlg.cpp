#include "CReportDlg.h"

#include "DialogIds.h"
#include "IconIds.h"
#include "StringIds.h"
#include "WindowTexts.h"
#include "ui_ReportDlg.h"

CReportDlg::CReportDlg(const std::string& report, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::CReportDlg>()) {
    ui->setupUi(this);
    WindowTexts::Apply(this, IDD_REPORT);
    ui->reportText->setPlainText(WindowTexts::Shown(report));
    ui->reportText->setAccessibleName(windowTitle());
    ui->closeButton->SetIconResource(IDI_CLOSE);
    ui->closeButton->UseBalloonTips();
    ui->closeButton->SetTipText(IDS_TIP_CLOSE_WINDOW);
    // A caption longer than the button is drawn for widens it, however small the window gets.
    ui->closeButton->setMinimumSize(
        ui->closeButton->minimumSize().expandedTo(ui->closeButton->sizeHint()));
    connect(ui->closeButton, &QPushButton::clicked, this, [this] { done(kClosed); });
}

CReportDlg::~CReportDlg() = default;
