#include "tools/ui/CacheViewerWindow.h"
#include "app/AppContext.h"
#include "common/ui/Controls.h"
#include "platform/Dialogs.h"
#include "platform/qt/Resources.h"
#include "platform/qt/WebProfile.h"
#include "search/ui/ListViewLook.h"
#include "tools/ui/CopyMoveDialog.h"

#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>
#include <QWebEngineProfile>

namespace peldora {

namespace {

QTableView* MakeList(QWidget* parent, const QString& name) {
    auto* list = MakeControl<QTableView>(parent, name);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list->verticalHeader()->hide();
    list->verticalHeader()->setDefaultSectionSize(20);
    list->setShowGrid(false);
    list->setWordWrap(false);
    list->horizontalHeader()->setStretchLastSection(true);
    list->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return list;
}

} // namespace

CacheViewerWindow::CacheViewerWindow(AppContext& ctx, const CacheLayout& layout, QWidget* owner)
    : QDialog(owner), m_ctx(ctx), m_viewer(ctx, layout) {
    setObjectName(QStringLiteral("fIEcache"));
    setWindowTitle(QStringLiteral("IE浏览器Cookie 缓存和历史列表-Peldora"));
    setWindowIcon(ProgramIcon());
    setWindowFlags((windowFlags() | Qt::WindowMaximizeButtonHint) &
                   ~Qt::WindowContextHelpButtonHint);

    m_lists[0] = MakeList(this, QStringLiteral("ListView1"));
    m_lists[0]->setModel(&m_viewer.list());
    m_lists[0]->horizontalHeader()->setSectionsClickable(true);
    connect(m_lists[0]->horizontalHeader(), &QHeaderView::sectionClicked, this,
            [this](int section) { m_viewer.list().sortByColumn(section + 1); });
    m_lists[1] = MakeList(this, QStringLiteral("ListView2"));
    m_users = new QStandardItemModel(0, 2, this);
    m_users->setHorizontalHeaderLabels({QStringLiteral("用户名"), QStringLiteral("文件夹")});
    m_lists[1]->setModel(m_users);
    m_lists[2] = MakeList(this, QStringLiteral("ListView3"));
    m_folders = new QStandardItemModel(0, 1, this);
    m_folders->setHorizontalHeaderLabels({QStringLiteral("文件夹")});
    m_lists[2]->setModel(m_folders);
    m_label1 = MakeControl<QLabel>(this, QStringLiteral("Label1"), QStringLiteral("000"));

    const auto button = [this](int n, const QString& caption) {
        m_commands[n] = MakeControl<QPushButton>(this, QStringLiteral("Command%1").arg(n), caption);
        m_commands[n]->setAutoDefault(false);
        return m_commands[n];
    };
    button(1, QStringLiteral("查看我的缓存"));
    button(7, QStringLiteral("查看所有用户缓存"));
    button(2, QStringLiteral("删除所选文件"));
    button(3, QStringLiteral("全部删除"));
    button(6, QStringLiteral("复制选中..."));
    button(4, QStringLiteral("关闭"));

    auto* folders = new QHBoxLayout;
    folders->addWidget(m_lists[1], 2);
    folders->addWidget(m_lists[2], 3);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_label1);
    buttons->addStretch();
    for (int n : {1, 7, 2, 3, 6, 4}) buttons->addWidget(m_commands[n]);
    auto* layoutBox = new QVBoxLayout(this);
    layoutBox->addWidget(m_lists[0], 4);
    layoutBox->addLayout(folders, 1);
    layoutBox->addLayout(buttons);
    resize(900, 600);

    connect(m_commands[1], &QPushButton::clicked, this, [this] { m_viewer.GetCacheURLList(); });
    connect(m_commands[7], &QPushButton::clicked, this, [this] { m_viewer.listAllUsers(); });
    connect(m_commands[2], &QPushButton::clicked, this,
            [this] { m_viewer.deleteRows(selectedRows()); });
    connect(m_commands[3], &QPushButton::clicked, this, [this] { m_viewer.deleteAll(); });
    connect(m_commands[6], &QPushButton::clicked, this, &CacheViewerWindow::copySelected);
    connect(m_commands[4], &QPushButton::clicked, this, &QDialog::close);
    connect(&m_viewer, &BrowserCacheViewer::changed, this, &CacheViewerWindow::showLists);
}

QTableView* CacheViewerWindow::listView(int n) const {
    return n >= 1 && n <= 3 ? m_lists[n - 1] : nullptr;
}

QPushButton* CacheViewerWindow::command(int n) const {
    return n >= 1 && n <= 7 ? m_commands[n] : nullptr;
}

QList<int> CacheViewerWindow::selectedRows() const {
    QList<int> rows;
    for (const QModelIndex& index : m_lists[0]->selectionModel()->selectedRows())
        rows << index.row();
    std::sort(rows.begin(), rows.end());
    return rows;
}

void CacheViewerWindow::showLists() {
    m_label1->setText(m_viewer.label1());
    m_users->removeRows(0, m_users->rowCount());
    for (const auto& [user, folder] : m_viewer.userFolders())
        m_users->appendRow({new QStandardItem(user), new QStandardItem(folder)});
    m_folders->removeRows(0, m_folders->rowCount());
    for (const QString& folder : m_viewer.cacheSubfolders())
        if (!folder.isEmpty()) m_folders->appendRow(new QStandardItem(folder));
    AutoSizeColumns(m_lists[0], -2);
    if (m_viewer.viewMark() == kAllCachesMark) {
        AutoSizeColumns(m_lists[1], -2);
        AutoSizeColumns(m_lists[2], -2);
    }
}

void CacheViewerWindow::copySelected() {
    const QList<CopySource> sources = m_viewer.copySources(selectedRows());
    QPointer<CopyMoveDialog> dialog = new CopyMoveDialog(m_ctx, sources, false, this);
    dialog->setWindowTitle(BrowserCacheViewer::copyCaption(int(sources.size())));
    if (onCopyDialog) {
        onCopyDialog(*dialog);
    } else {
        dialog->setWindowModality(Qt::ApplicationModal);
        dialog->exec();
    }
    if (dialog) dialog->deleteLater();
}

CacheLayout SharedCacheLayout() {
    const QString cachePath = SharedWebProfile()->cachePath();
    QString folder = cachePath + QStringLiteral("/Cache/Cache_Data");
    if (!QDir(folder).exists() && QDir(cachePath + QStringLiteral("/Cache_Data")).exists())
        folder = cachePath + QStringLiteral("/Cache_Data");
    return MakeCacheLayout(folder, QDir::homePath());
}

void ShowCacheViewer(AppContext& ctx, QWidget* owner) {
    QPointer<CacheViewerWindow> window = new CacheViewerWindow(ctx, SharedCacheLayout(), owner);
    window->setWindowModality(Qt::ApplicationModal);
    window->exec();
    if (window) window->deleteLater();
}

void ClearSharedBrowserCache(AppContext& ctx) {
    ClearBrowserCache(ctx, SharedCacheLayout(), false);
    // The browser's own index forgets the entries too, so it never looks for a deleted file.
    SharedWebProfile()->clearHttpCache();
    ctx.dialogs.messageBox(kCacheClearedMessage, MessageIcon::Information);
}

} // namespace peldora
