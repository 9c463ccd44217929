#include "CZanvoApp.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <memory>

#include "CMainDlg.h"
#include "CQtSettingsStore.h"
#include "CQuitSignals.h"
#include "CSplashWindow.h"
#include "IconIds.h"
#include "UserRegistry.h"

namespace {

bool IsSplashSwitch(QString argument) {
    if (argument.startsWith(QLatin1String("--"))) {
        argument.remove(0, 2);
    } else if (argument.startsWith(QLatin1Char('-')) || argument.startsWith(QLatin1Char('/'))) {
        argument.remove(0, 1);
    }
    return argument.compare(QLatin1String("Embedding"), Qt::CaseInsensitive) == 0 ||
           argument.compare(QLatin1String("Automation"), Qt::CaseInsensitive) == 0;
}

}  // namespace

bool CZanvoApp::SplashAllowed(const QStringList& arguments) {
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        if (IsSplashSwitch(arguments[i])) {
            return false;
        }
    }
    return true;
}

QString CZanvoApp::SourceArgument(const QStringList& arguments) {
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QFileInfo given(arguments[i]);
        const bool archive = given.isFile() &&
                             InstallJob::SourceTypeOf(given.fileName().toStdString()) == sourceFile;
        if (!IsSplashSwitch(arguments[i]) && !arguments[i].isEmpty() &&
            (given.isDir() || archive)) {
            return QDir::cleanPath(given.absoluteFilePath());
        }
    }
    return {};
}

bool CZanvoApp::LoadQtTranslation(CStringTable::Language language, QTranslator& translator) {
    if (language != CStringTable::Language::French) {
        return false;
    }
    return translator.load(QLocale(QLocale::French, QLocale::France), QStringLiteral("qt"),
                           QStringLiteral("_"),
                           QLibraryInfo::path(QLibraryInfo::TranslationsPath)) &&
           QCoreApplication::installTranslator(&translator);
}

int CZanvoApp::InitInstance(QApplication& application, const QStringList& arguments) {
    QCoreApplication::setOrganizationName(QStringLiteral("Orbelle"));
    QCoreApplication::setApplicationName(QStringLiteral("Zanvo"));
    UserRegistry::SetStore(std::make_unique<CQtSettingsStore>());

    CSplashWindow::AllowSplash(SplashAllowed(arguments));

    // Read once: the language cannot change while the program runs.
    const CStringTable::Language language =
        CStringTable::LanguageFromSetting(UserRegistry::ReadLanguageSetting());
    CStringTable::Select(language);
    QTranslator qtTexts;
    LoadQtTranslation(language, qtTexts);
    // Ties the windows to the menu entry (its name without ".desktop") on Wayland.
    QGuiApplication::setDesktopFileName(QStringLiteral("example.orbelle.Zanvo"));
    application.setWindowIcon(QIcon(QStringLiteral(":/icons/%1.svg").arg(IDI_MAIN)));

    // The session ending or SIGTERM: the settings are kept as Quit keeps them, and the window
    // is closed. Watched from the start, so that a signal that comes early waits for the loop.
    CMainDlg* running = nullptr;
    CQuitSignals::Watch([&running] {
        if (running != nullptr) {
            running->SaveSettings();
        }
        QCoreApplication::exit(0);
    });
    {
        CMainDlg window;
        running = &window;
        const QString source = SourceArgument(arguments);
        if (!source.isEmpty()) {
            window.PresetSource(source.toStdString());
        }
        QObject::connect(&application, &QGuiApplication::commitDataRequest, &window,
                         [&window] { window.SaveSettings(); });
        window.exec();
        running = nullptr;
    }  // the window's end writes the settings
    CQuitSignals::Stop();
    return 0;
}
