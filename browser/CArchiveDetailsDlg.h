#pragma once

#include <QDialog>
#include <cstdint>
#include <memory>
#include <string>

#include "CReportListModel.h"
#include "CWindowPrompts.h"

namespace Ui {
class CArchiveDetailsDlg;
}

// The viewer of the archives a source names and of one archive's file entries. Read-only: an
// archive is only opened to be listed. The upper half lists the archives; the lower half, the
// content pane, lists the files of the archive picked above and folds away by shortening the
// window, leaving its controls in place.
class CArchiveDetailsDlg : public QDialog {
    Q_OBJECT

public:
    static constexpr int kClosed = 1002;  // the Close button's result
    static constexpr int kNoArchive = 1;  // what exec gives when the source names no archive
    static constexpr int kNoRow = -2;     // the content list holds no archive's entries yet

    // sourcePath: a folder ending with the separator (sourceIsFolder non-zero) or one archive.
    CArchiveDetailsDlg(const std::string& sourcePath, int sourceIsFolder,
                       QWidget* parent = nullptr);
    ~CArchiveDetailsDlg() override;

    // Shows the viewer; without any archive in the source, says so and returns 1 unshown.
    int exec() override;

    void HideContentPane();
    void ShowContentPane();
    bool PaneShown() const { return paneShown; }
    // The row of the archive list whose entries the content list holds.
    int CurrentArchiveRow() const { return currentArchiveRow; }

private:
    // What the window does before it shows: false when there is no archive to show.
    bool OnInitDialog();
    // The archives of the source into the list; their number, and their bytes in totalBytes.
    int FillArchiveList(uint64_t& totalBytes);
    // A row of the archive list was clicked, double-clicked or selected.
    void OnArchiveNotify(int item);
    // The file entries of the current archive into the content list; the archive's entry
    // count (folders included), and the listed files' bytes in totalBytes.
    int FillContentList(uint64_t& totalBytes);
    // Over the parent (the screen without one), placed for the unfolded height.
    void PlaceFolded();

    std::unique_ptr<Ui::CArchiveDetailsDlg> ui;
    const std::string sourcePath;
    const int sourceIsFolder;
    CReportListModel archives;
    CReportListModel content;
    CWindowPrompts prompts;
    bool busy = false;
    std::string currentArchivePath;
    bool paneShown = true;  // the window is drawn with the pane unfolded
    int currentArchiveRow = kNoRow;
};
