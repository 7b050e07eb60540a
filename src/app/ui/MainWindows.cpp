#include "app/ui/MainWindows.h"
#include "about/VersionCheck.h"
#include "about/ui/AboutBox.h"
#include "app/AppContext.h"
#include "app/ui/CoverWindow.h"
#include "app/ui/OptionsDialog.h"
#include "download/ui/DownloadWindow.h"
#include "handover/ui/HandoverControls.h"
#include "search/ui/SearchWindow.h"
#include "tools/ui/CacheViewerWindow.h"

#include <QLabel>
#include <QTimer>
#include <QTreeView>

namespace peldora {

MainWindows::MainWindows(AppContext& ctx, CoverWindow& cover)
    : QObject(&cover), m_ctx(ctx), m_cover(cover) {
    makeSearchWindow = [this] { return new SearchWindow(m_ctx); };
    m_ctx.windows = this;
    connect(&m_cover, &CoverWindow::searchRequested, this, &MainWindows::openSearchWindow);

    // The cover's version check: Timer1 starts it, Label3 shows a newer version.
    auto* check = new VersionCheck(m_ctx, this);
    connect(check, &VersionCheck::newerVersion, this, [this](const QString& caption) {
        if (QLabel* label3 = m_cover.label(3)) {
            label3->setText(caption);
            label3->show();
        }
    });
    m_cover.startVersionCheck = [check] { check->start(); };
}

void MainWindows::showAbout(QWidget* owner) {
    // Every closing of the about box runs the version check again.
    ShowAboutBox(m_ctx, owner, [this] { m_cover.timer1()->start(); });
}

MainWindows::~MainWindows() {
    if (m_ctx.windows == this) m_ctx.windows = nullptr;
}

void MainWindows::mainWindowGone() {
    if (!m_search && !m_download) m_cover.show();
}

SearchWindow* MainWindows::searchWindow() const { return m_search; }
DownloadWindow* MainWindows::downloadWindow() const { return m_download; }

void MainWindows::openSearchWindow() {
    m_cover.hide();
    if (m_search) {
        if (m_search->isMinimized()) m_search->showNormal();
        m_search->show();
        m_search->raise();
        m_search->activateWindow();
        return;
    }
    m_search = makeSearchWindow();
    connect(m_search, &QObject::destroyed, this, &MainWindows::mainWindowGone,
            Qt::QueuedConnection);
    new HandoverControls(m_ctx, *m_search, downloadSink());
    m_search->showCacheViewer = [this] { ShowCacheViewer(m_ctx, m_search); };
    m_search->clearBrowserCache = [this] { ClearSharedBrowserCache(m_ctx); };
    m_search->showAbout = [this] { showAbout(m_search); };
    m_search->showOptions = [this] { showOptions(m_search); };
    m_search->load();
}

DownloadWindow& MainWindows::loadDownloadWindow() {
    if (!m_download) {
        m_download = new DownloadWindow(m_ctx);
        connect(m_download, &QObject::destroyed, this, &MainWindows::mainWindowGone,
                Qt::QueuedConnection);
        m_download->connectCommand(QStringLiteral("menu清空IE浏览器缓存"),
                                   [this] { ClearSharedBrowserCache(m_ctx); });
        m_download->connectCommand(QStringLiteral("menu关于"), [this] { showAbout(m_download); });
        m_download->connectCommand(QStringLiteral("menu设置"), [this] { showOptions(m_download); });
    }
    return *m_download;
}

void MainWindows::openDownloadWindow() {
    loadDownloadWindow();
    showDownloadWindow(true);
    m_download->raise();
    m_download->activateWindow();
}

void MainWindows::showDownloadWindow(bool restore) {
    if (!m_download) return;
    m_download->listView()->viewport()->update();
    if (m_download->isHidden()) m_download->show();
    if (restore && m_download->isMinimized()) m_download->showNormal();
}

void MainWindows::showOptions(QWidget* owner) {
    ShowOptionsDialog(m_ctx, m_download, owner);
}

DownloadListSink MainWindows::downloadSink() {
    DownloadListSink sink;
    sink.addRow = [this](const HandedOverRow& row) {
        return loadDownloadWindow().AddRow(row.key, row.name, row.type, row.folder, row.tag);
    };
    sink.showWindow = [this](bool restore) { showDownloadWindow(restore); };
    return sink;
}

} // namespace peldora
