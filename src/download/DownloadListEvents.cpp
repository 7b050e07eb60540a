#include "download/DownloadListEvents.h"
#include "common/FileHelpers.h"
#include "download/DownloadList.h"
#include "download/DownloadWindowState.h"
#include "platform/Dialogs.h"
#include "platform/Shell.h"

#include <QFile>

namespace peldora {

QString 单击下载项(const DownloadList& list, int row) {
    const QString path = list.RowFilePath(row);
    return FileExists(path) ? path : QString();
}

void 双击下载项(DownloadList& list, int row, Shell& shell, Dialogs& dialogs) {
    if (!list.isValidRow(row)) return;
    const QString path = list.RowFilePath(row);
    switch (list.status(row)) {
    case RowStatus::Completed:
        if (!FileExists(path)) {
            dialogs.messageBox(kFileMissingMessage, MessageIcon::Critical);
            return;
        }
        // The desktop's handler for addresses is the second way to open a file.
        if (!shell.openFile(path)) shell.openAddress(path);
        return;
    case RowStatus::Failed:
        if (FileExists(path)) QFile::remove(path);
        list.setStatus(row, RowStatus::Waiting);
        list.setText(row, ColSize, QString());
        list.setText(row, ColReceived, QString());
        list.setText(row, ColPercent, QString());
        return;
    case RowStatus::Waiting:
    case RowStatus::Downloading:
        return;
    }
}

void 列表排序(DownloadList& list, const DownloadWindowState& state, Dialogs& dialogs, int column) {
    if (state.RefusedSort(dialogs)) return;
    list.ToggleSortByColumn(column);
}

} // namespace peldora
