#pragma once

#include <QHeaderView>

// The column headers of the viewer's lists: a caption wider than its column ends with an
// ellipsis instead of running over its neighbours' edges, as the lists' cells do.
class CListHeader : public QHeaderView {
    Q_OBJECT

public:
    explicit CListHeader(QWidget* parent = nullptr);
    ~CListHeader() override;

protected:
    void initStyleOptionForIndex(QStyleOptionHeader* option, int logicalIndex) const override;
};
