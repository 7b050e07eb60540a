#include "download/ui/DownloadWindow.h"
#include "app/AppContext.h"
#include "app/MainWindowSwitch.h"
#include "app/SettingsStore.h"
#include "app/WindowPlacement.h"
#include "common/Maker.h"
#include "common/ShellHelpers.h"
#include "common/ui/Controls.h"
#include "common/ui/WindowHelpers.h"
#include "download/DownloadCommands.h"
#include "download/DownloadListEvents.h"
#include "download/DownloadSettings.h"
#include "download/FileTypeCheck.h"
#include "download/ui/LoginPanel.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/qt/Resources.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

namespace peldora {

namespace {

const QString kListToolTip = QStringLiteral("双击鼠标：下载当前项或者打开文件");

// A menu entry whose command is given later through connectCommand; until then it is disabled.
QAction* AddEntry(QMenu* menu, const QString& caption, const QString& name) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(name);
    action->setEnabled(false);
    return action;
}

QMenu* AddSubmenu(QMenu* menu, const QString& caption, const QString& name) {
    QMenu* sub = menu->addMenu(caption);
    sub->setObjectName(name);
    sub->menuAction()->setObjectName(name);
    return sub;
}

} // namespace

DownloadWindow::DownloadWindow(AppContext& ctx, QWidget* parent)
    : QWidget(parent), m_ctx(ctx), m_list(this), m_state(this),
      m_transfers(ctx, m_list, m_state, this), m_scheduler(ctx, m_list, m_state, m_transfers, this) {
    setObjectName(kWindowName);
    setAttribute(Qt::WA_DeleteOnClose);

    buildMenus();
    buildListView();
    buildStatusBar();
    m_label1 = new QLabel(this);
    m_label1->setObjectName(QStringLiteral("Label1"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 0, 4, 0);
    // The stored placement decides the size, even below what the panel would like.
    layout->setSizeConstraint(QLayout::SetNoConstraint);
    layout->setMenuBar(m_menuBar);
    layout->addWidget(buildDownloadPanel());
    auto* countRow = new QHBoxLayout;
    countRow->addStretch();
    countRow->addWidget(m_label1);
    layout->addLayout(countRow);
    layout->addWidget(m_listView, 1);
    layout->addWidget(m_statusBar);

    connect(&m_list, &QAbstractItemModel::rowsInserted, this, &DownloadWindow::showRowCount);
    connect(&m_list, &QAbstractItemModel::rowsRemoved, this, &DownloadWindow::showRowCount);
    connect(&m_list, &QAbstractItemModel::modelReset, this, &DownloadWindow::showRowCount);
    // The statistics follow the list as soon as events run, not only at the next second.
    connect(&m_list, &QAbstractItemModel::rowsInserted, this, &DownloadWindow::scheduleStatistics);
    connect(&m_list, &QAbstractItemModel::rowsRemoved, this, &DownloadWindow::scheduleStatistics);
    connect(&m_list, &QAbstractItemModel::dataChanged, this, &DownloadWindow::scheduleStatistics);
    connect(&m_list, &QAbstractItemModel::modelReset, this, &DownloadWindow::scheduleStatistics);
    connectLogin();
    connectDownloading();
    load();
}

void DownloadWindow::connectLogin() {
    m_loginPanel = new LoginPanel(m_ctx, m_state.loginRefreshTimer(), m_listView, this);
    LoginPanel* panel = m_loginPanel;
    connect(m_command1, &QPushButton::clicked, this, [this] {
        const int row = focusedRow();
        m_loginPanel->open(row >= 0 ? 选择url(m_list.key(row)) : QString());
    });
    m_command1->setEnabled(true);
    connect(panel, &LoginPanel::titleForStatus, this,
            [this](const QString& title) { setPanelText(3, title); });
    // The login pumps events for seconds: the window stays until it has ended.
    connect(panel->command2(), &QPushButton::clicked, this, [this] {
        Work work(*this);
        m_loginPanel->browse();
    });
    connect(panel->command5(), &QPushButton::clicked, this, [this] {
        Work work(*this);
        m_loginPanel->testLogin();
    });
    // A download that turned out to be a web page logs in again, once the transfer's own
    // handler has returned (the login waits, and must not run inside a handler that is
    // ending a transfer).
    const auto autoLogin = [this] {
        Work work(*this);
        m_loginPanel->autoLogin();
    };
    connect(&m_transfers.single(), &SingleTransfer::webPageReceived, this, autoLogin,
            Qt::QueuedConnection);
    connect(&m_transfers.parallel(), &ParallelDownloads::webPageReceived, this, autoLogin,
            Qt::QueuedConnection);
}

void DownloadWindow::connectDownloading() {
    // Both ticks run inside the window's work: a method-1 tick pumps events until its file has
    // ended, and the window must not go while it does.
    connect(m_state.supervisorTimer(), &QTimer::timeout, this, [this] {
        Work work(*this);
        if (supervisorTick)
            supervisorTick();
        else
            m_scheduler.supervisorTick();
    });
    connect(m_state.schedulerTimer(), &QTimer::timeout, this, [this] {
        Work work(*this);
        m_scheduler.schedulerTick();
    });

    connect(&m_scheduler, &DownloadScheduler::downloadingChanged, m_shape1, &QWidget::setVisible);
    connect(&m_scheduler, &DownloadScheduler::startEntryEnabledChanged, this,
            [this](bool on) { command(QStringLiteral("menu下载全部"))->setEnabled(on); });
    connect(&m_scheduler, &DownloadScheduler::locateRow, this,
            [this](int row) { m_listView->scrollTo(m_list.index(row, 0)); });
    connect(&m_scheduler, &DownloadScheduler::statisticsChanged, this,
            [this](const QString& line) { setPanelText(4, line); });
    connect(&m_scheduler, &DownloadScheduler::autoOptionsCleared, this, [this] {
        m_check4->setChecked(false);
        m_check3->setChecked(false);
    });
    connect(&m_scheduler, &DownloadScheduler::downloadMethodChanged, this, [this](int method) {
        ShowDownloadMethod();
        m_combo1->setCurrentIndex(0);
        m_combo1->setEnabled(method == int(DownloadMethod::Parallel));
    });
    const auto panel = [this](int n) { return [this, n](const QString& text) { setPanelText(n, text); }; };
    connect(&m_transfers.single(), &SingleTransfer::panel2TextChanged, this, panel(2));
    connect(&m_transfers.single(), &SingleTransfer::panel3TextChanged, this, panel(3));
    connect(&m_transfers.parallel(), &ParallelDownloads::panel2TextChanged, this, panel(2));

    // The panel's options, read by the scheduler and the transfers at every tick and file.
    const auto options = [this] {
        SchedulerOptions& o = m_scheduler.options;
        o.autoStart = m_check4->isChecked();
        o.autoRedownload = m_check3->isChecked();
        o.redownloadChoice = m_combo4->currentIndex();
        o.errorStop = m_check5->isChecked();
        o.soundCues = m_check6->isChecked();
        TransferOptions t = m_transfers.single().options();
        t.soundCues = o.soundCues;
        t.autoLogin = m_loginPanel->autoLoginBox()->isChecked();
        m_transfers.setOptions(t);
    };
    for (QCheckBox* box : {m_check3, m_check4, m_check5, m_check6, m_loginPanel->autoLoginBox()})
        connect(box, &QCheckBox::toggled, this, options);
    connect(m_combo4, &QComboBox::currentIndexChanged, this, options);

    connect(m_command4, &QPushButton::clicked, &m_scheduler, &DownloadScheduler::startDownloading);
    connect(m_command31, &QPushButton::clicked, &m_scheduler, &DownloadScheduler::stopDownloading);
    connect(m_command26, &QPushButton::clicked, &m_scheduler,
            &DownloadScheduler::switchDownloadMethod);
    for (QPushButton* b : {m_command4, m_command31, m_command26}) b->setEnabled(true);

    connectCommand(QStringLiteral("menu下载全部"), [this] { m_scheduler.startDownloading(); });
    connectCommand(QStringLiteral("menu停止下载"), [this] { m_scheduler.stopDownloading(); });
    connectCommand(QStringLiteral("menu重新下载选中项"),
                   [this] { 重新下载选中项(m_list, selectedRows()); });
    connectCommand(QStringLiteral("menu重新下载出错项"), [this] { 重新下载出错项(m_list); });
    connectCommand(QStringLiteral("menu重新下载文件类型为HTM和HTML项"),
                   [this] { 重新下载文件类型为HTM和HTML项(m_list); });
    connectCommand(QStringLiteral("menu重新下载出错项和网页项"),
                   [this] { 重新下载出错项和网页项(m_list); });
    connectCommand(QStringLiteral("menu重新下载文件大小小于指定数字的项"),
                   [this] { 重新下载文件大小小于指定数字的项(m_list, m_ctx.dialogs); });
}

QList<int> DownloadWindow::selectedRows() const {
    QList<int> rows;
    for (const QModelIndex& index : m_listView->selectionModel()->selectedRows()) rows << index.row();
    std::sort(rows.begin(), rows.end());
    return rows;
}

void DownloadWindow::buildMenus() {
    m_menuBar = new QMenuBar(this);
    m_menuBar->setObjectName(QStringLiteral("MenuBar"));

    m_listMenu = m_menuBar->addMenu(QStringLiteral("列表操作(&D)"));
    m_listMenu->setObjectName(QStringLiteral("menu列表操作"));
    QMenu* m = m_listMenu;
    AddEntry(m, QStringLiteral("全选"), QStringLiteral("menu全选专利列表"));
    AddEntry(m, QStringLiteral("全不选"), QStringLiteral("menu全不选"));
    AddEntry(m, QStringLiteral("随机排序列表(打乱)"), QStringLiteral("menu随机排序列表"));
    AddEntry(m, QStringLiteral("自动调整列宽"), QStringLiteral("menu自动列宽"));
    m->addSeparator();
    QMenu* again = AddSubmenu(m, QStringLiteral("重新下载"), QStringLiteral("menu重新下载"));
    AddEntry(again, QStringLiteral("选中项"), QStringLiteral("menu重新下载选中项"));
    AddEntry(again, QStringLiteral("出错项"), QStringLiteral("menu重新下载出错项"));
    AddEntry(again, QStringLiteral("网页类型文件(HTM/HTML/xml)项"),
             QStringLiteral("menu重新下载文件类型为HTM和HTML项"));
    AddEntry(again, QStringLiteral("重新下载出错项和网页类型文件项"),
             QStringLiteral("menu重新下载出错项和网页项"));
    AddEntry(again, QStringLiteral("文件大小小于指定数字的项"),
             QStringLiteral("menu重新下载文件大小小于指定数字的项"));
    m->addSeparator();
    QMenu* remove = AddSubmenu(m, QStringLiteral("清除"), QStringLiteral("menu清除"));
    AddEntry(remove, QStringLiteral("选中项"), QStringLiteral("menu清除选中项"));
    AddEntry(remove, QStringLiteral("全部出错项"), QStringLiteral("menu清除全部出错项"));
    AddEntry(remove, QStringLiteral("完成项"), QStringLiteral("menu清除完成项"));
    AddEntry(remove, QStringLiteral("清空"), QStringLiteral("menu清空"));
    QMenu* del = AddSubmenu(m, QStringLiteral("删除文件"), QStringLiteral("menu删除"));
    AddEntry(del, QStringLiteral("网页类型文件(HTM/HTML/xml)项"),
             QStringLiteral("menu删除网页类型文件项"));
    AddEntry(del, QStringLiteral("出错项"), QStringLiteral("menu删除出错项"));
    m->addSeparator();
    AddEntry(m, QStringLiteral("开始下载"), QStringLiteral("menu下载全部"));
    AddEntry(m, QStringLiteral("停止下载"), QStringLiteral("menu停止下载"));
    AddEntry(m, QStringLiteral("取消下载选中项"), QStringLiteral("menu取消下载选中项"));
    m->addSeparator();
    AddEntry(m, QStringLiteral("打开下载文件"), QStringLiteral("menu打开下载文件"));
    AddEntry(m, QStringLiteral("打开所在文件夹"), QStringLiteral("menu打开文件所在文件夹"));
    AddEntry(m, QStringLiteral("用记事本打开文件"), QStringLiteral("menu用记事本打开文件"));
    m->addSeparator();
    AddEntry(m, QStringLiteral("复制名称"), QStringLiteral("menu复制名称"));
    AddEntry(m, QStringLiteral("批量替换网址"), QStringLiteral("menu批量替换网址"));
    AddEntry(m, QStringLiteral("打开网址"), QStringLiteral("menu打开网址")); // stays disabled
    QMenu* exportNames = AddSubmenu(m, QStringLiteral("导出名称"), QStringLiteral("menu导出名称"));
    AddEntry(exportNames, QStringLiteral("全部"), QStringLiteral("menu导出全部名称"));
    AddEntry(exportNames, QStringLiteral("未完成项"), QStringLiteral("menu导出未完成项名称"));
    m->addSeparator();
    AddEntry(m, QStringLiteral("关闭本下载窗口"), QStringLiteral("menu退出本下载窗口"));
    connectCommand(QStringLiteral("menu退出本下载窗口"), [this] { close(); });

    QMenu* window = m_menuBar->addMenu(QStringLiteral("窗口(&W)"));
    window->setObjectName(QStringLiteral("menu窗口"));
    AddEntry(window, QStringLiteral("资料检索分析窗口"), QStringLiteral("menu资料检索分析窗口"));
    if (m_ctx.windows)
        connectCommand(QStringLiteral("menu资料检索分析窗口"),
                       [this] { m_ctx.windows->openSearchWindow(); });

    QMenu* tools = m_menuBar->addMenu(QStringLiteral("工具(&T)"));
    tools->setObjectName(QStringLiteral("menu工具"));
    AddEntry(tools, QStringLiteral("设置"), QStringLiteral("menu设置"));
    QAction* locate = tools->addAction(QStringLiteral("自动定位到下载项"));
    locate->setObjectName(QStringLiteral("menu自动定位到下载项"));
    locate->setCheckable(true);
    connect(locate, &QAction::toggled, this, [this](bool on) { m_state.autoLocate = on; });
    tools->addSeparator();
    AddEntry(tools, QStringLiteral("检查文件是否存在"), QStringLiteral("menu检查文件是否存在"));
    AddEntry(tools, QStringLiteral("检查并纠正磁盘文件类型"),
             QStringLiteral("menu检查并纠正磁盘文件类型"));
    tools->addSeparator();
    AddEntry(tools, QStringLiteral("清空IE浏览器缓存"), QStringLiteral("menu清空IE浏览器缓存"));
    AddEntry(tools, QStringLiteral("打开文件判断类型"), QStringLiteral("menu打开文件判断类型"));
    connectCommand(QStringLiteral("menu检查文件是否存在"), [this] { 检查文件是否存在(m_list); });
    connectCommand(QStringLiteral("menu检查并纠正磁盘文件类型"),
                   [this] { 检查并纠正磁盘文件类型(m_list, m_state, m_ctx.dialogs); });
    connectCommand(QStringLiteral("menu打开文件判断类型"),
                   [this] { 打开文件判断类型(m_ctx.dialogs); });

    QMenu* help = m_menuBar->addMenu(QStringLiteral("帮助(&H)"));
    help->setObjectName(QStringLiteral("menu帮助"));
    AddEntry(help, QStringLiteral("关于"), QStringLiteral("menu关于"));
    help->addSeparator();
    AddEntry(help, QStringLiteral("最新版本"), QStringLiteral("menu最新版本"));
    AddEntry(help, QStringLiteral("购买软件"), QStringLiteral("menu购买软件"));
    QMenu* author = AddSubmenu(help, QStringLiteral("作者网站"), QStringLiteral("menu作者网站"));
    AddEntry(author, QStringLiteral("Peldora主页"), QStringLiteral("menuPeldora主页"));
    AddEntry(author, QStringLiteral("Peldora软件站"), QStringLiteral("menuPeldora软件站"));
    AddEntry(help, QStringLiteral("使用教程和问题"), QStringLiteral("menu使用教程和问题"));
    AddEntry(help, QStringLiteral("软件定制"), QStringLiteral("menu软件定制"));
    AddEntry(help, QStringLiteral("给作者写信"), QStringLiteral("menu给作者写信"));
    connectListCommands();
}

QWidget* DownloadWindow::buildDownloadPanel() {
    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("PicDownPanel"));
    const auto button = [panel](const QString& name, const QString& caption) {
        return MakeControl<QPushButton>(panel, name, caption);
    };
    const auto check = [panel](const QString& name, const QString& caption) {
        return MakeControl<QCheckBox>(panel, name, caption);
    };
    const auto combo = [panel](const QString& name) { return MakeControl<QComboBox>(panel, name); };

    m_command4 = button(QStringLiteral("Command4"), QStringLiteral("开始下载"));
    m_command31 = button(QStringLiteral("Command31"), QStringLiteral("停止下载"));
    m_command26 = button(QStringLiteral("Command26"), QStringLiteral("切换"));
    m_command26->setToolTip(QStringLiteral("更改下载方式"));
    m_command1 = button(QStringLiteral("Command1"), QStringLiteral("网页登录"));
    // Off until the login page is connected; a button that does nothing must not look as if
    // it would.
    m_command1->setEnabled(false);
    m_label7 = new QLabel(panel);
    m_label7->setObjectName(QStringLiteral("Label7"));
    m_shape1 = new QFrame(panel);
    m_shape1->setObjectName(QStringLiteral("Shape1"));
    m_shape1->setFixedSize(12, 12);
    m_shape1->setStyleSheet(QStringLiteral(
        "background-color: #2fbf4a; border: 1px solid #1b7a2d; border-radius: 6px;"));
    m_shape1->hide();

    m_combo1 = combo(QStringLiteral("Combo1"));
    for (int i = 1; i <= 6; ++i) m_combo1->addItem(QString::number(i));
    m_combo2 = combo(QStringLiteral("Combo2"));
    m_combo4 = combo(QStringLiteral("Combo4"));
    m_combo4->addItems({QStringLiteral("出错项"), QStringLiteral("文件类型为HTM和HTML项"),
                        QStringLiteral("出错项和文件类型为HTM和HTML项")});

    m_check4 = check(QStringLiteral("Check4"), QStringLiteral("当有待下载项时，自动启动下载"));
    m_check5 = check(QStringLiteral("Check5"),
                     QStringLiteral("有5个以上下载出错或者网页文件，就停止下载"));
    m_check3 = check(QStringLiteral("Check3"), QStringLiteral("自动重新下载："));
    m_check6 = check(QStringLiteral("Check6"), QStringLiteral("声音提示"));

    auto* policies = new QButtonGroup(panel);
    const SameNamePolicy order[3] = {SameNamePolicy::Skip, SameNamePolicy::Overwrite,
                                     SameNamePolicy::Rename};
    for (int i = 0; i < 3; ++i) {
        m_options[i] = new QRadioButton(SameNamePolicyCaption(order[i]), panel);
        m_options[i]->setObjectName(QStringLiteral("Option%1").arg(i + 1));
        policies->addButton(m_options[i]);
        connect(m_options[i], &QRadioButton::toggled, this, [this, i, order](bool on) {
            if (on) m_state.sameNamePolicy = order[i];
        });
    }
    connect(m_combo1, &QComboBox::currentTextChanged, this,
            [this](const QString& text) { m_state.threadCount = text.toInt(); });
    connect(m_combo2, &QComboBox::currentTextChanged, this,
            [this](const QString& text) { m_state.pauseSeconds = text.toInt(); });

    auto* top = new QHBoxLayout;
    top->addWidget(m_command4);
    top->addWidget(m_command31);
    top->addWidget(m_shape1);
    top->addSpacing(12);
    top->addWidget(m_label7);
    top->addWidget(m_command26);
    top->addSpacing(12);
    top->addWidget(new QLabel(QStringLiteral("线程数："), panel));
    top->addWidget(m_combo1);
    top->addSpacing(12);
    top->addWidget(new QLabel(QStringLiteral("两个文件下载间隔："), panel));
    top->addWidget(m_combo2);
    top->addWidget(new QLabel(QStringLiteral("秒"), panel));
    top->addSpacing(12);
    top->addWidget(new QLabel(QStringLiteral("同名文件："), panel));
    for (QRadioButton* option : m_options) top->addWidget(option);
    top->addStretch();
    top->addWidget(m_command1);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_check4);
    bottom->addWidget(m_check5);
    bottom->addWidget(m_check3);
    bottom->addWidget(m_combo4);
    bottom->addWidget(m_check6);
    bottom->addStretch();

    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 4, 0, 0);
    layout->addLayout(top);
    layout->addLayout(bottom);
    return panel;
}

void DownloadWindow::buildListView() {
    m_listView = new QTreeView(this);
    m_listView->setObjectName(QStringLiteral("ListView3"));
    m_listView->setModel(&m_list);
    m_listView->setRootIsDecorated(false);
    m_listView->setUniformRowHeights(true);
    m_listView->setAlternatingRowColors(true);
    m_listView->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_listView->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_listView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_listView->setToolTip(kListToolTip);
    m_listView->setContextMenuPolicy(Qt::CustomContextMenu);
    m_listView->setSortingEnabled(false);
    QHeaderView* header = m_listView->header();
    header->setSectionsClickable(true);
    header->setSortIndicatorShown(false);
    header->setStretchLastSection(false);
    for (int c = 0; c < kDownloadColumnCount; ++c)
        header->resizeSection(c, DownloadList::ColumnWidthTwips(c) / kTwipsPerPixel);

    connect(header, &QHeaderView::sectionClicked, this,
            [this](int column) { 列表排序(m_list, m_state, m_ctx.dialogs, column); });
    connect(m_listView, &QAbstractItemView::clicked, this,
            [this](const QModelIndex& index) { setPanelText(2, 单击下载项(m_list, index.row())); });
    // A double-click acts on the focused row, also when it lands on the empty area below the
    // rows (the view reports no double-click there).
    m_listView->viewport()->installEventFilter(this);
    connect(m_listView, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        if (beforeListMenu) beforeListMenu();
        m_listMenu->popup(m_listView->viewport()->mapToGlobal(at));
    });
}

void DownloadWindow::buildStatusBar() {
    m_statusBar = new QStatusBar(this);
    m_statusBar->setObjectName(QStringLiteral("StatusBar1"));
    m_statusBar->setSizeGripEnabled(false);
    const int stretch[4] = {0, 3, 1, 2};
    for (int i = 0; i < 4; ++i) {
        m_panels[i] = new QLabel(m_statusBar);
        m_panels[i]->setObjectName(QStringLiteral("Panel%1").arg(i + 1));
        m_panels[i]->setFrameShape(QFrame::StyledPanel);
        m_panels[i]->installEventFilter(this);
        m_statusBar->addWidget(m_panels[i], stretch[i]);
    }
    m_panels[0]->setText(kMakerName);
    m_panels[0]->setCursor(Qt::PointingHandCursor);
}

void DownloadWindow::load() {
    setWindowTitle(kCaption + u'-' + SettingsStore::kApplication);
    setWindowIcon(ProgramIcon());

    m_combo4->setCurrentIndex(0);
    FitComboDropWidth(m_combo4);
    m_state.lastFinishTime = m_ctx.clock.elapsedSeconds();
    m_list.Clear();

    LoadDownloadSettings(m_ctx);
    ShowDownloadMethod();

    m_combo1->setCurrentIndex(0);
    const bool single = m_ctx.state.downloadMethod == DownloadMethod::Single;
    m_combo1->setEnabled(!single);
    if (!single) {
        const int index = ReadThreadIndex(m_ctx.settings);
        if (index >= 0) m_combo1->setCurrentIndex(index);
    }
    m_state.threadCount = m_combo1->currentText().toInt();

    const SameNamePolicy policy = ReadSameNamePolicy(m_ctx.settings);
    policyOption(policy)->setChecked(true);
    m_state.sameNamePolicy = policy;

    restorePlacement();

    m_combo2->clear();
    QStringList seconds;
    seconds.reserve(601);
    for (int i = 0; i <= 600; ++i) seconds << QString::number(i);
    m_combo2->addItems(seconds);
    m_combo2->setCurrentIndex(0);
    m_state.pauseSeconds = 0;

    showRowCount();
    UpdateStatistics();
    m_state.supervisorTimer()->start();
}

bool DownloadWindow::AddRow(const QString& key, const QString& name, const QString& type,
                            const QString& folder, const QString& tag) {
    return m_list.AddRow(key, name, type, folder, tag);
}

void DownloadWindow::scheduleStatistics() {
    if (m_statisticsPending) return;
    m_statisticsPending = true;
    QTimer::singleShot(0, this, [this] {
        m_statisticsPending = false;
        UpdateStatistics();
    });
}

void DownloadWindow::UpdateStatistics() {
    setPanelText(4, m_list.StatisticsLine());
}

QAction* DownloadWindow::command(const QString& objectName) const {
    return m_menuBar->findChild<QAction*>(objectName);
}

void DownloadWindow::connectCommand(const QString& objectName, const std::function<void()>& run) {
    QAction* action = command(objectName);
    // A mistyped name would leave an entry silently off: a debug build stops here instead.
    Q_ASSERT_X(action, "connectCommand", qPrintable(objectName));
    if (!action) qWarning("No menu entry %s", qPrintable(objectName));
    if (!action || !run) return;
    action->setEnabled(true);
    connect(action, &QAction::triggered, this, [run] { run(); });
}

QString DownloadWindow::panelText(int panel) const {
    return panel >= 1 && panel <= 4 ? m_panels[panel - 1]->text() : QString();
}

void DownloadWindow::setPanelText(int panel, const QString& text) {
    if (panel >= 1 && panel <= 4) m_panels[panel - 1]->setText(text);
}

int DownloadWindow::focusedRow() const {
    const QModelIndex current = m_listView->currentIndex();
    return current.isValid() ? current.row() : -1;
}

QRadioButton* DownloadWindow::policyOption(SameNamePolicy policy) const {
    switch (policy) {
    case SameNamePolicy::Skip:
        return m_options[0];
    case SameNamePolicy::Overwrite:
        return m_options[1];
    case SameNamePolicy::Rename:
        break;
    }
    return m_options[2];
}

void DownloadWindow::ShowDownloadMethod() {
    m_label7->setText(QStringLiteral("下载方式：%1").arg(int(m_ctx.state.downloadMethod)));
}

SameNamePolicy DownloadWindow::selectedPolicy() const {
    if (m_options[0]->isChecked()) return SameNamePolicy::Skip;
    if (m_options[1]->isChecked()) return SameNamePolicy::Overwrite;
    return SameNamePolicy::Rename;
}

DownloadWindow::Work::Work(DownloadWindow& window) : m_window(&window) { ++window.m_workDepth; }

DownloadWindow::Work::~Work() {
    if (!m_window || --m_window->m_workDepth > 0 || !m_window->m_closePending) return;
    // Carried out from the event loop, after the handler that did the work has returned.
    m_window->m_closePending = false;
    QTimer::singleShot(0, m_window.data(), &QWidget::close);
}

void DownloadWindow::closeEvent(QCloseEvent* event) {
    if (!m_closeConfirmed) {
        SaveDownloadChoices(m_ctx, selectedPolicy());
        if (m_state.DownloadCountsAsRunning(m_list) &&
            m_ctx.dialogs.messageBox(kForceCloseQuestion, MessageIcon::Question,
                                     MessageButtons::YesNo) != MessageAnswer::Yes) {
            event->ignore();
            return;
        }
        m_closeConfirmed = true;
        stopForClose();
    }
    if (working()) {
        m_closePending = true;
        event->ignore();
        return;
    }
    savePlacement();
    SaveThreadIndex(m_ctx.settings, m_combo1->currentIndex());
    event->accept();
}

void DownloadWindow::stopForClose() {
    m_state.supervisorTimer()->stop();
    m_state.schedulerTimer()->stop();
    m_state.loginRefreshTimer()->stop();
    if (m_state.stopCommand) m_state.stopCommand();
    if (m_state.cancelSingleTransfer) m_state.cancelSingleTransfer();
    QPointer<DownloadWindow> self(this);
    m_ctx.pump.processEvents();
    if (self) m_ctx.pump.processEvents();
}

bool DownloadWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_listView->viewport() && event->type() == QEvent::MouseButtonDblClick &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        // The press before it has already moved the focus to a row under the mouse.
        双击下载项(m_list, focusedRow(), m_ctx.shell, m_ctx.dialogs);
        return true;
    }
    if (event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        for (int i = 0; i < 4; ++i)
            if (watched == m_panels[i]) panelClicked(i + 1);
    }
    return QWidget::eventFilter(watched, event);
}

void DownloadWindow::panelClicked(int panel) {
    if (panel == 1) OpenInSystemBrowser(m_ctx.shell, kMakerSite1, false);
    if (panel == 2 && !panelText(2).isEmpty()) OpenInSystemBrowser(m_ctx.shell, panelText(2), true);
}

QString DownloadWindow::screenDescription() const {
    const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
    const QSize size = s ? s->geometry().size() : QSize();
    return ScreenDescription(long(size.width()) * kTwipsPerPixel,
                             long(size.height()) * kTwipsPerPixel);
}

void DownloadWindow::restorePlacement() {
    const WindowGeometry g =
        RestoreWindowPlacement(m_ctx.settings, kWindowName, screenDescription());
    if (g.maximized) {
        setWindowState(windowState() | Qt::WindowMaximized);
        return;
    }
    setWindowState(windowState() & ~Qt::WindowMaximized);
    setGeometry(int(g.left / kTwipsPerPixel), int(g.top / kTwipsPerPixel),
                int(g.width / kTwipsPerPixel), int(g.height / kTwipsPerPixel));
}

void DownloadWindow::savePlacement() {
    WindowGeometry g;
    g.maximized = isMaximized();
    const QRect r = geometry();
    g.top = long(r.y()) * kTwipsPerPixel;
    g.left = long(r.x()) * kTwipsPerPixel;
    g.width = long(r.width()) * kTwipsPerPixel;
    g.height = long(r.height()) * kTwipsPerPixel;
    SaveWindowPlacement(m_ctx.settings, kWindowName, g, screenDescription());
}

void DownloadWindow::showRowCount() {
    m_label1->setText(m_list.RowCountText());
}

} // namespace peldora
