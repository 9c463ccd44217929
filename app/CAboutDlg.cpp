// PLACEHOLDER (scaffolding): replaced by the about box's implementation.
#include "CAboutDlg.h"

CAboutDlg::CAboutDlg(const QString&, const QString&, QWidget* parent) : CBackdropDialog(parent) {}
CAboutDlg::~CAboutDlg() = default;
