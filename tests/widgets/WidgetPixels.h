#pragma once

#include <QColor>
#include <QImage>
#include <QRect>

// The bounding box of the pixels of a grab that differ from the face colour, its one-pixel
// edge left out; empty when there are none.
QRect InkBox(const QImage& image, const QColor& face);
