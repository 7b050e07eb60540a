#pragma once
#include <QList>
#include <QString>

namespace peldora {

class Dialogs;
class DownloadList;

// The "重新下载" commands of the list menu: each puts a choice of finished rows back to
// waiting for another attempt. None of them starts the download and none is refused while
// downloading runs: the scheduler takes a reset row when downloading is on. Each answers how
// many rows it reset.

// A key's addresses rotated so that a reset row tries another one first: A|B becomes B|A,
// A|B|C becomes C|A|B; one address, or more than three, stay as they are.
QString 对调url(const QString& key);

// Resets one row: its file is deleted, it waits again with columns 2 to 4 empty, a web-page
// type ("htm", "html", any case) becomes the placeholder "xxx" (every type does with
// anyTypeToPlaceholder), the file of the new type is deleted too, and its addresses rotate.
void 重置下载项(DownloadList& list, int row, bool anyTypeToPlaceholder = false);

// The selected rows (row numbers) that are completed or failed.
int 重新下载选中项(DownloadList& list, const QList<int>& selectedRows);
// Every failed row.
int 重新下载出错项(DownloadList& list);
// Completed or failed rows of type "htm", "html" or "xml"; each gets the type "xxx".
int 重新下载文件类型为HTM和HTML项(DownloadList& list);
// Failed rows, and completed rows of type "htm" or "html".
int 重新下载出错项和网页项(DownloadList& list);
// Asks "请输入数字：" and resets the completed or failed rows that were received whole and
// are smaller than the answer in bytes. An answer that is not a number changes nothing.
int 重新下载文件大小小于指定数字的项(DownloadList& list, Dialogs& dialogs);

inline const QString kAskNumberPrompt = QStringLiteral("请输入数字：");

} // namespace peldora
