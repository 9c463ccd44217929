// PLACEHOLDER (scaffolding): replaced by the splash window's implementation.
#include "CSplashWindow.h"

void CSplashWindow::AllowSplash(bool) {}
void CSplashWindow::SetSplashLines(bool, bool, bool, bool) {}
bool CSplashWindow::OpenSplash(int, int, QWidget*) { return false; }
void CSplashWindow::CloseSplash() {}
CSplashWindow* CSplashWindow::Current() { return nullptr; }
CSplashWindow::~CSplashWindow() = default;
CSplashWindow::CSplashWindow(QWidget* parent) : QWidget(parent) {}
