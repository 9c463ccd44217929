// The windows' program: the main window, or, for developers, the Extracting window alone for a
// target and a source given on the command line (zanvo --extract-window TARGET SOURCE).
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <memory>

#include "AppSettings.h"
#include "CExtractDlg.h"
#include "CQtSettingsStore.h"
#include "CSettingsSection.h"
#include "CStringTable.h"
#include "CZanvoApp.h"
#include "LocalTime.h"
#include "UserRegistry.h"

namespace {

// A folder path as the windows keep it: absolute, ending with the separator.
std::string FolderPath(const QString& path) {
    QString absolute = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    if (!absolute.endsWith(QDir::separator())) {
        absolute += QDir::separator();
    }
    return absolute.toStdString();
}

int RunExtractWindow(const QStringList& arguments) {
    QCoreApplication::setOrganizationName(QStringLiteral("Orbelle"));
    QCoreApplication::setApplicationName(QStringLiteral("Zanvo"));
    UserRegistry::SetStore(std::make_unique<CQtSettingsStore>());
    CStringTable::Select(CStringTable::LanguageFromSetting(UserRegistry::ReadLanguageSetting()));
    AppSettings settings;
    {
        CSettingsSection section("Settings", true);
        settings.Bind(section);
    }
    InstallJob job;
    job.TargetDir = FolderPath(arguments[2]);
    const std::string source = QFileInfo(arguments[3]).absoluteFilePath().toStdString();
    job.Type = InstallJob::SourceTypeOf(source);
    job.SourceDir = job.Type == sourceFile ? source : FolderPath(arguments[3]);
    CExtractDlg window(job, settings.options);
    window.exec();
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    // Before any thread exists: the local time zone read once, not again for every entry.
    LocalTime::SettleZone();
    QApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() == 4 && arguments[1] == QStringLiteral("--extract-window")) {
        return RunExtractWindow(arguments);
    }
    return CZanvoApp::InitInstance(application, arguments);
}
