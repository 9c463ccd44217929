#include <QDir>
#include <QPointer>
#include <QScreen>
#include <QTest>

#include "CSplashWindow.h"
#include "CStringTable.h"
#include "WidgetPixels.h"

namespace {

constexpr int kPicture = 135;
constexpr int kLong = 60000;  // longer than any test: only the test closes the splash

// A window that counts its paints, to see the owner redrawn when the splash goes.
class Owner : public QWidget {
public:
    int paints = 0;

protected:
    void paintEvent(QPaintEvent*) override { ++paints; }
};

// Pixels of an area that are dark enough to be the black text.
int DarkPixels(const QImage& image, const QRect& area) {
    return Pixels(image, area, [](const QColor& c) { return qGray(c.rgb()) < 90; });
}

QPoint ScreenCentre() {
    return QGuiApplication::primaryScreen()->availableGeometry().center();
}

// Opens a splash over parent that stays until the test closes it.
CSplashWindow* OpenLong(QWidget* parent = nullptr) {
    if (!CSplashWindow::OpenSplash(kLong, kPicture, parent)) {
        return nullptr;
    }
    return CSplashWindow::Current();
}

}  // namespace

class SplashWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { CStringTable::Select(CStringTable::Language::English); }

    void init() {
        CSplashWindow::AllowSplash(true);
        CSplashWindow::SetSplashLines(false, true, true, false);
    }

    void cleanup() {
        CSplashWindow::CloseSplash();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(CSplashWindow::Current() == nullptr);
    }

    void refusedWhenNotAllowedOrWithoutPicture() {
        CSplashWindow::AllowSplash(false);
        QVERIFY(!CSplashWindow::OpenSplash(kLong, kPicture, nullptr));
        QVERIFY(CSplashWindow::Current() == nullptr);

        CSplashWindow::AllowSplash(true);
        QVERIFY(!CSplashWindow::OpenSplash(kLong, 999, nullptr));
        QVERIFY(CSplashWindow::Current() == nullptr);
        QVERIFY(QApplication::topLevelWidgets().isEmpty());
    }

    void opensCentredWithVersionAndLegalNotice() {
        CSplashWindow* splash = OpenLong();
        QVERIFY(splash != nullptr);
        QVERIFY(splash->isVisible());
        QVERIFY(splash->windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(splash->size(), QSize(418, 238));
        QCOMPARE(splash->frameGeometry().center(), ScreenCentre());

        // A second one changes nothing.
        QVERIFY(!CSplashWindow::OpenSplash(10, kPicture, nullptr));
        QCOMPARE(CSplashWindow::Current(), splash);

        QCOMPARE(splash->LineText(CSplashWindow::kVersionLine), QStringLiteral("Version 1.02"));
        QCOMPARE(splash->LineText(CSplashWindow::kLegalLine),
                 QStringLiteral("Copyright (C) 2026 Orbelle"));
        QCOMPARE(splash->accessibleName(),
                 QStringLiteral("Version 1.02\nCopyright (C) 2026 Orbelle"));

        // Version at the lower left, legal notice at the lower right, 10 pixels above the edge.
        const QRect version = splash->LineRect(CSplashWindow::kVersionLine);
        const QRect legal = splash->LineRect(CSplashWindow::kLegalLine);
        QCOMPARE(version.left(), 10);
        QCOMPARE(version.top() + version.height(), 238 - 10);
        QCOMPARE(legal.left() + legal.width(), 418 - 5);
        QCOMPARE(legal.top(), version.top());
        QVERIFY(version.right() < legal.left());
        QVERIFY(splash->LineRect(CSplashWindow::kCompanyLine).isNull());
        QVERIFY(splash->LineRect(CSplashWindow::kProductLine).isNull());

        // Black text there, and the picture everywhere else.
        const QImage shot = splash->grab().toImage();
        QVERIFY(DarkPixels(shot, version) > 30);
        QVERIFY(DarkPixels(shot, legal) > 60);
        QCOMPARE(DarkPixels(shot, QRect(version.right() + 4, version.top(),
                                        legal.left() - version.right() - 8, version.height())),
                 0);
        const QImage picture(QStringLiteral(":/bitmaps/135.png"));
        for (const QPoint& p : {QPoint(5, 5), QPoint(209, 80), QPoint(400, 180)}) {
            QCOMPARE(shot.pixel(p), picture.pixel(p));
        }
        QDir().mkpath(QStringLiteral(ZANVO_SCREENSHOT_DIR));
        shot.save(QStringLiteral(ZANVO_SCREENSHOT_DIR "/splash.png"));
    }

    void timerClosesIt() {
        QVERIFY(CSplashWindow::OpenSplash(30, kPicture, nullptr));
        QPointer<CSplashWindow> splash = CSplashWindow::Current();
        QVERIFY(splash->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(splash.isNull(), 2000);
        QVERIFY(CSplashWindow::Current() == nullptr);
        // And another may open afterwards.
        QVERIFY(OpenLong() != nullptr);
    }

    void clicksKeysAndCloseRequestsLeaveItOpen() {
        QPointer<CSplashWindow> splash = OpenLong();
        QVERIFY(splash);
        QTest::mouseClick(splash, Qt::LeftButton, {}, QPoint(200, 100));
        QTest::mouseClick(splash, Qt::RightButton, {}, QPoint(20, 220));
        QTest::mouseDClick(splash, Qt::LeftButton, {}, QPoint(200, 100));
        QTest::keyClick(splash, Qt::Key_Escape);
        QTest::keyClick(splash, Qt::Key_Return);
        QTest::keyClick(splash, Qt::Key_Space);
        QVERIFY(!splash->close());
        QCoreApplication::processEvents();
        QVERIFY(splash);
        QVERIFY(splash->isVisible());
        QCOMPARE(CSplashWindow::Current(), splash.data());
    }

    void overItsOwnerWhichRepaintsAfterwards() {
        Owner owner;
        owner.setGeometry(60, 40, 640, 480);
        owner.show();
        QVERIFY(QTest::qWaitForWindowExposed(&owner));
        QPointer<CSplashWindow> splash = OpenLong(&owner);
        QVERIFY(splash);
        QVERIFY(splash->isWindow());
        QCOMPARE(splash->frameGeometry().center(), owner.frameGeometry().center());

        const int paints = owner.paints;
        CSplashWindow::CloseSplash();
        QVERIFY(owner.paints > paints);
        QVERIFY(CSplashWindow::Current() == nullptr);
        QTRY_VERIFY(splash.isNull());
    }

    void goesWithItsOwner() {
        auto* owner = new QWidget;
        QPointer<CSplashWindow> splash = OpenLong(owner);
        QVERIFY(splash);
        // The owner is hidden: the splash shows in the middle of the screen.
        QVERIFY(splash->isVisible());
        QCOMPARE(splash->frameGeometry().center(), ScreenCentre());
        delete owner;
        QVERIFY(splash.isNull());
        QVERIFY(CSplashWindow::Current() == nullptr);
        QVERIFY(OpenLong() != nullptr);
    }

    void allFourLinesAndAWideText() {
        CSplashWindow::SetSplashLines(true, true, true, true);
        CSplashWindow* splash = OpenLong();
        QVERIFY(splash != nullptr);
        QCOMPARE(splash->LineText(CSplashWindow::kCompanyLine), QStringLiteral("Orbelle"));
        QCOMPARE(splash->LineText(CSplashWindow::kProductLine), QStringLiteral("Zanvo"));
        QCOMPARE(splash->size(), QSize(418, 238));

        const QRect company = splash->LineRect(CSplashWindow::kCompanyLine);
        const QRect product = splash->LineRect(CSplashWindow::kProductLine);
        QCOMPARE(company.left(), 418 / 2 - company.width() / 2);
        QCOMPARE(company.top(), 5);
        QCOMPARE(product.left(), 418 / 2 - product.width() / 2);
        QCOMPARE(product.top() + product.height(), 238 - 5);
        // The company line is the big one; the product line next.
        QVERIFY(company.height() > product.height());
        QVERIFY(product.height() > splash->LineRect(CSplashWindow::kVersionLine).height());
        const QImage shot = splash->grab().toImage();
        QVERIFY(DarkPixels(shot, company) > 500);
        QVERIFY(DarkPixels(shot, product) > 300);

        // A legal notice wider than the picture: the window takes its width plus 50, keeps its
        // height, and is centred again.
        const QString wide = QStringLiteral("Copyright (C) 2026 Orbelle. ").repeated(3);
        splash->SetLineText(CSplashWindow::kLegalLine, wide);
        const QRect legal = splash->LineRect(CSplashWindow::kLegalLine);
        QVERIFY(legal.width() > 418);
        QCOMPARE(splash->size(), QSize(legal.width() + 50, 238));
        QCOMPARE(legal.left(), splash->width() - legal.width() - 5);
        QCOMPARE(splash->frameGeometry().center(), ScreenCentre());
        QVERIFY(splash->accessibleName().contains(wide));
    }
};

QTEST_MAIN(SplashWindowTest)
#include "SplashWindowTest.moc"
