#include "download/DownloadListCommands.h"
#include "download/RowKinds.h"
#include "common/FileHelpers.h"
#include "common/PathSeparator.h"
#include "common/TextFiles.h"
#include "common/Text.h"
#include "download/DownloadWindowState.h"
#include "platform/Dialogs.h"
#include "platform/Shell.h"

#include <QSet>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <numeric>

namespace peldora {

namespace {

// The identities of the selected rows that still exist, without repeats.
QList<RowId> IdsOf(const DownloadList& list, const QList<int>& rows) {
    QList<RowId> ids;
    QSet<RowId> seen;
    seen.reserve(rows.size());
    for (int r : rows) {
        const RowId id = list.idOfRow(r);
        if (id != 0 && !seen.contains(id)) {
            seen.insert(id);
            ids << id;
        }
    }
    return ids;
}

int DeleteFilesWhere(DownloadList& list, const std::function<bool(int)>& take) {
    int taken = 0;
    for (int r = 0; r < list.count(); ++r) {
        if (!take(r)) continue;
        for (int column : {ColSize, ColReceived, ColPercent}) list.setText(r, column, QString());
        DeleteRowFileInFolder(list, r);
        ++taken;
    }
    return taken;
}

int AddressCount(const QString& key) {
    return int(key.count(u'|')) + 1;
}

} // namespace

std::vector<int> ShuffleOrder(int rowCount, const std::function<int(int)>& draw) {
    std::vector<int> order;
    if (rowCount <= 0) return order;
    // pool holds the rows not yet drawn, in list order; a drawn row is swapped with the last
    // of the pool, so the draw stays uniform and costs nothing to take out.
    std::vector<int> pool(rowCount);
    std::iota(pool.begin(), pool.end(), 0);
    std::vector<int> drawn;
    const int rounds = std::min(rowCount, kShuffleMaxRounds);
    drawn.reserve(rounds);
    std::vector<char> isDrawn(rowCount, 0);
    int left = rowCount;
    for (int round = 0; round < rounds; ++round) {
        int k = draw ? draw(left) : int(QRandomGenerator::global()->bounded(left));
        if (k < 0 || k >= left) k = 0;
        drawn.push_back(pool[k]);
        isDrawn[pool[k]] = 1;
        std::swap(pool[k], pool[left - 1]);
        --left;
    }
    order.reserve(rowCount);
    for (int r = 0; r < rowCount; ++r)
        if (!isDrawn[r]) order.push_back(r);
    order.insert(order.end(), drawn.begin(), drawn.end());
    return order;
}

bool 随机排序列表(DownloadList& list, const DownloadWindowState& state, Dialogs& dialogs,
                  const std::function<int(int)>& draw) {
    if (state.RefusedByBusyGuard(dialogs)) return false;
    list.PermuteRows(ShuffleOrder(list.count(), draw));
    dialogs.messageBox(kShuffleDoneMessage, MessageIcon::Information);
    return true;
}

int 清除选中项(DownloadList& list, const DownloadWindowState& state, Dialogs& dialogs,
               const QList<int>& selectedRows) {
    if (state.RefusedByBusyGuard(dialogs)) return -1;
    const QList<RowId> ids = IdsOf(list, selectedRows);
    if (ids.isEmpty()) return 0;
    QSet<RowId> chosen(ids.begin(), ids.end());
    return list.RemoveRowsWhere([&](const DownloadListRow& row) { return chosen.contains(row.id); });
}

int 清除全部出错项(DownloadList& list, const DownloadWindowState& state, Dialogs& dialogs) {
    if (state.RefusedByBusyGuard(dialogs)) return -1;
    return list.RemoveRowsWhere(
        [](const DownloadListRow& row) { return row.status == RowStatus::Failed; });
}

int 清除完成项(DownloadList& list, const DownloadWindowState& state, Dialogs& dialogs) {
    if (state.RefusedByBusyGuard(dialogs)) return -1;
    return list.RemoveRowsWhere(
        [](const DownloadListRow& row) { return row.status == RowStatus::Completed; });
}

int 清空(DownloadList& list, const DownloadWindowState& state, Dialogs& dialogs) {
    if (state.RefusedByBusyGuard(dialogs)) return -1;
    if (dialogs.messageBox(kClearListQuestion, MessageIcon::Question, MessageButtons::YesNo) !=
        MessageAnswer::Yes)
        return 0;
    const int n = list.count();
    list.Clear();
    return n;
}

bool DeleteRowFileInFolder(const DownloadList& list, int row) {
    // RowFilePath names a file directly inside the folder or nothing: no separator, "." or
    // ".." in the name can take it elsewhere.
    const QString path = LocalFilePath(list.RowFilePath(row));
    if (path.isEmpty()) return false;
    const QFileInfo info(path);
    // A link is removed as the link: its target, wherever it is, stays.
    if (info.isSymLink()) return QFile::remove(path);
    if (!info.exists() || info.isDir()) return false;
    return QFile::remove(path);
}

int 删除出错项(DownloadList& list) {
    return DeleteFilesWhere(list, [&](int r) { return list.status(r) == RowStatus::Failed; });
}

int 删除网页类型文件项(DownloadList& list) {
    return DeleteFilesWhere(list, [&](int r) {
        return IsWebPageType(list.text(r, ColType)) && IsFinished(list.status(r));
    });
}

int 取消下载选中项(DownloadList& list, const DownloadWindowState& state, Dialogs& dialogs,
                   const QList<int>& selectedRows) {
    if (state.RefusedByRunFlagGuard(dialogs)) return -1;
    int changed = 0;
    for (RowId id : IdsOf(list, selectedRows)) {
        const int r = list.rowOfId(id);
        if (r < 0 || list.status(r) != RowStatus::Waiting) continue;
        list.setStatus(r, RowStatus::Failed);
        ++changed;
    }
    return changed;
}

QString OpenedFilePath(const DownloadList& list, int row) {
    if (!list.isValidRow(row)) return {};
    const QString file = list.text(row, ColName) + u'.' + list.text(row, ColType);
    const QString folder = list.text(row, ColFolder);
    if (TrimSpaces(folder).isEmpty() || !NamesFileInFolder(file)) return {};
    return LocalFilePath(WithTrailingSep(folder) + file);
}

void 打开下载文件(const DownloadList& list, int focusedRow, Shell& shell, Dialogs& dialogs) {
    if (!list.isValidRow(focusedRow)) return;
    const QString path = OpenedFilePath(list, focusedRow);
    if (!FileExists(path)) {
        dialogs.messageBox(kFileMissingMessage, MessageIcon::Critical);
        return;
    }
    shell.openFile(path);
}

void 打开文件所在文件夹(const DownloadList& list, int focusedRow, Shell& shell, Dialogs& dialogs) {
    if (!list.isValidRow(focusedRow)) return;
    const QString folder = list.text(focusedRow, ColFolder);
    if (!FolderExists(folder)) {
        dialogs.messageBox(kFolderMissingMessage, MessageIcon::Critical);
        return;
    }
    const QString path = OpenedFilePath(list, focusedRow);
    if (FileExists(path)) {
        if (!shell.showFileInFolder(path)) dialogs.messageBox(kOpenFailedMessage, MessageIcon::Critical);
        return;
    }
    shell.openFolder(folder);
}

void 用记事本打开文件(const DownloadList& list, int focusedRow, Shell& shell, Dialogs& dialogs) {
    if (!list.isValidRow(focusedRow)) return;
    const QString path = OpenedFilePath(list, focusedRow);
    if (!FileExists(path)) {
        dialogs.messageBox(kFileMissingMessage, MessageIcon::Critical);
        return;
    }
    if (QFileInfo(path).size() > kTextEditorLimitBytes) {
        dialogs.messageBox(kFileTooLargeMessage, MessageIcon::Critical);
        return;
    }
    shell.openInTextEditor(path);
}

QStringList ExportedNames(const DownloadList& list, bool unfinishedOnly) {
    QStringList names;
    names.reserve(list.count());
    for (int r = 0; r < list.count(); ++r)
        if (!unfinishedOnly || list.status(r) != RowStatus::Completed)
            names << list.text(r, ColName);
    return names;
}

bool 导出名称(const DownloadList& list, bool unfinishedOnly, Dialogs& dialogs) {
    if (list.count() == 0) return false;
    const QString path = dialogs.saveFile(QString(), QStringLiteral("*.txt|*.txt"), QString());
    if (path.isEmpty()) return false;
    const TextWriteResult written = WriteTextLines(path, ExportedNames(list, unfinishedOnly));
    if (!written.ok) {
        dialogs.messageBox(written.error.isEmpty() ? QStringLiteral("无法写入文件：") + path
                                                   : written.error,
                           MessageIcon::Critical);
        return false;
    }
    return true;
}

UrlReplaceResult ReplaceInAddresses(DownloadList& list, const QString& find,
                                    const QString& replacement, bool allowSplit) {
    UrlReplaceResult result;
    if (find.isEmpty()) return result;
    struct Change {
        RowId id;
        QString key;
    };
    std::vector<Change> changes;
    for (int r = 0; r < list.count(); ++r) {
        const QString& key = list.key(r);
        if (!key.contains(find, Qt::CaseInsensitive)) continue;
        QString newKey = key;
        newKey.replace(find, replacement, Qt::CaseInsensitive);
        if (newKey == key) continue;
        if (AddressCount(newKey) > AddressCount(key)) result.splitKeys << list.text(r, ColName);
        changes.push_back({list.idOfRow(r), newKey});
    }
    if (!result.splitKeys.isEmpty() && !allowSplit) return result;

    // A key another row holds may be given up by that row's own change, so refused changes are
    // tried again while any change succeeds; what is left keeps its key.
    for (bool progress = true; progress && !changes.empty();) {
        progress = false;
        std::vector<Change> refused;
        for (const Change& c : changes) {
            const int r = list.rowOfId(c.id);
            if (r >= 0 && list.setKey(r, c.key)) {
                ++result.changedKeys;
                progress = true;
            } else {
                refused.push_back(c);
            }
        }
        changes = std::move(refused);
    }
    QList<int> keptRows;
    for (const Change& c : changes) keptRows << list.rowOfId(c.id);
    std::sort(keptRows.begin(), keptRows.end());
    for (int r : keptRows)
        if (r >= 0) result.keptKeys << list.text(r, ColName);

    for (int r = 0; r < list.count(); ++r) {
        if (!list.tag(r).contains(find, Qt::CaseInsensitive)) continue;
        QString tag = list.tag(r);
        list.setTag(r, tag.replace(find, replacement, Qt::CaseInsensitive));
    }
    return result;
}

QString ReplaceDoneMessage(const UrlReplaceResult& result) {
    if (result.keptKeys.isEmpty()) return kReplaceDoneMessage;
    constexpr int kShown = 10;
    QString text = kReplaceDoneMessage +
                   QStringLiteral("\n\n以下%1项替换后的网址为空或与其他项相同，网址未作更改：")
                       .arg(result.keptKeys.size());
    for (int i = 0; i < result.keptKeys.size() && i < kShown; ++i)
        text += u'\n' + result.keptKeys.at(i);
    if (result.keptKeys.size() > kShown) text += QStringLiteral("\n……");
    return text;
}

QString SplitKeysQuestion(const QStringList& names) {
    return QStringLiteral("替换后，有%1项的网址会被“|”分成更多的下载地址（如：%2）。\n"
                          "确定要替换吗？")
        .arg(names.size())
        .arg(names.value(0));
}

bool 批量替换网址(DownloadList& list, const QString& find, const QString& replacement,
                  Dialogs& dialogs) {
    if (TrimSpaces(find).isEmpty()) {
        dialogs.messageBox(kEnterTextMessage, MessageIcon::Critical);
        return false;
    }
    UrlReplaceResult result = ReplaceInAddresses(list, find, replacement, false);
    if (!result.splitKeys.isEmpty()) {
        if (dialogs.messageBox(SplitKeysQuestion(result.splitKeys), MessageIcon::Question,
                               MessageButtons::YesNo) != MessageAnswer::Yes)
            return false;
        result = ReplaceInAddresses(list, find, replacement, true);
    }
    dialogs.messageBox(ReplaceDoneMessage(result), MessageIcon::Information);
    return true;
}

} // namespace peldora
