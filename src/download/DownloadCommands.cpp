#include "download/DownloadCommands.h"
#include "download/RowKinds.h"
#include "common/FileHelpers.h"
#include "common/Text.h"
#include "download/DownloadList.h"
#include "platform/Dialogs.h"

#include <QFile>
#include <QStringList>
#include <cmath>
#include <functional>
#include <optional>

namespace peldora {

namespace {

// Removes the row's file as its columns name it now; a file that cannot be removed stays.
void DeleteRowFile(const DownloadList& list, int row) {
    const QString path = list.RowFilePath(row);
    if (!path.isEmpty() && FileExists(path)) QFile::remove(LocalFilePath(path));
}

std::optional<double> Number(const QString& text) {
    bool ok = false;
    const double v = TrimSpaces(text).toDouble(&ok);
    return ok && std::isfinite(v) ? std::optional<double>(v) : std::nullopt;
}

int ResetWhere(DownloadList& list, const std::function<bool(int)>& take,
               bool anyTypeToPlaceholder = false) {
    int reset = 0;
    for (int r = 0; r < list.count(); ++r) {
        if (!take(r)) continue;
        重置下载项(list, r, anyTypeToPlaceholder);
        ++reset;
    }
    return reset;
}

} // namespace

QString 对调url(const QString& key) {
    const QStringList parts = key.split(u'|');
    if (parts.size() == 2) return parts[1] + u'|' + parts[0];
    if (parts.size() == 3) return parts[2] + u'|' + parts[0] + u'|' + parts[1];
    return key;
}

void 重置下载项(DownloadList& list, int row, bool anyTypeToPlaceholder) {
    if (!list.isValidRow(row)) return;
    DeleteRowFile(list, row);
    list.setStatus(row, RowStatus::Waiting);
    if (anyTypeToPlaceholder || IsHtmType(list.text(row, ColType)))
        list.setText(row, ColType, QStringLiteral("xxx"));
    for (int column : {ColSize, ColReceived, ColPercent}) list.setText(row, column, QString());
    DeleteRowFile(list, row);
    // Keys are unique: a rotation that another row already holds leaves the key as it is.
    list.setKey(row, 对调url(list.key(row)));
}

int 重新下载选中项(DownloadList& list, const QList<int>& selectedRows) {
    // Row numbers are taken as identities first, so a row listed twice is reset once.
    QList<RowId> ids;
    for (int r : selectedRows)
        if (list.isValidRow(r) && !ids.contains(list.idOfRow(r))) ids << list.idOfRow(r);
    int reset = 0;
    for (RowId id : ids) {
        const int r = list.rowOfId(id);
        if (r < 0 || !IsFinished(list.status(r))) continue;
        重置下载项(list, r);
        ++reset;
    }
    return reset;
}

int 重新下载出错项(DownloadList& list) {
    return ResetWhere(list, [&](int r) { return list.status(r) == RowStatus::Failed; });
}

int 重新下载文件类型为HTM和HTML项(DownloadList& list) {
    return ResetWhere(
        list,
        [&](int r) { return IsWebPageType(list.text(r, ColType)) && IsFinished(list.status(r)); },
        true);
}

int 重新下载出错项和网页项(DownloadList& list) {
    return ResetWhere(list, [&](int r) {
        return list.status(r) == RowStatus::Failed ||
               (IsHtmType(list.text(r, ColType)) && IsFinished(list.status(r)));
    });
}

int 重新下载文件大小小于指定数字的项(DownloadList& list, Dialogs& dialogs) {
    const auto answer = dialogs.inputBox(kAskNumberPrompt, QString(), QString());
    const auto limit = Number(answer.value_or(QString()));
    if (!limit) return 0;
    // Sizes are compared as 64-bit-exact numbers, so files above 16 MB are told apart by
    // every byte.
    return ResetWhere(list, [&](int r) {
        if (!IsFinished(list.status(r))) return false;
        const auto size = Number(QString(list.text(r, ColSize)).remove(u','));
        const auto received = Number(QString(list.text(r, ColReceived)).remove(u','));
        return size && received && *received == *size && *limit > *size;
    });
}

} // namespace peldora
