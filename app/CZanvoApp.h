#pragma once

#include <QStringList>

#include "CStringTable.h"

class QApplication;
class QTranslator;

// The program's start: the settings' home, the splash switch, the language chosen once for the
// whole run (Qt's own texts included), the main window run until it closes, and the settings
// written when it ends, also when the session ends or SIGTERM comes.
class CZanvoApp {
public:
    // Whether the command line lets the splash show: not with "Embedding" or "Automation"
    // (in any case, with or without a leading "-", "--" or "/"). Other arguments are ignored.
    static bool SplashAllowed(const QStringList& arguments);
    // The archive or folder handed over on the command line, as the desktop opens a file with
    // the program: the first argument, not a splash switch, that names an existing archive
    // (".zip") or folder, made absolute. Empty when there is none.
    static QString SourceArgument(const QStringList& arguments);
    // Loads Qt's own translation of a language into the application (French only; English is
    // Qt's own). False when it cannot be found.
    static bool LoadQtTranslation(CStringTable::Language language, QTranslator& translator);

    // Runs the program with its command line; its exit status.
    static int InitInstance(QApplication& application, const QStringList& arguments);
};
