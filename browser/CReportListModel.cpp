#include "CReportListModel.h"

#include <QHeaderView>
#include <QTreeView>
#include <algorithm>
#include <utility>

#include "CFileIconList.h"
#include "CListHeader.h"
#include "CaseFold.h"
#include "WindowTexts.h"

namespace {

QString FromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

bool IsAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

char AsciiCapital(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// A name in capitals, as the archives of a folder are ordered when an install takes them.
// Names of plain ASCII, nearly all of them, are raised here, without the tables of the other
// alphabets.
std::string SortKey(std::string_view name) {
    if (!IsAscii(name)) {
        return CaseFold::Upper(name);
    }
    std::string key(name);
    std::transform(key.begin(), key.end(), key.begin(), AsciiCapital);
    return key;
}

// The first 16 bytes of a name's capitals as two big-endian numbers, zero-padded: comparing
// them settles nearly every comparison of a sort without building the capitals.
using Head = std::array<uint64_t, 2>;

Head HeadOf(std::string_view name) {
    const bool ascii = IsAscii(name);
    const std::string raised = ascii ? std::string() : CaseFold::Upper(name);
    const std::string_view key = ascii ? name : std::string_view(raised);
    Head head{};
    for (size_t i = 0; i < 16 && i < key.size(); ++i) {
        const auto c = static_cast<unsigned char>(ascii ? AsciiCapital(key[i]) : key[i]);
        head[i / 8] |= uint64_t{c} << (8 * (7 - i % 8));
    }
    return head;
}

}  // namespace

CReportListModel::Row::Row(std::initializer_list<std::string_view> cells, int iconIndex_)
    : iconIndex(iconIndex_) {
    size_t length = 0;
    for (const std::string_view cell : cells) {
        length += cell.size();
    }
    texts.reserve(length);
    for (const std::string_view cell : cells) {
        if (count == kMaxColumns) {
            break;
        }
        texts += cell;
        ends[count++] = static_cast<uint32_t>(texts.size());
    }
}

std::string_view CReportListModel::Row::Cell(size_t column) const {
    if (column >= count) {
        return {};
    }
    const size_t begin = column == 0 ? 0 : ends[column - 1];
    return std::string_view(texts).substr(begin, ends[column] - begin);
}

CReportListModel::CReportListModel(std::vector<Column> columns_, QObject* parent)
    : QAbstractTableModel(parent), columns(std::move(columns_)) {
    for (const Column& column : columns) {
        headers.push_back(WindowTexts::String(column.headerId));
    }
}

CReportListModel::~CReportListModel() = default;

void CReportListModel::SetRows(std::vector<Row> newRows) {
    struct Place {
        Head head;
        size_t index;
    };
    std::vector<Place> places;
    places.reserve(newRows.size());
    for (size_t i = 0; i < newRows.size(); ++i) {
        places.push_back({HeadOf(newRows[i].Cell(0)), i});
    }
    const auto before = [&newRows](const Place& a, const Place& b) {
        if (a.head != b.head) {
            return a.head < b.head;
        }
        const std::string_view nameA = newRows[a.index].Cell(0);
        const std::string_view nameB = newRows[b.index].Cell(0);
        const int byKey = SortKey(nameA).compare(SortKey(nameB));
        if (byKey != 0) {
            return byKey < 0;
        }
        const int byName = nameA.compare(nameB);
        return byName != 0 ? byName < 0 : a.index < b.index;
    };
    // Archivers often write their entries in order already.
    if (!std::is_sorted(places.begin(), places.end(), before)) {
        std::sort(places.begin(), places.end(), before);
    }
    std::vector<Row> sorted;
    sorted.reserve(newRows.size());
    for (const Place& place : places) {
        sorted.push_back(std::move(newRows[place.index]));
    }
    beginResetModel();
    rows = std::move(sorted);
    endResetModel();
}

void CReportListModel::Clear() {
    if (rows.empty()) {
        return;
    }
    beginResetModel();
    rows.clear();
    endResetModel();
}

std::string_view CReportListModel::Cell(int row, int column) const {
    if (row < 0 || static_cast<size_t>(row) >= rows.size() || column < 0) {
        return {};
    }
    return rows[static_cast<size_t>(row)].Cell(static_cast<size_t>(column));
}

QString CReportListModel::Text(int row, int column) const {
    return FromUtf8(Cell(row, column));
}

void CReportListModel::SetUpView(QTreeView* view) const {
    auto* header = new CListHeader(view);
    view->setHeader(header);
    header->setSectionsClickable(false);
    header->setSectionsMovable(false);
    header->setSortIndicatorShown(false);
    header->setStretchLastSection(false);
    view->setSortingEnabled(false);
    for (size_t i = 0; i < columns.size(); ++i) {
        // A longer caption (the French ones are) widens its column rather than being cut.
        const int section = static_cast<int>(i);
        header->resizeSection(section,
                              std::max(columns[i].width, header->sectionSizeHint(section)));
    }
}

int CReportListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows.size());
}

int CReportListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(columns.size());
}

QVariant CReportListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || static_cast<size_t>(index.row()) >= rows.size() ||
        static_cast<size_t>(index.column()) >= columns.size()) {
        return {};
    }
    switch (role) {
        case Qt::DisplayRole:
            return Text(index.row(), index.column());
        case Qt::DecorationRole:
            if (index.column() == 0) {
                const int icon = rows[static_cast<size_t>(index.row())].iconIndex;
                if (icon >= 0) {
                    return CFileIconList::Shared().Icon(icon);
                }
            }
            return {};
        case Qt::TextAlignmentRole:
            return static_cast<int>(columns[static_cast<size_t>(index.column())].alignment |
                                    Qt::AlignVCenter);
        default:
            return {};
    }
}

QVariant CReportListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 ||
        static_cast<size_t>(section) >= columns.size()) {
        return {};
    }
    switch (role) {
        case Qt::DisplayRole:
            return headers[static_cast<size_t>(section)];
        case Qt::TextAlignmentRole:
            // A header lines up with its column, as a list control's does.
            return static_cast<int>(columns[static_cast<size_t>(section)].alignment |
                                    Qt::AlignVCenter);
        default:
            return {};
    }
}
