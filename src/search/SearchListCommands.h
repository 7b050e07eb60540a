#pragma once
#include <QList>
#include <QString>
#include <Qt>
#include <functional>

namespace peldora {

class Dialogs;
class SearchList;

// The commands of the search window's menu "清除(&C)", the header-click sort and the export of
// titles. Each clearing command is refused while rows are being handed over; `analysisStop`
// answers true when no hand-over runs.

inline const QString kAnalysingNoClearMessage = QStringLiteral("正在分析，不能清除！");
inline const QString kWorkingNoSortMessage = QStringLiteral("正在工作，停止后方可排序！");
inline const QString kClearSearchListQuestion =
    QStringLiteral("您确定要清空辛辛苦苦搜索的列表数据吗？");
inline const QString kEnterCharactersPrompt = QStringLiteral("请输入指定字符：");

// Each answers how many rows it removed, or -1 when it was refused.
int 清除选中项(SearchList& list, bool analysisStop, Dialogs& dialogs, const QList<int>& selectedRows);
int 清除成功项(SearchList& list, bool analysisStop, Dialogs& dialogs);
int 清除标题含指定字符项(SearchList& list, bool analysisStop, Dialogs& dialogs);
int 清除标题不含指定字符项(SearchList& list, bool analysisStop, Dialogs& dialogs);
int 清空全部(SearchList& list, bool analysisStop, Dialogs& dialogs);

// The sort the header clicks of one list have chosen so far; the first click sorts descending.
struct SearchListSort {
    int column = 0;
    Qt::SortOrder order = Qt::AscendingOrder;
};
// A header click: refused while an add-all run or a hand-over works; otherwise the direction
// toggles and the list is sorted once by the column's text (rows added later are appended).
// False when refused.
bool SortOnHeaderClick(SearchList& list, SearchListSort& sort, int column, bool addAllRunning,
                       bool analysing, Dialogs& dialogs);

// "保存文件完毕：" and the size in kilobytes with two decimals and thousands separators.
QString SavedFileMessage(qint64 bytes);
// "导出数据...": with rows, asks for a file and writes every title, one a line, in list order,
// and shows the size. A failure ends the command without a message; an earlier file of that
// name stays as it was. True when a file was written.
bool 导出数据(const SearchList& list, Dialogs& dialogs);

} // namespace peldora
