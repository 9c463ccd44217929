#include <QAccessible>
#include <QTest>

#include "CTrimLabel.h"

namespace {

const QString kLongPath = QStringLiteral(
    "/home/player/games/cstrike/downloads/maps/community/very/deep/folder/de_dust2_remake.bsp");

class PaintCounter : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        paints += event->type() == QEvent::Paint;
        return false;
    }
};

}  // namespace

class TrimLabelTest : public QObject {
    Q_OBJECT

private slots:
    void longPathShowsBeginningAndLastComponent() {
        CTrimLabel label(nullptr, Qt::AlignLeft | Qt::AlignVCenter, true);
        label.resize(260, 20);
        label.setText(kLongPath);
        QString shown = label.DisplayedText();
        QVERIFY2(shown.startsWith("/home/") && shown.endsWith("\u2026/de_dust2_remake.bsp"),
                 qPrintable(shown));
        QVERIFY(label.fontMetrics().horizontalAdvance(shown) <= label.width());
        QCOMPARE(label.text(), kLongPath);
        QCOMPARE(QAccessible::queryAccessibleInterface(&label)->text(QAccessible::Name), kLongPath);

        label.setText(QString(kLongPath).replace(u'/', u'\\'));
        QVERIFY(label.DisplayedText().endsWith("\u2026\\de_dust2_remake.bsp"));

        // A last component wider than the label: both ends of it show.
        label.setText("/maps/" + QString(200, u'x') + ".bsp");
        shown = label.DisplayedText();
        QVERIFY(shown.startsWith("/maps/x") && shown.endsWith("x.bsp") &&
                shown.contains(u'\u2026'));

        // What fits shows whole, '&' included.
        label.setText("/maps/a&b.bsp");
        QCOMPARE(label.DisplayedText(), QStringLiteral("/maps/a&b.bsp"));
    }

    void withoutPathEllipsisTheEndIsCut() {
        CTrimLabel label;
        label.resize(260, 20);
        label.setText(kLongPath);
        const QString shown = label.DisplayedText();
        QVERIFY(shown.endsWith(u'\u2026') && kLongPath.startsWith(shown.chopped(1)));
        QVERIFY(label.minimumSizeHint().width() < 100);
        QVERIFY(label.sizeHint().width() < label.fontMetrics().horizontalAdvance(kLongPath));
    }

    void newTextRepaintsAtOnce() {
        CTrimLabel label;
        label.resize(200, 20);
        label.setText("first");
        label.show();
        QVERIFY(QTest::qWaitForWindowExposed(&label));
        const QImage before = label.grab().toImage();
        PaintCounter counter;
        label.installEventFilter(&counter);
        label.SetText("second");
        QTRY_VERIFY(counter.paints > 0);
        QVERIFY(label.grab().toImage() != before);
    }
};

QTEST_MAIN(TrimLabelTest)
#include "TrimLabelTest.moc"
