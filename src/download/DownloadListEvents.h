#pragma once
#include <QString>

namespace peldora {

class Dialogs;
class DownloadList;
class DownloadWindowState;
class Shell;

// What the download list does with the mouse; the window forwards its view's events here.

// Item click: the text for status panel 2, the row's file path when that file exists, else
// the empty text.
QString 单击下载项(const DownloadList& list, int row);

// Double-click on the focused row: a completed row opens its file (or reports "文件不存在！"),
// a failed row loses its file and goes back to waiting with columns 2 to 4 cleared, so it is
// downloaded again. Waiting and downloading rows, and no row (-1), are left alone.
void 双击下载项(DownloadList& list, int row, Shell& shell, Dialogs& dialogs);

// Column-header click: refused while downloading; otherwise toggles the order and sorts.
void 列表排序(DownloadList& list, const DownloadWindowState& state, Dialogs& dialogs, int column);

inline const QString kFileMissingMessage = QStringLiteral("文件不存在！");

} // namespace peldora
