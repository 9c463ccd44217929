#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <array>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

class QTreeView;

// The rows of a list shown in columns: text cells, the small icon of a file type beside the
// first, and the rows kept in ascending order of that first cell. Rows arrive all at once and
// are sorted once, so that an archive of many thousand entries fills its list in one step.
class CReportListModel : public QAbstractTableModel {
    Q_OBJECT

public:
    static constexpr size_t kMaxColumns = 8;

    struct Column {
        int headerId;  // string table id of the header text
        int width;     // pixels
        Qt::Alignment alignment;
    };

    // The texts of one row's cells (UTF-8) one after the other in one piece of memory: a list
    // of many thousand rows takes one allocation a row.
    class Row {
    public:
        // Cells past kMaxColumns are left out.
        Row(std::initializer_list<std::string_view> cells, int iconIndex = -1);
        // Empty past the last cell.
        std::string_view Cell(size_t column) const;

        int iconIndex;  // in the shared file icon list; -1: none

    private:
        std::string texts;
        std::array<uint32_t, kMaxColumns> ends{};
        size_t count = 0;
    };

    explicit CReportListModel(std::vector<Column> columns, QObject* parent = nullptr);
    ~CReportListModel() override;

    // Replaces every row. Names are compared in capitals, then in their bytes; rows of equal
    // names keep the order they came in.
    void SetRows(std::vector<Row> rows);
    void Clear();
    QString Text(int row, int column) const;
    std::string_view Cell(int row, int column) const;

    // Column widths as given, or as wide as their captions; headers that sort nothing when
    // clicked and shorten a caption whose column the user narrowed.
    void SetUpView(QTreeView* view) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    std::vector<Column> columns;
    std::vector<QString> headers;
    std::vector<Row> rows;
};
