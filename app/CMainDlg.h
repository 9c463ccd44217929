#pragma once

#include <QDialog>
#include <QString>
#include <memory>
#include <string>

#include "AppSettings.h"
#include "CSettingsSection.h"

class QComboBox;

namespace Ui {
class CMainDlg;
}

// The program's window: the source (one archive or a folder of archives), its type and the
// target folder, typed, picked from the recent folders, browsed for or dropped; and the
// commands Extract, View and Properties. It owns the settings for the program's whole life:
// they are read when it is made and written back when it is destroyed.
class CMainDlg : public QDialog {
    Q_OBJECT

public:
    // The result of the Quit button.
    static constexpr int kQuit = 1002;

    explicit CMainDlg(QWidget* parent = nullptr);
    ~CMainDlg() override;

    // The options the other windows read and change.
    InstallOptions& Options() { return settings.options; }
    const InstallJob& Job() const { return settings.job; }
    // The program's version ("1.02") and legal notice, from its version block.
    const QString& VersionText() const { return versionText; }
    const QString& LegalText() const { return legalText; }

    // Writes the settings now, as the end of the program does (a session ending, SIGTERM).
    void SaveSettings() const;

    // Starts with this source instead of the stored one, normalised (a file opened with the
    // program).
    void PresetSource(const std::string& path);
    // Derives the source type from the source text and ends both folder texts with the
    // separator.
    void NormalizePaths();
    // Whether the folder exists.
    static bool FolderExists(const std::string& path);
    // Creates one level; on failure says why and returns false.
    bool CreateTargetFolder(const std::string& path);
    static bool HasWildcards(const std::string& path);

    void OnExtract();
    void OnView();
    void OnProperties();
    void OnBrowseSource();
    void OnBrowseTarget();
    void OnAbout();
    // The silent (start-up) or verbose check for a newer version.
    void CheckForUpdate(bool verbose);
    // A file or folder dropped on the window: the first one becomes the source.
    void OnDropFiles(const QStringList& paths);

protected:
    void showEvent(QShowEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void SetUpButtons();
    void ReadVersionTexts();
    // The controls from the variables, and back.
    void UpdateControls();
    void UpdateVariables();
    void OnSourceTypeClicked();
    void OnSourcePicked(int index);
    void OnTargetPicked(int index);
    // Fills a combo box's list from a recent-folders list.
    void LoadRecents(QComboBox* combo, const std::string& listName);
    // Records a path in a recent-folders list and, when it is new there, in the combo's list.
    void AddRecent(QComboBox* combo, const std::string& listName, const std::string& path);
    // A refused input: the box, then the focus to the field concerned.
    void Refuse(int messageId, QComboBox* focus);

    std::unique_ptr<Ui::CMainDlg> ui;
    AppSettings settings;
    // Declared after the record it writes back when destroyed.
    CSettingsSection section{"Settings"};
    // The dialog's variables: the combos' edit texts and the radio group.
    std::string sourceText;
    std::string targetText;
    int sourceType = sourceFolder;
    QString versionText;
    QString legalText;
    bool firstShow = true;
};
