#include <QPainter>
#include <QTest>

#include "CBackdropDialog.h"

namespace {

const QRgb kRed = qRgb(255, 0, 0);
const QRgb kBlue = qRgb(0, 0, 255);

// Left half red, right half blue.
QPixmap TwoColours(int width, int height) {
    QPixmap picture(width, height);
    QPainter painter(&picture);
    painter.fillRect(0, 0, width / 2, height, kRed);
    painter.fillRect(width / 2, 0, width - width / 2, height, kBlue);
    return picture;
}

// The pixels of the dialog at the given points.
QList<QRgb> Shot(CBackdropDialog& dialog, const QList<QPoint>& points) {
    const QImage image = dialog.grab().toImage();
    QList<QRgb> colours;
    for (const QPoint& p : points) {
        colours << (image.pixel(p) | 0xFF000000u);
    }
    return colours;
}

}  // namespace

class BackdropDialogTest : public QObject {
    Q_OBJECT

private slots:
    void eachModePlacesThePicture() {
        CBackdropDialog dialog;
        const QRgb face = dialog.palette().color(QPalette::Window).rgb();
        dialog.resize(51, 31);
        QCOMPARE(dialog.SetPicture(TwoColours(20, 20)), 0);
        QCOMPARE(dialog.Mode(), int(CBackdropDialog::kTile));
        QCOMPARE(Shot(dialog, {{5, 5}, {15, 5}, {25, 25}, {45, 25}}),
                 QList<QRgb>({kRed, kBlue, kRed, kRed}));

        // Centred at (51 - 20) / 2 = 15 and (31 - 20) / 2 = 5.
        dialog.SetMode(CBackdropDialog::kCentre);
        QCOMPARE(Shot(dialog, {{14, 10}, {15, 5}, {34, 24}, {35, 10}, {20, 4}}),
                 QList<QRgb>({face, kRed, kBlue, face, face}));

        // Stretched over the whole dialog, whatever its size.
        dialog.SetMode(CBackdropDialog::kStretch);
        dialog.resize(300, 180);
        QCOMPARE(Shot(dialog, {{0, 0}, {100, 179}, {200, 0}, {299, 179}}),
                 QList<QRgb>({kRed, kRed, kBlue, kBlue}));
    }

    void refusedModeAndPictureChangeNothing() {
        CBackdropDialog dialog;
        dialog.resize(40, 40);
        dialog.SetMode(CBackdropDialog::kStretch);
        dialog.SetMode(5);
        QCOMPARE(dialog.Mode(), int(CBackdropDialog::kStretch));
        QCOMPARE(dialog.SetPicture(TwoColours(2, 2)), 0);
        QCOMPARE(dialog.SetPicture(999), 1);
        QCOMPARE(dialog.SetPicture(QPixmap()), 1);
        QCOMPARE(Shot(dialog, {{5, 20}, {35, 20}}), QList<QRgb>({kRed, kBlue}));
    }
};

QTEST_MAIN(BackdropDialogTest)
#include "BackdropDialogTest.moc"
