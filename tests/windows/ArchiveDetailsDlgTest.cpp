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
#include <fstream>

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

using Language = CStringTable::Language;

QTreeView* ArchiveList(QWidget* dialog) {
    return Find<QTreeView>(dialog, "archiveList");
}
QTreeView* ContentList(QWidget* dialog) {
    return Find<QTreeView>(dialog, "contentList");
}
QString LabelText(QWidget* dialog, const char* name) {
    return Find<QLabel>(dialog, name)->text();
}

QStringList Column(QTreeView* list, int column) {
    QStringList texts;
    for (int row = 0; row < list->model()->rowCount(); ++row) {
        texts << list->model()->index(row, column).data().toString();
    }
    return texts;
}

// One row of a list, left to right; row -1 is the header.
QStringList Row(QTreeView* list, int row) {
    QStringList texts;
    const QAbstractItemModel* model = list->model();
    for (int column = 0; column < model->columnCount(); ++column) {
        texts << (row < 0 ? model->headerData(column, Qt::Horizontal)
                          : model->index(row, column).data())
                     .toString();
    }
    return texts;
}

QList<int> Widths(QTreeView* list) {
    QList<int> widths;
    for (int column = 0; column < list->model()->columnCount(); ++column) {
        widths << list->header()->sectionSize(column);
    }
    return widths;
}

// The widths a list is drawn with, each column widened to its caption where that is longer.
QList<int> DrawnWidths(QTreeView* list, QList<int> widths) {
    for (int column = 0; column < widths.size(); ++column) {
        widths[column] = std::max(widths[column], list->header()->sectionSizeHint(column));
    }
    return widths;
}

int RowOf(QTreeView* list, const QString& name) {
    return Column(list, 0).indexOf(name);
}

// A mouse click (or double click) on a row, from the event loop: a message box it brings is
// answered by the script's next steps. done, when given, turns true once the click is handled.
void PostRowClick(QTreeView* list, int row, bool* done = nullptr, bool twice = false) {
    if (done != nullptr) {
        *done = false;
    }
    QTimer::singleShot(0, list, [list, row, done, twice] {
        const QPoint centre = list->visualRect(list->model()->index(row, 0)).center();
        if (twice) {
            QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, centre);
        } else {
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, centre);
        }
        if (done != nullptr) {
            *done = true;
        }
    });
}

void PostKey(QWidget* widget, Qt::Key key) {
    QTimer::singleShot(0, widget, [widget, key] { QTest::keyClick(widget, key); });
}

// A step that acts at once.
ModalScript::Step Do(std::function<void()> action) {
    return [action] {
        action();
        return true;
    };
}

// Shows the viewer and plays the steps once it is on screen; exec's result.
int Play(CArchiveDetailsDlg& dialog, std::vector<std::pair<QString, ModalScript::Step>> steps) {
    ModalScript script;
    script.Then("the window", When([&] { return dialog.isVisible(); }));
    for (auto& [what, step] : steps) {
        script.Then(what, std::move(step));
    }
    script.Start();
    const int result = dialog.exec();
    STEP_COMPARE(script.Failure(), QString());
    return result;
}

// Shows the viewer, clicks the row of the archive named click (if any), and closes it once that
// archive is loaded and the pane open: the window's frame before the click and at the end.
std::pair<QRect, QRect> ShowThenClose(CArchiveDetailsDlg& dialog, const QString& click = {}) {
    QTreeView* list = ArchiveList(&dialog);
    QRect before, after;
    Play(dialog, {{"the row", Do([&] {
                       before = dialog.frameGeometry();
                       if (!click.isEmpty()) {
                           PostRowClick(list, RowOf(list, click));
                       }
                   })},
                  {"its content", When([&] {
                       return click.isEmpty() || (dialog.PaneShown() &&
                                                  dialog.CurrentArchiveRow() == RowOf(list, click));
                   })},
                  {"Close", Do([&] {
                       after = dialog.frameGeometry();
                       dialog.close();
                   })}});
    return {before, after};
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

// Text that deflates as a real file does: repeats, but not only.
std::string FileText(const std::string& seed, size_t size) {
    std::string text;
    for (size_t i = 0; text.size() < size; ++i) {
        text += seed + ' ' + std::to_string(i * 7919 % 1000) + (i % 5 == 0 ? "\n" : " ");
    }
    text.resize(size);
    return text;
}

// A map pack as people pass them around, of size bytes: 7 entries, 6 files of 111,500 bytes.
void WriteMapArchive(const std::string& path, const std::string& map, size_t size) {
    const auto entry = [](const std::string& name, const std::string& data, int day) {
        return ZipEntry{.name = name,
                        .data = data,
                        .method = static_cast<uint16_t>(data.empty() ? 0 : 8),
                        .externalAttributes = name.ends_with('/') ? 0x10u : 0x20u,
                        .dosTime = ZipWriter::DosTime(9 + day % 12, day * 7 % 60, 0),
                        .dosDate = ZipWriter::DosDate(2021, 1 + day % 12, 1 + day % 28)};
    };
    WriteArchiveOfSize(path,
                       {entry("maps/", "", 1),
                        entry("maps/" + map + ".bsp", FileText(map + " brush lump", 48000), 2),
                        entry("maps/" + map + ".txt", FileText("Spawn points, bomb sites", 900), 3),
                        entry("models/props/crate.mdl", FileText("studio model", 12000), 4),
                        entry("sound/ambience/wind.wav", FileText(map + " wind loop", 30000), 5),
                        entry("overviews/" + map + ".bmp", FileText("overview", 20000), 6),
                        entry("readme.txt", FileText("Install into your game folder.", 600), 7)},
                       size);
}

QStringList MapFiles(const QString& map) {
    return {"crate.mdl", map + ".bmp", map + ".bsp", map + ".txt", "readme.txt", "wind.wav"};
}

// The dialog's folded and full heights, from its own frame.
int FoldedHeight(QWidget* dialog) {
    return Find(dialog, "paneFrame")->y();
}
int FullHeight(QWidget* dialog) {
    return Find(dialog, "paneFrame")->geometry().bottom() + 1;
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

// Rows of a table, named after their situations, for QFETCH(int, row).
template <class Row, size_t N>
void AddRows(const Row (&rows)[N]) {
    QTest::addColumn<int>("row");
    for (size_t i = 0; i < N; ++i) {
        QTest::newRow(rows[i].name) << int(i);
    }
}

// What the viewer shows in one language.
struct Look {
    const char* name = "";
    Language language = Language::English;
    QStringList archiveHeaders = {}, contentHeaders = {};
    QStringList tips = {};  // Close, Hide
    QString totals = {};    // %1 files, %2 bytes
    QChar group = {};       // of thousands

    QString Number(QString english) const { return english.replace(QLatin1Char(','), group); }
    QString Totals(int files, const QString& bytes) const {
        return totals.arg(files).arg(Number(bytes));
    }
};
// clang-format off
const Look kLooks[] = {
    {.name = "en", .language = Language::English,
     .archiveHeaders = {"Name", "Size", "Date"},
     .contentHeaders = {"Name", "Size", "Date", "Ratio", "Compressed", "Directory", "Comment"},
     .tips = {"Close window", "Hide this pane"},
     .totals = "Total: %1 files, %2 bytes.", .group = ','},
    {.name = "fr", .language = Language::French,
     .archiveHeaders = {"Nom", "Taille", "Date de Modification"},
     .contentHeaders = {"Nom", "Taille", "Date de Modification", "Taux", "Compressé", "Répertoire", "Commentaire"},
     .tips = {"Fermer cette fenêtre", "Réduire cette fenêtre"}, .totals = "Total: %1 fichiers, %2 octets.", .group = ' '},
};

struct NoArchive {
    const char* name = "";
    Language language = Language::English;
    bool folder = true, subfolder = false;  // the source; a folder named x.zip in it
    QString box = {};
};
const NoArchive kNoArchives[] = {
    {.name = "empty folder", .box = "Error|No archive found !"},
    {.name = "only a folder named x.zip", .language = Language::French, .subfolder = true,
     .box = "Erreur|Aucun fichier archive trouvé !"},
    {.name = "missing archive", .folder = false, .box = "Error|No archive found !"},
};
// clang-format on

}  // namespace

class ArchiveDetailsDlgTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { CStringTable::Select(Language::English); }

    void folderSourceListedFoldedThenUnfoldsAtFirstClick_data() { AddRows(kLooks); }
    void folderSourceListedFoldedThenUnfoldsAtFirstClick();
    void fileSourceOpensFilled_data() { AddRows(kLooks); }
    void fileSourceOpensFilled();
    void contentColumnsAndFolderEntriesCountedNotListed_data() { AddRows(kLooks); }
    void contentColumnsAndFolderEntriesCountedNotListed();
    void rowsSortedAndHeadersInert();
    void foldedPaneUnfoldsWithoutReopening();
    void damagedArchiveAmongGoodOnes();
    void noArchiveAnsweredUnshown_data() { AddRows(kNoArchives); }
    void noArchiveAnsweredUnshown();
    void longNamesShortenedAndSizesPastTwoGibShownWhole();
    void foldedWindowCentredOnceUnfolded_data();
    void foldedWindowCentredOnceUnfolded();
};

void ArchiveDetailsDlgTest::folderSourceListedFoldedThenUnfoldsAtFirstClick() {
    QFETCH(int, row);
    const Look& look = kLooks[row];
    CStringTable::Select(look.language);
    TestFolder source;
    WriteMapArchive(source / "de_orbelle.zip", "de_orbelle", 60000);
    WriteMapArchive(source / "aim_training.zip", "aim_training", 50000);
    WriteMapArchive(source / "cs_harbour.ZIP", "cs_harbour", 45000);
    // Neither a folder named like an archive nor another file is listed.
    QVERIFY(QDir().mkpath(QString::fromStdString(source / "sub.zip")));
    source.WriteFile("notes.txt", "not an archive");
    QFile aim(QString::fromStdString(source / "aim_training.zip"));
    QVERIFY(aim.open(QIODevice::ReadWrite));
    QVERIFY(aim.setFileTime(QDateTime(QDate(2021, 3, 4), QTime(5, 6, 7)),
                            QFileDevice::FileModificationTime));
    aim.close();

    CArchiveDetailsDlg dialog(source.Path(), 1);
    QTreeView* list = ArchiveList(&dialog);
    QTreeView* content = ContentList(&dialog);
    const QStringList archives{"aim_training.zip", "cs_harbour.ZIP", "de_orbelle.zip"};
    const QString suffix = QString::fromLatin1(look.name);
    const int result = Play(
        dialog, {{"a look, then a click on cs_harbour.ZIP", Do([&] {
                      STEP_VERIFY(!dialog.PaneShown());
                      STEP_COMPARE(dialog.height(), FoldedHeight(&dialog));
                      STEP_COMPARE(content->model()->rowCount(), 0);
                      STEP_VERIFY(list->selectionModel()->selectedRows().isEmpty());
                      STEP_COMPARE(dialog.CurrentArchiveRow(), CArchiveDetailsDlg::kNoRow);
                      STEP_COMPARE(Row(list, -1), look.archiveHeaders);
                      STEP_COMPARE(Column(list, 0), archives);
                      STEP_COMPARE(Column(list, 1),
                                   (QStringList{look.Number("50,000"), look.Number("45,000"),
                                                look.Number("60,000")}));
                      STEP_COMPARE(LabelText(&dialog, "archiveTotals"), look.Totals(3, "155,000"));
                      STEP_COMPARE(LabelText(&dialog, "sourcePath"),
                                   QString::fromStdString(source.Path()));
                      SaveScreenshot(&dialog, "viewer-folded-" + suffix);
                      PostRowClick(list, 1);
                  })},
                 {"the pane", When([&] { return dialog.PaneShown(); })},
                 {"Escape", Do([&] {
                      STEP_COMPARE(dialog.height(), FullHeight(&dialog));
                      SaveScreenshot(&dialog, "viewer-folder-" + suffix);
                      QTest::keyClick(&dialog, Qt::Key_Escape);
                  })}});
    QCOMPARE(result, int(QDialog::Rejected));
    QCOMPARE(dialog.CurrentArchiveRow(), 1);
    QCOMPARE(LabelText(&dialog, "archiveName"), QStringLiteral("cs_harbour.ZIP"));
    QCOMPARE(Column(content, 0), MapFiles("cs_harbour"));
    QCOMPARE(LabelText(&dialog, "contentTotals"), look.Totals(7, "111,500"));

    QCOMPARE(Widths(list), DrawnWidths(list, {310, 90, 120}));
    const int horizontal = Qt::AlignHorizontal_Mask;
    for (const auto& [column, alignment] :
         {std::pair{0, Qt::AlignLeft}, {1, Qt::AlignRight}, {2, Qt::AlignHCenter}}) {
        QCOMPARE(list->model()->index(0, column).data(Qt::TextAlignmentRole).toInt() & horizontal,
                 int(alignment));
    }
    // The system locale's short date, then its time without the seconds.
    const QString dateOfAim = list->model()->index(0, 2).data().toString();
    const QString date = QLocale::system().toString(QDate(2021, 3, 4), QLocale::ShortFormat);
    QVERIFY2(dateOfAim.startsWith(date + QLatin1Char(' ')), qPrintable(dateOfAim));
    const QString time = dateOfAim.mid(date.size() + 1);
    QVERIFY2(time.contains(QLatin1String("05")) || time.contains(QLatin1String("5:06")),
             qPrintable(dateOfAim));
    QVERIFY2(!time.contains(QLatin1String("07")), qPrintable(dateOfAim));
}

void ArchiveDetailsDlgTest::fileSourceOpensFilled() {
    QFETCH(int, row);
    const Look& look = kLooks[row];
    CStringTable::Select(look.language);
    TestFolder source;
    // Of a round size, so that the totals line can be written out here.
    WriteMapArchive(source / "de_orbelle.zip", "de_orbelle", 40960);
    CArchiveDetailsDlg dialog(source / "de_orbelle.zip", 0);
    auto* close = Find<CImageButton>(&dialog, "closeButton");
    auto* hide = Find<CImageButton>(&dialog, "hideButton");
    QTreeView* list = ArchiveList(&dialog);
    QTreeView* content = ContentList(&dialog);
    const int result = Play(
        dialog, {{"a look, then Close", Do([&] {
                      STEP_VERIFY(dialog.PaneShown());
                      STEP_COMPARE(dialog.height(), FullHeight(&dialog));
                      const QModelIndexList selected = list->selectionModel()->selectedRows();
                      STEP_COMPARE(selected.size(), 1);
                      STEP_COMPARE(selected.value(0).row(), 0);
                      STEP_COMPARE(Column(content, 0), MapFiles("de_orbelle"));
                      STEP_COMPARE(LabelText(&dialog, "archiveName"),
                                   QStringLiteral("de_orbelle.zip"));
                      STEP_COMPARE(LabelText(&dialog, "archiveTotals"), look.Totals(1, "40,960"));
                      STEP_COMPARE(LabelText(&dialog, "contentTotals"), look.Totals(7, "111,500"));
                      STEP_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(list));
                      SaveScreenshot(&dialog, "viewer-file-" + QString(look.name));
                      PostClick(close);
                  })}});
    QCOMPARE(result, CArchiveDetailsDlg::kClosed);
    QCOMPARE(dialog.CurrentArchiveRow(), 0);
    QCOMPARE(Column(list, 0), QStringList{"de_orbelle.zip"});
    QCOMPARE((QStringList{close->toolTip(), hide->toolTip()}), look.tips);
    QVERIFY(close->UsesBalloonTips() && close->TipActive());
    QVERIFY(hide->UsesBalloonTips() && hide->TipActive());
    QVERIFY(!close->IconSize().isEmpty() && !hide->IconSize().isEmpty());
}

void ArchiveDetailsDlgTest::contentColumnsAndFolderEntriesCountedNotListed() {
    QFETCH(int, row);
    const Look& look = kLooks[row];
    CStringTable::Select(look.language);
    TestFolder source;
    ZipWriter zip;
    zip.entries = {{.name = "maps/", .data = "", .externalAttributes = 0x10},
                   {.name = "maps/de_x.bsp", .data = std::string(1000, 'b')},
                   {.name = "readme.txt", .data = std::string(24, 'r')},
                   {.name = "empty.txt", .data = ""},
                   {.name = "packed.txt",
                    .data = std::string(1000, 'p'),
                    .method = 8,
                    .stored = std::string(350, '\0')},
                   {.name = "third.txt",
                    .data = std::string(3, 't'),
                    .method = 8,
                    .stored = std::string(1, '\0')}};
    zip.Save(source / "pack.zip");
    // A source typed in another case still finds the archive.
    CArchiveDetailsDlg dialog(source / "PACK.ZIP", 0);
    ShowThenClose(dialog);
    QTreeView* content = ContentList(&dialog);
    QCOMPARE(Column(ArchiveList(&dialog), 0), QStringList{"pack.zip"});
    QCOMPARE(Row(content, -1), look.contentHeaders);
    QCOMPARE(Column(content, 0),
             (QStringList{"de_x.bsp", "empty.txt", "packed.txt", "readme.txt", "third.txt"}));
    QCOMPARE(Row(content, 0), (QStringList{"de_x.bsp", look.Number("1,000"), "15/06/2020 12:34",
                                           "100%", look.Number("1,000"), "maps\\", ""}));
    QCOMPARE(Row(content, 3),
             (QStringList{"readme.txt", "24", "15/06/2020 12:34", "100%", "24", "", ""}));
    QCOMPARE(Column(content, 3), (QStringList{"100%", "0%", "35%", "100%", "33%"}));
    QCOMPARE(Column(content, 4), (QStringList{look.Number("1,000"), "0", "350", "24", "1"}));
    QCOMPARE(LabelText(&dialog, "contentTotals"), look.Totals(6, "2,027"));
    QCOMPARE(Widths(content), DrawnWidths(content, {150, 90, 120, 60, 90, 140, 200}));
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
    const auto clickHeaders = [](QTreeView* view) {
        QHeaderView* header = view->header();
        for (int section = 0; section < 3; ++section) {
            QTest::mouseClick(
                header->viewport(), Qt::LeftButton, {},
                QPoint(header->sectionViewportPosition(section) + 20, header->height() / 2));
        }
    };
    Play(dialog, {{"a click on 10.zip", Do([&] { PostRowClick(list, 0); })},
                  {"its content", When([&] { return content->model()->rowCount() > 0; })},
                  {"clicks on every header", Do([&] {
                       clickHeaders(list);
                       clickHeaders(content);
                       dialog.close();
                   })}});
    // Capitals compared, as the archives of a folder are taken by an install: '_' after the
    // letters, accented capitals after both; equal capitals in their bytes' order.
    QCOMPARE(Column(list, 0),
             (QStringList{"10.zip", "Alpha.zip", "bravo.zip", "zulu.zip", "_x.zip"}));
    QCOMPARE(Column(content, 0),
             (QStringList{"9.txt", "Alpha.txt", "alpha.txt", "Beta.TXT",
                          "SHARED_PREFIX_FOR_MAPS_10.txt", "shared_prefix_for_maps_2.txt",
                          "zeta.txt", "_first.txt", "Été.txt", "été.txt"}));
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
    const QStringList ofA{"x.txt", "y.txt"};
    Play(dialog, {{"a.zip", Do([&] { PostRowClick(list, 0); })},
                  {"its files", When([&] { return files() == ofA; })},
                  {"Hide", Do([&] { PostClick(hide); })},
                  {"the pane folded, then a.zip spoilt and clicked again",
                   [&] {
                       if (dialog.PaneShown()) {
                           return false;
                       }
                       foldedHeight = dialog.height();
                       // Opened again, it would now bring the reader's boxes.
                       source.WriteFile("a.zip", "no longer an archive");
                       PostRowClick(list, 0, &clicked);
                       return true;
                   }},
                  {"the click handled", When([&] { return clicked || CurrentBox() != nullptr; })},
                  {"Hide, then a double click on a.zip", Do([&] {
                       STEP_VERIFY(CurrentBox() == nullptr);
                       STEP_VERIFY(dialog.PaneShown());
                       STEP_COMPARE(files(), ofA);
                       hide->click();
                       PostRowClick(list, 0, nullptr, true);
                   })},
                  {"unfolded by the double click",
                   [&] {
                       if (!dialog.PaneShown()) {
                           return false;
                       }
                       STEP_VERIFY(CurrentBox() == nullptr);
                       STEP_COMPARE(files(), ofA);
                       // The keyboard moves the selection: that row loads.
                       PostKey(list, Qt::Key_Down);
                       return true;
                   }},
                  {"b.zip's file", When([&] { return files() == QStringList{"b.txt"}; })},
                  {"back up to a.zip", Do([&] {
                       STEP_COMPARE(dialog.CurrentArchiveRow(), 1);
                       PostKey(list, Qt::Key_Up);
                   })},
                  {"the retry question", AnswerBox(QMessageBox::No, &boxes)},
                  {"the error", AnswerBox(QMessageBox::Ok, &boxes)},
                  {"Close", Do([&] { dialog.close(); })}});
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
    QMessageBox::StandardButtons questionButtons;
    bool clicked = false;
    QString afterFailure;
    const auto files = [&] { return Column(content, 0); };
    Play(dialog, {{"bad.zip", Do([&] { PostRowClick(list, 1); })},
                  {"the retry question, and c.zip picked meanwhile",
                   [&] {
                       if (CurrentBox() == nullptr) {
                           return false;
                       }
                       questionButtons = CurrentBox()->standardButtons();
                       // While the archive opens, the list's notifications are not heard.
                       list->selectionModel()->select(
                           list->model()->index(2, 0),
                           QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
                       return AnswerBox(QMessageBox::No, &boxes)();
                   }},
                  {"the error", AnswerBox(QMessageBox::Ok, &boxes)},
                  {"bad.zip again",
                   [&] {
                       if (CurrentBox() != nullptr) {
                           return false;
                       }
                       afterFailure = LabelText(&dialog, "archiveName") + QLatin1Char('|') +
                                      LabelText(&dialog, "contentTotals") + QLatin1Char('|') +
                                      QString::number(content->model()->rowCount()) +
                                      QLatin1Char('|') +
                                      QString::number(dialog.CurrentArchiveRow());
                       PostRowClick(list, 1, &clicked);
                       return true;
                   }},
                  {"not opened again", When([&] { return clicked || CurrentBox() != nullptr; })},
                  {"c.zip", Do([&] {
                       STEP_VERIFY(CurrentBox() == nullptr);
                       PostRowClick(list, 2);
                   })},
                  {"c.zip's files", When([&] {
                       return files() == QStringList{"c1.txt", "c2.txt"};
                   })},
                  {"a.zip", Do([&] { PostRowClick(list, 0); })},
                  {"a.zip's file", When([&] { return files() == QStringList{"a.txt"}; })},
                  {"Close", Do([&] { dialog.close(); })}});
    QCOMPARE(boxes.size(), 2);
    QVERIFY(boxes[0].endsWith(QLatin1Char('|') + WindowTexts::String(IDS_RETRY_CENTRAL_DIRECTORY)));
    QCOMPARE(questionButtons, QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(boxes[1], QStringLiteral("Error|Error on opening file !"));
    QCOMPARE(afterFailure, QStringLiteral("bad.zip|Total: 0 files, 0 bytes.|0|1"));
    QCOMPARE(LabelText(&dialog, "contentTotals"), QStringLiteral("Total: 1 files, 1 bytes."));
}

void ArchiveDetailsDlgTest::noArchiveAnsweredUnshown() {
    QFETCH(int, row);
    const NoArchive& look = kNoArchives[row];
    CStringTable::Select(look.language);
    TestFolder source;
    if (look.subfolder) {
        QVERIFY(QDir().mkpath(QString::fromStdString(source / "x.zip")));
        source.WriteFile("notes.txt", "text");
    }
    CArchiveDetailsDlg dialog(look.folder ? source.Path() : source / "gone.zip", look.folder);
    ShowWatch watch(&dialog);
    QStringList boxes;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    ModalScript script;
    script.Then("the message", AnswerBox(QMessageBox::Ok, &boxes, &icon)).Start();
    QCOMPARE(dialog.exec(), CArchiveDetailsDlg::kNoArchive);
    QCOMPARE(script.Failure(), QString());
    QCOMPARE(boxes, QStringList{look.box});
    QCOMPARE(icon, QMessageBox::Information);
    QVERIFY(!watch.shown);
}

void ArchiveDetailsDlgTest::longNamesShortenedAndSizesPastTwoGibShownWhole() {
    constexpr uint32_t kThreeGib = 3u << 30;
    TestFolder base;
    const std::string folder =
        base / (std::string(90, 'f') + "/" + std::string(90, 'g') + "/maps of the season/");
    const std::string name = std::string(120, 'n') + ".zip";
    QVERIFY(QDir().mkpath(QString::fromStdString(folder)));
    // No data: a sparse file has the size without the disk space.
    QFile sparse(QString::fromStdString(folder + "x.zip"));
    QVERIFY(sparse.open(QIODevice::WriteOnly) && sparse.resize(kThreeGib));
    sparse.close();
    const auto huge = [](const std::string& entry) {
        return ZipEntry{.name = entry,
                        .data = "x",
                        .method = 8,
                        .stated = {.uncompressedSize = kThreeGib},
                        .stored = std::string(1, '\0')};
    };
    WriteArchiveOfSize(folder + name, {huge(std::string(100, 'e') + ".bin"), huge("two.bin")},
                       1000);
    // A name that is not UTF-8 (Latin-1) still has its size and counts in the total.
    std::ofstream(folder + "caf\xe9.zip", std::ios::binary) << std::string(500, 'z');
    CArchiveDetailsDlg dialog(folder, 1);
    ShowThenClose(dialog, QString::fromStdString(name));
    QTreeView* list = ArchiveList(&dialog);
    QCOMPARE(Row(list, RowOf(list, "x.zip")).mid(0, 2), (QStringList{"x.zip", "3,221,225,472"}));
    QCOMPARE(LabelText(&dialog, "archiveTotals"),
             QStringLiteral("Total: 3 files, 3,221,226,972 bytes."));
    QVERIFY(Column(list, 1).contains("500"));
    QCOMPARE(Column(ContentList(&dialog), 1), (QStringList{"3,221,225,472", "3,221,225,472"}));
    QCOMPARE(LabelText(&dialog, "contentTotals"),
             QStringLiteral("Total: 2 files, 6,442,450,944 bytes."));

    for (const char* label : {"sourcePath", "archiveName"}) {
        auto* trim = Find<CTrimLabel>(&dialog, label);
        QVERIFY(trim->fontMetrics().horizontalAdvance(trim->DisplayedText()) <=
                trim->contentsRect().width());
        QVERIFY(trim->DisplayedText().contains(QChar(0x2026)));
    }
    // The whole texts stay for screen readers.
    QCOMPARE(LabelText(&dialog, "sourcePath"), QString::fromStdString(folder));
    QCOMPARE(LabelText(&dialog, "archiveName"), QString::fromStdString(name));
    QCOMPARE(list->textElideMode(), Qt::ElideRight);
    QCOMPARE(ContentList(&dialog)->textElideMode(), Qt::ElideRight);
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
    const auto [folded, unfolded] = ShowThenClose(dialog, QStringLiteral("a.zip"));
    const int pane = Find(&dialog, "paneFrame")->height();
    QString where;
    // Folded, half the pane above the centre; unfolded, centred, in the same place.
    QDebug(&where) << over << folded << unfolded;
    QVERIFY2(qAbs(folded.center().x() - over.center().x()) <= 1, qPrintable(where));
    QVERIFY2(qAbs(folded.center().y() + pane / 2 - over.center().y()) <= 1, qPrintable(where));
    QCOMPARE(unfolded.topLeft(), folded.topLeft());
    QCOMPARE(unfolded.height(), folded.height() + pane);
    QVERIFY2(qAbs(unfolded.center().y() - over.center().y()) <= 1, qPrintable(where));
}

QTEST_MAIN(ArchiveDetailsDlgTest)
#include "ArchiveDetailsDlgTest.moc"
