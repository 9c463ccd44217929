#pragma once

#include <QDialog>
#include <memory>
#include <string>

namespace Ui {
class CReportDlg;
}

// The report of an installation, read-only, with a Close button.
class CReportDlg : public QDialog {
    Q_OBJECT

public:
    static constexpr int kClosed = 1002;  // the Close button's result

    explicit CReportDlg(const std::string& report, QWidget* parent = nullptr);
    ~CReportDlg() override;

private:
    std::unique_ptr<Ui::CReportDlg> ui;
};
