#include "search/SearchListCommands.h"
#include "common/TextFiles.h"
#include "common/Text.h"
#include "platform/Dialogs.h"
#include "search/SearchList.h"

#include <QLocale>

namespace peldora {

namespace {

bool Refused(bool analysisStop, Dialogs& dialogs) {
    if (analysisStop) return false;
    dialogs.messageBox(kAnalysingNoClearMessage, MessageIcon::Critical);
    return true;
}

int RemoveWhere(SearchList& list, const std::function<bool(const SearchListRow&)>& matches) {
    if (list.isEmpty()) return 0;
    QList<int> rows;
    for (int i = 0; i < list.size(); ++i)
        if (matches(list.row(i))) rows << i;
    list.removeRowsAt(rows);
    return int(rows.size());
}

int RemoveByTitle(SearchList& list, bool analysisStop, Dialogs& dialogs, bool containing) {
    if (Refused(analysisStop, dialogs)) return -1;
    const QString text =
        dialogs.inputBox(kEnterCharactersPrompt, QString(), QString()).value_or(QString());
    if (text.isEmpty()) return 0;
    return RemoveWhere(list, [&](const SearchListRow& row) {
        return row.title.contains(text, Qt::CaseInsensitive) == containing;
    });
}

} // namespace

int 清除选中项(SearchList& list, bool analysisStop, Dialogs& dialogs, const QList<int>& selectedRows) {
    if (Refused(analysisStop, dialogs)) return -1;
    if (list.isEmpty()) return 0;
    QList<int> rows;
    for (int r : selectedRows)
        if (r >= 0 && r < list.size() && !rows.contains(r)) rows << r;
    list.removeRowsAt(rows);
    return int(rows.size());
}

int 清除成功项(SearchList& list, bool analysisStop, Dialogs& dialogs) {
    if (Refused(analysisStop, dialogs)) return -1;
    return RemoveWhere(list, [](const SearchListRow& row) {
        return row.status.contains(QStringLiteral("成功"), Qt::CaseInsensitive);
    });
}

int 清除标题含指定字符项(SearchList& list, bool analysisStop, Dialogs& dialogs) {
    return RemoveByTitle(list, analysisStop, dialogs, true);
}

int 清除标题不含指定字符项(SearchList& list, bool analysisStop, Dialogs& dialogs) {
    return RemoveByTitle(list, analysisStop, dialogs, false);
}

int 清空全部(SearchList& list, bool analysisStop, Dialogs& dialogs) {
    if (Refused(analysisStop, dialogs)) return -1;
    if (dialogs.messageBox(kClearSearchListQuestion, MessageIcon::Question,
                           MessageButtons::YesNo) != MessageAnswer::Yes)
        return 0;
    const int n = list.size();
    list.clear();
    return n;
}

bool SortOnHeaderClick(SearchList& list, SearchListSort& sort, int column, bool addAllRunning,
                       bool analysing, Dialogs& dialogs) {
    if (addAllRunning || analysing) {
        dialogs.messageBox(kWorkingNoSortMessage, MessageIcon::Information);
        return false;
    }
    sort.column = column;
    sort.order = sort.order == Qt::DescendingOrder ? Qt::AscendingOrder : Qt::DescendingOrder;
    list.sortByColumn(column, sort.order);
    return true;
}

QString SavedFileMessage(qint64 bytes) {
    // "#,##0.00": grouped thousands, two decimals, a dot before them.
    return QStringLiteral("保存文件完毕：") +
           QLocale(QLocale::English).toString(double(bytes) / 1024.0, 'f', 2) +
           QStringLiteral("KB");
}

bool 导出数据(const SearchList& list, Dialogs& dialogs) {
    if (list.isEmpty()) return false;
    QString path = dialogs.saveFile(QString(), QStringLiteral("*.txt|*.txt"), QString());
    if (path.isEmpty()) return false;
    // The default extension, for a name typed without one.
    if (QStringView(path).mid(path.lastIndexOf(u'/') + 1).indexOf(u'.') < 0)
        path += QStringLiteral(".txt");
    QStringList titles;
    titles.reserve(list.size());
    for (const SearchListRow& row : list.rows()) titles << row.title;
    const TextWriteResult written = WriteTextLines(path, titles);
    if (!written.ok) return false;
    dialogs.messageBox(SavedFileMessage(written.bytes), MessageIcon::Information);
    return true;
}

} // namespace peldora
