// Every window in each language, walked widget by widget: each text it shows is one of that
// language's table texts (or run-time data the walk names), nothing is empty where the table has
// a text, nothing is cut off or overlaps, and every control has a name a screen reader can say.
#include <QAbstractItemView>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QRegularExpression>
#include <QSet>
#include <QSettings>
#include <QTreeView>
#include <QtTest>
#include <algorithm>
#include <functional>

#include "CAboutDlg.h"
#include "CArchiveDetailsDlg.h"
#include "CArchiveReader.h"
#include "CDialogTexts.h"
#include "CExtractDlg.h"
#include "CImageButton.h"
#include "CMainDlg.h"
#include "COverwriteDlg.h"
#include "CPropertiesDlg.h"
#include "CQtSettingsStore.h"
#include "CReportDlg.h"
#include "CStringTable.h"
#include "CTrimLabel.h"
#include "CVersionInfo.h"
#include "DialogEntry.h"
#include "DialogIds.h"
#include "StringIds.h"
#include "TestFolder.h"
#include "TextFormat.h"
#include "UserRegistry.h"
#include "WindowKit.h"
#include "WindowTexts.h"

extern const DialogEntry kEnglishDialogTexts[];
extern const int kEnglishDialogTextCount;
extern const DialogEntry kFrenchDialogTexts[];
extern const int kFrenchDialogTextCount;

using Language = CStringTable::Language;

namespace {

// Strings from this id on belong to the command-line tool, never to a window.
constexpr int kFirstToolString = 1000;

QString Caption(int dialogId, int controlId, Language language) {
    return WindowTexts::Shown(CDialogTexts::Load(dialogId, controlId, language));
}

QString WithoutMnemonic(const QString& text) {
    return QString::fromStdString(CDialogTexts::WithoutMnemonic(text.toStdString()));
}

QString AccessibleName(QWidget* widget) {
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
    return accessible != nullptr ? accessible->text(QAccessible::Name) : QString();
}

// A template's control texts (the title is control 0) in one language, as shown.
QList<std::pair<int, QString>> Template(int dialogId, Language language) {
    const bool french = language == Language::French;
    const DialogEntry* entries = french ? kFrenchDialogTexts : kEnglishDialogTexts;
    const int count = french ? kFrenchDialogTextCount : kEnglishDialogTextCount;
    QList<std::pair<int, QString>> texts;
    for (int i = 0; i < count; ++i) {
        if (entries[i].dialog == dialogId) {
            texts.append({entries[i].control, WindowTexts::Shown(entries[i].text)});
        }
    }
    return texts;
}

// What a window of one language may show: the texts of its template and the windows' strings;
// a string with %s or %d fields stands for every text made from it.
class TableTexts {
public:
    TableTexts(Language language, int dialogId) {
        int count = 0;
        const int* ids = CStringTable::Ids(&count);
        for (int i = 0; i < count && ids[i] < kFirstToolString; ++i) {
            Add(WindowTexts::Shown(CStringTable::Load(ids[i], language)));
        }
        for (const auto& [control, text] : Template(dialogId, language)) {
            Add(text);
        }
    }

    bool Holds(const QString& text) const {
        return exact.contains(text) ||
               std::any_of(formats.begin(), formats.end(), [&](const QRegularExpression& format) {
                   return format.match(text).hasMatch();
               });
    }

private:
    void Add(const QString& text) {
        if (!text.contains(QLatin1String("%s")) && !text.contains(QLatin1String("%d"))) {
            exact.insert(text);
            return;
        }
        QString pattern = QRegularExpression::escape(text);
        pattern.replace(QLatin1String("\\%s"), QLatin1String(".*"))
            .replace(QLatin1String("\\%d"), QLatin1String("-?\\d+"));
        formats.emplace_back(QRegularExpression::anchoredPattern(pattern),
                             QRegularExpression::DotMatchesEverythingOption);
    }

    QSet<QString> exact;
    std::vector<QRegularExpression> formats;
};

// One text a widget shows; a caption is the widget's own text, the one its controlId names.
struct Text {
    QString text;
    bool caption;
};

QList<Text> TextsOf(QWidget* widget) {
    QList<Text> texts;
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        texts.append({button->text(), true});
    } else if (auto* label = qobject_cast<QLabel*>(widget)) {
        texts.append({label->text(), true});
    } else if (auto* box = qobject_cast<QGroupBox*>(widget)) {
        texts.append({box->title(), true});
    } else if (auto* combo = qobject_cast<QComboBox*>(widget); combo && !combo->isEditable()) {
        // A fixed list; an editable one holds the user's own entries.
        for (int i = 0; i < combo->count(); ++i) {
            texts.append({combo->itemText(i), false});
        }
    } else if (auto* header = qobject_cast<QHeaderView*>(widget); header && header->model()) {
        for (int i = 0; i < header->count(); ++i) {
            texts.append({header->model()->headerData(i, header->orientation()).toString(), false});
        }
    } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        if (!edit->placeholderText().isEmpty()) {
            texts.append({edit->placeholderText(), false});
        }
    }
    if (!widget->toolTip().isEmpty()) {
        texts.append({widget->toolTip(), false});
    }
    return texts;
}

// The controls a user sees and a screen reader names.
bool IsControl(QWidget* widget) {
    if (qobject_cast<QHeaderView*>(widget) != nullptr) {
        return false;
    }
    if (auto* label = qobject_cast<QLabel*>(widget)) {
        return !label->text().isEmpty();
    }
    if (auto* box = qobject_cast<QGroupBox*>(widget)) {
        return !box->title().isEmpty();
    }
    return qobject_cast<QAbstractButton*>(widget) || qobject_cast<QComboBox*>(widget) ||
           qobject_cast<QLineEdit*>(widget) || qobject_cast<QProgressBar*>(widget) ||
           qobject_cast<QAbstractItemView*>(widget) || qobject_cast<QPlainTextEdit*>(widget);
}

// The widgets the window shows itself: not those of the boxes it owns.
QList<QWidget*> Shown(QWidget* window) {
    QList<QWidget*> shown;
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        if (widget->isVisibleTo(window) && widget->window() == window) {
            shown.append(widget);
        }
    }
    return shown;
}

// The part of a widget its ancestors leave on screen, in the window's coordinates.
QRect SeenPart(QWidget* widget, QWidget* window, QRect* whole) {
    *whole = QRect(widget->mapTo(window, QPoint(0, 0)), widget->size());
    QRect seen = *whole;
    for (QWidget* up = widget->parentWidget(); up != nullptr && up != window;
         up = up->parentWidget()) {
        seen &= QRect(up->mapTo(window, QPoint(0, 0)), up->size());
    }
    return seen & window->rect();
}

// Walks one window as it stands, in one language.
class Walker {
public:
    Walker(Language language, int dialogId, QStringList data)
        : language(language),
          dialogId(dialogId),
          data(std::move(data)),
          own(language, dialogId),
          foreign(language == Language::French ? Language::English : Language::French, dialogId) {}

    // Walks the window and, given a name, saves its picture as <name>-<en|fr>.
    void operator()(QWidget* window, const char* screenshot = nullptr) const {
        QStringList faults;
        Texts(window, faults);
        Fit(window, faults);
        Names(window, faults);
        // A window the user can make smaller must still fit its texts at its smallest.
        const QSize size = window->size();
        if (window->minimumSize() != window->maximumSize()) {
            window->resize(window->minimumSize());
            Fit(window, faults);
            window->resize(size);
        }
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
        if (screenshot != nullptr) {
            SaveScreenshot(window, QString::fromLatin1(screenshot) +
                                       (language == Language::French ? "-fr" : "-en"));
        }
    }

    // A text the window gives outside its controls (a message box's, a menu's) is a table
    // text of its language.
    void Own(const QString& text) const { QVERIFY2(own.Holds(text), qPrintable(text)); }

private:
    void Texts(QWidget* window, QStringList& faults) const {
        const QString title = Caption(dialogId, CDialogTexts::kTitle, language);
        if (title.isEmpty() || window->windowTitle() != title) {
            faults << QStringLiteral("title \"%1\"").arg(window->windowTitle());
        }
        for (QWidget* widget : Shown(window)) {
            const bool isData = data.contains(widget->objectName());
            const QVariant id = widget->property("controlId");
            const QString table =
                id.isValid() ? Caption(dialogId, id.toInt(), language) : QString();
            const bool followsState = widget->property("captionFollowsState").toBool();
            for (const auto& [text, caption] : TextsOf(widget)) {
                const QString where =
                    QStringLiteral("%1 shows \"%2\"").arg(widget->objectName(), text);
                if (foreign.Holds(text) && !own.Holds(text)) {
                    faults << where + QStringLiteral(": a text of the other language");
                } else if (isData) {
                    continue;
                } else if (caption && !table.isEmpty() && !followsState) {
                    if (text != table) {
                        faults << where + QStringLiteral(", not \"%1\"").arg(table);
                    }
                } else if (text.isEmpty()) {
                    // Only a caption the table has no text for may be empty.
                    if (!caption || followsState) {
                        faults << where;
                    }
                } else if (!own.Holds(text)) {
                    faults << where + QStringLiteral(": not a table text");
                }
            }
            // An icon-only button says what it does in its tooltip.
            auto* imageButton = qobject_cast<CImageButton*>(widget);
            if (imageButton != nullptr && imageButton->text().isEmpty() &&
                imageButton->toolTip().isEmpty()) {
                faults << widget->objectName() + QStringLiteral(": neither caption nor tooltip");
            }
        }
        // Every text of the template has its control, shown or not (the items of a list show
        // theirs): a control that lost its id would show nothing, or a text of its own.
        QSet<int> carried;
        QSet<QString> items;
        for (QWidget* widget : window->findChildren<QWidget*>()) {
            carried.insert(widget->property("controlId").toInt());
            for (const auto& [text, caption] : TextsOf(widget)) {
                items.insert(text);
            }
        }
        for (const auto& [control, text] : Template(dialogId, language)) {
            if (control != CDialogTexts::kTitle && !carried.contains(control) &&
                !items.contains(text)) {
                faults << QStringLiteral("no control shows \"%1\"").arg(text);
            }
        }
    }

    // Every text whole: a control at least as large as its text needs (a label that shortens a
    // long path on purpose aside), within its frames, over no other control; list headers as
    // wide as their captions.
    static void Fit(QWidget* window, QStringList& faults) {
        QList<std::pair<QWidget*, QRect>> placed;
        for (QWidget* widget : Shown(window)) {
            if (auto* header = qobject_cast<QHeaderView*>(widget)) {
                for (int i = 0; i < header->count(); ++i) {
                    if (header->sectionSize(i) < header->sectionSizeHint(i)) {
                        faults << QStringLiteral("%1: column %2 narrower than its caption")
                                      .arg(header->parentWidget()->objectName())
                                      .arg(i);
                    }
                }
            }
            if (!IsControl(widget)) {
                continue;
            }
            QRect whole;
            const QRect seen = SeenPart(widget, window, &whole);
            if (seen.isEmpty()) {
                continue;  // folded away with its pane
            }
            const QString name = widget->objectName();
            if (seen != whole) {
                faults << name + QStringLiteral(": cut off by its frame");
            }
            auto* label = qobject_cast<QLabel*>(widget);
            const bool sized = qobject_cast<QAbstractButton*>(widget) != nullptr ||
                               qobject_cast<QGroupBox*>(widget) != nullptr ||
                               (label != nullptr && qobject_cast<CTrimLabel*>(label) == nullptr);
            if (sized) {
                const QSize need = label != nullptr && label->wordWrap()
                                       ? QSize(0, label->heightForWidth(label->width()))
                                       : widget->minimumSizeHint();
                if (widget->width() < need.width() || widget->height() < need.height()) {
                    faults << QStringLiteral("%1: %2x%3 for a text of %4x%5")
                                  .arg(name)
                                  .arg(widget->width())
                                  .arg(widget->height())
                                  .arg(need.width())
                                  .arg(need.height());
                }
            }
            for (const auto& [other, rect] : placed) {
                if (rect.intersects(whole) && !other->isAncestorOf(widget) &&
                    !widget->isAncestorOf(other)) {
                    faults << name + QStringLiteral(" over ") + other->objectName();
                }
            }
            placed.append({widget, whole});
        }
    }

    // A button by its caption (its tooltip without one), a label by its text, a list, bar,
    // list box or field by the label in front of it.
    static void Names(QWidget* window, QStringList& faults) {
        for (QWidget* widget : Shown(window)) {
            if (!IsControl(widget)) {
                continue;
            }
            const QString name = AccessibleName(widget);
            QString expected;
            if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
                expected = button->text().isEmpty() ? button->toolTip().simplified()
                                                    : WithoutMnemonic(button->text());
            } else if (auto* label = qobject_cast<QLabel*>(widget)) {
                expected = label->text();
                // Qt on Linux says a list box's current item for its name and links the label;
                // the name given to it is what other platforms read.
                QWidget* buddy = label->buddy();
                const QString labelName = WithoutMnemonic(label->text());
                if (buddy != nullptr && qobject_cast<QLabel*>(buddy) == nullptr &&
                    AccessibleName(buddy) != labelName && buddy->accessibleName() != labelName) {
                    faults << QStringLiteral("%1 named \"%2\", not \"%3\"")
                                  .arg(buddy->objectName(), AccessibleName(buddy), labelName);
                }
            }
            if (name.isEmpty() || name.contains(QLatin1Char('&')) ||
                (!expected.isEmpty() && name != expected)) {
                faults << QStringLiteral("%1 named \"%2\"").arg(widget->objectName(), name);
            }
        }
    }

    const Language language;
    const int dialogId;
    const QStringList data;
    const TableTexts own;
    const TableTexts foreign;
};

// Opens a window in the states worth a look and walks it in each.
using Play = std::function<void(const Walker& walk, Language language)>;

// With the program's own version and legal notice, which must fit the picture's strip too.
void PlayAbout(const Walker& walk, Language) {
    CVersionInfo info;
    QVERIFY(info.Load(CVersionInfo::ProgramPath()));
    CAboutDlg about(QString::fromStdString(info.GetString("ProductVersion")),
                    QString::fromStdString(info.GetString("LegalCopyright")));
    about.show();
    walk(&about);
}

// The window, then its menu.
void PlayMain(const Walker& walk, Language) {
    CMainDlg window;
    window.show();
    walk(&window);
    ModalScript script;
    script.Then("the menu", When([&] {
                    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
                    if (menu == nullptr) {
                        return false;
                    }
                    for (const QAction* action : menu->actions()) {
                        walk.Own(action->text());
                    }
                    menu->close();
                    return true;
                }));
    script.Start();
    QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(4, 4),
                            window.mapToGlobal(QPoint(4, 4)));
    QApplication::sendEvent(&window, &click);
    QCOMPARE(script.Failure(), QString());
    QVERIFY(script.Done());
}

void PlayProperties(const Walker& walk, Language language) {
    CMainDlg window;
    window.Options().Language = language == Language::French ? "french" : "english";
    CPropertiesDlg properties(window, &window);
    properties.show();
    walk(&properties, "properties");
}

// A folder of archives: first folded, then with one archive's content.
void PlayViewer(const Walker& walk, Language) {
    TestFolder source;
    WriteArchive(source / "de_orbelle.zip", {{"maps/de_orbelle.bsp", std::string(48000, 'm')},
                                             {"sound/ambience/wind.wav", std::string(3000, 'w')}});
    WriteArchive(source / "aim_training.zip", {{"maps/aim_training.bsp", "m"}});
    CArchiveDetailsDlg viewer(source.Path(), 1);
    ModalScript script;
    script.Then("the window", When([&] { return viewer.isVisible(); }))
        .Then("a row",
              [&] {
                  walk(&viewer);
                  auto* list = Find<QTreeView>(&viewer, "archiveList");
                  list->setCurrentIndex(list->model()->index(1, 0));
                  return true;
              })
        .Then("its content", When([&] {
                  if (!viewer.PaneShown()) {
                      return false;
                  }
                  walk(&viewer);
                  viewer.done(CArchiveDetailsDlg::kClosed);
                  return true;
              }));
    script.Start();
    viewer.exec();
    QCOMPARE(script.Failure(), QString());
}

// Ready, running (while an entry's error is shown), then done with the tree of the installed
// files.
void PlayExtract(const Walker& walk, Language language) {
    TestFolder source, target;
    WriteArchive(source / "de_orbelle.zip", {{"de_orbelle.bsp", "m"},
                                             {"de_orbelle.txt", "t"},
                                             {"sound/ambience/wind.wav", "w"},
                                             {"models/props/crate.mdl", "c"},
                                             {"de_orbelle.wad", "<bad crc>"}});
    WriteArchive(source / "aim_training.zip", {{"maps/aim_training.bsp", "m"}});
    InstallOptions options;
    options.Language = language == Language::French ? "french" : "english";
    CExtractDlg dialog(InstallJob{target.Path(), source.Path(), sourceFolder}, options);
    ModalScript script;
    script.Then("the window", When([&] { return dialog.isVisible(); }))
        .Then("Unzip",
              [&] {
                  walk(&dialog, "extract-ready");
                  PostClick(Find<QAbstractButton>(&dialog, "actionButton"));
                  return true;
              })
        .Then("the error box", When([&] {
                  if (CurrentBox() == nullptr) {
                      return false;
                  }
                  walk.Own(CurrentBox()->windowTitle());
                  walk.Own(CurrentBox()->text());
                  walk(&dialog, "extract-running");
                  return true;
              }))
        .Then("its answer", AnswerBox(QMessageBox::Ok))
        .Then("the end", When([&] {
                  if (!dialog.Run().IsFinished()) {
                      return false;
                  }
                  dialog.ShowDetails();
                  walk(&dialog, "extract-done");
                  dialog.close();
                  return true;
              }));
    script.Start();
    dialog.exec();
    QCOMPARE(script.Failure(), QString());
}

void PlayOverwrite(const Walker& walk, Language) {
    const auto line = [](uint64_t size, const char* date) {
        return WindowTexts::Formatted(IDS_SIZE_DATE_LINE,
                                      {CArchiveReader::FormatByteCount(size), date});
    };
    COverwriteDlg question(QStringLiteral("/home/player/.steam/steam/steamapps/common/Half-Life/"
                                          "cstrike/maps/de_dust2_remake_final.bsp"),
                           line(1234567, "12/03/2021 14:05"), line(1234890, "02/11/2023 09:41"));
    question.show();
    walk(&question, "overwrite");
}

void PlayReport(const Walker& walk, Language) {
    CReportDlg report(
        "aim_training.zip : Ok\r\n" +
        TextFormat::Format(CStringTable::Load(IDS_NOT_REPLACED_LINE),
                           {"cs_harbour.zip", "maps\\cs_harbour.bsp"}) +
        "cs_harbour.zip : Ok\r\nde_orbelle.zip : de_orbelle.wad -> Crc mismatched\r\n");
    report.show();
    walk(&report, "report");
}

// One row per window: what it shows as run-time data (paths, names, versions), named by object.
struct Window {
    const char* name;
    int dialogId;
    QStringList data;
    Play play;
};

const Window kWindows[] = {
    {"about", IDD_ABOUT, {"versionLabel", "legalLabel"}, PlayAbout},
    {"main", IDD_MAIN, {}, PlayMain},
    {"properties", IDD_PROPERTIES, {}, PlayProperties},
    {"viewer", IDD_DETAILS, {"sourcePath", "archiveName"}, PlayViewer},
    {"extract", IDD_EXTRACT, {"sourceValue", "targetValue", "fileValue"}, PlayExtract},
    {"overwrite", IDD_OVERWRITE, {"nameLine", "withNameLine"}, PlayOverwrite},
    {"report", IDD_REPORT, {}, PlayReport},
};

}  // namespace

class WindowTextsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void everyWindowInEachLanguage_data();
    void everyWindowInEachLanguage();

private:
    std::unique_ptr<TestSettingsHome> home;
};

void WindowTextsTest::initTestCase() {
    home = std::make_unique<TestSettingsHome>();
}

void WindowTextsTest::cleanupTestCase() {
    home.reset();
    CStringTable::Select(Language::English);
}

void WindowTextsTest::everyWindowInEachLanguage_data() {
    QTest::addColumn<int>("window");
    QTest::addColumn<Language>("language");
    for (size_t i = 0; i < std::size(kWindows); ++i) {
        for (const auto& [suffix, language] :
             {std::pair{"en", Language::English}, std::pair{"fr", Language::French}}) {
            QTest::addRow("%s-%s", kWindows[i].name, suffix) << int(i) << language;
        }
    }
}

void WindowTextsTest::everyWindowInEachLanguage() {
    QFETCH(int, window);
    QFETCH(Language, language);
    const Window& row = kWindows[window];
    CStringTable::Select(language);
    row.play(Walker(language, row.dialogId, row.data), language);
}

QTEST_MAIN(WindowTextsTest)
#include "WindowTextsTest.moc"
