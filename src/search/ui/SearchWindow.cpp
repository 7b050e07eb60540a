#include "search/ui/SearchWindow.h"
#include "app/AppContext.h"
#include "app/MainWindowSwitch.h"
#include "app/SettingsStore.h"
#include "app/ui/SaveLocationDialog.h"
#include "common/Maker.h"
#include "common/Text.h"
#include "common/ui/Controls.h"
#include "common/ui/WindowHelpers.h"
#include "platform/Browser.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/Shell.h"
#include "platform/qt/Resources.h"
#include "platform/qt/WebEngineBrowser.h"
#include "search/AddAllPages.h"
#include "search/ResultPageReader.h"
#include "search/SearchAddresses.h"
#include "search/SearchList.h"
#include "search/ui/ListViewLook.h"
#include "search/SearchListCommands.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QSaveFile>
#include <QStatusBar>
#include <QTableView>
#include <QTimer>
#include <QUrl>
#include <QWebEngineView>

namespace peldora {

namespace {

const QString kCaption = QStringLiteral("J-STAGE数据检索分析");
const QString kBusyClosing = QStringLiteral("正在工作，停止以后才能关闭！");
const QString kIdleCaption = QStringLiteral("加入全部到列表");
const QString kRunningCaption = QStringLiteral("停止加入全部");

// The layout rules in pixels (15 twips to a pixel): the smallest window, the room the bar must
// leave below it, the bar's own height, and the gaps at the panels' edges.
constexpr int kMinWidth = 600;
constexpr int kMinHeight = 333;
constexpr int kBarBottomRoom = 80;
constexpr int kBarHeight = 5;
constexpr int kEdge = 2;
constexpr int kTopRowHeight = 30;

bool StartsWithHttps(const QString& address) {
    return address.startsWith(QStringLiteral("https://"), Qt::CaseInsensitive);
}

} // namespace

const QString SearchWindow::kUsageText = QString::fromUtf16(
    u"1、点击菜单“浏览” => “打开J-STAGE日文查询首页”或者“打开J-STAGE英文查询首页”；\r\n"
    u"2、输入关键词检索，出现检索结果界面；\r\n"
    u"3、点击按钮“加入本页到列表”或者“加入全部到列表”；\r\n"
    u"4、点击按钮“分析下载”，弹出菜单，点击任意菜单，如“分析全部”，弹出下载窗口；\r\n"
    u"5、下载方式有1，2两种，自行看情况选择，点击“开始下载”按钮，就可以下载回全部pdf文件。\r\n"
    u"6、你也可以通过第三方网站进入J-STAGE查询首页，点击菜单“浏览”=>“打开指定网址...”，"
    u"然后输入第三方网站的网址。\r\n");

SearchWindow::SearchWindow(AppContext& ctx, Browser* browser, QWidget* browserView, QWidget* parent)
    : QMainWindow(parent), m_ctx(ctx), m_browser(browser), m_list(new SearchList) {
    setObjectName(QStringLiteral("fWebSearch"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(kCaption + QStringLiteral("-") + SettingsStore::kApplication);
    setWindowIcon(ProgramIcon());
    setMinimumSize(kMinWidth, kMinHeight);
    if (!m_browser) {
        auto* web = new WebEngineBrowser(this);
        web->setDialogs(&ctx.dialogs);
        m_browser = web;
        browserView = web->view();
    }
    m_addAll.reset(new AddAllPages(ctx, harvest()));
    m_addAll->delayText = [this] { return m_combos[2]->currentText(); };
    connect(m_addAll.get(), &AddAllPages::runningChanged, this, &SearchWindow::showRunning);
    m_addAll->askSaveFolder = [this] {
        if (askSaveFolder) askSaveFolder();
    };
    connect(m_addAll.get(), &AddAllPages::columnsToFit, this,
            [this] { AutoSizeColumns(m_listView, -2); });
    askSaveFolder = [this] { ShowSaveLocationDialog(m_ctx, this); };
    buildControls(browserView);
    buildMenus();
    connectBrowser();
    resize(1000, 700);
}

SearchWindow::~SearchWindow() {
    // The list view goes with the window's children; the model it shows must outlive it.
    if (m_listView) m_listView->setModel(nullptr);
}

void SearchWindow::buildControls(QWidget* browserView) {
    m_central = new QWidget(this);
    setCentralWidget(m_central);
    m_central->installEventFilter(this);

    m_labels[5] = MakeControl<QLabel>(m_central, QStringLiteral("Label5"), QStringLiteral("访问历史："));
    m_combos[1] = new QComboBox(m_central);
    m_combos[1]->setObjectName(QStringLiteral("Combo1"));
    m_combos[1]->setEditable(true);
    m_combos[1]->setInsertPolicy(QComboBox::NoInsert);
    m_combos[1]->setToolTip(QStringLiteral("点击网址，打开历史网页"));
    m_commands[3] = MakeControl<QPushButton>(m_central, QStringLiteral("Command3"), QStringLiteral("打开"));
    m_commands[1] = MakeControl<QPushButton>(m_central, QStringLiteral("Command1"), QStringLiteral("清空"));

    m_picPanWeb = new QWidget(m_central);
    m_picPanWeb->setObjectName(QStringLiteral("PicPanWeb"));
    m_picPanWeb->installEventFilter(this);
    m_browserView = browserView;
    if (m_browserView) {
        m_browserView->setParent(m_picPanWeb);
        m_browserView->setObjectName(QStringLiteral("WebBrowser1"));
    }

    m_picBar = new QFrame(m_central);
    m_picBar->setObjectName(QStringLiteral("PicBar"));
    m_picBar->setFrameShape(QFrame::StyledPanel);
    m_picBar->setCursor(Qt::SplitVCursor);
    m_picBar->installEventFilter(this);

    m_picPanList = new QWidget(m_central);
    m_picPanList->setObjectName(QStringLiteral("PicPanList"));
    m_picPanList->installEventFilter(this);

    m_listControls = new QWidget(m_picPanList);
    auto* row = new QHBoxLayout(m_listControls);
    row->setContentsMargins(0, 0, 0, 0);
    m_labels[3] =
        MakeControl<QLabel>(m_listControls, QStringLiteral("Label3"), QStringLiteral("标题语种为："));
    m_combos[3] = new QComboBox(m_listControls);
    m_combos[3]->setObjectName(QStringLiteral("Combo3"));
    m_combos[3]->addItems({QStringLiteral("全部"), QStringLiteral("英文"), QStringLiteral("日文")});
    // Combo2 sits in the gap of its label's text "限速延时：        秒".
    m_labels[4] =
        MakeControl<QLabel>(m_listControls, QStringLiteral("Label4"), QStringLiteral("限速延时：        秒"));
    m_combos[2] = new QComboBox(m_labels[4]);
    m_combos[2]->setObjectName(QStringLiteral("Combo2"));
    {
        QFont f = m_labels[4]->font();
        const int comboWidth =
            m_combos[2]->fontMetrics().horizontalAdvance(QStringLiteral("60")) + 36;
        const int spaces = QFontMetrics(f).horizontalAdvance(QStringLiteral("        "));
        f.setWordSpacing(qreal(comboWidth + 6 - spaces) / 8);
        m_labels[4]->setFont(f);
        const int prefix = QFontMetrics(f).horizontalAdvance(QStringLiteral("限速延时："));
        m_combos[2]->setGeometry(prefix + 3, 0, comboWidth, m_labels[4]->sizeHint().height() + 6);
        m_labels[4]->setMinimumHeight(m_combos[2]->height());
    }
    m_check2 = new QCheckBox(QStringLiteral("禁止浏览器弹出脚本提示"), m_listControls);
    m_check2->setObjectName(QStringLiteral("Check2"));
    m_check3 = new QCheckBox(QStringLiteral("自动分析未分析项"), m_listControls);
    m_check3->setObjectName(QStringLiteral("Check3"));
    m_commands[9] =
        MakeControl<QPushButton>(m_listControls, QStringLiteral("Command9"), QStringLiteral("加入本页到列表"));
    m_commands[4] = MakeControl<QPushButton>(m_listControls, QStringLiteral("Command4"), kIdleCaption);
    m_commands[2] =
        MakeControl<QPushButton>(m_listControls, QStringLiteral("Command2"), QStringLiteral("分析下载"));
    m_commands[7] =
        MakeControl<QPushButton>(m_listControls, QStringLiteral("Command7"), QStringLiteral("导出数据..."));
    m_labels[2] =
        MakeControl<QLabel>(m_listControls, QStringLiteral("Label2"), QStringLiteral("待下载列表："));
    m_labels[1] = MakeControl<QLabel>(m_listControls, QStringLiteral("Label1"), QStringLiteral("0"));
    for (QWidget* w : {static_cast<QWidget*>(m_labels[3]), static_cast<QWidget*>(m_combos[3]),
                       static_cast<QWidget*>(m_labels[4]), static_cast<QWidget*>(m_check2),
                       static_cast<QWidget*>(m_check3), static_cast<QWidget*>(m_commands[9]),
                       static_cast<QWidget*>(m_commands[4]), static_cast<QWidget*>(m_commands[2]),
                       static_cast<QWidget*>(m_commands[7]), static_cast<QWidget*>(m_labels[2]),
                       static_cast<QWidget*>(m_labels[1])})
        row->addWidget(w);
    row->addStretch();

    m_listView = new QTableView(m_picPanList);
    m_listView->setObjectName(QStringLiteral("ListView1"));
    m_listView->setModel(m_list.get());
    m_listView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_listView->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_listView->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_listView->setShowGrid(false);
    m_listView->setWordWrap(false);
    m_listView->verticalHeader()->hide();
    m_listView->horizontalHeader()->setHighlightSections(false);
    m_listView->setContextMenuPolicy(Qt::CustomContextMenu);
    QFont listFont = m_listView->font();
    listFont.setPixelSize(12); // fits the 13-pixel rows
    m_listView->setFont(listFont);

    m_picPanPrograss = new QFrame(m_picPanList);
    m_picPanPrograss->setObjectName(QStringLiteral("PicPanPrograss"));
    m_picPanPrograss->setFrameShape(QFrame::Box);
    m_picPanPrograss->setAutoFillBackground(true);
    m_picPanPrograss->setCursor(Qt::SizeAllCursor);
    m_picPanPrograss->installEventFilter(this);
    auto* progress = new QHBoxLayout(m_picPanPrograss);
    m_labels[11] = MakeControl<QLabel>(m_picPanPrograss, QStringLiteral("Label11"),
                             QStringLiteral("正在分析，请稍候..."));
    m_commands[5] =
        MakeControl<QPushButton>(m_picPanPrograss, QStringLiteral("Command5"), QStringLiteral("停止"));
    progress->addWidget(m_labels[11]);
    progress->addWidget(m_commands[5]);
    m_picPanPrograss->adjustSize();
    m_picPanPrograss->hide();

    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar1"));
    for (int n = 1; n <= 3; ++n) {
        m_panels[n] = MakeControl<QLabel>(bar, QStringLiteral("StatusBar1Panel%1").arg(n), QString());
        bar->addWidget(m_panels[n], n == 2 ? 1 : 0);
    }

    m_timer1 = new QTimer(this);
    m_timer1->setObjectName(QStringLiteral("Timer1"));
    m_timer1->setInterval(60000);

    connect(m_commands[3], &QPushButton::clicked, this, [this] {
        const QString a = TrimSpaces(m_combos[1]->currentText());
        if (!a.isEmpty()) m_browser->navigate(a);
    });
    connect(m_commands[1], &QPushButton::clicked, this, [this] { m_combos[1]->clear(); });
    connect(m_commands[9], &QPushButton::clicked, this, &SearchWindow::addThisPage);
    connect(m_commands[4], &QPushButton::clicked, this, [this] {
        QPointer<SearchWindow> self(this);
        m_addAll->command4Clicked();
        if (self) closeIfPending();
    });
    connect(m_commands[5], &QPushButton::clicked, this, [this] {
        if (stopAnalysis) stopAnalysis();
    });
    connect(m_check2, &QCheckBox::toggled, this, [this](bool on) { m_browser->setSilent(on); });
    connect(m_combos[3], &QComboBox::currentIndexChanged, this,
            [this](int index) { m_list->setLanguageFilter(index); });
    connect(m_listView, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        m_menuClear->popup(m_listView->viewport()->mapToGlobal(at));
    });
    connect(m_commands[7], &QPushButton::clicked, this, [this] { 导出数据(*m_list, m_ctx.dialogs); });
    m_listView->horizontalHeader()->setSectionsClickable(true);
    connect(m_listView->horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int column) {
        const bool analysing = analysisStop && !analysisStop();
        SortOnHeaderClick(*m_list, m_sort, column, addAllRunning(), analysing, m_ctx.dialogs);
    });
}

void SearchWindow::buildMenus() {
    QMenuBar* bar = menuBar();
    const auto add = [this](QMenu* menu, const QString& caption, std::function<void()> run = {}) {
        QAction* a = menu->addAction(caption);
        QString name = caption;
        name.remove(QStringLiteral("(&A)"));
        a->setObjectName(QStringLiteral("menu") + name.remove(QStringLiteral("...")));
        if (run) connect(a, &QAction::triggered, this, std::move(run));
        return a;
    };

    m_menuAdd = bar->addMenu(QStringLiteral("加入"));
    m_menuAdd->setObjectName(QStringLiteral("menu加入"));
    m_menuAdd->menuAction()->setVisible(false);
    const QString addNames[4] = {QStringLiteral("menu分析未分析项"),
                                 QStringLiteral("menu加入分析失败项"),
                                 QStringLiteral("menu选中加入"), QStringLiteral("menu全部加入")};
    const QString addCaptions[4] = {QStringLiteral("分析未分析项"), QStringLiteral("分析失败项"),
                                    QStringLiteral("分析选中项"), QStringLiteral("分析全部")};
    for (int i = 0; i < 4; ++i) {
        m_analyseActions[i] = m_menuAdd->addAction(addCaptions[i]);
        m_analyseActions[i]->setObjectName(addNames[i]);
    }

    QMenu* browse = bar->addMenu(QStringLiteral("浏览(&B)"));
    browse->setObjectName(QStringLiteral("menu浏览"));
    add(browse, QStringLiteral("打开J-STAGE日文查询首页"), [this] { openJapaneseStart(); });
    add(browse, QStringLiteral("打开J-STAGE英文查询首页"), [this] { openEnglishStart(); });
    add(browse, QStringLiteral("打开指定网址..."), [this] { openAddress(); });
    add(browse, QStringLiteral("打开本地网页文件"), [this] { openLocalFile(); });
    browse->addSeparator();
    add(browse, QStringLiteral("后退"), [this] { m_browser->goBack(); });
    add(browse, QStringLiteral("前进"), [this] { m_browser->goForward(); });
    browse->addSeparator();
    add(browse, QStringLiteral("关闭本窗口"), [this] { close(); });

    m_menuClear = bar->addMenu(QStringLiteral("清除(&C)"));
    m_menuClear->setObjectName(QStringLiteral("menu清除"));
    // Each clearing command asks the hand-over whether it runs at the moment of the click.
    const auto notAnalysing = [this] { return !analysisStop || analysisStop(); };
    add(m_menuClear, QStringLiteral("清除选中项"), [this, notAnalysing] {
        QList<int> rows;
        for (const QModelIndex& index : m_listView->selectionModel()->selectedRows())
            rows << index.row();
        peldora::清除选中项(*m_list, notAnalysing(), m_ctx.dialogs, rows);
        refreshCounter();
    });
    add(m_menuClear, QStringLiteral("清除成功项"), [this, notAnalysing] {
        if (清除成功项(*m_list, notAnalysing(), m_ctx.dialogs) > 0) refreshCounter();
    });
    add(m_menuClear, QStringLiteral("清除标题含指定字符项"), [this, notAnalysing] {
        if (清除标题含指定字符项(*m_list, notAnalysing(), m_ctx.dialogs) > 0) refreshCounter();
    });
    add(m_menuClear, QStringLiteral("清除标题不含指定字符项"), [this, notAnalysing] {
        if (清除标题不含指定字符项(*m_list, notAnalysing(), m_ctx.dialogs) > 0) refreshCounter();
    });
    add(m_menuClear, QStringLiteral("清空全部"), [this, notAnalysing] {
        if (清空全部(*m_list, notAnalysing(), m_ctx.dialogs) >= 0) refreshCounter();
    });

    QMenu* tools = bar->addMenu(QStringLiteral("工具(&T)"));
    tools->setObjectName(QStringLiteral("menu工具"));
    // Entries that open windows of other parts of the program are on only while their hook is set.
    const auto hooked = [this, &add](QMenu* menu, const QString& caption,
                                     const std::function<void()>& hook) {
        QAction* action = add(menu, caption, [&hook] {
            if (hook) hook();
        });
        connect(menu, &QMenu::aboutToShow, action,
                [action, &hook] { action->setEnabled(bool(hook)); });
        action->setEnabled(bool(hook));
    };
    hooked(tools, QStringLiteral("设置"), showOptions);
    add(tools, QStringLiteral("设置下载保存路径"), [this] {
        if (askSaveFolder) askSaveFolder();
    });
    add(tools, QStringLiteral("打开下载窗口"), [this] {
        if (m_ctx.windows) m_ctx.windows->openDownloadWindow();
    });
    tools->addSeparator();
    hooked(tools, QStringLiteral("查看IE浏览器缓存"), showCacheViewer);
    hooked(tools, QStringLiteral("清空IE浏览器缓存"), clearBrowserCache);
    add(tools, QStringLiteral("网页源码另存为"), [this] { savePageSource(); });
    add(tools, QStringLiteral("显示当前网址"), [this] { showCurrentAddress(); });

    QMenu* help = bar->addMenu(QStringLiteral("帮助(&H)"));
    help->setObjectName(QStringLiteral("menu帮助"));
    hooked(help, QStringLiteral("关于(&A)"), showAbout);
    help->addSeparator();
    const auto site = [this](const QString& address) {
        return [this, address] { m_ctx.shell.openAddress(address); };
    };
    add(help, QStringLiteral("最新版本"), site(kMakerLatestVersion));
    add(help, QStringLiteral("使用方法"), [this] { showUsage(); });
    add(help, QStringLiteral("售后服务"), site(kMakerSupport));
    QMenu* author = help->addMenu(QStringLiteral("作者网站"));
    author->setObjectName(QStringLiteral("menu作者网站"));
    add(author, QStringLiteral("Peldora主页"), site(kMakerSite1));
    add(author, QStringLiteral("Peldora软件站"), site(kMakerSite2));
    add(help, QStringLiteral("软件定制"), site(kMakerCustom));
}

void SearchWindow::connectBrowser() {
    connect(m_browser, &Browser::statusTextChanged, this,
            [this](const QString& text) { m_panels[2]->setText(text); });
    connect(m_browser, &Browser::titleChanged, this, [this] { 记录url(QString()); });
    connect(m_browser, &Browser::beforeNavigate, this, [this](const QString& address, bool) {
        statusBar()->setVisible(!IsMakerAddress(address));
        记录url(address);
    });
    connect(m_browser, &Browser::documentComplete, this, [this] {
        m_addAll->documentComplete();
        记录url(QString());
    });
}

void SearchWindow::load() {
    m_menuAdd->menuAction()->setVisible(false);
    m_ctx.state.promptSaveFolder =
        m_ctx.settings.ReadSetting(keys::kSettings, keys::kPromptFolder, 1).toInt();
    m_combos[1]->clear();
    m_combos[2]->clear();
    for (int i = 0; i <= 60; ++i) m_combos[2]->addItem(QString::number(i));
    m_combos[2]->setCurrentIndex(10);
    bool ok = false;
    const int stored =
        m_ctx.settings.ReadSetting(keys::kSearchWindow, keys::kDelayIndex, 10).toInt(&ok);
    if (ok && stored >= 0 && stored < m_combos[2]->count()) m_combos[2]->setCurrentIndex(stored);
    m_check2->setChecked(false);
    m_combos[3]->setCurrentIndex(0);

    show();
    QPointer<SearchWindow> self(this);
    m_ctx.pump.processEvents();
    if (!self) return;
    m_browser->navigate(QStringLiteral("about:blank"));
    m_ctx.pump.processEvents();
    if (!self) return;

    const QString last =
        TrimSpaces(m_ctx.settings.ReadSetting(keys::kSearchWindow, keys::kLastPage, QString()));
    if (last.isEmpty()) {
        openEnglishStart();
    } else {
        setSilentFor(last);
        m_browser->navigate(last);
    }
    m_panels[3]->setText(m_ctx.state.browserEmulation);
}

bool SearchWindow::addAllRunning() const {
    return !m_addAll->addAllStop();
}

QComboBox* SearchWindow::combo(int n) const {
    return n >= 1 && n <= 3 ? m_combos[n] : nullptr;
}
QPushButton* SearchWindow::command(int n) const {
    return n >= 1 && n <= 9 ? m_commands[n] : nullptr;
}
QLabel* SearchWindow::label(int n) const {
    return n >= 1 && n <= 11 ? m_labels[n] : nullptr;
}
QLabel* SearchWindow::statusPanel(int n) const {
    return n >= 1 && n <= 3 ? m_panels[n] : nullptr;
}

void SearchWindow::setSilentFor(const QString& address) {
    m_check2->setChecked(!StartsWithHttps(address));
}

bool SearchWindow::查找Combo1(const QString& address) const {
    const QString wanted = address.toLower();
    for (int i = 0; i < m_combos[1]->count(); ++i)
        if (m_combos[1]->itemText(i).toLower() == wanted) return true;
    return false;
}

void SearchWindow::记录url(const QString& address) {
    QString a = address;
    if (a.isEmpty()) a = TrimSpaces(m_browser->currentUrl());
    if (a.isEmpty() || EqualsNoCase(a, QStringLiteral("about:blank"))) return;
    if (查找Combo1(a) || IsMakerAddress(a)) return;
    const QString typed = m_combos[1]->currentText();
    m_combos[1]->addItem(a);
    FitComboDropWidth(m_combos[1]);
    m_combos[1]->setCurrentText(typed);
}

void SearchWindow::refreshCounter() {
    m_labels[1]->setText(m_list->counterText());
}

PageHarvest SearchWindow::harvest() {
    return PageHarvest{*m_browser, *m_list, [this] { refreshCounter(); }};
}

void SearchWindow::addThisPage() {
    if (m_ctx.state.promptSaveFolder == 1 && askSaveFolder) askSaveFolder();
    // Reading the page waits for the page's answer with events flowing; a close asked for
    // meanwhile is carried out afterwards.
    QPointer<SearchWindow> self(this);
    ++m_reading;
    AddCurrentPage(harvest(), HarvestFolder(m_ctx.state));
    if (!self) return;
    --m_reading;
    AutoSizeColumns(m_listView, -2);
    closeIfPending();
}

bool SearchWindow::workStillRunning() const {
    return m_reading > 0 || m_addAll->running() || (analysisRunning && analysisRunning());
}

void SearchWindow::closeIfPending() {
    if (!m_closePending || workStillRunning()) return;
    m_closePending = false;
    QTimer::singleShot(0, this, &QWidget::close);
}

void SearchWindow::showRunning(bool running) {
    m_commands[4]->setText(running ? kRunningCaption : kIdleCaption);
    m_commands[4]->setStyleSheet(running ? QStringLiteral("background-color: rgb(255, 0, 0);")
                                         : QString());
    m_picPanWeb->setEnabled(!running);
}

void SearchWindow::openJapaneseStart() {
    m_check2->setChecked(false);
    m_browser->navigate(kJStageJapaneseStart);
}

void SearchWindow::openEnglishStart() {
    m_check2->setChecked(false);
    m_browser->navigate(kJStageEnglishStart);
}

void SearchWindow::openAddress() {
    const QString stored =
        m_ctx.settings.ReadSetting(keys::kSearchWindow, keys::kOtherUrl, QString());
    const QString answer = TrimSpaces(
        m_ctx.dialogs
            .inputBox(QStringLiteral("请输入需要打开的网址："), QStringLiteral("请输入..."), stored)
            .value_or(QString()));
    setSilentFor(answer);
    if (answer.isEmpty()) return;
    m_ctx.settings.WriteSetting(keys::kSearchWindow, keys::kOtherUrl, answer);
    m_browser->navigate(answer);
}

void SearchWindow::openLocalFile() {
    const QString path =
        m_ctx.dialogs.openFile(QString(), QStringLiteral("*.htm;*.html|*.htm;*.html"), QString());
    if (path.isEmpty()) return;
    m_browser->navigate(QUrl::fromLocalFile(path).toString());
}

void SearchWindow::savePageSource() {
    // The save form of the dialog, so a new file name can be typed.
    QString path = m_ctx.dialogs.saveFile(QString(), QStringLiteral("*.htm|*.htm"), QString());
    if (path.isEmpty() || m_browser->currentUrl().isEmpty()) return;
    if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".htm");
    QString source = m_browser->outerHtml();
    // A document always has markup: no text means the page did not answer, and saving would
    // put an empty file where the user asked for the page.
    if (source.isEmpty()) return;
    source.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    source.replace(QChar('\n'), QStringLiteral("\r\n"));
    // Written aside and moved in place: a failed save leaves an existing file as it was.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(source.toUtf8()) < 0 || !file.commit())
        return;
    m_ctx.dialogs.messageBox(QStringLiteral("已经保存！"), MessageIcon::Information);
}

void SearchWindow::showCurrentAddress() {
    m_ctx.dialogs.messageBox(m_browser->currentUrl(), MessageIcon::None);
}

void SearchWindow::showUsage() {
    m_ctx.dialogs.messageBox(kUsageText, MessageIcon::Information, MessageButtons::Ok,
                             QStringLiteral("软件使用方法"));
}

void SearchWindow::closeEvent(QCloseEvent* event) {
    const bool analysing = analysisStop && !analysisStop();
    if (addAllRunning() || analysing) {
        event->ignore();
        m_ctx.dialogs.messageBox(kBusyClosing, MessageIcon::Critical);
        return;
    }
    // A page being read, or a run that was asked to stop and has not yet ended, still uses the
    // window: the close is carried out once they are done.
    if (workStillRunning()) {
        event->ignore();
        m_closePending = true;
        return;
    }
    m_ctx.settings.WriteSetting(keys::kSearchWindow, keys::kDelayIndex,
                                m_combos[2]->currentIndex());
    const QString address = m_browser->currentUrl();
    if (!address.isEmpty())
        m_ctx.settings.WriteSetting(keys::kSearchWindow, keys::kLastPage, address);
    m_timer1->stop();
    event->accept();
}

void SearchWindow::layoutWindow() {
    if (isMinimized() || !m_central) return;
    const int w = m_central->width();
    const int h = m_central->height();
    const int webTop = kTopRowHeight;

    // The top row: history label, address box, the two buttons.
    const int rowH = kTopRowHeight - 6;
    int x = kEdge;
    m_labels[5]->setGeometry(x, 3, m_labels[5]->sizeHint().width(), rowH);
    x += m_labels[5]->width() + 4;
    const int buttons = m_commands[3]->sizeHint().width() + m_commands[1]->sizeHint().width() + 8;
    m_combos[1]->setGeometry(x, 3, std::max(100, w - x - buttons - kEdge), rowH);
    x = m_combos[1]->geometry().right() + 4;
    m_commands[3]->setGeometry(x, 3, m_commands[3]->sizeHint().width(), rowH);
    x += m_commands[3]->width() + 4;
    m_commands[1]->setGeometry(x, 3, m_commands[1]->sizeHint().width(), rowH);

    if (m_barTop < 0 || m_barTop > h - kBarBottomRoom || m_barTop < webTop) m_barTop = h * 4 / 5;
    const int left = kEdge;
    const int width = std::max(0, w - 2 * kEdge);
    m_picBar->setGeometry(left, m_barTop, width, kBarHeight);
    m_picPanWeb->setGeometry(left, webTop, width, std::max(0, m_barTop - webTop));
    const int listTop = m_barTop + kBarHeight;
    m_picPanList->setGeometry(left, listTop, width, std::max(0, h - listTop));
    PaintRowStripes(m_listView, false, 13);
}

void SearchWindow::layoutListPanel() {
    const int w = m_picPanList->width();
    const int h = m_picPanList->height();
    const int controlsH = m_listControls->sizeHint().height();
    m_listControls->setGeometry(0, 2, w, controlsH);
    const int top = controlsH + 4;
    m_listView->setGeometry(0, top, std::max(0, w - 3), std::max(0, h - top - 3));
    m_picPanPrograss->move((w - m_picPanPrograss->width()) / 2,
                           (h - m_picPanPrograss->height()) / 2);
}

void SearchWindow::dropSplitterAt(int top) {
    m_barTop = top;
    layoutWindow();
}

bool SearchWindow::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type == QEvent::Resize) {
        if (watched == m_central)
            layoutWindow();
        else if (watched == m_picPanList)
            layoutListPanel();
        else if (watched == m_picPanWeb && m_browserView)
            m_browserView->setGeometry(0, 0, std::max(0, m_picPanWeb->width() - 1),
                                       std::max(0, m_picPanWeb->height() - 1));
        return false;
    }
    auto* mouse = dynamic_cast<QMouseEvent*>(event);
    if (!mouse) return false;
    if (watched == m_picBar) {
        if (type == QEvent::MouseButtonPress) {
            m_picBar->raise();
            m_barDragging = mouse->button() == Qt::LeftButton;
        } else if (type == QEvent::MouseMove && m_barDragging) {
            // The bar follows the pointer.
            m_barTop = m_picBar->y() + int(mouse->position().y());
            m_picBar->move(m_picBar->x(), m_barTop);
        } else if (type == QEvent::MouseButtonRelease && m_barDragging) {
            m_barDragging = false;
            layoutWindow();
        }
        return type != QEvent::MouseButtonDblClick;
    }
    if (watched == m_picPanPrograss) {
        if (type == QEvent::MouseButtonPress) {
            m_panelGrab = mouse->position().toPoint();
            m_panelDragging = true;
        } else if (type == QEvent::MouseMove && m_panelDragging) {
            m_picPanPrograss->move(m_picPanPrograss->pos() + mouse->position().toPoint() -
                                   m_panelGrab);
        } else if (type == QEvent::MouseButtonRelease) {
            m_panelDragging = false;
        }
        return true;
    }
    return false;
}

} // namespace peldora
