// The about box over the program's picture, in both languages.
#include <QLabel>
#include <QPushButton>
#include <QtTest>

#include "CAboutDlg.h"
#include "CStringTable.h"
#include "CVersionInfo.h"
#include "WindowKit.h"

namespace {

// What the main window passes: the program's own version and legal notice.
std::pair<QString, QString> ProgramTexts() {
    CVersionInfo info;
    if (!info.Load(CVersionInfo::ProgramPath())) {
        return {};
    }
    return {QString::fromStdString(info.GetString("ProductVersion")),
            QString::fromStdString(info.GetString("LegalCopyright"))};
}

int DarkPixels(const QImage& image, const QRect& area) {
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            count += qGray(image.pixel(x, y)) < 90 ? 1 : 0;
        }
    }
    return count;
}

}  // namespace

class AboutDlgTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { CStringTable::Select(CStringTable::Language::English); }

    void showsVersionAndNoticeAndClosesOnOk_data() {
        QTest::addColumn<CStringTable::Language>("language");
        QTest::addColumn<QString>("screenshot");
        QTest::newRow("English") << CStringTable::Language::English << QStringLiteral("about-en");
        QTest::newRow("French") << CStringTable::Language::French << QStringLiteral("about-fr");
    }

    void showsVersionAndNoticeAndClosesOnOk() {
        QFETCH(CStringTable::Language, language);
        QFETCH(QString, screenshot);
        CStringTable::Select(language);
        const auto [version, legal] = ProgramTexts();
        QCOMPARE(version, QStringLiteral("1.02"));

        CAboutDlg dialog(version, legal);
        auto* versionLabel = Find<QLabel>(&dialog, "versionLabel");
        auto* legalLabel = Find<QLabel>(&dialog, "legalLabel");
        auto* ok = Find<QPushButton>(&dialog, "okButton");
        ModalScript script;
        script.Then("the window", When([&] { return dialog.isVisible(); }))
            .Then("a look, then OK", [&] {
                STEP_COMPARE(dialog.size(), QSize(CAboutDlg::kWidth, CAboutDlg::kHeight));
                STEP_COMPARE(versionLabel->text(), QStringLiteral("Version 1.02"));
                STEP_COMPARE(legalLabel->text(), QStringLiteral("Copyright (C) 2026 Orbelle"));

                // Both lines and the button on the picture's light strip (that they are whole
                // and apart, the walk of every window checks).
                for (QWidget* widget :
                     {static_cast<QWidget*>(versionLabel), static_cast<QWidget*>(legalLabel),
                      static_cast<QWidget*>(ok)}) {
                    STEP_VERIFY(widget->geometry().top() >= 190);
                }
                const QImage shot = dialog.grab().toImage();
                STEP_VERIFY(DarkPixels(shot, versionLabel->geometry()) > 30);
                STEP_VERIFY(DarkPixels(shot, legalLabel->geometry()) > 60);
                // The picture fills the window: its sea in the corner, its strip at the bottom.
                const QImage picture(QStringLiteral(":/bitmaps/135.png"));
                STEP_COMPARE(shot.pixel(12, 12), picture.pixel(12, 12));
                STEP_COMPARE(shot.pixel(300, 200), picture.pixel(300, 200));
                SaveScreenshot(&dialog, screenshot);
                PostClick(ok);
                return true;
            });
        script.Start();
        QCOMPARE(dialog.exec(), int(QDialog::Accepted));
        QVERIFY2(script.Failure().isEmpty(), qPrintable(script.Failure()));
        QVERIFY(script.Done());
    }

    void versionLineOfOtherVersionTexts() {
        CAboutDlg empty(QString(), QStringLiteral("Notice"));
        QCOMPARE(Find<QLabel>(&empty, "versionLabel")->text(), QStringLiteral("Version"));
        QCOMPARE(Find<QLabel>(&empty, "legalLabel")->text(), QStringLiteral("Notice"));

        CAboutDlg commas(QStringLiteral("1,0,2"), QString());
        QCOMPARE(Find<QLabel>(&commas, "versionLabel")->text(), QStringLiteral("Version 1.0.2"));
        QCOMPARE(Find<QLabel>(&commas, "legalLabel")->text(), QString());
    }
};

QTEST_MAIN(AboutDlgTest)
#include "AboutDlgTest.moc"
