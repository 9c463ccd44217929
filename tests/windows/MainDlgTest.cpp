// The main window and the program's start, driven through their real controls.
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTcpServer>
#include <QTranslator>
#include <QtTest>
#include <csignal>
#include <cstring>
#include <fstream>

#include "CAboutDlg.h"
#include "CExtractDlg.h"
#include "CFolderBrowser.h"
#include "CImageButton.h"
#include "CMainDlg.h"
#include "CQtSettingsStore.h"
#include "CStringTable.h"
#include "CZanvoApp.h"
#include "TestFolder.h"
#include "UserRegistry.h"
#include "WindowKit.h"

namespace {

using Language = CStringTable::Language;

// Types a text into a combo's field as a user does: select all, type.
void Type(QComboBox* combo, const QString& text) {
    combo->lineEdit()->selectAll();
    QTest::keyClick(combo->lineEdit(), Qt::Key_Delete);
    QTest::keyClicks(combo->lineEdit(), text);
}

QString Edit(QWidget* window, const char* combo) {
    return Find<QComboBox>(window, combo)->currentText();
}

bool FileChecked(QWidget* window) {
    return Find<QRadioButton>(window, "fileType")->isChecked();
}

// A real drop of local paths on the window.
void Drop(QWidget* window, const QStringList& paths) {
    QMimeData data;
    QList<QUrl> urls;
    for (const QString& path : paths) {
        urls << QUrl::fromLocalFile(path);
    }
    data.setUrls(urls);
    const QPoint at = window->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window, &drop);
}

QString Sep(const std::string& path) {
    return QString::fromStdString(path);
}

void MakeFolder(const TestFolder& folder, const char* relative) {
    QDir().mkpath(Sep(folder.Path() + relative));
}

}  // namespace

class MainDlgTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanupTestCase();

    void startUpRules();
    void firstStartAndSettingsWrittenAtExit();
    void validationMessagesInTheirOrder();
    void targetCreatedAfterYes();
    void sourceTypeFollowsTheText();
    void foldersFoundWhateverTheirCase();
    void enterStartsNothing();
    void wildcardsRefusedByViewOnly();
    void dropsTakeTheFirstItem();
    void recentFoldersPickedAndRecorded();
    void folderBrowserStatusLine();
    void fileBrowserFilter();
    void aboutBoxAndEnding();
    void silentCheckOnceTheWindowShows();
    void settingsWrittenOnSigterm();
    void screenshotsInBothLanguages();

private:
    std::unique_ptr<TestSettingsHome> home;
    std::unique_ptr<TestFolder> disk;
};

void MainDlgTest::initTestCase() {
    home = std::make_unique<TestSettingsHome>();
}

void MainDlgTest::init() {
    Stored().clear();
    Stored().sync();
    CStringTable::Select(Language::English);
    disk = std::make_unique<TestFolder>();
}

void MainDlgTest::cleanupTestCase() {
    home.reset();
}

void MainDlgTest::startUpRules() {
    const struct {
        QStringList arguments;
        bool splash;
    } switches[] = {
        {{"zanvo"}, true},
        {{"zanvo", "Embedding"}, false},
        {{"zanvo", "-embedding"}, false},
        {{"zanvo", "--AUTOMATION"}, false},
        {{"zanvo", "/Automation"}, false},
        {{"zanvo", "maps.zip", "-x", "Embeddings"}, true},
    };
    for (const auto& row : switches) {
        QCOMPARE(CZanvoApp::SplashAllowed(row.arguments), row.splash);
    }

    // An archive or folder handed over: the first that exists, made absolute; switches, missing
    // paths and other files are not sources. An archive ends as a file, whatever its case.
    MakeFolder(*disk, "maps");
    MakeFolder(*disk, "Embedding");
    WriteArchive(disk->Path() + "de_x.ZIP", {{"de_x.bsp", "m"}});
    WriteArchive(disk->Path() + "de_x.bsp", {{"de_x.bsp", "m"}});
    const QString previous = QDir::currentPath();
    QDir::setCurrent(Sep(disk->Path()));
    const struct {
        QStringList arguments;
        std::string source;
    } handedOver[] = {
        {{"zanvo"}, ""},
        {{"zanvo", "Embedding", "missing.zip", "de_x.bsp"}, ""},
        {{"zanvo", "/automation", "missing.zip", "de_x.ZIP", "maps"}, disk->Path() + "de_x.ZIP"},
        {{"zanvo", Sep(disk->Path() + "maps/")}, disk->Path() + "maps"},
    };
    for (const auto& row : handedOver) {
        QCOMPARE(CZanvoApp::SourceArgument(row.arguments).toStdString(), row.source);
    }
    QDir::setCurrent(previous);
    CMainDlg window;
    window.PresetSource(disk->Path() + "maps");
    QCOMPARE(Edit(&window, "sourceCombo"), Sep(disk->Path() + "maps/"));
    QVERIFY(!FileChecked(&window));
    window.PresetSource(disk->Path() + "de_x.ZIP");
    QVERIFY(FileChecked(&window));

    // The stored value: absent means French; only "french" exactly selects it.
    QCOMPARE(UserRegistry::ReadLanguageSetting(), std::string("french"));
    const struct {
        const char* stored;
        Language language;
    } languages[] = {{"french", Language::French},
                     {"French", Language::English},
                     {"english", Language::English},
                     {"other", Language::English}};
    for (const auto& row : languages) {
        Stored().setValue("Settings/Language", row.stored);
        QCOMPARE(CStringTable::LanguageFromSetting(UserRegistry::ReadLanguageSetting()),
                 row.language);
    }

    // Qt's own buttons speak French with the program.
    QTranslator translator;
    QVERIFY(!CZanvoApp::LoadQtTranslation(Language::English, translator));
    QVERIFY(CZanvoApp::LoadQtTranslation(Language::French, translator));
    QMessageBox box(QMessageBox::Question, "t", "q", QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(box.button(QMessageBox::Yes)->text(), QStringLiteral("&Oui"));
    QCOMPARE(box.button(QMessageBox::No)->text(), QStringLiteral("&Non"));
    QCoreApplication::removeTranslator(&translator);
}

void MainDlgTest::firstStartAndSettingsWrittenAtExit() {
    const std::string source = disk->Path() + "maps";
    MakeFolder(*disk, "maps");
    {
        CMainDlg window;
        window.show();
        QVERIFY(!FileChecked(&window));
        QCOMPARE(Edit(&window, "sourceCombo"), QString());
        QCOMPARE(Find<QComboBox>(&window, "sourceCombo")->count(), 0);
        QCOMPARE(window.Options().Language, std::string("french"));
        QCOMPARE(window.windowTitle(), QStringLiteral("Zanvo"));
        QCOMPARE(window.VersionText(), QStringLiteral("1.02"));
        Type(Find<QComboBox>(&window, "sourceCombo"), Sep(source));
        window.Options().Language = "english";
        // Typing changes nothing stored.
        window.SaveSettings();
        QCOMPARE(Stored().value("Settings/SourceDir").toString(), QString());
        QCOMPARE(Stored().value("Settings/Language").toString(), QStringLiteral("english"));
        Stored().remove("Settings/Language");
    }
    // The window's end writes the nine values back, and the journal switch beside them.
    QSettings stored = Stored();
    QCOMPARE(stored.value("Settings/Language").toString(), QStringLiteral("english"));
    QCOMPARE(stored.value("Settings/Type").toInt(), 1);
    QCOMPARE(stored.value("Settings/MiscPath").toString(), QStringLiteral("divers\\"));
    QCOMPARE(stored.value("Settings/Journal").toInt(), 1);
    QCOMPARE(stored.allKeys().size(), 10);
}

void MainDlgTest::validationMessagesInTheirOrder() {
    CMainDlg window;
    window.show();
    auto* source = Find<QComboBox>(&window, "sourceCombo");
    auto* target = Find<QComboBox>(&window, "targetCombo");
    auto* extract = Find<QPushButton>(&window, "extractButton");
    QStringList seen;
    const auto press = [&](std::initializer_list<QMessageBox::StandardButton> answers) {
        ModalScript script(10000);
        for (QMessageBox::StandardButton answer : answers) {
            script.Then("a box", AnswerBox(answer, &seen));
        }
        script.Start();
        extract->click();
        QVERIFY2(script.Failure().isEmpty(), qPrintable(script.Failure()));
    };

    press({QMessageBox::Ok});
    QVERIFY(window.focusWidget() == source || window.focusWidget() == source->lineEdit());
    Type(source, Sep(disk->Path() + "missing"));
    press({QMessageBox::Ok});
    QVERIFY(window.focusWidget() == target || window.focusWidget() == target->lineEdit());
    Type(target, Sep(disk->Path() + "no/such/target"));
    press({QMessageBox::Ok});
    // The source was normalised before its test: a folder, with its separator.
    QCOMPARE(source->currentText(), Sep(disk->Path() + "missing/"));
    MakeFolder(*disk, "missing");
    press({QMessageBox::No});
    // After Yes, a folder whose parent is missing cannot be made: the system's code and text.
    press({QMessageBox::Yes, QMessageBox::Ok});
    QCOMPARE(seen.size(), 6);
    QCOMPARE(seen[0], QStringLiteral("Error|You must select a source directory !"));
    QCOMPARE(seen[1], QStringLiteral("Error|You must select a target directory !"));
    QCOMPARE(seen[2], QStringLiteral("Error|Unable to find source directory.\n\n Please retry."));
    QCOMPARE(seen[3],
             QStringLiteral("Warning|This folder doesn't exists. \n\nDo you want to create it?"));
    QCOMPARE(seen[4], seen[3]);
    QCOMPARE(seen[5], QStringLiteral("Error|The target directory could not be created !  The "
                                     "error returned by Windows is:  \n\n2 : ") +
                          QString::fromLocal8Bit(std::strerror(2)));
    // Nothing was recorded by refused commands.
    QCOMPARE(Stored().childGroups().contains("Recents"), false);
}

void MainDlgTest::targetCreatedAfterYes() {
    MakeFolder(*disk, "maps");
    WriteArchive(disk->Path() + "maps/de_a.zip", {{"de_a.bsp", "map"}});
    CMainDlg window;
    window.show();
    Type(Find<QComboBox>(&window, "sourceCombo"), Sep(disk->Path() + "maps"));
    Type(Find<QComboBox>(&window, "targetCombo"), Sep(disk->Path() + "game"));
    // The Extracting window opens on the new folder; closed without a run, the recents stay.
    ModalScript script(20000);
    script.Then("the create question", AnswerBox(QMessageBox::Yes))
        .Then("the Extracting window", When([] {
                  auto* extracting = qobject_cast<CExtractDlg*>(QApplication::activeModalWidget());
                  if (extracting == nullptr || !extracting->isVisible()) {
                      return false;
                  }
                  Find<QPushButton>(extracting, "closeButton")->click();
                  return true;
              }))
        .Start();
    Find<QPushButton>(&window, "extractButton")->click();
    QVERIFY2(script.Failure().isEmpty(), qPrintable(script.Failure()));
    QVERIFY(QFileInfo(Sep(disk->Path() + "game")).isDir());
    QCOMPARE(Stored().value("Recents/Source/Path1").toString(), Sep(disk->Path() + "maps/"));
    QCOMPARE(Stored().value("Recents/Target/Path1").toString(), Sep(disk->Path() + "game/"));
    QCOMPARE(Find<QComboBox>(&window, "targetCombo")->count(), 1);
    QCOMPARE(window.Job().SourceDir, disk->Path() + "maps/");
    QCOMPARE(window.Job().Type, int(sourceFolder));
    QCOMPARE(window.cursor().shape(), Qt::ArrowCursor);
    // A second Extract of the same paths adds nothing to the lists.
    ModalScript again(20000);
    again
        .Then("the Extracting window again", When([] {
                  auto* extracting = qobject_cast<CExtractDlg*>(QApplication::activeModalWidget());
                  if (extracting == nullptr || !extracting->isVisible()) {
                      return false;
                  }
                  extracting->reject();
                  return true;
              }))
        .Start();
    Find<QPushButton>(&window, "extractButton")->click();
    QVERIFY2(again.Failure().isEmpty(), qPrintable(again.Failure()));
    QCOMPARE(Find<QComboBox>(&window, "sourceCombo")->count(), 1);
    QVERIFY(!Stored().contains("Recents/Source/Path2"));
}

void MainDlgTest::sourceTypeFollowsTheText() {
    CMainDlg window;
    window.show();
    auto* source = Find<QComboBox>(&window, "sourceCombo");
    // An archive's name: File, no separator added; Extract does not test that it exists.
    Type(source, Sep(disk->Path() + "mymap.ZIP"));
    Type(Find<QComboBox>(&window, "targetCombo"), Sep(disk->Path()));
    QVERIFY(!FileChecked(&window));  // typing alone changes nothing
    QStringList seen;
    ModalScript script(20000);
    script.Then("no archive", AnswerBox(QMessageBox::Ok, &seen)).Start();
    Find<QPushButton>(&window, "extractButton")->click();
    QVERIFY2(script.Failure().isEmpty(), qPrintable(script.Failure()));
    QCOMPARE(seen, QStringList{"Error|No archive found !"});
    QVERIFY(FileChecked(&window));
    QCOMPARE(source->currentText(), Sep(disk->Path() + "mymap.ZIP"));
    QCOMPARE(window.Job().Type, int(sourceFile));

    // Choosing a type clears the source.
    Find<QRadioButton>(&window, "folderType")->click();
    QCOMPARE(source->currentText(), QString());
    QVERIFY(!FileChecked(&window));
}

void MainDlgTest::foldersFoundWhateverTheirCase() {
    // As the installation finds them: no "not found", no second folder made.
    MakeFolder(*disk, "maps");
    MakeFolder(*disk, "game");
    CMainDlg window;
    window.show();
    Type(Find<QComboBox>(&window, "sourceCombo"), Sep(disk->Path() + "MAPS"));
    Type(Find<QComboBox>(&window, "targetCombo"), Sep(disk->Path() + "Game"));
    QStringList seen;
    ModalScript script(20000);
    script.Then("the Extracting window finds no archive", AnswerBox(QMessageBox::Ok, &seen))
        .Start();
    Find<QPushButton>(&window, "extractButton")->click();
    QVERIFY2(script.Failure().isEmpty(), qPrintable(script.Failure()));
    QCOMPARE(seen, QStringList{"Error|No archive found !"});
    QVERIFY(!QFileInfo::exists(Sep(disk->Path() + "Game")));
}

void MainDlgTest::enterStartsNothing() {
    CMainDlg window;
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QStringList opened;
    // Watches to the end: whatever opens is noted and closed.
    ModalScript watch(60000);
    watch
        .Then("(watching)", When([&] {
                  if (QWidget* modal = QApplication::activeModalWidget()) {
                      opened << modal->metaObject()->className();
                      qobject_cast<QDialog*>(modal)->reject();
                  }
                  return false;
              }))
        .Start();
    for (const char* field : {"sourceCombo", "targetCombo"}) {
        auto* combo = Find<QComboBox>(&window, field);
        combo->lineEdit()->setFocus();
        Type(combo, Sep(disk->Path()));
        QTest::keyClick(combo->lineEdit(), Qt::Key_Return);
    }
    QTest::qWait(100);
    QCOMPARE(opened, QStringList());
}

void MainDlgTest::wildcardsRefusedByViewOnly() {
    CMainDlg window;
    window.show();
    auto* source = Find<QComboBox>(&window, "sourceCombo");
    QStringList seen;
    Type(source, Sep(disk->Path() + "*.zip"));
    ModalScript script(10000);
    script.Then("refused", AnswerBox(QMessageBox::Ok, &seen)).Start();
    Find<QPushButton>(&window, "viewButton")->click();
    QVERIFY2(script.Failure().isEmpty(), qPrintable(script.Failure()));
    QCOMPARE(seen, QStringList{"Error|Unauthorized generic characters!"});
    QVERIFY(!FileChecked(&window));  // refused before normalising

    // View normalises a folder and opens the viewer, which finds nothing there.
    MakeFolder(*disk, "Games/Map");
    Type(source, Sep(disk->Path() + "Games/Map"));
    ModalScript view(10000);
    view.Then("the viewer's box", AnswerBox(QMessageBox::Ok, &seen)).Start();
    Find<QPushButton>(&window, "viewButton")->click();
    QVERIFY2(view.Failure().isEmpty(), qPrintable(view.Failure()));
    QCOMPARE(source->currentText(), Sep(disk->Path() + "Games/Map/"));
    QVERIFY(!FileChecked(&window));
    QCOMPARE(seen.last(), QStringLiteral("Error|No archive found !"));
    // View records nothing.
    QVERIFY(!Stored().contains("Recents/Source/Path1"));
    QCOMPARE(window.Job().SourceDir, std::string());
}

void MainDlgTest::dropsTakeTheFirstItem() {
    MakeFolder(*disk, "Maps/sub.zip");
    WriteArchive(disk->Path() + "Maps/a.zip", {{"a.bsp", "map"}});
    WriteArchive(disk->Path() + "other.zip", {{"b.bsp", "map"}});
    CMainDlg window;
    window.show();
    auto* source = Find<QComboBox>(&window, "sourceCombo");
    Find<QRadioButton>(&window, "fileType")->click();

    // An archive: its folder, as a Folder source; the second item is ignored.
    Drop(&window, {Sep(disk->Path() + "Maps/a.zip"), Sep(disk->Path() + "other.zip")});
    QCOMPARE(source->currentText(), Sep(disk->Path() + "Maps/"));
    QVERIFY(!FileChecked(&window));
    // A folder named like an archive is a File source by its name.
    Drop(&window, {Sep(disk->Path() + "Maps/sub.zip")});
    QCOMPARE(source->currentText(), Sep(disk->Path() + "Maps/sub.zip"));
    QVERIFY(FileChecked(&window));
    // Something gone changes nothing; the target is never set by a drop.
    Drop(&window, {Sep(disk->Path() + "gone.zip")});
    QCOMPARE(source->currentText(), Sep(disk->Path() + "Maps/sub.zip"));
    QCOMPARE(Edit(&window, "targetCombo"), QString());
    // An empty list of addresses is refused, not read past its end.
    QMimeData empty;
    empty.setUrls({});
    QDragEnterEvent refused(window.rect().center(), Qt::CopyAction, &empty, Qt::LeftButton,
                            Qt::NoModifier);
    QApplication::sendEvent(&window, &refused);
    QVERIFY(!refused.isAccepted());
    // The root keeps its one separator.
    window.OnDropFiles({QStringLiteral("/")});
    QCOMPARE(source->currentText(), QStringLiteral("/"));
}

void MainDlgTest::recentFoldersPickedAndRecorded() {
    Stored().setValue("Recents/Source/Path1", Sep(disk->Path() + "b"));
    Stored().setValue("Recents/Source/Path2", Sep(disk->Path() + "A/pack.zip"));
    Stored().setValue("Recents/Source/Path4", Sep(disk->Path() + "hidden/"));
    Stored().setValue("Settings/SourceDir", Sep(disk->Path() + "c"));
    Stored().setValue("Settings/Type", 0);
    Stored().sync();
    CMainDlg window;
    window.show();
    auto* source = Find<QComboBox>(&window, "sourceCombo");
    // Sorted, up to the gap; the stored source normalised into the field.
    QCOMPARE(source->count(), 2);
    QCOMPARE(source->itemText(0), Sep(disk->Path() + "A/pack.zip"));
    QCOMPARE(source->currentText(), Sep(disk->Path() + "c/"));
    QVERIFY(!FileChecked(&window));

    // Picking sets the type from the text.
    source->showPopup();
    QTest::keyClick(source->view(), Qt::Key_Home);
    QTest::keyClick(source->view(), Qt::Key_Return);
    QCOMPARE(source->currentText(), Sep(disk->Path() + "A/pack.zip"));
    QVERIFY(FileChecked(&window));

    // Extract records the new path at the head; the gap and what lay behind it go.
    MakeFolder(*disk, "new");
    MakeFolder(*disk, "game");
    Type(source, Sep(disk->Path() + "new"));
    Type(Find<QComboBox>(&window, "targetCombo"), Sep(disk->Path() + "game"));
    ModalScript script(20000);
    script.Then("no archive", AnswerBox(QMessageBox::Ok)).Start();
    Find<QPushButton>(&window, "extractButton")->click();
    QVERIFY2(script.Failure().isEmpty(), qPrintable(script.Failure()));
    QSettings stored = Stored();
    QCOMPARE(stored.value("Recents/Source/Path1").toString(), Sep(disk->Path() + "new/"));
    QCOMPARE(stored.value("Recents/Source/Path2").toString(), Sep(disk->Path() + "b"));
    QCOMPARE(stored.value("Recents/Source/Path3").toString(), Sep(disk->Path() + "A/pack.zip"));
    QVERIFY(!stored.contains("Recents/Source/Path4"));
    QVERIFY(!stored.contains("Recents/Source/Path5"));
    QCOMPARE(source->count(), 3);
    QCOMPARE(source->itemText(2), Sep(disk->Path() + "new/"));
}

void MainDlgTest::folderBrowserStatusLine() {
    MakeFolder(*disk, "with");
    MakeFolder(*disk, "without");
    WriteArchive(disk->Path() + "with/MAP.ZIP", {{"a.bsp", "map"}});
    CMainDlg window;
    window.show();
    Type(Find<QComboBox>(&window, "sourceCombo"), Sep(disk->Path()));
    QStringList lines;
    // The user selects a folder in the list; the line follows the selection.
    const auto select = [&](QFileDialog* dialog, const QString& name) {
        auto* list = dialog->findChild<QAbstractItemView*>("listView");
        const QModelIndex root = list->rootIndex();
        for (int row = 0; row < list->model()->rowCount(root); ++row) {
            const QModelIndex index = list->model()->index(row, 0, root);
            if (index.data().toString() == name) {
                list->setCurrentIndex(index);
                return true;
            }
        }
        return false;
    };
    ModalScript script(20000);
    script
        .Then("the browser, on the current folder", When([&] {
                  auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
                  if (dialog == nullptr || !dialog->isVisible()) {
                      return false;
                  }
                  STEP_COMPARE(dialog->windowTitle(), QStringLiteral("Select a directory:"));
                  STEP_COMPARE(dialog->directory().absolutePath(),
                               QDir(Sep(disk->Path())).absolutePath());
                  auto* status = Find<QLabel>(dialog, CFolderBrowser::kStatusName);
                  const QString initial = status->text();
                  if (!select(dialog, "with")) {
                      return false;  // the folder is still being read
                  }
                  lines << initial << status->text();
                  select(dialog, "without");
                  lines << status->text();
                  select(dialog, "with");
                  static_cast<QDialog*>(dialog)->accept();
                  return true;
              }))
        .Start();
    Find<QPushButton>(&window, "browseSource")->click();
    QVERIFY2(script.Failure().isEmpty(), qPrintable(script.Failure()));
    const QString with = QStringLiteral("Directory contains archives");
    const QString without = QStringLiteral("Directory contains no archives");
    QCOMPARE(lines, (QStringList{without, with, without}));
    QCOMPARE(Edit(&window, "sourceCombo"), Sep(disk->Path() + "with/"));

    // The target's browser has no status line; Cancel keeps the path and still normalises.
    Type(Find<QComboBox>(&window, "targetCombo"), Sep(disk->Path() + "with"));
    ModalScript target(20000);
    target
        .Then("the target's browser", When([&] {
                  auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
                  if (dialog == nullptr || !dialog->isVisible()) {
                      return false;
                  }
                  STEP_VERIFY(dialog->findChild<QLabel*>(CFolderBrowser::kStatusName) == nullptr);
                  dialog->reject();
                  return true;
              }))
        .Start();
    Find<QPushButton>(&window, "browseTarget")->click();
    QVERIFY2(target.Failure().isEmpty(), qPrintable(target.Failure()));
    QCOMPARE(Edit(&window, "targetCombo"), Sep(disk->Path() + "with/"));
}

void MainDlgTest::fileBrowserFilter() {
    MakeFolder(*disk, "maps");
    WriteArchive(disk->Path() + "maps/MAP.ZIP", {{"a.bsp", "map"}});
    std::ofstream(disk->Path() + "maps/notes.txt") << "x";
    CMainDlg window;
    window.show();
    Find<QRadioButton>(&window, "fileType")->click();
    Type(Find<QComboBox>(&window, "sourceCombo"), Sep(disk->Path() + "maps/x.zip"));
    QStringList shown;
    QString filter;
    ModalScript script(20000);
    script
        .Then("the file browser lists the archive", When([&] {
                  auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
                  if (dialog == nullptr || !dialog->isVisible()) {
                      return false;
                  }
                  auto* list = dialog->findChild<QAbstractItemView*>("listView");
                  if (list == nullptr || list->model()->rowCount(list->rootIndex()) == 0) {
                      return false;
                  }
                  for (int row = 0; row < list->model()->rowCount(list->rootIndex()); ++row) {
                      shown << list->model()->index(row, 0, list->rootIndex()).data().toString();
                  }
                  filter = dialog->selectedNameFilter();
                  // Cancel: Qt reads the folder on after the first rows show and may clear a
                  // name chosen meanwhile, so the test does not choose one.
                  static_cast<QDialog*>(dialog)->reject();
                  return true;
              }))
        .Start();
    Find<QPushButton>(&window, "browseSource")->click();
    QVERIFY2(script.Failure().isEmpty(), qPrintable(script.Failure()));
    QCOMPARE(filter, QStringLiteral("Fichiers Archives (*.zip)"));
    QCOMPARE(shown, QStringList{"MAP.ZIP"});
    // Cancel keeps the source, normalised all the same.
    QCOMPARE(Edit(&window, "sourceCombo"), Sep(disk->Path() + "maps/x.zip"));
    QVERIFY(FileChecked(&window));
}

void MainDlgTest::aboutBoxAndEnding() {
    CMainDlg window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QString version;
    ModalScript script(10000);
    script
        .Then("the about box", When([&] {
                  auto* about = qobject_cast<CAboutDlg*>(QApplication::activeModalWidget());
                  if (about == nullptr || !about->isVisible()) {
                      return false;
                  }
                  STEP_COMPARE(about->windowTitle(), QStringLiteral("About Zanvo"));
                  about->accept();
                  return true;
              }))
        .Start();
    QTest::keyClick(&window, Qt::Key_F1);
    QVERIFY2(script.Failure().isEmpty(), qPrintable(script.Failure()));

    // Quit ends with its own result; Escape and the close box end too.
    QTimer::singleShot(0, &window, [&] { Find<QPushButton>(&window, "quitButton")->click(); });
    QCOMPARE(window.exec(), CMainDlg::kQuit);
    QTimer::singleShot(0, &window, [&] { QTest::keyClick(&window, Qt::Key_Escape); });
    QCOMPARE(window.exec(), int(QDialog::Rejected));
    QTimer::singleShot(0, &window, [&] { window.close(); });
    QCOMPARE(window.exec(), int(QDialog::Rejected));
}

void MainDlgTest::silentCheckOnceTheWindowShows() {
    // A server that answers an older version: even the silent check asks.
    QTcpServer server;
    AnswerVersionChecks(server, "1.01");
    Stored().setValue("Settings/WebUpdate", 1);
    QStringList seen;
    bool shownFirst = false;
    {
        CMainDlg window;
        ModalScript script(15000);
        script
            .Then("the question, over the shown window",
                  [&] {
                      shownFirst = window.isVisible();
                      return AnswerBox(QMessageBox::No, &seen)();
                  })
            .Start();
        window.show();
        QTRY_VERIFY_WITH_TIMEOUT(script.Done(), 15000);
        QVERIFY2(script.Failure().isEmpty(), qPrintable(script.Failure()));
    }
    QVERIFY(shownFirst);
    QCOMPARE(seen, QStringList{"Information|A new version of Zanvo was found!\n\nDo you want to "
                               "download it?"});

    // Without a server: silence, and the window works on.
    server.close();
    {
        CMainDlg window;
        window.show();
        QTest::qWait(300);
        QCOMPARE(QApplication::activeModalWidget(), nullptr);
        QVERIFY(window.isVisible());
    }
    qunsetenv("ZANVO_UPDATE_URL");
}

void MainDlgTest::settingsWrittenOnSigterm() {
    // The real program, ended by SIGTERM as a session ends it: its settings are written.
    TestFolder config;
    QProcess zanvo;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_CONFIG_HOME", Sep(config.Path()));
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    zanvo.setProcessEnvironment(environment);
    zanvo.start(QStringLiteral(ZANVO_GUI), {"-Embedding"});
    QVERIFY(zanvo.waitForStarted());
    // Ready once it catches SIGTERM itself.
    const auto catchesTerm = [&zanvo] {
        QFile status(QStringLiteral("/proc/%1/status").arg(zanvo.processId()));
        if (!status.open(QIODevice::ReadOnly)) {
            return false;
        }
        for (const QByteArray& line : status.readAll().split('\n')) {
            if (line.startsWith("SigCgt:")) {
                return ((line.mid(7).trimmed().toULongLong(nullptr, 16) >> (SIGTERM - 1)) & 1) != 0;
            }
        }
        return false;
    };
    QTRY_VERIFY_WITH_TIMEOUT(catchesTerm(), 30000);
    zanvo.terminate();
    QVERIFY(zanvo.waitForFinished(20000));
    QCOMPARE(zanvo.exitStatus(), QProcess::NormalExit);
    QCOMPARE(zanvo.exitCode(), 0);
    const std::string written = TestFolder::ReadFile(config.Path() + "Orbelle/Zanvo.conf");
    QVERIFY2(written.find("Language=french") != std::string::npos, written.c_str());
    QVERIFY(written.find("WebUpdate=0") != std::string::npos);
}

void MainDlgTest::screenshotsInBothLanguages() {
    MakeFolder(*disk, "maps");
    Stored().setValue("Settings/SourceDir", "/home/player/Downloads/maps/");
    Stored().setValue("Settings/TargetDir",
                      "/home/player/.steam/steam/steamapps/common/Half-Life/cstrike/");
    for (Language language : {Language::English, Language::French}) {
        CStringTable::Select(language);
        CMainDlg window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        SaveScreenshot(&window, language == Language::English ? "main-en" : "main-fr");
    }
}

QTEST_MAIN(MainDlgTest)
#include "MainDlgTest.moc"
