// The archive viewer driven as a user drives it: real clicks on its rows, headers and buttons,
// the message boxes answered, and what its lists, labels and height show in both languages.
#include <QAbstractItemModel>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QScreen>
#include <QTreeView>
#include <QtTest>
#include <filesystem>

#include "CArchiveDetailsDlg.h"
#include "CImageButton.h"
#include "CStringTable.h"
#include "CTrimLabel.h"
#include "StringIds.h"
#include "TestFolder.h"
#include "WindowKit.h"
#include "WindowTexts.h"
#include "ZipWriter.h"

namespace {

template <class T>
T* Find(QWidget* window, const char* name) {
    T* widget = window->findChild<T*>(QString::fromLatin1(name));
    if (widget == nullptr) {
        qFatal("no widget %s", name);
    }
    return widget;
}

QTreeView* ArchiveList(QWidget* dialog) {
    return Find<QTreeView>(dialog, "archiveList");
}

QTreeView* ContentList(QWidget* dialog) {
    return Find<QTreeView>(dialog, "contentList");
}

QString LabelText(QWidget* dialog, const char* name) {
    return Find<QLabel>(dialog, name)->text();
}

// One column of a list, top to bottom.
QStringList Column(QTreeView* list, int column) {
    QStringList texts;
    const QAbstractItemModel* model = list->model();
    for (int row = 0; row < model->rowCount(); ++row) {
        texts << model->index(row, column).data().toString();
    }
    return texts;
}

// One row of a list, left to right.
QStringList Row(QTreeView* list, int row) {
    QStringList texts;
    const QAbstractItemModel* model = list->model();
    for (int column = 0; column < model->columnCount(); ++column) {
        texts << model->index(row, column).data().toString();
    }
    return texts;
}

QStringList Headers(QTreeView* list) {
    QStringList texts;
    const QAbstractItemModel* model = list->model();
    for (int column = 0; column < model->columnCount(); ++column) {
        texts << model->headerData(column, Qt::Horizontal).toString();
    }
    return texts;
}

int RowOf(QTreeView* list, const QString& name) {
    return Column(list, 0).indexOf(name);
}

QPoint RowCentre(QTreeView* list, int row) {
    return list->visualRect(list->model()->index(row, 0)).center();
}

// Mouse clicks on a row, from the event loop: a message box the click brings is answered by
// the script's next steps. done, when given, turns true once the click has been handled.
void PostRowClick(QTreeView* list, int row, bool* done = nullptr) {
    if (done != nullptr) {
        *done = false;
    }
    QTimer::singleShot(0, list, [list, row, done] {
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, RowCentre(list, row));
        if (done != nullptr) {
            *done = true;
        }
    });
}

void PostRowDoubleClick(QTreeView* list, int row) {
    QTimer::singleShot(0, list, [list, row] {
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, RowCentre(list, row));
    });
}

void PostKey(QWidget* widget, Qt::Key key) {
    QTimer::singleShot(0, widget, [widget, key] { QTest::keyClick(widget, key); });
}

// Shows the viewer, clicks the row of the archive named click (if any) once it is on screen,
// and closes it once that archive is loaded and the pane open.
void ShowThenClose(CArchiveDetailsDlg& dialog, const QString& click = {}) {
    QTreeView* list = ArchiveList(&dialog);
    ModalScript script;
    script.Then("the window", When([&] { return dialog.isVisible(); }))
        .Then("the row",
              [&] {
                  if (!click.isEmpty()) {
                      PostRowClick(list, RowOf(list, click));
                  }
                  return true;
              })
        .Then("its content", When([&] {
                  return click.isEmpty() ||
                         (dialog.PaneShown() && dialog.CurrentArchiveRow() == RowOf(list, click));
              }))
        .Then("Close", [&] {
            dialog.close();
            return true;
        });
    script.Start();
    dialog.exec();
    QCOMPARE(script.Failure(), QString());
}

// An archive of exactly size bytes: its comment makes up the difference.
void WriteArchiveOfSize(const std::string& path, std::vector<ZipEntry> entries, size_t size) {
    ZipWriter zip;
    zip.entries = std::move(entries);
    const size_t bare = zip.Build().size();
    QVERIFY(bare <= size);
    zip.comment.assign(size - bare, ' ');
    zip.Save(path);
}

void WriteArchiveOfSize(const std::string& path, size_t size) {
    WriteArchiveOfSize(path, {{.name = "readme.txt", .data = "A map."}}, size);
}

// Text that deflates as a real file does: repeats, but not only.
std::string FileText(const std::string& seed, size_t size) {
    std::string text;
    for (size_t i = 0; text.size() < size; ++i) {
        text += seed + ' ' + std::to_string(i * 7919 % 1000) + (i % 5 == 0 ? "\n" : " ");
    }
    text.resize(size);
    return text;
}

// A map pack as people pass them around, for the pictures; of size bytes when given.
void WriteMapArchive(const std::string& path, const std::string& map, size_t size = 0) {
    const auto entry = [](const std::string& name, const std::string& data, int day) {
        return ZipEntry{.name = name,
                        .data = data,
                        .method = static_cast<uint16_t>(data.empty() ? 0 : 8),
                        .externalAttributes = name.ends_with('/') ? 0x10u : 0x20u,
                        .dosTime = ZipWriter::DosTime(9 + day % 12, day * 7 % 60, 0),
                        .dosDate = ZipWriter::DosDate(2021, 1 + day % 12, 1 + day % 28)};
    };
    std::vector<ZipEntry> entries{
        entry("maps/", "", 1),
        entry("maps/" + map + ".bsp", FileText(map + " brush lump", 48000), 2),
        entry("maps/" + map + ".txt", FileText("Spawn points, bomb sites", 900), 3),
        entry("models/props/crate.mdl", FileText("studio model", 12000), 4),
        entry("sound/ambience/wind.wav", FileText(map + " wind loop", 30000), 5),
        entry("overviews/" + map + ".bmp", FileText("overview", 20000), 6),
        entry("readme.txt", FileText("Install into your game folder.", 600), 7),
    };
    if (size != 0) {
        WriteArchiveOfSize(path, std::move(entries), size);
        return;
    }
    ZipWriter zip;
    zip.entries = std::move(entries);
    zip.Save(path);
}

void SetModified(const std::string& path, const QDateTime& time) {
    QFile file(QString::fromStdString(path));
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.setFileTime(time, QFileDevice::FileModificationTime));
}

void SelectLanguage(const QString& language) {
    CStringTable::Select(language == QLatin1String("fr") ? CStringTable::Language::French
                                                         : CStringTable::Language::English);
}

// The dialog's full and folded heights, from its own frame.
int FoldedHeight(QWidget* dialog) {
    return Find<QWidget>(dialog, "paneFrame")->y();
}

int FullHeight(QWidget* dialog) {
    return Find<QWidget>(dialog, "paneFrame")->geometry().bottom() + 1;
}

// Notes whether a window was ever shown.
class ShowWatch : public QObject {
public:
    explicit ShowWatch(QWidget* window) { window->installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* event) override {
        shown = shown || event->type() == QEvent::Show;
        return false;
    }
    bool shown = false;
};

}  // namespace

class ArchiveDetailsDlgTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { CStringTable::Select(CStringTable::Language::English); }

    void archiveListAndTotals_data();
    void archiveListAndTotals();
    void fileSourceOpensFilled_data();
    void fileSourceOpensFilled();
    void folderSourceUnfoldsAtFirstClick_data();
    void folderSourceUnfoldsAtFirstClick();
    void folderEntriesCountedNotListed_data();
    void folderEntriesCountedNotListed();
    void ratioOfEmptyAndPackedEntries();
    void rowsSortedAndHeadersInert();
    void foldedPaneUnfoldsWithoutReopening();
    void damagedArchiveAmongGoodOnes();
    void noArchiveAnsweredUnshown_data();
    void noArchiveAnsweredUnshown();
    void sizesFromTwoGibShowTrueValue();
    void foldedWindowCentredOnceUnfolded_data();
    void foldedWindowCentredOnceUnfolded();
    void longTextsShortened();
};

void ArchiveDetailsDlgTest::archiveListAndTotals_data() {
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QStringList>("headers");
    QTest::addColumn<QStringList>("sizes");
    QTest::addColumn<QString>("totals");
    QTest::newRow("en") << "en"
                        << "Archives's details" << QStringList{"Name", "Size", "Date"}
                        << QStringList{"1,000", "2,000", "500"} << "Total: 3 files, 3,500 bytes.";
    QTest::newRow("fr") << "fr"
                        << "Détail des archives"
                        << QStringList{"Nom", "Taille", "Date de Modification"}
                        << QStringList{"1 000", "2 000", "500"}
                        << "Total: 3 fichiers, 3 500 octets.";
}

void ArchiveDetailsDlgTest::archiveListAndTotals() {
    QFETCH(QString, language);
    QFETCH(QString, title);
    QFETCH(QStringList, headers);
    QFETCH(QStringList, sizes);
    QFETCH(QString, totals);
    SelectLanguage(language);
    TestFolder source;
    WriteArchiveOfSize(source / "b.zip", 2000);
    WriteArchiveOfSize(source / "A.zip", 1000);
    WriteArchiveOfSize(source / "c.ZIP", 500);
    // Neither a folder named like an archive nor another file is listed.
    QVERIFY(QDir().mkpath(QString::fromStdString(source / "sub.zip")));
    source.WriteFile("notes.txt", "not an archive");
    SetModified(source / "A.zip", QDateTime(QDate(2021, 3, 4), QTime(5, 6, 7)));

    CArchiveDetailsDlg dialog(source.Path(), 1);
    ShowThenClose(dialog);
    QTreeView* list = ArchiveList(&dialog);
    QCOMPARE(dialog.windowTitle(), title);
    QCOMPARE(Headers(list), headers);
    QCOMPARE(Column(list, 0), (QStringList{"A.zip", "b.zip", "c.ZIP"}));
    QCOMPARE(Column(list, 1), sizes);
    QCOMPARE(LabelText(&dialog, "archiveTotals"), totals);
    QCOMPARE(LabelText(&dialog, "sourcePath"), QString::fromStdString(source.Path()));
    const QList<Qt::Alignment> alignments{Qt::AlignLeft, Qt::AlignRight, Qt::AlignHCenter};
    const QList<int> widths{310, 90, 120};
    for (int column = 0; column < 3; ++column) {
        QCOMPARE(list->model()->index(0, column).data(Qt::TextAlignmentRole).toInt() &
                     Qt::AlignHorizontal_Mask,
                 int(alignments[column]));
        QCOMPARE(list->header()->sectionSize(column), widths[column]);
    }
    const QString dateOfA = list->model()->index(0, 2).data().toString();
    // The system locale's short date, then its time without the seconds.
    const QLocale locale = QLocale::system();
    const QString date = locale.toString(QDate(2021, 3, 4), QLocale::ShortFormat);
    QVERIFY2(dateOfA.startsWith(date + QLatin1Char(' ')), qPrintable(dateOfA));
    const QString time = dateOfA.mid(date.size() + 1);
    QVERIFY2(time.contains(QLatin1String("05")) || time.contains(QLatin1String("5:06")),
             qPrintable(dateOfA));
    QVERIFY2(!time.contains(QLatin1String("07")), qPrintable(dateOfA));
}

void ArchiveDetailsDlgTest::fileSourceOpensFilled_data() {
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("archiveTotals");
    QTest::addColumn<QString>("contentTotals");
    QTest::addColumn<QStringList>("names");  // lists, then Close and Hide
    QTest::addColumn<QStringList>("tips");
    QTest::newRow("en") << "en"
                        << "Total: 1 files, 40,960 bytes."
                        << "Total: 7 files, 111,500 bytes."
                        << QStringList{"Found Files:", "File content:", "Close", "Hide"}
                        << QStringList{"Close window", "Hide this pane"};
    QTest::newRow("fr") << "fr"
                        << "Total: 1 fichiers, 40 960 octets."
                        << "Total: 7 fichiers, 111 500 octets."
                        << QStringList{"Fichiers Trouvés:", "Détail du Fichier:", "Fermer",
                                       "Réduire"}
                        << QStringList{"Fermer cette fenêtre", "Réduire cette fenêtre"};
}

void ArchiveDetailsDlgTest::fileSourceOpensFilled() {
    QFETCH(QString, language);
    QFETCH(QString, archiveTotals);
    QFETCH(QString, contentTotals);
    QFETCH(QStringList, names);
    QFETCH(QStringList, tips);
    SelectLanguage(language);
    TestFolder source;
    // Of a round size, so that the totals line can be written out here.
    WriteMapArchive(source / "de_orbelle.zip", "de_orbelle", 40960);
    CArchiveDetailsDlg dialog(source / "de_orbelle.zip", 0);
    auto* close = Find<CImageButton>(&dialog, "closeButton");
    auto* hide = Find<CImageButton>(&dialog, "hideButton");
    QTreeView* list = ArchiveList(&dialog);
    QTreeView* content = ContentList(&dialog);
    bool shownOpen = false;
    QModelIndexList selected;
    QStringList shownNames, shownTips, files;
    QString archiveName, shownArchiveTotals, shownContentTotals;
    ModalScript script;
    script.Then("the window", When([&] { return dialog.isVisible(); }))
        .Then("a look, then Close", [&] {
            shownOpen = dialog.PaneShown() && dialog.height() == FullHeight(&dialog);
            selected = list->selectionModel()->selectedRows();
            files = Column(content, 0);
            archiveName = LabelText(&dialog, "archiveName");
            shownArchiveTotals = LabelText(&dialog, "archiveTotals");
            shownContentTotals = LabelText(&dialog, "contentTotals");
            shownNames << list->accessibleName() << content->accessibleName()
                       << close->accessibleName() << hide->accessibleName();
            shownTips << close->toolTip() << hide->toolTip();
            STEP_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(list));
            SaveScreenshot(&dialog, QStringLiteral("viewer-file-") + language);
            PostClick(close);
            return true;
        });
    script.Start();
    QCOMPARE(dialog.exec(), CArchiveDetailsDlg::kClosed);
    QCOMPARE(script.Failure(), QString());

    QVERIFY(shownOpen);
    QCOMPARE(selected.size(), 1);
    QCOMPARE(selected.first().row(), 0);
    QCOMPARE(dialog.CurrentArchiveRow(), 0);
    QCOMPARE(Column(list, 0), QStringList{"de_orbelle.zip"});
    QCOMPARE(files, (QStringList{"crate.mdl", "de_orbelle.bmp", "de_orbelle.bsp", "de_orbelle.txt",
                                 "readme.txt", "wind.wav"}));
    QCOMPARE(archiveName, QStringLiteral("de_orbelle.zip"));
    QCOMPARE(shownArchiveTotals, archiveTotals);
    QCOMPARE(shownContentTotals, contentTotals);
    QCOMPARE(shownNames, names);
    QCOMPARE(shownTips, tips);
    QVERIFY(close->UsesBalloonTips() && close->TipActive());
    QVERIFY(hide->UsesBalloonTips() && hide->TipActive());
    QVERIFY(!close->IconSize().isEmpty() && !hide->IconSize().isEmpty());
}

void ArchiveDetailsDlgTest::folderSourceUnfoldsAtFirstClick_data() {
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("contentTotals");
    QTest::newRow("en") << "en"
                        << "Total: 7 files, 111,500 bytes.";
    QTest::newRow("fr") << "fr"
                        << "Total: 7 fichiers, 111 500 octets.";
}

void ArchiveDetailsDlgTest::folderSourceUnfoldsAtFirstClick() {
    QFETCH(QString, language);
    QFETCH(QString, contentTotals);
    SelectLanguage(language);
    TestFolder source;
    WriteMapArchive(source / "de_orbelle.zip", "de_orbelle");
    WriteMapArchive(source / "aim_training.zip", "aim_training");
    WriteMapArchive(source / "cs_harbour.zip", "cs_harbour");
    CArchiveDetailsDlg dialog(source.Path(), 1);
    QTreeView* list = ArchiveList(&dialog);
    QTreeView* content = ContentList(&dialog);
    bool foldedAtFirst = false;
    ModalScript script;
    script.Then("the window", When([&] { return dialog.isVisible(); }))
        .Then("a click on cs_harbour.zip",
              [&] {
                  foldedAtFirst = !dialog.PaneShown() && dialog.height() == FoldedHeight(&dialog) &&
                                  content->model()->rowCount() == 0 &&
                                  list->selectionModel()->selectedRows().isEmpty() &&
                                  dialog.CurrentArchiveRow() == CArchiveDetailsDlg::kNoRow;
                  SaveScreenshot(&dialog, QStringLiteral("viewer-folded-") + language);
                  PostRowClick(list, RowOf(list, "cs_harbour.zip"));
                  return true;
              })
        .Then("the pane", When([&] { return dialog.PaneShown(); }))
        .Then("Escape", [&] {
            STEP_COMPARE(dialog.height(), FullHeight(&dialog));
            SaveScreenshot(&dialog, QStringLiteral("viewer-folder-") + language);
            QTest::keyClick(&dialog, Qt::Key_Escape);
            return true;
        });
    script.Start();
    QCOMPARE(dialog.exec(), int(QDialog::Rejected));
    QCOMPARE(script.Failure(), QString());

    QVERIFY(foldedAtFirst);
    QCOMPARE(Column(list, 0),
             (QStringList{"aim_training.zip", "cs_harbour.zip", "de_orbelle.zip"}));
    QCOMPARE(dialog.CurrentArchiveRow(), 1);
    QCOMPARE(LabelText(&dialog, "archiveName"), QStringLiteral("cs_harbour.zip"));
    QCOMPARE(Column(content, 0), (QStringList{"crate.mdl", "cs_harbour.bmp", "cs_harbour.bsp",
                                              "cs_harbour.txt", "readme.txt", "wind.wav"}));
    QCOMPARE(LabelText(&dialog, "contentTotals"), contentTotals);
}

void ArchiveDetailsDlgTest::folderEntriesCountedNotListed_data() {
    QTest::addColumn<QString>("language");
    QTest::addColumn<QStringList>("headers");
    QTest::addColumn<QStringList>("inner");
    QTest::addColumn<QStringList>("root");
    QTest::addColumn<QString>("totals");
    QTest::newRow("en") << "en" << QStringList{"Name",       "Size",      "Date",   "Ratio",
                                               "Compressed", "Directory", "Comment"}
                        << QStringList{"de_x.bsp", "1,000", "15/06/2020 12:34", "100%", "1,000",
                                       "maps\\",   ""}
                        << QStringList{"readme.txt", "24", "15/06/2020 12:34", "100%", "24", "", ""}
                        << "Total: 3 files, 1,024 bytes.";
    QTest::newRow("fr") << "fr"
                        << QStringList{"Nom",       "Taille",     "Date de Modification", "Taux",
                                       "Compressé", "Répertoire", "Commentaire"}
                        << QStringList{"de_x.bsp", "1 000", "15/06/2020 12:34", "100%", "1 000",
                                       "maps\\",   ""}
                        << QStringList{"readme.txt", "24", "15/06/2020 12:34", "100%", "24", "", ""}
                        << "Total: 3 fichiers, 1 024 octets.";
}

void ArchiveDetailsDlgTest::folderEntriesCountedNotListed() {
    QFETCH(QString, language);
    QFETCH(QStringList, headers);
    QFETCH(QStringList, inner);
    QFETCH(QStringList, root);
    QFETCH(QString, totals);
    SelectLanguage(language);
    TestFolder source;
    WriteArchive(source / "pack.zip", {{"maps/", ""},
                                       {"maps/de_x.bsp", std::string(1000, 'b')},
                                       {"readme.txt", std::string(24, 'r')}});
    // A source typed in another case still finds the archive.
    CArchiveDetailsDlg dialog(source / "PACK.ZIP", 0);
    ShowThenClose(dialog);
    QTreeView* content = ContentList(&dialog);
    QCOMPARE(Column(ArchiveList(&dialog), 0), QStringList{"pack.zip"});
    QCOMPARE(Headers(content), headers);
    QCOMPARE(content->model()->rowCount(), 2);
    QCOMPARE(Row(content, 0), inner);
    QCOMPARE(Row(content, 1), root);
    QCOMPARE(LabelText(&dialog, "contentTotals"), totals);
    const QList<int> widths{150, 90, 120, 60, 90, 140, 200};
    for (int column = 0; column < widths.size(); ++column) {
        QCOMPARE(content->header()->sectionSize(column), widths[column]);
    }
}

void ArchiveDetailsDlgTest::ratioOfEmptyAndPackedEntries() {
    TestFolder source;
    ZipWriter zip;
    zip.entries = {{.name = "empty.txt", .data = ""},
                   {.name = "packed.txt",
                    .data = std::string(1000, 'p'),
                    .method = 8,
                    .stored = std::string(350, '\0')},
                   {.name = "third.txt",
                    .data = std::string(3, 't'),
                    .method = 8,
                    .stored = std::string(1, '\0')}};
    zip.Save(source / "ratios.zip");
    CArchiveDetailsDlg dialog(source / "ratios.zip", 0);
    ShowThenClose(dialog);
    QTreeView* content = ContentList(&dialog);
    QCOMPARE(Column(content, 0), (QStringList{"empty.txt", "packed.txt", "third.txt"}));
    QCOMPARE(Column(content, 3), (QStringList{"0%", "35%", "33%"}));
    QCOMPARE(Column(content, 4), (QStringList{"0", "350", "1"}));
}

void ArchiveDetailsDlgTest::rowsSortedAndHeadersInert() {
    TestFolder source;
    for (const char* name : {"zulu.zip", "Alpha.zip", "bravo.zip", "_x.zip"}) {
        WriteArchive(source / name, {{"a.txt", "a"}});
    }
    ZipWriter zip;
    for (const char* name :
         {"zeta.txt", "sub/alpha.txt", "Beta.TXT", "Alpha.txt", "_first.txt", "9.txt", "été.txt",
          "Été.txt", "shared_prefix_for_maps_2.txt", "SHARED_PREFIX_FOR_MAPS_10.txt"}) {
        zip.entries.push_back({.name = name, .data = "x", .flags = 0x800});  // UTF-8 names
    }
    zip.Save(source / "10.zip");
    CArchiveDetailsDlg dialog(source.Path(), 1);
    QTreeView* list = ArchiveList(&dialog);
    QTreeView* content = ContentList(&dialog);
    // Capitals compared, as the archives of a folder are taken by an install: '_' after the
    // letters, accented capitals after both; equal capitals in their bytes' order.
    const QStringList archives{"10.zip", "Alpha.zip", "bravo.zip", "zulu.zip", "_x.zip"};
    const QStringList files{"9.txt",
                            "Alpha.txt",
                            "alpha.txt",
                            "Beta.TXT",
                            "SHARED_PREFIX_FOR_MAPS_10.txt",
                            "shared_prefix_for_maps_2.txt",
                            "zeta.txt",
                            "_first.txt",
                            "Été.txt",
                            "été.txt"};
    const auto clickHeaders = [](QTreeView* view) {
        QHeaderView* header = view->header();
        for (int section = 0; section < 3; ++section) {
            QTest::mouseClick(
                header->viewport(), Qt::LeftButton, {},
                QPoint(header->sectionViewportPosition(section) + 20, header->height() / 2));
        }
    };
    ModalScript script;
    script.Then("the window", When([&] { return dialog.isVisible(); }))
        .Then("a click on 10.zip",
              [&] {
                  PostRowClick(list, 0);
                  return true;
              })
        .Then("its content", When([&] { return content->model()->rowCount() > 0; }))
        .Then("clicks on every header", [&] {
            clickHeaders(list);
            clickHeaders(content);
            dialog.close();
            return true;
        });
    script.Start();
    dialog.exec();
    QCOMPARE(script.Failure(), QString());
    QCOMPARE(Column(list, 0), archives);
    QCOMPARE(Column(content, 0), files);
    QCOMPARE(Column(content, 5).indexOf(QStringLiteral("sub\\")), 2);
    QVERIFY(!list->header()->isSortIndicatorShown());
    QVERIFY(!content->header()->isSortIndicatorShown());
}

void ArchiveDetailsDlgTest::foldedPaneUnfoldsWithoutReopening() {
    TestFolder source;
    WriteArchive(source / "a.zip", {{"x.txt", "x"}, {"y.txt", "y"}});
    WriteArchive(source / "b.zip", {{"b.txt", "b"}});
    CArchiveDetailsDlg dialog(source.Path(), 1);
    QTreeView* list = ArchiveList(&dialog);
    QTreeView* content = ContentList(&dialog);
    auto* hide = Find<CImageButton>(&dialog, "hideButton");
    QStringList boxes;
    bool clicked = false;
    int foldedHeight = 0;
    const auto files = [&] { return Column(content, 0); };
    ModalScript script;
    script.Then("the window", When([&] { return dialog.isVisible(); }))
        .Then("a.zip",
              [&] {
                  PostRowClick(list, 0);
                  return true;
              })
        .Then("its files", When([&] {
                  return files() == QStringList{"x.txt", "y.txt"};
              }))
        .Then("Hide",
              [&] {
                  PostClick(hide);
                  return true;
              })
        .Then("the pane folded, then a.zip spoilt and clicked again",
              [&] {
                  if (dialog.PaneShown()) {
                      return false;
                  }
                  foldedHeight = dialog.height();
                  // Opened again, it would now bring the reader's boxes.
                  source.WriteFile("a.zip", "no longer an archive");
                  PostRowClick(list, 0, &clicked);
                  return true;
              })
        .Then("the click handled", When([&] { return clicked || CurrentBox() != nullptr; }))
        .Then("Hide, then a double click on a.zip",
              [&] {
                  STEP_VERIFY(CurrentBox() == nullptr);
                  STEP_VERIFY(dialog.PaneShown());
                  STEP_COMPARE(files(), (QStringList{"x.txt", "y.txt"}));
                  hide->click();
                  PostRowDoubleClick(list, 0);
                  return true;
              })
        .Then("unfolded by the double click",
              [&] {
                  if (!dialog.PaneShown()) {
                      return false;
                  }
                  STEP_VERIFY(CurrentBox() == nullptr);
                  STEP_COMPARE(files(), (QStringList{"x.txt", "y.txt"}));
                  // The keyboard moves the selection: that row loads.
                  PostKey(list, Qt::Key_Down);
                  return true;
              })
        .Then("b.zip's file", When([&] { return files() == QStringList{"b.txt"}; }))
        .Then("back up to a.zip",
              [&] {
                  STEP_COMPARE(dialog.CurrentArchiveRow(), 1);
                  PostKey(list, Qt::Key_Up);
                  return true;
              })
        .Then("the retry question", AnswerBox(QMessageBox::No, &boxes))
        .Then("the error", AnswerBox(QMessageBox::Ok, &boxes))
        .Then("Close", [&] {
            dialog.close();
            return true;
        });
    script.Start();
    dialog.exec();
    QCOMPARE(script.Failure(), QString());
    QCOMPARE(foldedHeight, FoldedHeight(&dialog));
    // Only the row picked after another opened the spoilt archive again.
    QCOMPARE(boxes.size(), 2);
    QCOMPARE(boxes.last(), QStringLiteral("Error|Error on opening file !"));
    QCOMPARE(content->model()->rowCount(), 0);
}

void ArchiveDetailsDlgTest::damagedArchiveAmongGoodOnes() {
    TestFolder source;
    WriteArchive(source / "a.zip", {{"a.txt", "a"}});
    source.WriteFile("bad.zip", "this is not an archive at all");
    WriteArchive(source / "c.zip", {{"c1.txt", "c"}, {"c2.txt", "cc"}});
    CArchiveDetailsDlg dialog(source.Path(), 1);
    QTreeView* list = ArchiveList(&dialog);
    QTreeView* content = ContentList(&dialog);
    QStringList boxes;
    QList<QMessageBox::StandardButtons> questionButtons;
    bool clicked = false;
    QString afterFailure;
    const auto files = [&] { return Column(content, 0); };
    ModalScript script;
    script.Then("the window", When([&] { return dialog.isVisible(); }))
        .Then("bad.zip",
              [&] {
                  PostRowClick(list, 1);
                  return true;
              })
        .Then("the retry question, and c.zip picked meanwhile",
              [&] {
                  QMessageBox* box = CurrentBox();
                  if (box == nullptr) {
                      return false;
                  }
                  questionButtons << box->standardButtons();
                  // While the archive opens, the list's notifications are not heard.
                  list->selectionModel()->select(
                      list->model()->index(2, 0),
                      QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
                  return AnswerBox(QMessageBox::No, &boxes)();
              })
        .Then("the error", AnswerBox(QMessageBox::Ok, &boxes))
        .Then("bad.zip again",
              [&] {
                  if (CurrentBox() != nullptr) {
                      return false;
                  }
                  afterFailure = LabelText(&dialog, "archiveName") + QLatin1Char('|') +
                                 LabelText(&dialog, "contentTotals") + QLatin1Char('|') +
                                 QString::number(content->model()->rowCount()) + QLatin1Char('|') +
                                 QString::number(dialog.CurrentArchiveRow());
                  PostRowClick(list, 1, &clicked);
                  return true;
              })
        .Then("not opened again", When([&] { return clicked || CurrentBox() != nullptr; }))
        .Then("c.zip",
              [&] {
                  STEP_VERIFY(CurrentBox() == nullptr);
                  PostRowClick(list, 2);
                  return true;
              })
        .Then("c.zip's files", When([&] {
                  return files() == QStringList{"c1.txt", "c2.txt"};
              }))
        .Then("a.zip",
              [&] {
                  PostRowClick(list, 0);
                  return true;
              })
        .Then("a.zip's file", When([&] { return files() == QStringList{"a.txt"}; }))
        .Then("Close", [&] {
            dialog.close();
            return true;
        });
    script.Start();
    dialog.exec();
    QCOMPARE(script.Failure(), QString());
    QCOMPARE(boxes.size(), 2);
    QVERIFY(boxes[0].endsWith(QLatin1Char('|') + WindowTexts::String(IDS_RETRY_CENTRAL_DIRECTORY)));
    QCOMPARE(questionButtons.first(), QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(boxes[1], QStringLiteral("Error|Error on opening file !"));
    QCOMPARE(afterFailure, QStringLiteral("bad.zip|Total: 0 files, 0 bytes.|0|1"));
    QCOMPARE(LabelText(&dialog, "contentTotals"), QStringLiteral("Total: 1 files, 1 bytes."));
}

void ArchiveDetailsDlgTest::noArchiveAnsweredUnshown_data() {
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("box");
    QTest::newRow("empty folder") << "en"
                                  << "empty"
                                  << "Error|No archive found !";
    QTest::newRow("only a folder named x.zip") << "fr"
                                               << "folder"
                                               << "Erreur|Aucun fichier archive trouvé !";
    QTest::newRow("missing archive") << "en"
                                     << "missing"
                                     << "Error|No archive found !";
}

void ArchiveDetailsDlgTest::noArchiveAnsweredUnshown() {
    QFETCH(QString, language);
    QFETCH(QString, kind);
    QFETCH(QString, box);
    SelectLanguage(language);
    TestFolder source;
    if (kind == QLatin1String("folder")) {
        QVERIFY(QDir().mkpath(QString::fromStdString(source / "x.zip")));
        source.WriteFile("notes.txt", "text");
    }
    const bool folder = kind != QLatin1String("missing");
    CArchiveDetailsDlg dialog(folder ? source.Path() : source / "gone.zip", folder ? 1 : 0);
    ShowWatch watch(&dialog);
    QStringList boxes;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    ModalScript script;
    script.Then("the message", [&] {
        if (CurrentBox() != nullptr) {
            icon = CurrentBox()->icon();
        }
        return AnswerBox(QMessageBox::Ok, &boxes)();
    });
    script.Start();
    QCOMPARE(dialog.exec(), CArchiveDetailsDlg::kNoArchive);
    QCOMPARE(script.Failure(), QString());
    QCOMPARE(boxes, QStringList{box});
    QCOMPARE(icon, QMessageBox::Information);
    QVERIFY(!watch.shown);
}

void ArchiveDetailsDlgTest::sizesFromTwoGibShowTrueValue() {
    constexpr uint32_t kThreeGib = 3u << 30;
    TestFolder source;
    // No data: a sparse file has the size without the disk space.
    source.WriteFile("x.zip", "");
    std::filesystem::resize_file(source / "x.zip", kThreeGib);
    const auto huge = [](const std::string& name) {
        return ZipEntry{.name = name,
                        .data = "x",
                        .method = 8,
                        .stated = {.uncompressedSize = kThreeGib},
                        .stored = std::string(1, '\0')};
    };
    WriteArchiveOfSize(source / "big.zip", {huge("one.bin"), huge("two.bin")}, 1000);
    CArchiveDetailsDlg dialog(source.Path(), 1);
    ShowThenClose(dialog, QStringLiteral("big.zip"));
    QTreeView* list = ArchiveList(&dialog);
    QTreeView* content = ContentList(&dialog);
    QCOMPARE(Row(list, RowOf(list, "x.zip")).mid(0, 2), (QStringList{"x.zip", "3,221,225,472"}));
    QCOMPARE(LabelText(&dialog, "archiveTotals"),
             QStringLiteral("Total: 2 files, 3,221,226,472 bytes."));
    QCOMPARE(Column(content, 1), (QStringList{"3,221,225,472", "3,221,225,472"}));
    QCOMPARE(LabelText(&dialog, "contentTotals"),
             QStringLiteral("Total: 2 files, 6,442,450,944 bytes."));
}

void ArchiveDetailsDlgTest::foldedWindowCentredOnceUnfolded_data() {
    QTest::addColumn<bool>("withParent");
    QTest::newRow("over its parent") << true;
    QTest::newRow("over the screen") << false;
}

void ArchiveDetailsDlgTest::foldedWindowCentredOnceUnfolded() {
    QFETCH(bool, withParent);
    TestFolder source;
    WriteArchive(source / "a.zip", {{"a.txt", "a"}});
    QWidget parent;
    parent.setGeometry(60, 40, 680, 520);
    if (withParent) {
        parent.show();
    }
    const QRect over =
        withParent ? parent.frameGeometry() : QGuiApplication::primaryScreen()->availableGeometry();
    CArchiveDetailsDlg dialog(source.Path(), 1, withParent ? &parent : nullptr);
    QRect folded, unfolded;
    ModalScript script;
    script.Then("the window", When([&] { return dialog.isVisible(); }))
        .Then("a.zip",
              [&] {
                  folded = dialog.frameGeometry();
                  PostRowClick(ArchiveList(&dialog), 0);
                  return true;
              })
        .Then("the pane", When([&] { return dialog.PaneShown(); }))
        .Then("Close", [&] {
            unfolded = dialog.frameGeometry();
            dialog.close();
            return true;
        });
    script.Start();
    dialog.exec();
    QCOMPARE(script.Failure(), QString());
    const int pane = Find<QWidget>(&dialog, "paneFrame")->height();
    QString where;
    // Folded, half the pane above the centre; unfolded, centred, in the same place.
    QDebug(&where) << over << folded << unfolded;
    QVERIFY2(qAbs(folded.center().x() - over.center().x()) <= 1, qPrintable(where));
    QVERIFY2(qAbs(folded.center().y() + pane / 2 - over.center().y()) <= 1, qPrintable(where));
    QCOMPARE(unfolded.topLeft(), folded.topLeft());
    QCOMPARE(unfolded.height(), folded.height() + pane);
    QVERIFY2(qAbs(unfolded.center().y() - over.center().y()) <= 1, qPrintable(where));
}

void ArchiveDetailsDlgTest::longTextsShortened() {
    TestFolder base;
    const std::string folder =
        base / (std::string(90, 'f') + "/" + std::string(90, 'g') + "/maps of the season/");
    const std::string name = std::string(120, 'n') + ".zip";
    QVERIFY(QDir().mkpath(QString::fromStdString(folder)));
    WriteArchive(folder + name, {{std::string(100, 'e') + ".txt", "e"}});
    CArchiveDetailsDlg dialog(folder, 1);
    ShowThenClose(dialog, QString::fromStdString(name));
    for (const char* label : {"sourcePath", "archiveName"}) {
        auto* trim = Find<CTrimLabel>(&dialog, label);
        QVERIFY(trim->fontMetrics().horizontalAdvance(trim->DisplayedText()) <=
                trim->contentsRect().width());
        QVERIFY(trim->DisplayedText().contains(QChar(0x2026)));
    }
    // The whole texts stay for screen readers.
    QCOMPARE(LabelText(&dialog, "sourcePath"), QString::fromStdString(folder));
    QCOMPARE(LabelText(&dialog, "archiveName"), QString::fromStdString(name));
    QCOMPARE(ArchiveList(&dialog)->textElideMode(), Qt::ElideRight);
    QCOMPARE(ContentList(&dialog)->textElideMode(), Qt::ElideRight);
}

QTEST_MAIN(ArchiveDetailsDlgTest)
#include "ArchiveDetailsDlgTest.moc"
