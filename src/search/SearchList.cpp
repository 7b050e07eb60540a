#include "search/SearchList.h"

#include <algorithm>

namespace peldora {

namespace {

// The text a row shows in a column; the title for any column that holds no other text.
const QString& CellText(const SearchListRow& r, int column) {
    switch (column) {
    case SearchList::TypeColumn:
        return r.type;
    case SearchList::StatusColumn:
        return r.status;
    case SearchList::FolderColumn:
        return r.saveFolder;
    case SearchList::MarkerColumn:
        return r.marker;
    default:
        return r.title;
    }
}

// The characters an English title is made of. Letters are matched without regard to case, so
// capitals pass too; full-width Latin letters are not folded to their ASCII forms and do not.
const QString& EnglishTitleCharacters() {
    static const QString set = QStringLiteral("abcdefghijklmnopqrstuvwxyz"
                                              "0123456789"
                                              " ,.?'\"/\\;:[]-=+!@#%*()_~<>&") +
                               QString::fromUtf16(u"ˉ－∑‰＄∈∩—αβγδεζηθικλμνξοπρστυφχψω") +
                               QChar(0x2013); // en dash
    return set;
}

} // namespace

bool 判断标题字符是为英文字母组合(const QString& title) {
    const QString& set = EnglishTitleCharacters();
    for (const QChar c : title)
        if (!set.contains(c) && !set.contains(c.toLower())) return false;
    return true;
}

SearchList::SearchList(QObject* parent) : QAbstractTableModel(parent) {}

bool SearchList::accepts(const QString& title) const {
    switch (m_filter) {
    case int(TitleLanguage::English):
        return 判断标题字符是为英文字母组合(title);
    case int(TitleLanguage::Japanese):
        return !判断标题字符是为英文字母组合(title);
    default:
        return true;
    }
}

bool SearchList::加入LV1(const QString& title, const QString& pdfAddress,
                         const QString& pageAddress, const QString& typeText,
                         const QString& saveFolderText, const QString& marker) {
    if (!accepts(title)) return false;
    if (m_index.contains(pdfAddress)) return false;
    const int at = int(m_rows.size());
    beginInsertRows({}, at, at);
    m_rows.append(
        SearchListRow{pdfAddress, title, typeText, {}, saveFolderText, marker, pageAddress});
    m_index.insert(pdfAddress, at);
    endInsertRows();
    return true;
}

void SearchList::setStatus(int index, const QString& status) {
    if (index < 0 || index >= m_rows.size()) return;
    m_rows[index].status = status;
    const QModelIndex cell = this->index(index, StatusColumn);
    emit dataChanged(cell, cell, {Qt::DisplayRole});
}

void SearchList::removeRowsAt(QList<int> indexes) {
    std::sort(indexes.begin(), indexes.end());
    indexes.erase(std::unique(indexes.begin(), indexes.end()), indexes.end());
    if (indexes.isEmpty()) return;
    // From the end, in runs of neighbouring rows, so each removal leaves earlier indexes valid.
    int i = int(indexes.size()) - 1;
    while (i >= 0) {
        const int last = indexes.at(i);
        int first = last;
        while (i > 0 && indexes.at(i - 1) == first - 1) first = indexes.at(--i);
        --i;
        if (first < 0 || last >= m_rows.size()) continue;
        beginRemoveRows({}, first, last);
        m_rows.remove(first, last - first + 1);
        endRemoveRows();
    }
    rebuildIndex();
}

void SearchList::clear() {
    beginResetModel();
    m_rows.clear();
    m_index.clear();
    endResetModel();
}

void SearchList::sortByColumn(int column, Qt::SortOrder order) {
    if (column < 0 || column >= ColumnCount) return;
    const auto text = [column](const SearchListRow& r) -> const QString& { return CellText(r, column); };
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    QList<QString> keysBefore;
    for (const QModelIndex& i : before) keysBefore << m_rows.at(i.row()).key;
    std::stable_sort(m_rows.begin(), m_rows.end(),
                     [&](const SearchListRow& a, const SearchListRow& b) {
                         const int c = text(a).compare(text(b), Qt::CaseInsensitive);
                         return order == Qt::AscendingOrder ? c < 0 : c > 0;
                     });
    rebuildIndex();
    QModelIndexList after;
    for (int i = 0; i < before.size(); ++i)
        after << index(m_index.value(keysBefore.at(i)), before.at(i).column());
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void SearchList::rebuildIndex() {
    m_index.clear();
    m_index.reserve(m_rows.size());
    for (int i = 0; i < m_rows.size(); ++i) m_index.insert(m_rows.at(i).key, i);
}

int SearchList::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_rows.size());
}

int SearchList::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant SearchList::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_rows.size()) return {};
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return {};
    if (index.column() < 0 || index.column() >= ColumnCount) return {};
    return CellText(m_rows.at(index.row()), index.column());
}

QVariant SearchList::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    static const QString headers[ColumnCount] = {
        QStringLiteral("标题"), QStringLiteral("类型"), QStringLiteral("分析状态"),
        QStringLiteral("保存路径"), QStringLiteral("TYPE")};
    return section >= 0 && section < ColumnCount ? QVariant(headers[section]) : QVariant();
}

Qt::ItemFlags SearchList::flags(const QModelIndex& index) const {
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

} // namespace peldora
