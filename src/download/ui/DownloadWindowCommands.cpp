// The download window's list commands: the menu "列表操作(&D)" (also the list's context menu)
// and the help entries. The commands themselves are in download/DownloadListCommands.
#include "app/AppContext.h"
#include "common/Maker.h"
#include "download/DownloadListCommands.h"
#include "download/ui/DownloadWindow.h"
#include "download/ui/UrlReplaceDialog.h"
#include "platform/Clock.h"
#include "platform/Shell.h"
#include "search/ui/ListViewLook.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QTimer>
#include <QTreeView>

namespace peldora {

void DownloadWindow::connectListCommands() {
    connectCommand(QStringLiteral("menu全选专利列表"), [this] { m_listView->selectAll(); });
    connectCommand(QStringLiteral("menu全不选"), [this] { m_listView->clearSelection(); });
    connectCommand(QStringLiteral("menu随机排序列表"),
                   [this] { 随机排序列表(m_list, m_state, m_ctx.dialogs); });
    connectCommand(QStringLiteral("menu自动列宽"), [this] {
        AutoSizeColumns(m_listView, -2);
        PaintRowStripes(m_listView, false, 17);
    });

    connectCommand(QStringLiteral("menu清除选中项"),
                   [this] { peldora::清除选中项(m_list, m_state, m_ctx.dialogs, selectedRows()); });
    connectCommand(QStringLiteral("menu清除全部出错项"),
                   [this] { 清除全部出错项(m_list, m_state, m_ctx.dialogs); });
    connectCommand(QStringLiteral("menu清除完成项"),
                   [this] { 清除完成项(m_list, m_state, m_ctx.dialogs); });
    connectCommand(QStringLiteral("menu清空"), [this] { 清空(m_list, m_state, m_ctx.dialogs); });
    connectCommand(QStringLiteral("menu删除网页类型文件项"), [this] {
        m_ctx.pump.processEvents();
        删除网页类型文件项(m_list);
    });
    connectCommand(QStringLiteral("menu删除出错项"), [this] {
        m_ctx.pump.processEvents();
        删除出错项(m_list);
    });
    connectCommand(QStringLiteral("menu取消下载选中项"), [this] {
        // Rows are chosen before events run: a click meanwhile does not change what is meant.
        const QList<int> rows = selectedRows();
        QList<RowId> ids;
        for (int r : rows) ids << m_list.idOfRow(r);
        QPointer<DownloadWindow> self(this);
        m_ctx.pump.processEvents();
        if (!self) return;
        QList<int> now;
        for (RowId id : ids)
            if (m_list.rowOfId(id) >= 0) now << m_list.rowOfId(id);
        取消下载选中项(m_list, m_state, m_ctx.dialogs, now);
    });

    connectCommand(QStringLiteral("menu打开下载文件"),
                   [this] { 打开下载文件(m_list, focusedRow(), m_ctx.shell, m_ctx.dialogs); });
    connectCommand(QStringLiteral("menu打开文件所在文件夹"),
                   [this] { 打开文件所在文件夹(m_list, focusedRow(), m_ctx.shell, m_ctx.dialogs); });
    connectCommand(QStringLiteral("menu用记事本打开文件"),
                   [this] { 用记事本打开文件(m_list, focusedRow(), m_ctx.shell, m_ctx.dialogs); });
    connectCommand(QStringLiteral("menu复制名称"), [this] {
        const int row = focusedRow();
        if (!m_list.isValidRow(row)) return;
        QClipboard* clipboard = QGuiApplication::clipboard();
        clipboard->clear();
        clipboard->setText(m_list.text(row, ColName));
    });
    connectCommand(QStringLiteral("menu批量替换网址"), [this] {
        UrlReplaceDialog dialog(m_list, m_ctx.dialogs, this);
        dialog.exec();
    });
    connectCommand(QStringLiteral("menu导出全部名称"),
                   [this] { 导出名称(m_list, false, m_ctx.dialogs); });
    connectCommand(QStringLiteral("menu导出未完成项名称"),
                   [this] { 导出名称(m_list, true, m_ctx.dialogs); });

    const auto site = [this](const QString& address) {
        return [this, address] { m_ctx.shell.openAddress(address); };
    };
    connectCommand(QStringLiteral("menu最新版本"), site(MakerProductPage(m_ctx.executableName)));
    connectCommand(QStringLiteral("menu购买软件"), site(kMakerShop));
    connectCommand(QStringLiteral("menuPeldora主页"), site(kMakerSite1));
    connectCommand(QStringLiteral("menuPeldora软件站"), site(kMakerSite2));
    connectCommand(QStringLiteral("menu使用教程和问题"), site(kMakerTutorials));
    connectCommand(QStringLiteral("menu软件定制"), site(kMakerCustom));
    connectCommand(QStringLiteral("menu给作者写信"), [this] { m_ctx.shell.openMail(kMakerMail); });

    beforeListMenu = [this] { enableListMenuEntries(); };
}

void DownloadWindow::enableListMenuEntries() {
    const bool running = m_state.downloadBusy || m_state.schedulerTimer()->isActive();
    command(QStringLiteral("menu全选专利列表"))->setEnabled(!running);
    command(QStringLiteral("menu清除"))->setEnabled(!running);
    command(QStringLiteral("menu清空"))->setEnabled(!running);
    command(QStringLiteral("menu停止下载"))->setEnabled(running);
}

} // namespace peldora
