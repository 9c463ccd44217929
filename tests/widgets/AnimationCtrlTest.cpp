#include <QAccessible>
#include <QTest>

#include "CAnimationCtrl.h"
#include "WidgetPixels.h"

class AnimationCtrlTest : public QObject {
    Q_OBJECT

private slots:
    void playsStopsAndCloses() {
        QWidget window;
        auto* animation = new CAnimationCtrl(&window);
        QCOMPARE(QAccessible::queryAccessibleInterface(animation)->role(), QAccessible::Animation);
        QVERIFY(animation->Open(142));
        QVERIFY(animation->FrameCount() > 1 && animation->IsPlaying());
        animation->resize(animation->sizeHint());
        window.resize(animation->size());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QColor face = window.palette().color(QPalette::Window);
        QVERIFY(!InkBox(window.grab().toImage(), face).isEmpty());
        QTRY_VERIFY(animation->CurrentFrame() >= 2);

        animation->Stop();
        const int stoppedAt = animation->CurrentFrame();
        QTest::qWait(3 * CAnimationCtrl::kFrameMilliseconds);
        QCOMPARE(animation->CurrentFrame(), stoppedAt);

        animation->Close();
        QVERIFY(!animation->IsPlaying() && animation->FrameCount() == 0);
        QVERIFY(InkBox(window.grab().toImage(), face).isEmpty());
        // A clip without frames shows nothing either.
        QVERIFY(!animation->Open(1));
        QVERIFY(!animation->IsPlaying());
    }
};

QTEST_MAIN(AnimationCtrlTest)
#include "AnimationCtrlTest.moc"
