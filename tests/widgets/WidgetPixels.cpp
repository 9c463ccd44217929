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

int Pixels(const QImage& image, const QRect& area,
           const std::function<bool(const QColor&)>& counted) {
    int count = 0;
    const QRect inside = area.intersected(image.rect());
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x) {
            count += counted(QColor(image.pixel(x, y))) ? 1 : 0;
        }
    }
    return count;
}
