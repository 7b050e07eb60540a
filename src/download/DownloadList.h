#pragma once
#include <QAbstractTableModel>
#include <QHash>
#include <QString>
#include <array>
#include <functional>
#include <memory>
#include <vector>

namespace peldora {

// The state of a download-list row; the numbers are those the other download procedures use.
enum class RowStatus { Waiting = 1, Downloading = 2, Completed = 3, Failed = 4 };

// The seven columns of the list. Column 0 is the row's text, the file name without extension.
enum DownloadColumn {
    ColName = 0,
    ColType = 1,     // extension without the dot
    ColSize = 2,     // total bytes, or a status word
    ColReceived = 3, // bytes received
    ColPercent = 4,  // "45%", or a status word
    ColFolder = 5,   // the folder the file is saved into
    ColB = 6,        // always empty
    kDownloadColumnCount = 7
};

// A row's identity for as long as it is in the list: unchanged when other rows are removed or
// the list is sorted or shuffled, and never given to another row. 0 names no row.
using RowId = quint64;

struct DownloadListRow {
    RowId id = 0;
    std::array<QString, kDownloadColumnCount> cells;
    QString key; // one to three addresses joined by "|"; the first is downloaded
    QString tag; // the page that referred to the file
    RowStatus status = RowStatus::Waiting;
};

// How many rows are in each state; kept up to date on every change so the statistics line and
// the finished test cost nothing on long lists.
struct StatusCounts {
    int waiting = 0;
    int downloading = 0;
    int completed = 0;
    int failed = 0;
    int total() const { return waiting + downloading + completed + failed; }
};

// The part of a key before the first "|" (the whole key when it holds none).
QString 选择url(const QString& key);

// The download list: rows in list order, unique keys with an index from key to row, and the
// list's own sort. Rows are not editable through the view.
class DownloadList : public QAbstractTableModel {
    Q_OBJECT
public:
    // The row status as an int, for views and tests.
    static constexpr int StatusRole = Qt::UserRole + 1;

    explicit DownloadList(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // The column headers and their design widths in twips.
    static QString ColumnHeader(int column);
    static int ColumnWidthTwips(int column);

    // Appends a waiting row with columns 2, 3, 4 and 6 empty. Refuses (returns false) an empty
    // key or a key the list already holds.
    bool AddRow(const QString& key, const QString& name, const QString& type, const QString& folder,
                const QString& tag);

    int count() const { return int(m_rows.size()); }
    const DownloadListRow& row(int r) const { return *m_rows.at(r); }
    QString text(int r, int column) const;
    void setText(int r, int column, const QString& value);
    RowStatus status(int r) const { return m_rows.at(r)->status; }
    void setStatus(int r, RowStatus status);
    const QString& key(int r) const { return m_rows.at(r)->key; }
    // Changes a row's key; refused when another row already holds the new key.
    bool setKey(int r, const QString& key);
    const QString& tag(int r) const { return m_rows.at(r)->tag; }
    void setTag(int r, const QString& tag);
    bool isValidRow(int r) const { return r >= 0 && r < count(); }

    // The row holding the key, or -1.
    int RowOfKey(const QString& key) const;
    bool ContainsKey(const QString& key) const { return m_rowOfKey.contains(key); }

    // The identity of row r (0 when there is no such row), and the row that has an identity
    // now (-1 when it has been removed).
    RowId idOfRow(int r) const { return isValidRow(r) ? m_rows[r]->id : 0; }
    int rowOfId(RowId id) const;

    // Removes rows; the index of keys follows exactly. A removal in more than kMaxRemovalRuns
    // separate runs of rows resets the model (views lose their selection) instead of
    // signalling each run.
    static constexpr int kMaxRemovalRuns = 32;
    void RemoveRowAt(int r);
    int RemoveRowsWhere(const std::function<bool(const DownloadListRow&)>& matches);
    void Clear();
    // Puts the rows in a new order: order[i] is the row that becomes row i; a list that is not
    // a permutation of the rows changes nothing. Rows keep all they hold, their identity too.
    bool PermuteRows(const std::vector<int>& order);

    // The file that belongs to a row: folder + name + "." + type (no "." when the type is
    // empty). The empty text when the row cannot name a file inside its folder: no folder, no
    // name and no type, or a name or type that would leave the folder.
    QString RowFilePath(int r) const;

    StatusCounts counts() const { return m_counts; }
    // "总数:5 正在下载:1 等待:2 已完成:1 失败:1"
    QString StatisticsLine() const;
    // "12条"
    QString RowCountText() const;

    // Rows whose columns 2, 3 and 4 are all empty, whatever their status.
    int 统计未下载项数目() const;
    // True when no row is waiting or downloading (an empty list is finished).
    bool 检测是否下载列表完毕() const;

    // The order the next header click sorts in: it toggles on every click, and a list starts
    // ascending, so the first click sorts descending.
    Qt::SortOrder sortOrder() const { return m_sortOrder; }
    int sortColumn() const { return m_sortColumn; }
    // A header click: toggles the order and sorts once by that column. Size and received sort
    // by their numbers, percent by its number; other cells and status words sort as text.
    void ToggleSortByColumn(int column);
    // One sort in the given order.
    void SortByColumn(int column, Qt::SortOrder order);

private:
    void countStatus(RowStatus status, int delta);
    void forgetRow(const DownloadListRow& row);
    void rebuildPositions() const;

    // Rows live apart from the order, so a removal or reorder moves pointers, not rows.
    std::vector<std::unique_ptr<DownloadListRow>> m_rows;
    StatusCounts m_counts;
    RowId m_lastId = 0;
    // Key to row, exact at every moment: it is what the duplicate test asks.
    QHash<QString, DownloadListRow*> m_rowOfKey;
    // Identity to row number; rebuilt on first use after rows were removed or moved.
    mutable QHash<RowId, int> m_positionOfId;
    mutable bool m_positionsStale = false;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
    int m_sortColumn = 0;
};

} // namespace peldora
