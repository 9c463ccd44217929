#include "CBackdropDialog.h"

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <algorithm>
#include <utility>

#include "SvgPixmap.h"

namespace {

QPixmap Render(QSvgRenderer& drawing, qreal ratio) {
    return SvgPixmap::Render(drawing, drawing.defaultSize(), ratio);
}

}  // namespace

CBackdropDialog::CBackdropDialog(QWidget* parent) : QDialog(parent) {}

CBackdropDialog::~CBackdropDialog() = default;

void CBackdropDialog::SetMode(int value) {
    if (value == kTile || value == kCentre || value == kStretch) {
        mode = value;
        update();
    }
}

int CBackdropDialog::Mode() const {
    return mode;
}

int CBackdropDialog::SetPicture(int bitmapId) {
    const QString base = QStringLiteral(":/bitmaps/%1").arg(bitmapId);
    if (QFile::exists(base + QStringLiteral(".png"))) {
        return SetPicture(QPixmap(base + QStringLiteral(".png")));
    }
    const QString svg = base + QStringLiteral(".svg");
    if (!QFile::exists(svg)) {
        return 1;
    }
    auto loaded = std::make_unique<QSvgRenderer>(svg);
    if (!loaded->isValid() || loaded->defaultSize().isEmpty()) {
        return 1;
    }
    picture = Render(*loaded, devicePixelRatioF());
    drawing = std::move(loaded);
    update();
    return 0;
}

int CBackdropDialog::SetPicture(const QPixmap& value) {
    if (value.isNull()) {
        return 1;
    }
    picture = value;
    drawing.reset();
    update();
    return 0;
}

void CBackdropDialog::paintEvent(QPaintEvent*) {
    // The dialog's own background is already there: what the picture leaves free keeps it.
    if (picture.isNull()) {
        return;
    }
    QPainter painter(this);
    const QPixmap& image = Picture();
    const QSize bitmap = image.deviceIndependentSize().toSize();
    const int bw = std::max(bitmap.width(), 1);
    const int bh = std::max(bitmap.height(), 1);
    const int cw = width();
    const int ch = height();
    switch (mode) {
        case kTile:
            for (int y = 0; y < ch; y += bh) {
                for (int x = 0; x < cw; x += bw) {
                    painter.drawPixmap(x, y, image);
                }
            }
            break;
        case kCentre:
            painter.drawPixmap(bw < cw ? (cw - bw) / 2 : 0, bh < ch ? (ch - bh) / 2 : 0, image);
            break;
        case kStretch:
            if (drawing) {
                drawing->render(&painter, QRectF(rect()));
            } else {
                painter.setRenderHint(QPainter::SmoothPixmapTransform);
                painter.drawPixmap(rect(), image);
            }
            break;
    }
}

const QPixmap& CBackdropDialog::Picture() {
    if (drawing && picture.devicePixelRatio() != devicePixelRatioF()) {
        picture = Render(*drawing, devicePixelRatioF());
    }
    return picture;
}
