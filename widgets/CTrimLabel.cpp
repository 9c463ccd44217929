#include "CTrimLabel.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>

namespace {

const QChar kEllipsis(0x2026);

// The sizes a label asks for, in average characters: the width of a short path, and what
// still shows a few letters around the ellipsis.
constexpr int kHintChars = 40;
constexpr int kMinimumChars = 6;

// The beginning of the path, an ellipsis and its last component (with the separator in front
// of it), the beginning as long as the width allows. When even the last component does not
// fit, both ends of the whole path show.
QString ElidePath(const QString& path, const QFontMetrics& metrics, int width) {
    const qsizetype cut = std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
    if (cut <= 0) {
        return metrics.elidedText(path, Qt::ElideMiddle, width);
    }
    const QString last = kEllipsis + path.mid(cut);
    if (metrics.horizontalAdvance(last) > width) {
        return metrics.elidedText(path, Qt::ElideMiddle, width);
    }
    // The longest beginning that fits: widths grow with the length.
    qsizetype fits = 0;
    qsizetype tooLong = cut;
    while (tooLong - fits > 1) {
        const qsizetype middle = (fits + tooLong) / 2;
        if (metrics.horizontalAdvance(path.left(middle) + last) <= width) {
            fits = middle;
        } else {
            tooLong = middle;
        }
    }
    if (fits > 0 && path[fits - 1].isHighSurrogate()) {
        --fits;  // never half a character
    }
    return path.left(fits) + last;
}

}  // namespace

CTrimLabel::CTrimLabel(QWidget* parent, Qt::Alignment format, bool pathEllipsis)
    : QLabel(parent), pathEllipsis(pathEllipsis) {
    setTextFormat(Qt::PlainText);
    setAlignment(format);
}

CTrimLabel::~CTrimLabel() = default;

void CTrimLabel::SetPathEllipsis(bool on) {
    if (pathEllipsis != on) {
        pathEllipsis = on;
        update();
    }
}

bool CTrimLabel::PathEllipsis() const {
    return pathEllipsis;
}

void CTrimLabel::SetText(const QString& text) {
    setText(text);
}

QString CTrimLabel::DisplayedText() const {
    // One line: a line break inside a file name shows as a blank.
    QString full = text();
    full.replace(u'\n', u' ');
    const QFontMetrics metrics = fontMetrics();
    const int width = contentsRect().width();
    if (metrics.horizontalAdvance(full) <= width) {
        return full;
    }
    return pathEllipsis ? ElidePath(full, metrics, width)
                        : metrics.elidedText(full, Qt::ElideRight, width);
}

QSize CTrimLabel::sizeHint() const {
    const QFontMetrics metrics = fontMetrics();
    const int margins = width() - contentsRect().width();
    const int wide =
        std::min(metrics.horizontalAdvance(text()), kHintChars * metrics.averageCharWidth());
    return QSize(std::max(wide, kMinimumChars * metrics.averageCharWidth()) + margins,
                 metrics.height() + height() - contentsRect().height());
}

QSize CTrimLabel::minimumSizeHint() const {
    const QFontMetrics metrics = fontMetrics();
    return QSize(kMinimumChars * metrics.averageCharWidth() + width() - contentsRect().width(),
                 metrics.height() + height() - contentsRect().height());
}

void CTrimLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    // Drawn on whatever it stands on (a frame's face may differ from the window's), as any
    // label is.
    drawFrame(&painter);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(contentsRect(), static_cast<int>(alignment()) | Qt::TextSingleLine,
                     DisplayedText());
}
