// The Extracting window driven as a user drives it: real buttons, real message boxes, the
// files on disk, the report, the labels, the tree and the window's height.
#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTreeWidget>
#include <QtTest>
#include <functional>

#include "CExtractDlg.h"
#include "CFileIconList.h"
#include "CImageButton.h"
#include "COverwriteDlg.h"
#include "CReportDlg.h"
#include "CStringTable.h"
#include "IconIds.h"
#include "TestFolder.h"
#include "WindowKit.h"

namespace {

InstallOptions Options(int analyse = 1) {
    InstallOptions options;
    options.Analyse = analyse;
    options.Replace = 0;
    options.Newer = 0;
    return options;
}

InstallJob FolderJob(const TestFolder& source, const TestFolder& target) {
    return InstallJob{target.Path(), source.Path(), sourceFolder};
}

// The tree as text, one node a line, indented by depth; a '!' marks the error icon.
QString TreeText(QTreeWidget* tree) {
    const qint64 errorKey = CFileIconList::Shared()
                                .Icon(CFileIconList::Shared().ProgramIcon(IDI_ERROR_MARK))
                                .cacheKey();
    QString text;
    std::function<void(QTreeWidgetItem*, int)> walk = [&](QTreeWidgetItem* item, int depth) {
        for (int i = 0; i < item->childCount(); ++i) {
            QTreeWidgetItem* child = item->child(i);
            text += QString(depth * 2, QLatin1Char(' ')) + child->text(0) +
                    (child->icon(0).cacheKey() == errorKey ? QStringLiteral("!") : QString()) +
                    QLatin1Char('\n');
            walk(child, depth + 1);
        }
    };
    walk(tree->invisibleRootItem(), 0);
    return text;
}

// What every run starts with: the window comes, and the user presses Unzip.
ModalScript& PressUnzip(ModalScript& script, CExtractDlg& dialog) {
    return script.Then("the window", When([&dialog] { return dialog.isVisible(); }))
        .Then("Unzip", [&dialog] {
            PostClick(Find<CImageButton>(&dialog, "actionButton"));
            return true;
        });
}

// Once the run has ended, the user closes the window.
ModalScript::Step CloseAtTheEnd(CExtractDlg& dialog) {
    return [&dialog] {
        if (dialog.DialogState() != CExtractDlg::stateDone) {
            return false;
        }
        dialog.close();
        return true;
    };
}

QString Report(const CExtractDlg& dialog) {
    return QString::fromStdString(dialog.Run().Report().Text());
}

}  // namespace

class ExtractDlgTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { CStringTable::Select(CStringTable::Language::English); }

    void runOverThreeArchivesOneFailing();
    void detailsBeforeDuringAndAfterTheRun();
    void confirmedCancelInTheMiddle();
    void closingDuringRunAnsweredNoThenYes();
    void escapeDuringRunAsksLikeTheCloseBox();
    void replaceQuestionWithEachAnswer();
    void yesForAllHoldsAcrossArchives();
    void archiveOfFoldersOnly();
    void riskyFilesAskedOncePerArchive();
    void noArchiveFound();
    void treeSharesFoldersAndSortsThem();
};

void ExtractDlgTest::runOverThreeArchivesOneFailing() {
    TestFolder source, target;
    WriteArchive(source / "a.zip", {{"maps/a.bsp", "A"}});
    WriteArchive(source / "b.zip", {{"maps/b1.bsp", "<bad crc>"}, {"w.wad", "W"}});
    WriteArchive(source / "c.zip", {{"maps/c.bsp", "C"}});
    CExtractDlg dialog(FolderJob(source, target), Options());
    auto* action = Find<CImageButton>(&dialog, "actionButton");
    QStringList boxes, reports;
    ModalScript script;
    script.Then("the window", When([&] { return dialog.isVisible(); }))
        .Then("Unzip",
              [&] {
                  STEP_COMPARE(action->text(), QStringLiteral("&Unzip"));
                  STEP_COMPARE(action->toolTip(), QStringLiteral("Unzip files"));
                  STEP_COMPARE(action->accessibleName(), QStringLiteral("Unzip"));
                  SaveScreenshot(&dialog, QStringLiteral("run-extract-ready-en"));
                  PostClick(action);
                  return true;
              })
        .Then("the error box", AnswerBox(QMessageBox::Ok, &boxes))
        .Then("the end", When([&] { return dialog.DialogState() == CExtractDlg::stateDone; }))
        .Then("Report",
              [&] {
                  PostClick(action);
                  return true;
              })
        .Then("the report window",
              [&] {
                  auto* report = qobject_cast<CReportDlg*>(QApplication::activeModalWidget());
                  if (report == nullptr) {
                      return false;
                  }
                  reports << Find<QPlainTextEdit>(report, "reportText")->toPlainText()
                          << report->windowTitle();
                  SaveScreenshot(report, QStringLiteral("run-report-en"));
                  PostClick(Find<CImageButton>(report, "closeButton"));
                  return true;
              })
        .Then("the report closed",
              When([&] { return QApplication::activeModalWidget() == &dialog; }))
        .Then("Close", [&] {
            PostClick(Find<CImageButton>(&dialog, "closeButton"));
            return true;
        });
    script.Start();
    QCOMPARE(dialog.exec(), int(QDialog::Rejected));
    QCOMPARE(script.Failure(), QString());

    QCOMPARE(boxes,
             QStringList{"Error|File: \n     maps\\b1.bsp\n\nError : \n     Crc mismatched"});
    QCOMPARE(Report(dialog), QStringLiteral("a.zip : Ok\r\nb.zip : b1.bsp -> Crc mismatched\r\n"
                                            "c.zip : Ok\r\n"));
    QCOMPARE(reports, (QStringList{"a.zip : Ok\nb.zip : b1.bsp -> Crc mismatched\nc.zip : Ok\n",
                                   "Extract Report"}));
    QCOMPARE(Find<QLabel>(&dialog, "fileValue")->text(), QStringLiteral("Done:  1 Error(s)."));
    QCOMPARE(Find<QProgressBar>(&dialog, "totalBar")->value(), 3);
    QCOMPARE(Find<QProgressBar>(&dialog, "totalBar")->maximum(), 3);
    QCOMPARE(action->text(), QStringLiteral("&Report"));
    QCOMPARE(action->toolTip(), QStringLiteral("View extraction report"));
    // Only the entry that failed carries the error mark.
    QCOMPARE(TreeText(Find<QTreeWidget>(&dialog, "tree")),
             QStringLiteral("a.zip\n  maps\n    a.bsp\nb.zip\n  maps\n    b1.bsp!\n  w.wad\n"
                            "c.zip\n  maps\n    c.bsp\n"));
    QCOMPARE(TestFolder::ReadFile(target / "maps/a.bsp"), std::string("A"));
    QCOMPARE(TestFolder::ReadFile(target / "w.wad"), std::string("W"));
    QCOMPARE(TestFolder::ReadFile(target / "maps/c.bsp"), std::string("C"));
}

void ExtractDlgTest::detailsBeforeDuringAndAfterTheRun() {
    TestFolder source, target;
    WriteTinyArchive(source / "many.zip", 3000);
    CExtractDlg dialog(FolderJob(source, target), Options(0));
    auto* details = Find<CImageButton>(&dialog, "detailsButton");
    auto* frame = Find<QWidget>(&dialog, "treeFrame");
    QStringList boxes;
    int hiddenHeight = 0, shownHeight = 0, hiddenAgain = 0, frameHeight = 0, shownTop = 0;
    ModalScript script;
    script.Then("the window", When([&] { return dialog.isVisible(); }))
        .Then("Details before the run",
              [&] {
                  hiddenHeight = dialog.height();
                  PostClick(details);
                  return true;
              })
        .Then("its message", AnswerBox(QMessageBox::Ok, &boxes))
        .Then("Unzip",
              [&] {
                  PostClick(Find<CImageButton>(&dialog, "actionButton"));
                  return true;
              })
        .Then("Details while running",
              [&] {
                  if (Find<QProgressBar>(&dialog, "archiveBar")->value() < 100) {
                      return false;
                  }
                  PostClick(details);
                  return true;
              })
        .Then("its message", AnswerBox(QMessageBox::Ok, &boxes))
        .Then("the end", When([&] { return dialog.DialogState() == CExtractDlg::stateDone; }))
        .Then("Details after the end", [&] {
            shownTop = dialog.y();
            details->click();
            shownHeight = dialog.height();
            frameHeight = frame->height();
            STEP_COMPARE(details->toolTip(), QStringLiteral("Hide file content"));
            STEP_COMPARE(dialog.y(), shownTop);
            SaveScreenshot(&dialog, QStringLiteral("run-extract-tree-en"));
            details->click();
            hiddenAgain = dialog.height();
            STEP_COMPARE(details->toolTip(), QStringLiteral("View file content"));
            dialog.close();
            return true;
        });
    script.Start();
    dialog.exec();
    QCOMPARE(script.Failure(), QString());
    const QString message =
        QStringLiteral("Error|No details of extraction to\n be posted for the moment.");
    QCOMPARE(boxes, (QStringList{message, message}));
    QVERIFY(frameHeight > 100);
    QCOMPARE(shownHeight - hiddenHeight, frameHeight);
    QCOMPARE(hiddenAgain, hiddenHeight);
    QCOMPARE(Find<QTreeWidget>(&dialog, "tree")->topLevelItem(0)->child(0)->childCount(), 3000);
}

void ExtractDlgTest::confirmedCancelInTheMiddle() {
    TestFolder source, target;
    for (const char* name : {"a", "b", "c"}) {
        WriteTinyArchive(source / (name + std::string(".zip")), 4000, name);
    }
    CExtractDlg dialog(FolderJob(source, target), Options(0));
    auto* action = Find<CImageButton>(&dialog, "actionButton");
    auto* file = Find<QLabel>(&dialog, "fileValue");
    auto* archiveBar = Find<QProgressBar>(&dialog, "archiveBar");
    QStringList boxes;
    ModalScript script;
    PressUnzip(script, dialog)
        .Then("Cancel in the second archive",
              [&] {
                  if (file->text() != QStringLiteral("b.zip") || archiveBar->value() < 200) {
                      return false;
                  }
                  STEP_COMPARE(action->text(), QStringLiteral("&Cancel"));
                  STEP_COMPARE(action->toolTip(), QStringLiteral("Cancel operation"));
                  SaveScreenshot(&dialog, QStringLiteral("run-extract-running-en"));
                  PostClick(action);
                  return true;
              })
        .Then("the cancel question", AnswerBox(QMessageBox::Yes, &boxes))
        .Then("Action after the run", When([&] {
                  if (dialog.Run().Report().Text().find("Canceled by userb.zip") ==
                      std::string::npos) {
                      return false;
                  }
                  PostClick(action);
                  return true;
              }))
        .Then("the report, although the caption still says Cancel",
              [&] {
                  auto* report = qobject_cast<CReportDlg*>(QApplication::activeModalWidget());
                  if (report == nullptr) {
                      return false;
                  }
                  report->close();
                  return true;
              })
        .Then("Close", When([&] {
                  if (QApplication::activeModalWidget() != &dialog) {
                      return false;
                  }
                  dialog.close();
                  return true;
              }));
    script.Start();
    dialog.exec();
    QCOMPARE(script.Failure(), QString());
    QCOMPARE(boxes, QStringList{"Warning|Cancel operation ?"});
    // The second archive is completed, the third never started; the notice stands twice.
    QCOMPARE(Report(dialog), QStringLiteral("a.zip : Ok\r\nCanceled by userb.zip : Ok\r\n"
                                            "Canceled by user"));
    QCOMPARE(action->text(), QStringLiteral("&Cancel"));
    QCOMPARE(file->text(), QStringLiteral("Done:  0 Error(s)."));
    QCOMPARE(Find<QProgressBar>(&dialog, "totalBar")->value(), 2);
    QCOMPARE(Find<QTreeWidget>(&dialog, "tree")->topLevelItemCount(), 2);
}

void ExtractDlgTest::closingDuringRunAnsweredNoThenYes() {
    TestFolder source, target;
    for (const char* name : {"a", "b", "c"}) {
        WriteTinyArchive(source / (name + std::string(".zip")), 4000, name);
    }
    CExtractDlg dialog(FolderJob(source, target), Options(0));
    auto* archiveBar = Find<QProgressBar>(&dialog, "archiveBar");
    auto* file = Find<QLabel>(&dialog, "fileValue");
    QStringList boxes;
    // Hidden at once, while the second archive is still being installed.
    bool hiddenDuringRun = false;
    OnHide(&dialog, [&] {
        hiddenDuringRun = dialog.Run().Report().Text().find("b.zip") == std::string::npos;
    });
    ModalScript script;
    PressUnzip(script, dialog)
        .Then("Close in the first archive",
              [&] {
                  if (archiveBar->value() < 200) {
                      return false;
                  }
                  PostClick(Find<CImageButton>(&dialog, "closeButton"));
                  return true;
              })
        .Then("No", AnswerBox(QMessageBox::No, &boxes))
        .Then("the close box in the second archive",
              [&] {
                  if (file->text() != QStringLiteral("b.zip") || archiveBar->value() < 200) {
                      return false;
                  }
                  STEP_VERIFY(dialog.isVisible());
                  QTimer::singleShot(0, &dialog, [&] { dialog.close(); });
                  return true;
              })
        .Then("Yes", AnswerBox(QMessageBox::Yes, &boxes));
    script.Start();
    const int result = dialog.exec();
    QCOMPARE(script.Failure(), QString());
    QCOMPARE(result, int(QDialog::Rejected));
    QVERIFY(hiddenDuringRun);
    QCOMPARE(boxes, (QStringList{"Warning|Cancel operation ?", "Warning|Cancel operation ?"}));
    // The run ended before the window did: the second archive complete, the third not begun.
    QCOMPARE(Report(dialog), QStringLiteral("a.zip : Ok\r\nCanceled by userb.zip : Ok\r\n"
                                            "Canceled by user"));
    QVERIFY(!TestFolder::ReadFile(target / "b/part0/3999.txt").empty());
    QVERIFY(TestFolder::ReadFile(target / "c/part0/0.txt").empty());
}

void ExtractDlgTest::escapeDuringRunAsksLikeTheCloseBox() {
    TestFolder source, target;
    WriteTinyArchive(source / "a.zip", 4000, "a");
    WriteTinyArchive(source / "b.zip", 10, "b");
    CExtractDlg dialog(FolderJob(source, target), Options(0));
    auto* archiveBar = Find<QProgressBar>(&dialog, "archiveBar");
    QStringList boxes;
    ModalScript script;
    PressUnzip(script, dialog)
        .Then("Esc while running",
              [&] {
                  if (archiveBar->value() < 200) {
                      return false;
                  }
                  QTimer::singleShot(0, &dialog, [&] { QTest::keyClick(&dialog, Qt::Key_Escape); });
                  return true;
              })
        .Then("No", AnswerBox(QMessageBox::No, &boxes))
        .Then("the end", When([&] { return dialog.DialogState() == CExtractDlg::stateDone; }))
        .Then("Esc after the end", [&] {
            STEP_VERIFY(dialog.isVisible());
            QTest::keyClick(&dialog, Qt::Key_Escape);
            return true;
        });
    script.Start();
    QCOMPARE(dialog.exec(), int(QDialog::Rejected));
    QCOMPARE(script.Failure(), QString());
    QCOMPARE(boxes, QStringList{"Warning|Cancel operation ?"});
    QCOMPARE(Report(dialog), QStringLiteral("a.zip : Ok\r\nb.zip : Ok\r\n"));
}

void ExtractDlgTest::replaceQuestionWithEachAnswer() {
    TestFolder source, target;
    std::vector<std::pair<std::string, std::string>> entries;
    for (int i = 1; i <= 7; ++i) {
        const std::string name = std::to_string(i) + ".wad";
        entries.emplace_back(name, "new");
        target.WriteFile(name, "old");
    }
    WriteArchive(source / "a.zip", entries);
    QStringList questions;
    // Each answer as the user gives it: a button, or a key.
    const std::vector<std::function<void(COverwriteDlg*)>> answers = {
        [](COverwriteDlg* d) { Find<QPushButton>(d, "yesButton")->click(); },
        [](COverwriteDlg* d) { Find<QPushButton>(d, "noButton")->click(); },
        [](COverwriteDlg* d) { QTest::keyClick(d, Qt::Key_Return); },
        [](COverwriteDlg* d) { QTest::keyClick(d, Qt::Key_Escape); },
        [](COverwriteDlg* d) { d->close(); },
        [](COverwriteDlg* d) { Find<QPushButton>(d, "yesForAllButton")->click(); },
    };
    CExtractDlg dialog(FolderJob(source, target), Options(0));
    ModalScript script;
    PressUnzip(script, dialog);
    for (size_t i = 0; i < answers.size(); ++i) {
        script.Then("question", [&, i] {
            auto* question = qobject_cast<COverwriteDlg*>(QApplication::activeModalWidget());
            if (question == nullptr || !question->isVisible()) {
                return false;
            }
            if (i == 0) {
                SaveScreenshot(question, QStringLiteral("run-overwrite-en"));
            }
            questions << Find<QLabel>(question, "nameLine")->text() + QLatin1Char('|') +
                             Find<QLabel>(question, "dateLine")->text().left(8) + QLatin1Char('|') +
                             Find<QLabel>(question, "withDateLine")->text();
            answers[i](question);
            return true;
        });
    }
    script.Then("the end", CloseAtTheEnd(dialog));
    script.Start();
    dialog.exec();
    QCOMPARE(script.Failure(), QString());
    QCOMPARE(questions.size(), 6);
    const QString expected = QString::fromStdString(target / "1.wad") +
                             QStringLiteral("|3 bytes |3 bytes 15/06/2020 12:34");
    QCOMPARE(questions[0], expected);
    std::string contents;
    for (int i = 1; i <= 7; ++i) {
        contents += TestFolder::ReadFile(target / (std::to_string(i) + ".wad")) + " ";
    }
    // Yes, No, Enter, Esc, the close box, Yes For All; the last one without a question.
    QCOMPARE(contents, std::string("new old old old old new new "));
    QCOMPARE(Report(dialog),
             QStringLiteral("a.zip : 2.wad -> Existing file not replaced\r\n"
                            "a.zip : 3.wad -> Existing file not replaced\r\n"
                            "a.zip : 4.wad -> Existing file not replaced\r\n"
                            "a.zip : 5.wad -> Existing file not replaced\r\na.zip : Ok\r\n"));
}

void ExtractDlgTest::yesForAllHoldsAcrossArchives() {
    TestFolder source, target;
    WriteArchive(source / "a.zip", {{"x.wad", "a"}, {"y.wad", "a"}});
    WriteArchive(source / "b.zip", {{"x.wad", "b"}, {"z.wad", "b"}});
    WriteArchive(source / "c.zip", {{"y.wad", "c"}, {"z.wad", "c"}});
    for (const char* answer : {"yesForAllButton", "noForAllButton"}) {
        TestFolder fresh;
        CExtractDlg dialog(FolderJob(source, fresh), Options(0));
        int questions = 0;
        ModalScript script;
        PressUnzip(script, dialog).Then("the end", [&] {
            if (auto* question = qobject_cast<COverwriteDlg*>(QApplication::activeModalWidget())) {
                ++questions;
                Find<QPushButton>(question, answer)->click();
                return false;
            }
            if (dialog.DialogState() != CExtractDlg::stateDone) {
                return false;
            }
            dialog.close();
            return true;
        });
        script.Start();
        dialog.exec();
        QCOMPARE(script.Failure(), QString());
        QCOMPARE(questions, 1);
        const std::string all = TestFolder::ReadFile(fresh / "x.wad") +
                                TestFolder::ReadFile(fresh / "y.wad") +
                                TestFolder::ReadFile(fresh / "z.wad");
        QCOMPARE(all, std::string(answer == std::string("yesForAllButton") ? "bcc" : "aab"));
    }
}

void ExtractDlgTest::archiveOfFoldersOnly() {
    TestFolder source, target;
    WriteArchive(source / "d.zip", {{"maps/", ""}, {"maps/sub/", ""}});
    WriteArchive(source / "e.zip", {{"maps/e.bsp", "E"}});
    CExtractDlg dialog(FolderJob(source, target), Options());
    ModalScript script;
    PressUnzip(script, dialog).Then("the end", CloseAtTheEnd(dialog));
    script.Start();
    dialog.exec();
    QCOMPARE(script.Failure(), QString());
    QCOMPARE(Report(dialog), QStringLiteral("d.zip : Ok\r\ne.zip : Ok\r\n"));
    // The empty archive counts as a file node once the run has ended: after the other one.
    QCOMPARE(TreeText(Find<QTreeWidget>(&dialog, "tree")),
             QStringLiteral("e.zip\n  maps\n    e.bsp\nd.zip\n"));
    QCOMPARE(Find<QLabel>(&dialog, "fileValue")->text(), QStringLiteral("Done."));
    QCOMPARE(target.Listing(), std::string("maps/\nmaps/e.bsp\n"));
}

void ExtractDlgTest::riskyFilesAskedOncePerArchive() {
    TestFolder source;
    WriteArchive(source / "a.zip", {{"maps/de_x.bsp", "bsp"}, {"hook.dll", "x"}, {"x.cfg", "y"}});
    // Enter takes the default, Skip them; then the other button installs them.
    for (const bool install : {false, true}) {
        TestFolder target;
        CExtractDlg dialog(FolderJob(source, target), Options());
        QString asked;
        ModalScript script;
        PressUnzip(script, dialog)
            .Then("the question",
                  [&] {
                      QMessageBox* box = CurrentBox();
                      if (box == nullptr) {
                          return false;
                      }
                      asked = box->windowTitle() + "|" + box->text();
                      SaveScreenshot(box, "risky-question");
                      if (install) {
                          Find<QPushButton>(box, "installRiskyButton")->click();
                      } else {
                          QTest::keyClick(box, Qt::Key_Return);
                      }
                      return true;
                  })
            .Then("the end", CloseAtTheEnd(dialog));
        script.Start();
        dialog.exec();
        QCOMPARE(script.Failure(), QString());
        QCOMPARE(asked, QStringLiteral("Risky files|a.zip holds files that run code or change "
                                       "the game's configuration. A map pack has no reason to "
                                       "carry them:\n\nhook.dll: program or library (.dll)\n"
                                       "x.cfg: game configuration (.cfg)\n\nInstall them anyway?"));
        QCOMPARE(Report(dialog),
                 install ? QStringLiteral("a.zip : Ok\r\n")
                         : QStringLiteral("a.zip : Ok\r\na.zip : hook.dll -> Not installed, "
                                          "program or library (.dll)\r\na.zip : x.cfg -> Not "
                                          "installed, game configuration (.cfg)\r\n"));
        QCOMPARE(target.Listing(),
                 std::string(install ? "divers/\ndivers/de_x/\ndivers/de_x/hook.dll\nmaps/\n"
                                       "maps/de_x.bsp\nx.cfg\n"
                                     : "maps/\nmaps/de_x.bsp\n"));
    }
}

void ExtractDlgTest::noArchiveFound() {
    TestFolder source, target;
    CExtractDlg dialog(FolderJob(source, target), Options());
    QStringList boxes;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    ModalScript script;
    script.Then("the message", AnswerBox(QMessageBox::Ok, &boxes, &icon)).Start();
    QCOMPARE(dialog.exec(), CExtractDlg::kNoArchive);
    QCOMPARE(script.Failure(), QString());
    QCOMPARE(boxes, QStringList{"Error|No archive found !"});
    QCOMPARE(icon, QMessageBox::Information);
    QVERIFY(!dialog.isVisible());
}

void ExtractDlgTest::treeSharesFoldersAndSortsThem() {
    TestFolder source, target;
    WriteArchive(source / "a.zip", {{"z.txt", "1"},
                                    {"Maps/b.bsp", "2"},
                                    {"maps/A.bsp", "3"},
                                    {"B.txt", "4"},
                                    {"x/y/c.txt", "5"},
                                    {"a.TXT", "6"}});
    WriteArchive(source / "B.zip", {{"maps/q.bsp", "7"}});
    CExtractDlg dialog(FolderJob(source, target), Options(0));
    ModalScript script;
    PressUnzip(script, dialog).Then("the end", CloseAtTheEnd(dialog));
    script.Start();
    dialog.exec();
    QCOMPARE(script.Failure(), QString());
    // One folder node for Maps/ and maps/, named after the first; folders first, then names
    // without regard to case; each archive its own folders.
    QCOMPARE(TreeText(Find<QTreeWidget>(&dialog, "tree")),
             QStringLiteral("a.zip\n  Maps\n    A.bsp\n    b.bsp\n  x\n    y\n      c.txt\n"
                            "  a.TXT\n  B.txt\n  z.txt\nB.zip\n  maps\n    q.bsp\n"));
}

QTEST_MAIN(ExtractDlgTest)
#include "ExtractDlgTest.moc"
