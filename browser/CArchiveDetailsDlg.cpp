// PLACEHOLDER (scaffolding): replaced by the viewer's implementation.
#include "CArchiveDetailsDlg.h"

CArchiveDetailsDlg::CArchiveDetailsDlg(const std::string&, int, QWidget* parent)
    : QDialog(parent) {}
CArchiveDetailsDlg::~CArchiveDetailsDlg() = default;
int CArchiveDetailsDlg::exec() { return QDialog::exec(); }
