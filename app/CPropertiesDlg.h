#pragma once

#include <QDialog>
#include <memory>
#include <string>

#include "InstallOptions.h"

class CMainDlg;

namespace Ui {
class CPropertiesDlg;
}

// The options of the installations: the interface language, the Misc folder, sorting, the two
// replace options and the check for a newer version at start-up. It reads the main window's
// options when it opens and writes them back on OK only; the main window stores them when the
// program ends.
class CPropertiesDlg : public QDialog {
    Q_OBJECT

public:
    // The language list's items, in this order in both languages.
    static constexpr int kFrench = 0;
    static constexpr int kEnglish = 1;

    explicit CPropertiesDlg(CMainDlg& mainWindow, QWidget* parent = nullptr);
    ~CPropertiesDlg() override;

    // OK: the options written back, then the restart notice when the language changed.
    void accept() override;

private:
    void LoadOptions();
    void SaveOptions();
    // The controls from the variables, and back.
    void UpdateControls();
    void UpdateVariables();
    // The Misc folder only while sorting is on, the date-or-size question only while files
    // are replaced without asking. A greyed box keeps its mark.
    void ApplyEnableRules();
    void OnDownload();

    std::unique_ptr<Ui::CPropertiesDlg> ui;
    CMainDlg& mainWindow;
    InstallOptions options;
    std::string miscText;
    int languageIndex = -1;
    int loadedLanguageIndex = -1;
    int analyse = 0;
    int newer = 0;
    int replace = 0;
    int webUpdate = 0;
};
