#include "SvgPixmap.h"

#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <utility>

namespace SvgPixmap {

QPixmap Render(QSvgRenderer& drawing, QSize size, qreal ratio) {
    QImage image((QSizeF(size) * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    drawing.render(&painter, QRectF(QPointF(0, 0), QSizeF(image.size())));
    painter.end();
    QPixmap pixmap = QPixmap::fromImage(std::move(image));
    pixmap.setDevicePixelRatio(ratio);
    return pixmap;
}

}  // namespace SvgPixmap
