#pragma once

#include <QString>
#include <memory>

#include "CBackdropDialog.h"

namespace Ui {
class CAboutDlg;
}

// The about box: the splash picture stretched over the window, the version and the legal
// notice over it, and OK.
class CAboutDlg : public CBackdropDialog {
    Q_OBJECT

public:
    // The window's size: the picture's own, so that it shows undistorted.
    static constexpr int kWidth = 418;
    static constexpr int kHeight = 238;

    // versionText: the program's version ("1.02"); empty leaves the line "Version".
    CAboutDlg(const QString& versionText, const QString& legalText, QWidget* parent = nullptr);
    ~CAboutDlg() override;

private:
    std::unique_ptr<Ui::CAboutDlg> ui;
};
