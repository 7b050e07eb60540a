#include "download/DownloadList.h"
#include "common/FileHelpers.h"
#include "common/PathSeparator.h"
#include "common/Text.h"
#include "download/StatusIcons.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <optional>

namespace peldora {

namespace {

const int kColumnWidthsTwips[kDownloadColumnCount] = {10583, 1411, 1940, 1940, 1411, 10583, 2540};

// A cell the sort reads as a number: spaces around, an optional sign, digits that may be
// grouped with ",", an optional fraction. Status words and empty cells are not numbers.
std::optional<double> CellNumber(const QString& cell) {
    QString t = TrimSpaces(cell);
    if (t.isEmpty()) return std::nullopt;
    qsizetype i = 0;
    if (t.at(0) == u'-' || t.at(0) == u'+') ++i;
    bool digits = false;
    for (; i < t.size(); ++i) {
        const QChar c = t.at(i);
        if (c >= u'0' && c <= u'9')
            digits = true;
        else if (c == u',' && digits)
            continue;
        else
            break;
    }
    if (i < t.size() && t.at(i) == u'.') {
        for (++i; i < t.size() && t.at(i) >= u'0' && t.at(i) <= u'9'; ++i) digits = true;
    }
    if (!digits || i != t.size()) return std::nullopt;
    t.remove(u',');
    bool ok = false;
    const double v = t.toDouble(&ok);
    return ok && std::isfinite(v) ? std::optional<double>(v) : std::nullopt;
}

bool IsWhole(double v) {
    return v == std::floor(v) && std::fabs(v) < 9.0e15;
}

// Twelve-digit zero padding, so that numbers compare as text in their numeric order.
QString PaddedNumber(double v) {
    const qint64 n = std::llround(v);
    const QString digits = QStringLiteral("%1").arg(n < 0 ? -n : n, 12, 10, QChar(u'0'));
    return n < 0 ? QStringLiteral("-") + digits : digits;
}

// The number a cell of a numeric column holds; the percent column's cells carry a "%".
std::optional<double> NumericCellValue(int column, const QString& cell) {
    return CellNumber(column == ColPercent ? QString(cell).remove(u'%') : cell);
}

// The sort text of one cell: numbers padded, anything else as it stands.
QString NumericSortText(int column, const QString& cell) {
    const auto v = NumericCellValue(column, cell);
    return v ? PaddedNumber(*v) : cell;
}

// A cell rewritten after the sort: fractions keep their text, only whole numbers lose grouping
// and leading zeros.
QString UnpaddedCell(int column, const QString& cell) {
    const auto v = NumericCellValue(column, cell);
    if (!v || !IsWhole(*v)) return cell;
    const QString number = QString::number(qint64(*v));
    return column == ColPercent ? number + u'%' : number;
}

bool IsNumericColumn(int column) {
    return column == ColSize || column == ColReceived || column == ColPercent;
}

} // namespace

QString 选择url(const QString& key) {
    const qsizetype bar = key.indexOf(u'|');
    return bar < 0 ? key : key.left(bar);
}

DownloadList::DownloadList(QObject* parent) : QAbstractTableModel(parent) {}

int DownloadList::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : count();
}

int DownloadList::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kDownloadColumnCount;
}

QVariant DownloadList::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || !isValidRow(index.row())) return {};
    const DownloadListRow& r = *m_rows[index.row()];
    switch (role) {
    case Qt::DisplayRole:
        return r.cells.at(index.column());
    case Qt::TextAlignmentRole:
        return headerData(index.column(), Qt::Horizontal, role);
    case Qt::DecorationRole:
        if (index.column() == ColName) return RowStatusIcon(r.status);
        return {};
    case StatusRole:
        return int(r.status);
    default:
        return {};
    }
}

QVariant DownloadList::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= kDownloadColumnCount)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole) return ColumnHeader(section);
    if (role == Qt::TextAlignmentRole)
        return int((IsNumericColumn(section) ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
    return {};
}

Qt::ItemFlags DownloadList::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren;
}

QString DownloadList::ColumnHeader(int column) {
    static const QString headers[kDownloadColumnCount] = {
        QStringLiteral("名称"),     QStringLiteral("类型"),   QStringLiteral("文件大小"),
        QStringLiteral("已下载数"), QStringLiteral("百分比"), QStringLiteral("保存路径"),
        QStringLiteral("B")};
    return column >= 0 && column < kDownloadColumnCount ? headers[column] : QString();
}

int DownloadList::ColumnWidthTwips(int column) {
    return column >= 0 && column < kDownloadColumnCount ? kColumnWidthsTwips[column] : 0;
}

bool DownloadList::AddRow(const QString& key, const QString& name, const QString& type,
                          const QString& folder, const QString& tag) {
    if (key.isEmpty() || ContainsKey(key)) return false;
    auto r = std::make_unique<DownloadListRow>();
    r->id = ++m_lastId;
    r->cells[ColName] = name;
    r->cells[ColType] = type;
    r->cells[ColFolder] = folder;
    r->key = key;
    r->tag = tag;
    const int at = count();
    beginInsertRows({}, at, at);
    m_rowOfKey.insert(key, r.get());
    if (!m_positionsStale) m_positionOfId.insert(r->id, at);
    m_rows.push_back(std::move(r));
    countStatus(RowStatus::Waiting, +1);
    endInsertRows();
    return true;
}

QString DownloadList::text(int r, int column) const {
    if (!isValidRow(r) || column < 0 || column >= kDownloadColumnCount) return {};
    return m_rows[r]->cells.at(column);
}

void DownloadList::setText(int r, int column, const QString& value) {
    if (!isValidRow(r) || column < 0 || column >= kDownloadColumnCount) return;
    QString& cell = m_rows[r]->cells[column];
    if (cell == value) return;
    cell = value;
    const QModelIndex at = index(r, column);
    emit dataChanged(at, at, {Qt::DisplayRole});
}

void DownloadList::setStatus(int r, RowStatus status) {
    if (!isValidRow(r) || m_rows[r]->status == status) return;
    countStatus(m_rows[r]->status, -1);
    countStatus(status, +1);
    m_rows[r]->status = status;
    const QModelIndex at = index(r, ColName);
    emit dataChanged(at, at, {Qt::DecorationRole, StatusRole});
}

bool DownloadList::setKey(int r, const QString& key) {
    if (!isValidRow(r) || key.isEmpty()) return false;
    DownloadListRow& row = *m_rows[r];
    if (row.key == key) return true;
    if (ContainsKey(key)) return false;
    m_rowOfKey.remove(row.key);
    row.key = key;
    m_rowOfKey.insert(key, &row);
    return true;
}

void DownloadList::setTag(int r, const QString& tag) {
    if (isValidRow(r)) m_rows[r]->tag = tag;
}

int DownloadList::RowOfKey(const QString& key) const {
    const DownloadListRow* row = m_rowOfKey.value(key);
    return row ? rowOfId(row->id) : -1;
}

int DownloadList::rowOfId(RowId id) const {
    if (id == 0) return -1;
    if (m_positionsStale) rebuildPositions();
    return m_positionOfId.value(id, -1);
}

void DownloadList::forgetRow(const DownloadListRow& row) {
    countStatus(row.status, -1);
    m_rowOfKey.remove(row.key);
    m_positionsStale = true;
}

void DownloadList::RemoveRowAt(int r) {
    if (!isValidRow(r)) return;
    beginRemoveRows({}, r, r);
    forgetRow(*m_rows[r]);
    m_rows.erase(m_rows.begin() + r);
    endRemoveRows();
}

int DownloadList::RemoveRowsWhere(const std::function<bool(const DownloadListRow&)>& matches) {
    // Many scattered rows (every second row of 20,000) would cost a removal signal, a move of
    // the rows behind and a view update per run: the list is then compacted in one pass and
    // the views start over.
    std::vector<char> match(m_rows.size());
    int runs = 0;
    for (size_t r = 0; r < m_rows.size(); ++r) {
        match[r] = matches(*m_rows[r]) ? 1 : 0;
        runs += match[r] && (r == 0 || !match[r - 1]);
    }
    if (runs == 0) return 0;
    if (runs > kMaxRemovalRuns) {
        beginResetModel();
        size_t kept = 0;
        for (size_t r = 0; r < m_rows.size(); ++r) {
            if (match[r])
                forgetRow(*m_rows[r]);
            else
                m_rows[kept++] = std::move(m_rows[r]);
        }
        const int removed = int(m_rows.size() - kept);
        m_rows.resize(kept);
        endResetModel();
        return removed;
    }
    // Otherwise runs of adjacent matching rows go in one step each, from the end so that the
    // row numbers still to be visited stay valid.
    const auto matchesRow = [&](int r) { return match[r] != 0; };
    int removed = 0;
    for (int end = count() - 1; end >= 0;) {
        if (!matchesRow(end)) {
            --end;
            continue;
        }
        int begin = end;
        while (begin > 0 && matchesRow(begin - 1)) --begin;
        beginRemoveRows({}, begin, end);
        for (int r = begin; r <= end; ++r) forgetRow(*m_rows[r]);
        m_rows.erase(m_rows.begin() + begin, m_rows.begin() + end + 1);
        endRemoveRows();
        removed += end - begin + 1;
        end = begin - 1;
    }
    return removed;
}

void DownloadList::Clear() {
    beginResetModel();
    m_rows.clear();
    m_rowOfKey.clear();
    m_positionOfId.clear();
    m_positionsStale = false;
    m_counts = {};
    endResetModel();
}

bool DownloadList::PermuteRows(const std::vector<int>& order) {
    const int n = count();
    if (int(order.size()) != n) return false;
    std::vector<int> newRowOf(n, -1);
    for (int i = 0; i < n; ++i) {
        const int from = order[i];
        if (from < 0 || from >= n || newRowOf[from] >= 0) return false;
        newRowOf[from] = i;
    }
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::vector<std::unique_ptr<DownloadListRow>> moved(n);
    for (int i = 0; i < n; ++i) moved[i] = std::move(m_rows[order[i]]);
    m_rows = std::move(moved);
    const QModelIndexList from = persistentIndexList();
    QModelIndexList to;
    to.reserve(from.size());
    for (const QModelIndex& i : from) to.append(index(newRowOf[i.row()], i.column()));
    changePersistentIndexList(from, to);
    m_positionsStale = true;
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
    return true;
}

QString DownloadList::RowFilePath(int r) const {
    if (!isValidRow(r)) return {};
    const DownloadListRow& row = *m_rows[r];
    const QString& folder = row.cells[ColFolder];
    const QString& name = row.cells[ColName];
    const QString& type = row.cells[ColType];
    const QString file = type.isEmpty() ? name : name + u'.' + type;
    if (TrimSpaces(folder).isEmpty() || !NamesFileInFolder(file)) return {};
    // A folder without its trailing separator still names the folder, not a sibling file.
    return WithTrailingSep(folder) + file;
}

QString DownloadList::StatisticsLine() const {
    return QStringLiteral("总数:%1 正在下载:%2 等待:%3 已完成:%4 失败:%5")
        .arg(m_counts.total())
        .arg(m_counts.downloading)
        .arg(m_counts.waiting)
        .arg(m_counts.completed)
        .arg(m_counts.failed);
}

QString DownloadList::RowCountText() const {
    return QString::number(count()) + u'条';
}

int DownloadList::统计未下载项数目() const {
    int n = 0;
    for (const auto& r : m_rows)
        n += r->cells[ColSize].isEmpty() && r->cells[ColReceived].isEmpty() &&
             r->cells[ColPercent].isEmpty();
    return n;
}

bool DownloadList::检测是否下载列表完毕() const {
    return m_counts.waiting == 0 && m_counts.downloading == 0;
}

void DownloadList::ToggleSortByColumn(int column) {
    if (column < 0 || column >= kDownloadColumnCount) return;
    m_sortColumn = column;
    m_sortOrder = m_sortOrder == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    SortByColumn(column, m_sortOrder);
}

void DownloadList::SortByColumn(int column, Qt::SortOrder order) {
    if (column < 0 || column >= kDownloadColumnCount || m_rows.empty()) return;
    const bool numeric = IsNumericColumn(column);
    const int n = count();
    QList<QString> sortText(n);
    for (int r = 0; r < n; ++r) {
        const QString& cell = m_rows[r]->cells[column];
        sortText[r] = numeric ? NumericSortText(column, cell) : cell;
    }
    std::vector<int> permutation(n);
    std::iota(permutation.begin(), permutation.end(), 0);
    const auto before = [&](int a, int b) {
        const int c = QString::compare(sortText.at(a), sortText.at(b), Qt::CaseInsensitive);
        return order == Qt::AscendingOrder ? c < 0 : c > 0;
    };
    std::stable_sort(permutation.begin(), permutation.end(), before);
    if (numeric)
        for (auto& r : m_rows) r->cells[column] = UnpaddedCell(column, r->cells[column]);
    PermuteRows(permutation);
}

void DownloadList::countStatus(RowStatus status, int delta) {
    switch (status) {
    case RowStatus::Waiting:
        m_counts.waiting += delta;
        break;
    case RowStatus::Downloading:
        m_counts.downloading += delta;
        break;
    case RowStatus::Completed:
        m_counts.completed += delta;
        break;
    case RowStatus::Failed:
        m_counts.failed += delta;
        break;
    }
}

void DownloadList::rebuildPositions() const {
    m_positionOfId.clear();
    m_positionOfId.reserve(count());
    for (int r = 0; r < count(); ++r) m_positionOfId.insert(m_rows[r]->id, r);
    m_positionsStale = false;
}

} // namespace peldora
