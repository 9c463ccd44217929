#pragma once

#include <QDialog>
#include <QString>
#include <memory>

namespace Ui {
class COverwriteDlg;
}

// The replace question for one existing file. It ends with an OverwriteChoice: Yes 1, No 2,
// Yes For All 3, No For All 4. No is the default, and Enter, Esc and the close box answer it.
class COverwriteDlg : public QDialog {
    Q_OBJECT

public:
    // destination: the path both name lines show; the date lines are "size bytes date" of the
    // existing file and of the archive's.
    COverwriteDlg(const QString& destination, const QString& existingLine, const QString& entryLine,
                  QWidget* parent = nullptr);
    ~COverwriteDlg() override;

    void reject() override;

private:
    std::unique_ptr<Ui::COverwriteDlg> ui;
};
