// The properties window, in both languages: what OK stores, what Cancel leaves, the greyed
// boxes, the restart notice, the version check it starts, and the main window that opens it.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTcpServer>
#include <QtTest>

#include "CExtractDlg.h"
#include "CImageButton.h"
#include "CMainDlg.h"
#include "CPropertiesDlg.h"
#include "CQtSettingsStore.h"
#include "CStringTable.h"
#include "CZanvoApp.h"
#include "TestFolder.h"
#include "UserRegistry.h"
#include "WindowKit.h"

namespace {

using Language = CStringTable::Language;

void TypeInto(QLineEdit* field, const QString& text) {
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Delete);
    // Key by key, with the text each key types (keyClicks knows only ASCII).
    for (const QChar c : text) {
        QTest::sendKeyEvent(QTest::Click, field, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

// Picks a language the way the keyboard does.
void Pick(QComboBox* list, int index) {
    while (list->currentIndex() < index) {
        QTest::keyClick(list, Qt::Key_Down);
    }
    while (list->currentIndex() > index) {
        QTest::keyClick(list, Qt::Key_Up);
    }
}

QString Restart(Language language) {
    return language == Language::French
               ? QStringLiteral(
                     "Attention|Vous devez redémarrer l'application pour\nque les "
                     "modifications prennent effet.")
               : QStringLiteral(
                     "Warning|You must restart this application\nfor changes to take place.");
}

// Runs the dialog over the window: act once it shows, then the boxes that come are answered
// with OK and noted in seen.
void RunDialog(CMainDlg& window, const std::function<void(CPropertiesDlg&)>& act, QStringList* seen,
               QMessageBox::Icon* icon = nullptr) {
    CPropertiesDlg dialog(window, &window);
    ModalScript script(15000);
    script.Then("the dialog", When([&] { return dialog.isVisible(); })).Then("the user", [&] {
        act(dialog);
        // A check that failed inside act left the dialog open: close it, so the test ends.
        if (dialog.isVisible()) {
            dialog.reject();
        }
        return true;
    });
    script.Start();
    // Boxes that come after the dialog closed are answered too.
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] { AnswerBox(QMessageBox::Ok, seen, icon)(); });
    answer.start(5);
    dialog.exec();
    QTRY_VERIFY(script.Done());
    QVERIFY2(script.Failure().isEmpty(), qPrintable(script.Failure()));
}

}  // namespace

class PropertiesDlgTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanupTestCase();

    void okStoresWhatTheFieldsHold_data() { Languages(); }
    void okStoresWhatTheFieldsHold();
    void greyedBoxesKeepTheirValues_data() { Languages(); }
    void greyedBoxesKeepTheirValues();
    void restartNoticeOnlyForAChangedLanguage_data() { Languages(); }
    void restartNoticeOnlyForAChangedLanguage();
    void versionCheckLeavesTheDialogOpen_data() { Languages(); }
    void versionCheckLeavesTheDialogOpen();
    void openedByTheMainWindowForTheNextExtract();
    void languageChosenForTheNextStart();

private:
    static void Languages();
    std::unique_ptr<TestSettingsHome> home;
};

void PropertiesDlgTest::Languages() {
    QTest::addColumn<int>("language");
    QTest::newRow("English") << int(Language::English);
    QTest::newRow("French") << int(Language::French);
}

void PropertiesDlgTest::initTestCase() {
    home = std::make_unique<TestSettingsHome>();
}

void PropertiesDlgTest::init() {
    Stored().clear();
    Stored().sync();
    CStringTable::Select(Language::English);
    if (QTest::currentDataTag() != nullptr) {
        QFETCH(int, language);
        CStringTable::Select(static_cast<Language>(language));
    }
}

void PropertiesDlgTest::cleanupTestCase() {
    home.reset();
    CStringTable::Select(Language::English);
}

void PropertiesDlgTest::okStoresWhatTheFieldsHold() {
    const struct {
        const char* typed;
        const char* stored;
    } miscRows[] = {
        {"divers", "divers\\"},        {"\\divers\\", "divers\\"},    {"\\", ""}, {"", ""},
        {"maps/misc", "maps\\misc\\"}, {"Répertoire", "Répertoire\\"}};
    CMainDlg window;
    for (const auto& row : miscRows) {
        QStringList seen;
        RunDialog(
            window,
            [&](CPropertiesDlg& dialog) {
                TypeInto(Find<QLineEdit>(&dialog, "miscEdit"), QString::fromUtf8(row.typed));
                Find<QPushButton>(&dialog, "okButton")->click();
            },
            &seen);
        QCOMPARE(window.Options().MiscPath, std::string(row.stored));
        QCOMPARE(seen, QStringList());
    }

    // Every box the other way round, then Cancel: nothing changes, nothing is said.
    const InstallOptions before = window.Options();
    QStringList seen;
    RunDialog(
        window,
        [&](CPropertiesDlg& dialog) {
            for (const char* box :
                 {"analyseCheck", "replaceCheck", "newerCheck", "webUpdateCheck"}) {
                QTest::mouseClick(Find<QCheckBox>(&dialog, box), Qt::LeftButton);
            }
            TypeInto(Find<QLineEdit>(&dialog, "miscEdit"), QStringLiteral("autres"));
            Pick(Find<QComboBox>(&dialog, "languageCombo"), CPropertiesDlg::kEnglish);
            Find<QPushButton>(&dialog, "cancelButton")->click();
        },
        &seen);
    QCOMPARE(seen, QStringList());
    QCOMPARE(window.Options().MiscPath, before.MiscPath);
    QCOMPARE(window.Options().Language, before.Language);
    QCOMPARE(window.Options().Analyse, before.Analyse);
    QCOMPARE(window.Options().Replace, before.Replace);
    QCOMPARE(window.Options().Newer, before.Newer);
    QCOMPARE(window.Options().WebUpdate, before.WebUpdate);

    // Escape is Cancel too.
    RunDialog(
        window,
        [&](CPropertiesDlg& dialog) {
            TypeInto(Find<QLineEdit>(&dialog, "miscEdit"), QStringLiteral("autres"));
            QTest::keyClick(&dialog, Qt::Key_Escape);
        },
        &seen);
    QCOMPARE(window.Options().MiscPath, before.MiscPath);
}

void PropertiesDlgTest::greyedBoxesKeepTheirValues() {
    CMainDlg window;
    // At opening: the rules follow the stored values.
    window.Options() = InstallOptions{};
    window.Options().Analyse = 0;
    window.Options().Replace = 0;
    window.Options().Newer = 1;
    QStringList seen;
    RunDialog(
        window,
        [&](CPropertiesDlg& dialog) {
            auto* misc = Find<QLineEdit>(&dialog, "miscEdit");
            auto* newer = Find<QCheckBox>(&dialog, "newerCheck");
            QVERIFY(!misc->isEnabled());
            QVERIFY(!newer->isEnabled());
            QVERIFY(newer->isChecked());
            QCOMPARE(misc->text(), QStringLiteral("divers\\"));
            // Each click of the controlling box turns its rule.
            QTest::mouseClick(Find<QCheckBox>(&dialog, "replaceCheck"), Qt::LeftButton);
            QVERIFY(newer->isEnabled());
            QTest::mouseClick(newer, Qt::LeftButton);
            QTest::mouseClick(Find<QCheckBox>(&dialog, "analyseCheck"), Qt::LeftButton);
            QVERIFY(misc->isEnabled());
            TypeInto(misc, QStringLiteral("autres"));
            QTest::mouseClick(Find<QCheckBox>(&dialog, "analyseCheck"), Qt::LeftButton);
            QTest::mouseClick(Find<QCheckBox>(&dialog, "replaceCheck"), Qt::LeftButton);
            QVERIFY(!misc->isEnabled());
            QVERIFY(!newer->isEnabled());
            QVERIFY(!newer->isChecked());
            Find<QPushButton>(&dialog, "okButton")->click();
        },
        &seen);
    // The greyed values are saved like the others.
    QCOMPARE(window.Options().Analyse, 0);
    QCOMPARE(window.Options().Replace, 0);
    QCOMPARE(window.Options().Newer, 0);
    QCOMPARE(window.Options().MiscPath, std::string("autres\\"));
}

void PropertiesDlgTest::restartNoticeOnlyForAChangedLanguage() {
    QFETCH(int, language);
    const auto shown = static_cast<Language>(language);
    const struct {
        const char* stored;
        int shownIndex;
        std::vector<int> picks;
        bool ok;
        const char* saved;
        bool notice;
    } rows[] = {
        {"french", CPropertiesDlg::kFrench, {CPropertiesDlg::kEnglish}, true, "english", true},
        {"english", CPropertiesDlg::kEnglish, {CPropertiesDlg::kFrench}, true, "french", true},
        // Changed and changed back: no notice.
        {"french", CPropertiesDlg::kFrench, {1, 0}, true, "french", false},
        // Any other value shows as English and is saved as "english", unchanged.
        {"German", CPropertiesDlg::kEnglish, {}, true, "english", false},
        {"french", CPropertiesDlg::kFrench, {CPropertiesDlg::kEnglish}, false, "french", false},
    };
    CMainDlg window;
    for (const auto& row : rows) {
        window.Options().Language = row.stored;
        QStringList seen;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        RunDialog(
            window,
            [&](CPropertiesDlg& dialog) {
                auto* list = Find<QComboBox>(&dialog, "languageCombo");
                QCOMPARE(list->count(), 2);
                QCOMPARE(list->itemText(0), QStringLiteral("Français"));
                QCOMPARE(list->itemText(1), QStringLiteral("English"));
                QCOMPARE(list->currentIndex(), row.shownIndex);
                for (const int pick : row.picks) {
                    Pick(list, pick);
                }
                Find<QPushButton>(&dialog, row.ok ? "okButton" : "cancelButton")->click();
            },
            &seen, &icon);
        QCOMPARE(window.Options().Language, std::string(row.saved));
        QCOMPARE(seen, row.notice ? QStringList{Restart(shown)} : QStringList());
        if (row.notice) {
            QCOMPARE(icon, QMessageBox::Information);
        }
        // The running program keeps its language.
        QCOMPARE(CStringTable::Current(), shown);
    }
}

void PropertiesDlgTest::versionCheckLeavesTheDialogOpen() {
    QFETCH(int, language);
    QTcpServer server;
    AnswerVersionChecks(server, "1.02");
    CMainDlg window;
    window.show();
    QStringList seen;
    bool openAfter = false;
    bool focusedAfter = false;
    RunDialog(
        window,
        [&](CPropertiesDlg& dialog) {
            auto* download = Find<QPushButton>(&dialog, "downloadButton");
            // The check runs to its end, its box answered, inside the click.
            QTest::mouseClick(download, Qt::LeftButton);
            openAfter = dialog.isVisible();
            QTRY_VERIFY(QApplication::activeWindow() == &dialog);
            focusedAfter = QApplication::focusWidget() == download;
            Find<QPushButton>(&dialog, "cancelButton")->click();
        },
        &seen);
    QCOMPARE(seen, QStringList{language == int(Language::French)
                                   ? "Information|Votre version de Zanvo est la dernière en date."
                                   : "Information|You already have the newest version."});
    QVERIFY(openAfter);
    QVERIFY(focusedAfter);
    qunsetenv("ZANVO_UPDATE_URL");
}

void PropertiesDlgTest::openedByTheMainWindowForTheNextExtract() {
    TestFolder source, target;
    WriteArchive(source / "de_x.zip", {{"de_x.bsp", "m"}, {"notes.qqq", "n"}});
    QStringList seen;
    {
        CMainDlg window;
        window.show();
        ModalScript script(30000);
        script
            .Then("the properties", When([&] {
                      return qobject_cast<CPropertiesDlg*>(QApplication::activeModalWidget());
                  }))
            .Then("new options",
                  [&] {
                      auto* dialog = static_cast<QWidget*>(QApplication::activeModalWidget());
                      TypeInto(Find<QLineEdit>(dialog, "miscEdit"), QStringLiteral("autres"));
                      QTest::mouseClick(Find<QCheckBox>(dialog, "webUpdateCheck"), Qt::LeftButton);
                      Pick(Find<QComboBox>(dialog, "languageCombo"), CPropertiesDlg::kEnglish);
                      PostClick(Find<QPushButton>(dialog, "okButton"));
                      return true;
                  })
            .Then("the restart notice", AnswerBox(QMessageBox::Ok, &seen))
            .Then("back in the main window", When([&] {
                      return QApplication::activeModalWidget() == &window ||
                             QApplication::activeModalWidget() == nullptr;
                  }));
        script.Start();
        Find<QPushButton>(&window, "propertiesButton")->click();
        QTRY_VERIFY_WITH_TIMEOUT(script.Done(), 30000);
        QVERIFY2(script.Failure().isEmpty(), qPrintable(script.Failure()));
        QCOMPARE(seen, QStringList{Restart(Language::English)});
        // The store learns it when the program ends, not before.
        QVERIFY(!Stored().contains("Settings/MiscPath"));

        // The next installation sorts into the new Misc folder.
        Find<QComboBox>(&window, "sourceCombo")->setEditText(QString::fromStdString(source.Path()));
        Find<QComboBox>(&window, "targetCombo")->setEditText(QString::fromStdString(target.Path()));
        ModalScript run(30000);
        run.Then("the Extracting window",
                 When([&] { return QApplication::activeModalWidget() != &window; }))
            .Then(
                "Unzip",
                [&] {
                    PostClick(Find<QPushButton>(QApplication::activeModalWidget(), "actionButton"));
                    return true;
                })
            .Then("the end", When([&] {
                      auto* extracting =
                          qobject_cast<CExtractDlg*>(QApplication::activeModalWidget());
                      return extracting != nullptr && extracting->Run().IsFinished();
                  }))
            .Then("close", [&] {
                PostClick(Find<QPushButton>(QApplication::activeModalWidget(), "closeButton"));
                return true;
            });
        run.Start();
        Find<QPushButton>(&window, "extractButton")->click();
        QVERIFY2(run.Failure().isEmpty(), qPrintable(run.Failure()));
        QVERIFY(QFile::exists(QString::fromStdString(target / "autres/de_x/notes.qqq")));
    }
    QSettings stored = Stored();
    QCOMPARE(stored.value("Settings/MiscPath").toString(), QStringLiteral("autres\\"));
    QCOMPARE(stored.value("Settings/Language").toString(), QStringLiteral("english"));
    QCOMPARE(stored.value("Settings/WebUpdate").toInt(), 1);
}

template <class T>
T* Active() {
    return qobject_cast<T*>(QApplication::activeModalWidget());
}

// The whole program twice, as a user starts it: the language chosen in the first run is the
// second run's, and every other option is kept. The first start also gets a folder to open.
void PropertiesDlgTest::languageChosenForTheNextStart() {
    TestFolder disk;
    QVERIFY(QDir().mkpath(QString::fromStdString(disk / "maps")));
    QSettings stored = Stored();
    stored.setValue("Settings/Language", "english");
    stored.setValue("Settings/Replace", 1);
    stored.setValue("Settings/Newer", 1);
    stored.sync();
    auto& application = *static_cast<QApplication*>(QCoreApplication::instance());
    const auto quit = [] {
        if (Active<CMainDlg>() == nullptr) {
            return false;
        }
        PostClick(Find<QPushButton>(Active<CMainDlg>(), "quitButton"));
        return true;
    };

    QStringList seen;
    ModalScript first(30000);
    first
        .Then("the main window, with the folder given", When([&] {
                  CMainDlg* window = Active<CMainDlg>();
                  if (window == nullptr) {
                      return false;
                  }
                  STEP_COMPARE(Find<QComboBox>(window, "sourceCombo")->currentText(),
                               QString::fromStdString(disk / "maps/"));
                  STEP_VERIFY(Find<QRadioButton>(window, "folderType")->isChecked());
                  STEP_COMPARE(Find<QPushButton>(window, "extractButton")->text(),
                               QStringLiteral("Extract"));
                  PostClick(Find<QPushButton>(window, "propertiesButton"));
                  return true;
              }))
        .Then("the properties", When([&] {
                  auto* dialog = Active<CPropertiesDlg>();
                  if (dialog == nullptr) {
                      return false;
                  }
                  Pick(Find<QComboBox>(dialog, "languageCombo"), CPropertiesDlg::kFrench);
                  TypeInto(Find<QLineEdit>(dialog, "miscEdit"), QStringLiteral("autres"));
                  QTest::mouseClick(Find<QCheckBox>(dialog, "analyseCheck"), Qt::LeftButton);
                  QTest::mouseClick(Find<QCheckBox>(dialog, "webUpdateCheck"), Qt::LeftButton);
                  PostClick(Find<QPushButton>(dialog, "okButton"));
                  return true;
              }))
        .Then("the restart notice", AnswerBox(QMessageBox::Ok, &seen))
        .Then("Quit", quit)
        .Start();
    const QString folder = QString::fromStdString(disk / "maps");
    QCOMPARE(CZanvoApp::InitInstance(application, {"zanvo", "--embedding", folder}), 0);
    QVERIFY2(first.Failure().isEmpty(), qPrintable(first.Failure()));
    QCOMPARE(seen, QStringList{Restart(Language::English)});

    // WebUpdate is on now: the start-up check finds no server and stays silent.
    qputenv("ZANVO_UPDATE_URL", "http://127.0.0.1:9");
    ModalScript second(30000);
    second
        .Then("the main window in French", When([&] {
                  CMainDlg* window = Active<CMainDlg>();
                  if (window == nullptr) {
                      return false;
                  }
                  STEP_COMPARE(Find<QPushButton>(window, "extractButton")->text(),
                               QStringLiteral("Extraire"));
                  PostClick(Find<QPushButton>(window, "propertiesButton"));
                  return true;
              }))
        .Then("the options kept", When([&] {
                  auto* dialog = Active<CPropertiesDlg>();
                  if (dialog == nullptr) {
                      return false;
                  }
                  STEP_COMPARE(dialog->windowTitle(), QStringLiteral("Paramètres"));
                  STEP_COMPARE(Find<QComboBox>(dialog, "languageCombo")->currentIndex(),
                               int(CPropertiesDlg::kFrench));
                  STEP_COMPARE(Find<QLineEdit>(dialog, "miscEdit")->text(),
                               QStringLiteral("autres\\"));
                  STEP_VERIFY(!Find<QCheckBox>(dialog, "analyseCheck")->isChecked());
                  STEP_VERIFY(Find<QCheckBox>(dialog, "replaceCheck")->isChecked());
                  STEP_VERIFY(Find<QCheckBox>(dialog, "newerCheck")->isChecked());
                  STEP_VERIFY(Find<QCheckBox>(dialog, "webUpdateCheck")->isChecked());
                  PostClick(Find<QPushButton>(dialog, "cancelButton"));
                  return true;
              }))
        .Then("Quit", quit)
        .Start();
    QCOMPARE(CZanvoApp::InitInstance(application, {"zanvo", "Embedding"}), 0);
    QVERIFY2(second.Failure().isEmpty(), qPrintable(second.Failure()));
    QCOMPARE(CStringTable::Current(), Language::French);
    qunsetenv("ZANVO_UPDATE_URL");
    CStringTable::Select(Language::English);
}

QTEST_MAIN(PropertiesDlgTest)
#include "PropertiesDlgTest.moc"
