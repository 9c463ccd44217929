// Every window in each language: the texts of its controls come from that language's table,
// none is left empty, and every control has a name a screen reader can say.
#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTreeWidget>
#include <QtTest>
#include <functional>

#include "CDialogTexts.h"
#include "CExtractDlg.h"
#include "COverwriteDlg.h"
#include "CReportDlg.h"
#include "CStringTable.h"
#include "DialogIds.h"
#include "TestFolder.h"
#include "WindowKit.h"

using Language = CStringTable::Language;

namespace {

QString Suffix(Language language) {
    return language == Language::French ? QStringLiteral("fr") : QStringLiteral("en");
}

QString AccessibleName(QWidget* widget) {
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
    return accessible != nullptr ? accessible->text(QAccessible::Name) : QString();
}

// The texts of a window's controls against the table of its template, in the language shown.
void CheckTexts(QWidget* window, int dialogId, Language language) {
    QCOMPARE(window->windowTitle().toStdString(),
             CDialogTexts::Load(dialogId, CDialogTexts::kTitle, language));
    int controls = 0;
    for (QWidget* child : window->findChildren<QWidget*>()) {
        const QVariant id = child->property("controlId");
        if (!id.isValid()) {
            continue;
        }
        ++controls;
        QString shown;
        if (auto* button = qobject_cast<QAbstractButton*>(child)) {
            shown = button->text();
        } else if (auto* label = qobject_cast<QLabel*>(child)) {
            shown = label->text();
        }
        const std::string english = CDialogTexts::Load(dialogId, id.toInt(), Language::English);
        const std::string french = CDialogTexts::Load(dialogId, id.toInt(), Language::French);
        QVERIFY2(!english.empty() && !french.empty(), qPrintable(child->objectName()));
        // A caption that follows the window's state shows the state's text instead.
        if (child->property("captionFollowsState").toBool()) {
            continue;
        }
        QCOMPARE(shown.toStdString(), language == Language::French ? french : english);
    }
    QVERIFY(controls > 0);
}

// Every control a user reaches has a name: buttons, labels, bars, the tree, the report text.
void CheckAccessibleNames(QWidget* window) {
    for (QWidget* child : window->findChildren<QWidget*>()) {
        const bool control = qobject_cast<QAbstractButton*>(child) != nullptr ||
                             qobject_cast<QProgressBar*>(child) != nullptr ||
                             qobject_cast<QTreeWidget*>(child) != nullptr ||
                             qobject_cast<QPlainTextEdit*>(child) != nullptr ||
                             (qobject_cast<QLabel*>(child) != nullptr &&
                              !qobject_cast<QLabel*>(child)->text().isEmpty());
        if (control && child->isVisibleTo(window)) {
            QVERIFY2(!AccessibleName(child).isEmpty(), qPrintable(child->objectName()));
            QVERIFY2(!AccessibleName(child).contains(QLatin1Char('&')),
                     qPrintable(child->objectName()));
        }
    }
}

}  // namespace

class WindowTextsTest : public QObject {
    Q_OBJECT

private slots:
    void everyWindowInEachLanguage_data();
    void everyWindowInEachLanguage();
    void buttonsAndValuesAreNamedForScreenReaders();
    void cleanupTestCase() { CStringTable::Select(Language::English); }
};

void WindowTextsTest::everyWindowInEachLanguage_data() {
    QTest::addColumn<int>("language");
    QTest::newRow("English") << int(Language::English);
    QTest::newRow("French") << int(Language::French);
}

void WindowTextsTest::everyWindowInEachLanguage() {
    QFETCH(int, language);
    const auto lang = static_cast<Language>(language);
    CStringTable::Select(lang);
    const QString suffix = Suffix(lang);

    COverwriteDlg question(QStringLiteral("/home/player/.steam/steam/steamapps/common/Half-Life/"
                                          "cstrike/maps/de_dust2_remake_final.bsp"),
                           QStringLiteral("1 234 567 x"), QStringLiteral("1 234 568 y"));
    question.show();
    CheckTexts(&question, IDD_OVERWRITE, lang);
    CheckAccessibleNames(&question);
    SaveScreenshot(&question, QStringLiteral("overwrite-") + suffix);

    CReportDlg report("a.zip : Ok\r\nb.zip : b.bsp -> Crc mismatched\r\n");
    report.show();
    CheckTexts(&report, IDD_REPORT, lang);
    CheckAccessibleNames(&report);
    SaveScreenshot(&report, QStringLiteral("report-") + suffix);

    // The Extracting window once it has installed a small pack, with its tree shown.
    TestFolder source, target;
    WriteArchive(source / "de_orbelle.zip", {{"de_orbelle.bsp", "m"},
                                             {"de_orbelle.txt", "t"},
                                             {"sound/ambience/wind.wav", "w"},
                                             {"models/props/crate.mdl", "c"},
                                             {"de_orbelle.wad", "<bad crc>"}});
    WriteArchive(source / "aim_training.zip", {{"maps/aim_training.bsp", "m"}});
    InstallOptions options;
    options.Language = lang == Language::French ? "french" : "english";
    CExtractDlg dialog(InstallJob{target.Path(), source.Path(), sourceFolder}, options);
    CheckTexts(&dialog, IDD_EXTRACT, lang);
    ModalScript script;
    script.Then("the window", When([&] { return dialog.isVisible(); }))
        .Then("Unzip",
              [&] {
                  CheckAccessibleNames(&dialog);
                  SaveScreenshot(&dialog, QStringLiteral("extract-ready-") + suffix);
                  PostClick(dialog.findChild<QAbstractButton*>(QStringLiteral("actionButton")));
                  return true;
              })
        .Then("the error box", AnswerBox(QMessageBox::Ok))
        .Then("the end", When([&] {
                  if (!dialog.Run().IsFinished()) {
                      return false;
                  }
                  dialog.ShowDetails();
                  CheckAccessibleNames(&dialog);
                  SaveScreenshot(&dialog, QStringLiteral("extract-done-") + suffix);
                  dialog.close();
                  return true;
              }));
    script.Start();
    dialog.exec();
    QCOMPARE(script.Failure(), QString());
}

void WindowTextsTest::buttonsAndValuesAreNamedForScreenReaders() {
    CStringTable::Select(Language::English);
    TestFolder source, target;
    WriteArchive(source / "a.zip", {{"maps/a.bsp", "A"}});
    CExtractDlg dialog(InstallJob{target.Path(), source.Path(), sourceFolder}, InstallOptions{});
    dialog.show();
    const auto name = [&](const char* objectName) {
        return AccessibleName(dialog.findChild<QWidget*>(QString::fromLatin1(objectName)));
    };
    QCOMPARE(name("actionButton"), QStringLiteral("Unzip"));
    QCOMPARE(name("detailsButton"), QStringLiteral("Détails"));
    QCOMPARE(name("closeButton"), QStringLiteral("Close"));
    QCOMPARE(name("totalBar"), QStringLiteral("Total:"));
    QCOMPARE(name("archiveBar"), QStringLiteral("Archive:"));
    // A value label says its value; its label is its buddy.
    QCOMPARE(name("targetValue"), QString::fromStdString(target.Path()));
    auto* fileLabel = dialog.findChild<QLabel*>(QStringLiteral("fileLabel"));
    QCOMPARE(fileLabel->buddy(), dialog.findChild<QWidget*>(QStringLiteral("fileValue")));
    dialog.ShowFileLabel("Done.");
    QCOMPARE(name("fileValue"), QStringLiteral("Done."));
}

QTEST_MAIN(WindowTextsTest)
#include "WindowTextsTest.moc"
