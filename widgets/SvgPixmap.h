#pragma once

#include <QPixmap>
#include <QSize>

class QSvgRenderer;

namespace SvgPixmap {

// A drawing rendered at size (logical pixels) for a screen of the given pixel ratio, so that
// it stays sharp there.
QPixmap Render(QSvgRenderer& drawing, QSize size, qreal ratio);

}  // namespace SvgPixmap
