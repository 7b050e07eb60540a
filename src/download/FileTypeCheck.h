#pragma once
#include <QString>

namespace peldora {

class Dialogs;
class DownloadList;
class DownloadWindowState;

// The lower-case extension a file's content says it has ("pdf", "htm", ...), or the empty text.
using FileKind = QString;

// Tells a file's type from its first 10241 bytes (plus its last 128 for an ID3v1 tag): a chain
// of signature tests, then the web-page and "caa" text tests for short files. The empty text
// for a missing or unreadable file or an unknown type. Never reads a large file whole.
FileKind 打开文件判断文件类型(const QString& path);

// Gives a row's file the extension of its detected type when that differs from the row's type
// (case ignored): the file is renamed to a free "name.kind" (numbered "[0001]" when taken) and
// the row's type and name follow. Returns true when the file was renamed. Never overwrites.
bool CorrectRowType(DownloadList& list, int row);

// The menu commands.
// "检查并纠正磁盘文件类型": corrects every row and reports the count; refused by the busy guard.
void 检查并纠正磁盘文件类型(DownloadList& list, const DownloadWindowState& state, Dialogs& dialogs);
// "打开文件判断类型": asks for any file and reports its type.
void 打开文件判断类型(Dialogs& dialogs);
// "检查文件是否存在": writes "不存在" into column 4 of every row whose file is missing.
void 检查文件是否存在(DownloadList& list);

} // namespace peldora
