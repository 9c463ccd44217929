#include "CFolderBrowser.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QUrl>

#include "FileFinder.h"
#include "FileSystem.h"
#include "StringIds.h"
#include "WindowTexts.h"

bool CFolderBrowser::HoldsArchives(const std::string& folder) {
    std::string pattern = folder;
    if (pattern.empty() || pattern.back() != FileSystem::NativeSeparator()) {
        pattern += FileSystem::NativeSeparator();
    }
    return !FileFinder::FindFiles(pattern + "*.zip").empty();
}

CFolderBrowser::CFolderBrowser(QWidget* owner, std::string& path, bool statusLine,
                               const std::vector<std::string>& shortcuts) {
    QFileDialog dialog(owner, WindowTexts::String(IDS_BROWSE_TITLE));
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    // Qt's own dialog: a native one could not carry the status line.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    if (!path.empty()) {
        dialog.setDirectory(QString::fromStdString(path));
    }
    if (statusLine) {
        auto* status = new QLabel(&dialog);
        status->setObjectName(kStatusName);
        status->setAccessibleName(WindowTexts::String(IDS_BROWSE_TITLE));
        auto show = [status](const QString& folder) {
            if (folder.isEmpty() || !QFileInfo(folder).isDir()) {
                return;  // not a folder of the file system: the line stays as it was
            }
            status->setText(WindowTexts::String(HoldsArchives(folder.toStdString())
                                                    ? IDS_BROWSE_HAS_ARCHIVES
                                                    : IDS_BROWSE_NO_ARCHIVES));
        };
        if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout())) {
            grid->addWidget(status, grid->rowCount(), 0, 1, grid->columnCount());
        } else if (dialog.layout() != nullptr) {
            dialog.layout()->addWidget(status);
        }
        QObject::connect(&dialog, &QFileDialog::currentChanged, status, show);
        QObject::connect(&dialog, &QFileDialog::directoryEntered, status, show);
        show(dialog.directory().absolutePath());
    }
    QList<QUrl> added;
    QList<QUrl> sidebar = dialog.sidebarUrls();
    for (const std::string& folder : shortcuts) {
        const QUrl url = QUrl::fromLocalFile(QString::fromStdString(folder));
        if (!sidebar.contains(url)) {
            sidebar << url;
            added << url;
        }
    }
    if (!added.isEmpty()) {
        dialog.setSidebarUrls(sidebar);
    }
    const bool picked = dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty();
    // Qt saves the side bar for every later file dialog, of this program and of others; the
    // shortcuts belong to this one only. What the user added or removed stays as the user left it.
    if (!added.isEmpty()) {
        sidebar = dialog.sidebarUrls();
        for (const QUrl& url : added) {
            sidebar.removeAll(url);
        }
        dialog.setSidebarUrls(sidebar);
    }
    if (!picked) {
        return;
    }
    QString chosen = QDir::cleanPath(dialog.selectedFiles().first());
    std::string chosenPath = QDir::toNativeSeparators(chosen).toStdString();
    // A root keeps its separator; every other folder is stored without one.
    while (chosenPath.size() > 1 && chosenPath.back() == FileSystem::NativeSeparator()) {
        chosenPath.pop_back();
    }
    path = chosenPath;
    accepted = true;
}
