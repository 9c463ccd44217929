#include "CWindowPrompts.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <QWidget>

#include "CFileIconList.h"
#include "WindowTexts.h"

QWidget* CWindowPrompts::Owner() const {
    return window != nullptr && window->isVisible() ? window : nullptr;
}

bool CWindowPrompts::AskRetry(const std::string& question) {
    return QMessageBox::question(Owner(), QGuiApplication::applicationDisplayName(),
                                 WindowTexts::Shown(question),
                                 QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

void CWindowPrompts::ShowOpenError(const std::string& message, const std::string& caption,
                                   const CException&) {
    QMessageBox::critical(Owner(), WindowTexts::Shown(caption), WindowTexts::Shown(message));
}

int CWindowPrompts::IconIndex(const std::string& name, bool isDirectory) {
    return CFileIconList::Shared().IndexOf(name, isDirectory);
}
