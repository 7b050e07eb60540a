#pragma once
#include "download/DownloadList.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

namespace peldora {

class Dialogs;
class DownloadWindowState;
class Shell;

// The commands of the list menu "列表操作(&D)" that work on the download list's rows (the
// re-download, start and stop commands are in DownloadCommands and the scheduler). Rows handed
// in as "selected" are row numbers at the moment the command starts; the focused row is -1 when
// there is none.

inline const QString kShuffleDoneMessage = QStringLiteral("随机排序完成！");
inline const QString kClearListQuestion = QStringLiteral("您确定要清空列表的所有信息吗？");
inline const QString kFileMissingMessage = QStringLiteral("该文件不存在！");
inline const QString kFolderMissingMessage = QStringLiteral("文件夹不存在！");
inline const QString kOpenFailedMessage = QStringLiteral("打开失败！");
inline const QString kFileTooLargeMessage =
    QStringLiteral("该文件太大，超过了2M，不便于用记事本打开！");
inline const QString kEnterTextMessage = QStringLiteral("请输入字符串！");
inline const QString kReplaceDoneMessage = QStringLiteral("全部网址替换完成！");
// The largest file the text editor is given: 2048 KiB.
constexpr qint64 kTextEditorLimitBytes = 2048 * 1024;

// The shuffle: at most 10,000 rows, drawn one at a time at random from those not yet drawn,
// go to the end of the list in the order drawn; rows never drawn keep their order at the start.
// Every row keeps everything it holds. `draw(n)` answers a position in [0, n); by default the
// system's random generator.
constexpr int kShuffleMaxRounds = 10000;
std::vector<int> ShuffleOrder(int rowCount, const std::function<int(int)>& draw = {});
// "随机排序列表(打乱)": refused by the busy guard; ends with "随机排序完成！".
bool 随机排序列表(DownloadList& list, const DownloadWindowState& state, Dialogs& dialogs,
                  const std::function<int(int)>& draw = {});

// The removals (busy guard). Files on disk stay. Each answers how many rows it removed, or -1
// when it was refused.
int 清除选中项(DownloadList& list, const DownloadWindowState& state, Dialogs& dialogs,
               const QList<int>& selectedRows);
int 清除全部出错项(DownloadList& list, const DownloadWindowState& state, Dialogs& dialogs);
int 清除完成项(DownloadList& list, const DownloadWindowState& state, Dialogs& dialogs);
// Asks "您确定要清空列表的所有信息吗？" first; No changes nothing.
int 清空(DownloadList& list, const DownloadWindowState& state, Dialogs& dialogs);

// Deletes the file of one row, as its folder, name and type name it, and nothing else: a name
// that would reach outside the folder names no file, and a symbolic link is removed as the
// link, never followed. True when a file was removed.
bool DeleteRowFileInFolder(const DownloadList& list, int row);
// "删除文件": the files of failed rows, or of finished rows of a web-page type ("htm",
// "html", "xml", any case). Columns 2 to 4 of those rows are emptied; the rows stay with their
// status. Answers how many rows were taken.
int 删除出错项(DownloadList& list);
int 删除网页类型文件项(DownloadList& list);

// "取消下载选中项": refused by the run-flag guard; selected waiting rows become failed.
// Answers how many rows changed, or -1 when refused.
int 取消下载选中项(DownloadList& list, const DownloadWindowState& state, Dialogs& dialogs,
                   const QList<int>& selectedRows);

// The three opening commands on the focused row. The file path always has the "." before
// the type.
QString OpenedFilePath(const DownloadList& list, int row);
void 打开下载文件(const DownloadList& list, int focusedRow, Shell& shell, Dialogs& dialogs);
void 打开文件所在文件夹(const DownloadList& list, int focusedRow, Shell& shell, Dialogs& dialogs);
void 用记事本打开文件(const DownloadList& list, int focusedRow, Shell& shell, Dialogs& dialogs);

// The names "导出名称" writes: every row, or the rows not completed.
QStringList ExportedNames(const DownloadList& list, bool unfinishedOnly);
// "导出名称": asks for a file and writes the names, one a line. A failure shows its
// description with the error icon and leaves an earlier file of that name as it was.
// Answers whether a file was written.
bool 导出名称(const DownloadList& list, bool unfinishedOnly, Dialogs& dialogs);

// What a batch replacement did.
struct UrlReplaceResult {
    int changedKeys = 0;
    // Rows whose new key another row already holds, or that would be left with an empty key:
    // their key stays as it was (the tag is still replaced). Names of the rows, in list order.
    QStringList keptKeys;
    // Rows whose key would hold more addresses than before (the replacement brought a "|").
    QStringList splitKeys;
};
// The replacement of every occurrence of `find` (any letter case) by `replacement` (as typed)
// in every row's key, then its tag. With splitKeys the keys whose number of addresses would
// grow are listed and nothing is changed; `allowSplit` lets them change.
UrlReplaceResult ReplaceInAddresses(DownloadList& list, const QString& find,
                                    const QString& replacement, bool allowSplit);
// The message shown afterwards: "全部网址替换完成！", with the rows whose key was kept.
QString ReplaceDoneMessage(const UrlReplaceResult& result);
// The question asked when the replacement would split keys into more addresses.
QString SplitKeysQuestion(const QStringList& names);
// The "替换" button of UrlReplace: false when the dialog stays open (empty search text, or
// the user declined splitting keys).
bool 批量替换网址(DownloadList& list, const QString& find, const QString& replacement,
                  Dialogs& dialogs);

} // namespace peldora
