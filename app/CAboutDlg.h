#pragma once

#include <QString>

#include "CBackdropDialog.h"

// The about box: the splash picture stretched over the window, the version and the legal
// notice over it, and OK.
class CAboutDlg : public CBackdropDialog {
    Q_OBJECT

public:
    // versionText: the program's version ("1.02"); empty leaves the line "Version".
    CAboutDlg(const QString& versionText, const QString& legalText, QWidget* parent = nullptr);
    ~CAboutDlg() override;
};
