#pragma once

#include <QColor>
#include <QImage>
#include <QRect>
#include <functional>

// The bounding box of the pixels of a grab that differ from the face colour, its one-pixel
// edge left out; empty when there are none.
QRect InkBox(const QImage& image, const QColor& face);

// How many pixels of the area (clipped to the image) are counted.
int Pixels(const QImage& image, const QRect& area,
           const std::function<bool(const QColor&)>& counted);
