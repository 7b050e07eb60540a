#pragma once
#include <QAbstractTableModel>
#include <QHash>
#include <QList>
#include <QString>

namespace peldora {

// One harvested article of the search list (ListView1).
struct SearchListRow {
    QString key;    // the article's PDF address; unique within the list
    QString title;  // column "标题"
    QString type;   // column "类型", "pdf" for harvested rows
    QString status; // column "分析状态": empty, "正在分析", "分析完成" or "分析失败"
    QString saveFolder; // column "保存路径": the folder chosen at harvest time, may be empty
    QString marker;     // column "TYPE": the source marker, "ss-en"
    QString tag;        // the address of the result page the row was read from
};

// Which titles the list takes, as chosen in Combo3.
enum class TitleLanguage { All = 0, English = 1, Japanese = 2 };

// Whether every character of the title is one a Latin-script title uses (letters of any case,
// digits, ASCII punctuation, a few signs and Greek small letters). An empty title passes.
bool 判断标题字符是为英文字母组合(const QString& title);

// The search list: rows in harvest order with an index on the key, so the duplicate test stays
// O(1) for tens of thousands of rows. Editing in place is not offered.
class SearchList : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { TitleColumn, TypeColumn, StatusColumn, FolderColumn, MarkerColumn, ColumnCount };

    explicit SearchList(QObject* parent = nullptr);

    // The filter index of Combo3; any value other than 1 and 2 (-1 when nothing is selected)
    // takes every title.
    void setLanguageFilter(int combo3Index) { m_filter = combo3Index; }
    int languageFilter() const { return m_filter; }

    // Offers one article. Titles the language filter rejects and addresses already listed are
    // left out; an existing row keeps the values of its first harvest. True when a row was added.
    bool 加入LV1(const QString& title, const QString& pdfAddress, const QString& pageAddress,
                 const QString& typeText, const QString& saveFolderText, const QString& marker);

    int size() const { return int(m_rows.size()); }
    bool isEmpty() const { return m_rows.isEmpty(); }
    const SearchListRow& row(int index) const { return m_rows.at(index); }
    const QList<SearchListRow>& rows() const { return m_rows; }
    // Row index of the key, or -1.
    int indexOfKey(const QString& key) const { return m_index.value(key, -1); }
    bool containsKey(const QString& key) const { return m_index.contains(key); }

    // The analysis status (column 3), written by the hand-over.
    void setStatus(int index, const QString& status);
    // Removes rows by index (any order, duplicates ignored); the others keep their order.
    void removeRowsAt(QList<int> indexes);
    void clear();
    // Sorts the rows once by the text of a column (letter case ignored; equal texts keep their
    // order). Rows added afterwards are appended at the end.
    void sortByColumn(int column, Qt::SortOrder order);

    // The counter beside the list (Label1): the number of rows in decimal digits.
    QString counterText() const { return QString::number(m_rows.size()); }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    bool accepts(const QString& title) const;
    void rebuildIndex();

    QList<SearchListRow> m_rows;
    QHash<QString, int> m_index;
    int m_filter = 0;
};

} // namespace peldora
