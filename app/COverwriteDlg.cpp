#include "COverwriteDlg.h"

#include <QStyle>

#include "DialogIds.h"
#include "OverwriteChoice.h"
#include "WindowTexts.h"
#include "ui_OverwriteDlg.h"

COverwriteDlg::COverwriteDlg(const QString& destination, const QString& existingLine,
                             const QString& entryLine, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::COverwriteDlg>()) {
    ui->setupUi(this);
    WindowTexts::Apply(this, IDD_OVERWRITE);
    const int iconSize = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
    ui->questionIcon->setPixmap(
        style()->standardIcon(QStyle::SP_MessageBoxQuestion, nullptr, this).pixmap(iconSize));
    // A long path keeps its beginning and its file name; the whole path stays the lines' text.
    for (CTrimLabel* line : {ui->nameLine, ui->withNameLine}) {
        line->SetPathEllipsis(true);
        line->setText(destination);
    }
    ui->dateLine->setText(existingLine);
    ui->withDateLine->setText(entryLine);
    ui->replaceLabel->setBuddy(ui->nameLine);
    ui->withLabel->setBuddy(ui->withNameLine);
    connect(ui->yesButton, &QPushButton::clicked, this, [this] { done(overwriteYes); });
    connect(ui->noButton, &QPushButton::clicked, this, [this] { done(overwriteNo); });
    connect(ui->yesForAllButton, &QPushButton::clicked, this, [this] { done(overwriteYesForAll); });
    connect(ui->noForAllButton, &QPushButton::clicked, this, [this] { done(overwriteNoForAll); });
    ui->noButton->setFocus();
    setFixedWidth(qMax(sizeHint().width(), 500));
}

COverwriteDlg::~COverwriteDlg() = default;

void COverwriteDlg::reject() {
    done(overwriteNo);
}
