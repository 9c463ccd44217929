#include "CListHeader.h"

#include <QStyle>
#include <QStyleOptionHeader>

CListHeader::CListHeader(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {
    setTextElideMode(Qt::ElideRight);
}

CListHeader::~CListHeader() = default;

void CListHeader::initStyleOptionForIndex(QStyleOptionHeader* option, int logicalIndex) const {
    QHeaderView::initStyleOptionForIndex(option, logicalIndex);
    // The style draws the caption whole, centred or not, whatever the section's width.
    const int room =
        sectionSize(logicalIndex) - 2 * style()->pixelMetric(QStyle::PM_HeaderMargin, option, this);
    if (room > 0 && option->fontMetrics.horizontalAdvance(option->text) > room) {
        option->text = option->fontMetrics.elidedText(option->text, textElideMode(), room);
    }
}
