#include <QAccessible>
#include <QCursor>
#include <QDir>
#include <QEnterEvent>
#include <QHelpEvent>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QToolTip>
#include <memory>
#include <string>
#include <vector>

#include "CImageButton.h"
#include "CStringTable.h"
#include "StringIds.h"
#include "WidgetPixels.h"

namespace {

constexpr int kCloseIcon = 133;
constexpr int kUnzipIcon = 146;
constexpr int kReportIcon = 151;
constexpr int kNoText = 3;  // an id of the string tables without a text

QString Text(int id) {
    return QString::fromStdString(CStringTable::Load(id));
}

// Windows open where the pointer may be, and one shown under it lights its button.
void AwayFromWindows() {
    QCursor::setPos(QGuiApplication::primaryScreen()->geometry().bottomRight());
    QCoreApplication::processEvents();
}

void Enter(QWidget& widget) {
    const QPointF at = QRectF(widget.rect()).center();
    QEnterEvent enter(at, at, widget.mapToGlobal(at));
    QCoreApplication::sendEvent(&widget, &enter);
}

void MoveOver(QWidget& widget, Qt::MouseButtons held) {
    const QPointF at = QRectF(widget.rect()).center();
    QMouseEvent move(QEvent::MouseMove, at, widget.mapToGlobal(at), Qt::NoButton, held, {});
    QCoreApplication::sendEvent(&widget, &move);
}

bool AskForTip(QWidget& widget) {
    QHelpEvent help(QEvent::ToolTip, widget.rect().center(),
                    widget.mapToGlobal(widget.rect().center()));
    QCoreApplication::sendEvent(&widget, &help);
    QCoreApplication::processEvents();
    return QToolTip::isVisible();
}

// The colours of the middle of the top, left, bottom and right edges.
QStringList Edges(const QImage& shot) {
    const QPoint c = shot.rect().center();
    const QPoint points[] = {
        {c.x(), 0}, {0, c.y()}, {c.x(), shot.height() - 1}, {shot.width() - 1, c.y()}};
    QStringList names;
    for (const QPoint& p : points) {
        names << QColor(shot.pixel(p)).name();
    }
    return names;
}

// How many pixels of the area are more saturated than floor.
int Saturated(const QImage& shot, const QRect& area, int floor) {
    return Pixels(shot, area, [&](const QColor& c) { return c.hsvSaturation() > floor; });
}

}  // namespace

class ImageButtonTest : public QObject {
    Q_OBJECT

private:
    // A shown window holding one icon button of 64 x 48.
    std::unique_ptr<QWidget> window;
    CImageButton* button = nullptr;
    QString face, light, dark;

private slots:
    void initTestCase() { CStringTable::Select(CStringTable::Language::English); }

    void init() {
        AwayFromWindows();
        window = std::make_unique<QWidget>();
        window->resize(200, 120);
        button = new CImageButton(window.get());
        button->setGeometry(8, 8, 64, 48);
        button->SetIconResource(kCloseIcon);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        face = button->palette().color(QPalette::Button).name();
        light = button->palette().color(QPalette::Light).name();
        dark = button->palette().color(QPalette::Dark).name();
    }

    void cleanup() {
        CImageButton::SetLinkOpener(nullptr);
        QToolTip::hideText();
        window.reset();
    }

    void refusedArrangementKeepsTheOldOne() {
        QCOMPARE(button->SetLayout(CImageButton::kImageAbove), 0);
        QCOMPARE(button->SetLayout(4), 4);
        QCOMPARE(button->SetLayout(-1), 4);
        QCOMPARE(button->Layout(), int(CImageButton::kImageAbove));
    }

    void fitToIconTakesTheIconSizeInPlace() {
        button->FitToIcon();
        QCOMPARE(button->geometry(), QRect(8, 8, 32, 32));
        QCOMPARE(button->sizeHint(), QSize(32, 32));
    }

    void linkKeepsAtMost259BytesOfWholeCharacters() {
        button->SetLink(std::string(300, 'a'));
        QCOMPARE(button->Link(), std::string(259, 'a'));
        button->SetLink(std::string(258, 'a') + "\xC3\xA9z");  // é across the limit goes
        QCOMPARE(button->Link(), std::string(258, 'a'));
        button->SetLink(std::string(257, 'a') + "\xC3\xA9z");
        QCOMPARE(button->Link(), std::string(257, 'a') + "\xC3\xA9");
    }

    void clickOpensTheLinkAndReachesTheParentsHandler() {
        std::vector<QUrl> opened;
        CImageButton::SetLinkOpener([&](const QUrl& url) { opened.push_back(url); });
        QSignalSpy clicks(button, &QAbstractButton::clicked);
        button->SetLink(CStringTable::Load(IDS_WEB_SITE));
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(clicks.count(), 1);
        QCOMPARE(opened, std::vector<QUrl>{QUrl(Text(IDS_WEB_SITE))});
        QCOMPARE(window->focusWidget(), button);

        // What is no address opens nothing.
        button->SetLink("no address");
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(clicks.count(), 2);
        QCOMPARE(opened.size(), size_t{1});
    }

    void tipTexts() {
        // A line break shows as two lines.
        button->SetTipText(IDS_TIP_LINK);
        QCOMPARE(button->toolTip(), Text(IDS_TIP_LINK).replace("\r\n", "\n"));
        QVERIFY(AskForTip(*button));
        QWidget* tip = nullptr;
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (top->objectName() == QLatin1String("qtooltip_label") && top->isVisible()) {
                tip = top;
            }
        }
        QVERIFY(tip && tip->height() >= 2 * tip->fontMetrics().height());
        QToolTip::hideText();
        QTRY_VERIFY(!QToolTip::isVisible());

        // An empty text changes nothing; an inactive tip keeps its text but does not show.
        QVERIFY(CStringTable::Load(kNoText).empty());
        button->SetTipText(kNoText, false);
        QVERIFY(button->TipActive());
        button->SetTipText(IDS_TIP_QUIT, false);
        QCOMPARE(button->toolTip(), Text(IDS_TIP_QUIT));
        QVERIFY(!AskForTip(*button));
    }

    // What a screen reader hears: the tip on one line without a caption, else the caption
    // without its shortcut marks, following each change.
    void accessibleNameFollowsCaptionAndTip() {
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(button);
        QCOMPARE(accessible->role(), QAccessible::Button);
        button->SetTipText(IDS_TIP_LINK);
        QCOMPARE(button->accessibleName(), QStringLiteral("Download maps at Orbelle"));
        button->setText(Text(IDS_ACTION_REPORT));
        QTRY_COMPARE(accessible->text(QAccessible::Name), QStringLiteral("Report"));
        button->setText(QStringLiteral("Save && &quit"));
        QTRY_COMPARE(button->accessibleName(), QStringLiteral("Save & quit"));
        button->setText(QString());
        QTRY_COMPARE(button->accessibleName(), QStringLiteral("Download maps at Orbelle"));

        // A caption given while hidden names the button by the time it shows.
        button->hide();
        button->setText(Text(IDS_CLOSE));
        button->show();
        QCOMPARE(button->accessibleName(), QStringLiteral("Close"));
    }

    void hoverEdgeShowsOnEnterAndGoesAway() {
        const QStringList rest{face, face, face, face};
        QCOMPARE(Edges(button->grab().toImage()), rest);
        Enter(*button);
        QCOMPARE(Edges(button->grab().toImage()), QStringList({light, light, dark, dark}));
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(button, &leave);
        QCOMPARE(Edges(button->grab().toImage()), rest);

        Enter(*button);
        button->setEnabled(false);
        QVERIFY(!button->IsHovering());
        Enter(*button);
        QVERIFY(!button->IsHovering());
        button->setEnabled(true);

        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        Enter(*button);
        QWidget other;
        other.show();
        other.activateWindow();
        QTRY_VERIFY(!button->IsHovering());
    }

    void dragFromOutsideDoesNotLight() {
        QTest::mousePress(window->windowHandle(), Qt::LeftButton, {}, QPoint(150, 100));
        Enter(*button);
        MoveOver(*button, Qt::LeftButton);
        QVERIFY(!button->IsHovering());
        QTest::mouseRelease(window->windowHandle(), Qt::LeftButton, {}, QPoint(150, 100));
        // With the mouse button up, the next move over the button lights it.
        MoveOver(*button, Qt::NoButton);
        QVERIFY(button->IsHovering());
    }

    void pressShowsSunkenEdgeAndShiftsTheIcon() {
        const QRect rest = InkBox(button->grab().toImage(), QColor(face));
        // Without a caption the icon sits in the middle: (64 - 32) / 2, (48 - 32) / 2.
        QVERIFY(QRect(16, 8, 32, 32).contains(rest) && rest.width() > 20);
        button->setDown(true);
        const QImage pressed = button->grab().toImage();
        QCOMPARE(InkBox(pressed, QColor(face)), rest.translated(1, 1));
        QCOMPARE(Edges(pressed), QStringList({dark, dark, light, light}));
    }

    void disabledLookIsGreyed() {
        button->resize(140, 48);
        button->setText(Text(IDS_CLOSE));
        const QRect icon(3, 8, 32, 32);
        QVERIFY(Saturated(button->grab().toImage(), icon, 100) > 0);
        button->setEnabled(false);
        const QImage disabled = button->grab().toImage();
        QCOMPARE(Saturated(disabled, icon, 39), 0);
        // The caption is embossed: a light copy under a dark one.
        const auto lightInk = [&](const QColor& c) { return c.name() == light; };
        QVERIFY(Pixels(disabled, QRect(40, 0, 100, 48), lightInk) > 0);
    }

    // For a person to look at: every arrangement in the rest, hover, pressed and disabled looks.
    void screenshotOfTheLooks() {
        QWidget strip;
        const QSize cell(132, 72);
        const int gap = 8;
        const struct {
            int icon, caption, arrangement;
        } rows[] = {
            {.icon = kUnzipIcon, .caption = IDS_ACTION_REPORT, .arrangement = 0},
            {.icon = kReportIcon, .caption = IDS_ACTION_REPORT, .arrangement = 1},
            {.icon = kCloseIcon, .caption = IDS_CLOSE, .arrangement = 2},
            {.icon = kUnzipIcon, .caption = IDS_CLOSE, .arrangement = 3},
            {.icon = kCloseIcon, .caption = kNoText, .arrangement = 0},
        };
        std::vector<CImageButton*> all;
        for (int row = 0; row < 5; ++row) {
            for (int look = 0; look < 4; ++look) {
                auto* sample = new CImageButton(&strip);
                sample->setGeometry(QRect(
                    QPoint(gap + look * (cell.width() + gap), gap + row * (cell.height() + gap)),
                    cell));
                sample->SetIconResource(rows[row].icon);
                sample->setText(Text(rows[row].caption));
                sample->SetLayout(rows[row].arrangement);
                all.push_back(sample);
            }
        }
        strip.resize(gap + 4 * (cell.width() + gap), gap + 5 * (cell.height() + gap));
        strip.show();
        QVERIFY(QTest::qWaitForWindowExposed(&strip));
        for (size_t i = 0; i < all.size(); i += 4) {
            Enter(*all[i + 1]);
            all[i + 2]->setDown(true);
            all[i + 3]->setEnabled(false);
        }
        QVERIFY(QDir().mkpath(QStringLiteral(ZANVO_SCREENSHOT_DIR)));
        QVERIFY(
            strip.grab().save(QStringLiteral(ZANVO_SCREENSHOT_DIR "/widgets-image-buttons.png")));
    }
};

QTEST_MAIN(ImageButtonTest)
#include "ImageButtonTest.moc"
