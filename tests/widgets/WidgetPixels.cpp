#include "WidgetPixels.h"

QRect InkBox(const QImage& image, const QColor& face) {
    const QRect area = image.rect().adjusted(1, 1, -1, -1);
    QRect box;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if ((image.pixel(x, y) | 0xFF000000u) != face.rgb()) {
                box |= QRect(x, y, 1, 1);
            }
        }
    }
    return box;
}
