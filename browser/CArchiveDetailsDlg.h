#pragma once

#include <QDialog>
#include <string>

// The viewer of the archives a source names and of one archive's file entries.
class CArchiveDetailsDlg : public QDialog {
    Q_OBJECT

public:
    // sourcePath: a folder ending with the separator (sourceIsFolder non-zero) or one archive.
    CArchiveDetailsDlg(const std::string& sourcePath, int sourceIsFolder,
                       QWidget* parent = nullptr);
    ~CArchiveDetailsDlg() override;

    // Shows the viewer; without any archive in the source, says so and returns 1 unshown.
    int exec() override;
};
