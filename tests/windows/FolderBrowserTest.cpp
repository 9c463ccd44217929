// The target's folder browser offers the game folders of the Steam libraries in its side bar;
// the source's does not, and neither do Qt's file dialogs afterwards.
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QUrl>
#include <QtTest>
#include <memory>

#include "CMainDlg.h"
#include "CStringTable.h"
#include "FakeSteam.h"
#include "TestFolder.h"
#include "WindowKit.h"

class FolderBrowserTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void gameFoldersInTheTargetsSideBarOnly();

private:
    std::unique_ptr<TestSettingsHome> home;
    std::unique_ptr<TestFolder> disk;
    QByteArray savedHome;
};

void FolderBrowserTest::initTestCase() {
    home = std::make_unique<TestSettingsHome>();
    disk = std::make_unique<TestFolder>();
    CStringTable::Select(CStringTable::Language::English);
    FakeSteam::Make(*disk, FakeSteam::HalfLife("home/.local/share/Steam/"));
    savedHome = qgetenv("HOME");
    qputenv("HOME", QByteArray::fromStdString(*disk / "home"));
    qunsetenv("STEAM_DIR");
}

void FolderBrowserTest::cleanupTestCase() {
    qputenv("HOME", savedHome);
    disk.reset();
    home.reset();
}

void FolderBrowserTest::gameFoldersInTheTargetsSideBarOnly() {
    const QString common =
        QFileInfo(QString::fromStdString(*disk / "home/.local/share/Steam/steamapps/common/"))
            .canonicalFilePath();
    const QList<QUrl> games{QUrl::fromLocalFile(common + "/Half-Life/cstrike"),
                            QUrl::fromLocalFile(common + "/Half-Life/valve")};
    CMainDlg window;
    window.show();
    QList<QUrl> target, source;
    QStringList shown;
    // Notes the side bar of the browser that opens, and closes it with Cancel.
    const auto sideBar = [&](QList<QUrl>& urls, const char* screenshot) {
        return When([&, screenshot] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (dialog == nullptr || !dialog->isVisible()) {
                return false;
            }
            urls = dialog->sidebarUrls();
            auto* list = dialog->findChild<QAbstractItemView*>("sidebar");
            STEP_VERIFY(list != nullptr);
            shown.clear();
            for (int row = 0; list != nullptr && row < list->model()->rowCount(); ++row) {
                shown << list->model()->index(row, 0).data().toString();
            }
            if (screenshot != nullptr) {
                SaveScreenshot(dialog, screenshot);
            }
            dialog->reject();
            return true;
        });
    };
    ModalScript targetScript(20000);
    targetScript.Then("the target's browser", sideBar(target, "folder-browser-games")).Start();
    Find<QPushButton>(&window, "browseTarget")->click();
    QVERIFY2(targetScript.Failure().isEmpty(), qPrintable(targetScript.Failure()));
    QVERIFY(shown.contains("cstrike") && shown.contains("valve"));

    Find<QComboBox>(&window, "sourceCombo")
        ->lineEdit()
        ->setText(QString::fromStdString(disk->Path()));
    ModalScript sourceScript(20000);
    sourceScript.Then("the source's browser", sideBar(source, nullptr)).Start();
    Find<QPushButton>(&window, "browseSource")->click();
    QVERIFY2(sourceScript.Failure().isEmpty(), qPrintable(sourceScript.Failure()));

    // Qt's own entries stay, the game folders follow them, and they leave with the dialog.
    QCOMPARE(target, source + games);
    QSettings qtSettings(QSettings::NativeFormat, QSettings::UserScope, "QtProject");
    const QStringList saved = qtSettings.value("FileDialog/shortcuts").toStringList();
    QVERIFY(!saved.isEmpty());
    for (const QUrl& game : games) {
        QVERIFY(!saved.contains(game.toString()));
    }
}

QTEST_MAIN(FolderBrowserTest)
#include "FolderBrowserTest.moc"
