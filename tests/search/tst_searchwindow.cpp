#include "app/SettingsStore.h"
#include "platform/Browser.h"
#include "search/AddAllPages.h"
#include "search/SearchAddresses.h"
#include "search/SearchList.h"
#include "search/ui/SearchWindow.h"
#include "support/FakeBrowser.h"
#include "support/ui/UiTest.h"
#include "ResultPageMarkup.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QStatusBar>
#include <QTableView>
#include <QTimer>
#include <QtTest>

using namespace peldora;
using namespace peldora::test;

namespace {
const QString kResults = QStringLiteral("https://www.jstage.jst.go.jp/result?page=1");

// A window over a fake browser, loaded.
struct Fixture {
    TestContext tc;
    FakeBrowser browser;
    QPointer<SearchWindow> window;

    explicit Fixture(bool loadNow = true) {
        window = new SearchWindow(tc.ctx(), &browser);
        if (loadNow) window->load();
    }
    ~Fixture() { delete window.data(); }
    SettingsStore& settings() { return tc.settings; }
    QString setting(const QString& key) {
        return settings().ReadSetting(keys::kSearchWindow, key, QStringLiteral("<none>"));
    }
    QStringList history() const {
        QStringList out;
        for (int i = 0; i < window->combo(1)->count(); ++i) out << window->combo(1)->itemText(i);
        return out;
    }
    // Closes and lets the deferred delete happen; true when the window is gone.
    bool closeWindow() {
        window->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return window.isNull();
    }
};

DomSnapshot TwoArticles(const QString& url) {
    return SnapshotFromMarkup(
        PageMarkup({EntryMarkup({QStringLiteral("Alpha"), QStringLiteral("/alpha.pdf")}),
                    EntryMarkup({QStringLiteral("Beta"), QStringLiteral("/beta.pdf")})}),
        url);
}
} // namespace

class SearchWindowTest : public QObject {
    Q_OBJECT
private slots:
    void controlsAndMenus();
    void firstRunOpensEnglishStartPage();
    void loadRestoresDelayAndLastPage_data();
    void loadRestoresDelayAndLastPage();
    void closeStoresPageAndDelay();
    void closeRefusedWhileWorking();
    void closeAfterStopWaitsForTheRunToEnd();
    void history();
    void openAddress_data();
    void openAddress();
    void addThisPageAsksFolderOnlyWithPrompt();
    void addAllShowsRunAndEnds();
    void messages();
    void savePageSource();
    void splitterDroppedBelowBottomReturnsToFourFifths();
};

void SearchWindowTest::controlsAndMenus() {
    Fixture f;
    SearchWindow* w = f.window;
    QCOMPARE(w->objectName(), QStringLiteral("fWebSearch"));
    QCOMPARE(w->windowTitle(), QStringLiteral("J-STAGE数据检索分析-Peldora"));
    for (const char* name :
         {"Label5", "Combo1", "Command3", "Command1", "PicPanWeb", "PicBar", "PicPanList", "Label3",
          "Combo3", "Label4", "Combo2", "Check2", "Check3", "Command9", "Command4", "Command2",
          "Command7", "Label2", "Label1", "ListView1", "PicPanPrograss", "Label11", "Command5",
          "StatusBar1", "Timer1"})
        QVERIFY2(w->findChild<QObject*>(QString::fromLatin1(name)), name);
    QCOMPARE(w->label(4)->text(), QStringLiteral("限速延时：        秒"));
    QCOMPARE(w->combo(2)->count(), 61);
    QCOMPARE(w->combo(2)->itemText(60), QStringLiteral("60"));
    QCOMPARE(w->combo(3)->currentText(), QStringLiteral("全部"));
    QVERIFY(!w->timer1()->isActive());
    QCOMPARE(w->timer1()->interval(), 60000);
    QVERIFY(w->picPanPrograss()->isHidden());
    // The hand-over's pop-up exists but is not on the menu bar.
    QVERIFY(!w->menuAdd()->menuAction()->isVisible());
    QStringList entries;
    for (QAction* a : w->menuAdd()->actions()) entries << a->text();
    QCOMPARE(entries, (QStringList{QStringLiteral("分析未分析项"), QStringLiteral("分析失败项"),
                                   QStringLiteral("分析选中项"), QStringLiteral("分析全部")}));
    QCOMPARE(w->menuAnalyseFailed()->objectName(), QStringLiteral("menu加入分析失败项"));
    QVERIFY(w->listView1()->editTriggers() == QAbstractItemView::NoEditTriggers);
    QCOMPARE(w->listView1()->verticalHeader()->defaultSectionSize(), 13);
    QCOMPARE(w->listView1()->palette().color(QPalette::Base), QColor(231, 248, 237));
    // Entries whose windows are not part of the program yet are off, not silent no-ops; an
    // entry comes on once its window is hooked in.
    QAction* options = w->findChild<QAction*>(QStringLiteral("menu设置"));
    QVERIFY(options && !options->isEnabled());
    QVERIFY(!w->findChild<QAction*>(QStringLiteral("menu关于"))->isEnabled());
    for (QAction* a : w->menuClear()->actions()) QVERIFY(a->isEnabled());
    QVERIFY(w->command(7)->isEnabled());
    QVERIFY(w->findChild<QAction*>(QStringLiteral("menu设置下载保存路径"))->isEnabled());
    int optionsShown = 0;
    w->showOptions = [&] { ++optionsShown; };
    emit w->findChild<QMenu*>(QStringLiteral("menu工具"))->aboutToShow();
    QVERIFY(options->isEnabled());
    options->trigger();
    QCOMPARE(optionsShown, 1);
    // Command5 asks the hand-over to stop.
    int stops = 0;
    w->stopAnalysis = [&] { ++stops; };
    w->command(5)->click();
    QCOMPARE(stops, 1);
}

void SearchWindowTest::firstRunOpensEnglishStartPage() {
    Fixture f;
    QCOMPARE(f.browser.navigations,
             (QStringList{QStringLiteral("about:blank"), kJStageEnglishStart}));
    QVERIFY(!f.window->check2()->isChecked());
    QCOMPARE(f.window->combo(2)->currentIndex(), 10);
    QVERIFY(f.window->addAll().addAllStop());
    QCOMPARE(f.window->statusPanel(3)->text(), f.tc.ctx().state.browserEmulation);
}

void SearchWindowTest::loadRestoresDelayAndLastPage_data() {
    QTest::addColumn<QString>("delayIndex");
    QTest::addColumn<QString>("last");
    QTest::addColumn<int>("expectedIndex");
    QTest::addColumn<QString>("opened");
    QTest::addColumn<bool>("silent");
    QTest::newRow("https page") << "3" << QStringLiteral("  https://www.jstage.jst.go.jp/r?p=2 ")
                                << 3 << QStringLiteral("https://www.jstage.jst.go.jp/r?p=2") << false;
    QTest::newRow("http page silent") << "0" << QStringLiteral("http://mirror.example/j") << 0
                                      << QStringLiteral("http://mirror.example/j") << true;
    QTest::newRow("upper-case scheme") << "60" << QStringLiteral("HTTPS://x.example/") << 60
                                       << QStringLiteral("HTTPS://x.example/") << false;
    QTest::newRow("invalid index") << "61" << QString() << 10 << kJStageEnglishStart << false;
    QTest::newRow("not a number") << "ten" << QString() << 10 << kJStageEnglishStart << false;
}

void SearchWindowTest::loadRestoresDelayAndLastPage() {
    QFETCH(QString, delayIndex);
    QFETCH(QString, last);
    QFETCH(int, expectedIndex);
    QFETCH(QString, opened);
    QFETCH(bool, silent);
    Fixture f(false);
    f.settings().WriteSetting(keys::kSearchWindow, keys::kDelayIndex, delayIndex);
    f.settings().WriteSetting(keys::kSearchWindow, keys::kLastPage, last);
    f.window->load();
    QCOMPARE(f.window->combo(2)->currentIndex(), expectedIndex);
    QCOMPARE(f.browser.navigations.last(), opened);
    QCOMPARE(f.window->check2()->isChecked(), silent);
    QCOMPARE(f.browser.silent, silent);
}

void SearchWindowTest::closeStoresPageAndDelay() {
    Fixture f;
    f.window->combo(2)->setCurrentIndex(7);
    f.browser.show(TwoArticles(kResults));
    QVERIFY(f.closeWindow());
    QCOMPARE(f.setting(keys::kDelayIndex), QStringLiteral("7"));
    QCOMPARE(f.setting(keys::kLastPage), kResults);
}

void SearchWindowTest::closeRefusedWhileWorking() {
    Fixture f;
    // During an add-all run: refused with the message, then possible once it has stopped.
    f.browser.site.insert(kResults, TwoArticles(kResults));
    f.browser.site[kResults] = SnapshotFromMarkup(
        PageMarkup({EntryMarkup({QStringLiteral("A"), QStringLiteral("/a.pdf")})}, kResults),
        kResults); // its next link leads to itself: the run goes on until stopped
    f.browser.navigate(kResults);
    f.window->combo(2)->setCurrentIndex(0);
    f.tc.ctx().state.promptSaveFolder = 0; // no modal save-location dialog in the way
    bool refused = false;
    f.tc.pump.onPump = [&] {
        if (!f.window || !f.window->addAllRunning() || refused) return;
        refused = !f.closeWindow();
        f.window->command(4)->click(); // stop
    };
    f.window->command(4)->click();
    QVERIFY(refused);
    QCOMPARE(f.tc.dialogs.messages.size(), 1);
    QCOMPARE(f.tc.dialogs.messages[0].text, QStringLiteral("正在工作，停止以后才能关闭！"));
    QCOMPARE(f.tc.dialogs.messages[0].icon, MessageIcon::Critical);
    // During a hand-over.
    bool analysing = true;
    f.window->analysisStop = [&] { return !analysing; };
    QVERIFY(!f.closeWindow());
    QCOMPARE(f.tc.dialogs.messages.size(), 2);
    analysing = false;
    f.tc.pump.onPump = {};
    QVERIFY(f.closeWindow());
}

// Between the stop request and the end of the run the run is still using the window: a close
// asked for then is carried out once the run has ended.
void SearchWindowTest::closeAfterStopWaitsForTheRunToEnd() {
    Fixture f;
    f.browser.site[kResults] = SnapshotFromMarkup(
        PageMarkup({EntryMarkup({QStringLiteral("A"), QStringLiteral("/a.pdf")})}, kResults),
        kResults); // its next link leads to itself: the run goes on until stopped
    f.browser.navigate(kResults);
    f.window->combo(2)->setCurrentIndex(0);
    f.tc.ctx().state.promptSaveFolder = 0;
    bool asked = false;
    bool goneDuringRun = false;
    f.tc.pump.onPump = [&] {
        if (!f.window) {
            goneDuringRun = true;
            return;
        }
        if (!f.window->addAllRunning() || asked) return;
        asked = true;
        f.window->command(4)->click(); // stop
        goneDuringRun = f.closeWindow();
    };
    f.window->command(4)->click();
    QVERIFY(asked);
    QVERIFY(!goneDuringRun);
    QVERIFY(f.tc.dialogs.messages.isEmpty());
    QCOMPARE(f.window->command(4)->text(), QStringLiteral("加入全部到列表"));
    f.tc.pump.onPump = {};
    QTRY_VERIFY(f.window.isNull());
    QCOMPARE(f.setting(keys::kLastPage), kResults);
}

void SearchWindowTest::history() {
    Fixture f;
    f.window->combo(1)->setCurrentText(QStringLiteral("typed"));
    f.browser.show(TwoArticles(QStringLiteral("https://www.jstage.jst.go.jp/A")));
    f.window->记录url(QStringLiteral("https://www.jstage.jst.go.jp/a")); // other case: same
    f.window->记录url(QStringLiteral("ABOUT:BLANK"));
    f.window->记录url(QStringLiteral("https://peldora.org/news"));
    emit f.browser.beforeNavigate(QStringLiteral("https://frame.example/ad"), false);
    QCOMPARE(f.history(), (QStringList{kJStageEnglishStart, QStringLiteral("https://www.jstage.jst.go.jp/A"),
                                       QStringLiteral("https://frame.example/ad")}));
    QCOMPARE(f.window->combo(1)->currentText(), QStringLiteral("typed"));
    QVERIFY(f.window->查找Combo1(QStringLiteral("HTTPS://FRAME.EXAMPLE/AD")));
    // The maker's sites hide the status bar while they load.
    emit f.browser.beforeNavigate(QStringLiteral("https://www.Peldora-Soft.net/"), true);
    QVERIFY(f.window->statusBar()->isHidden());
    emit f.browser.statusTextChanged(QStringLiteral("loading"));
    QCOMPARE(f.window->statusPanel(2)->text(), QStringLiteral("loading"));
    // Command3 opens the typed address; Command1 empties the history.
    f.window->combo(1)->setCurrentText(QStringLiteral("  https://x.example/  "));
    f.window->command(3)->click();
    QCOMPARE(f.browser.navigations.last(), QStringLiteral("https://x.example/"));
    f.window->command(1)->click();
    QVERIFY(f.history().isEmpty());
}

void SearchWindowTest::openAddress_data() {
    QTest::addColumn<QVariant>("answer"); // invalid = cancelled
    QTest::addColumn<QString>("opened");
    QTest::addColumn<bool>("silent");
    QTest::newRow("https") << QVariant(QStringLiteral(" https://a.example/ ")) << "https://a.example/"
                           << false;
    QTest::newRow("http") << QVariant(QStringLiteral("http://b.example/")) << "http://b.example/"
                          << true;
    QTest::newRow("cancelled") << QVariant() << QString() << true;
    QTest::newRow("empty") << QVariant(QStringLiteral("   ")) << QString() << true;
}

void SearchWindowTest::openAddress() {
    QFETCH(QVariant, answer);
    QFETCH(QString, opened);
    QFETCH(bool, silent);
    Fixture f;
    f.settings().WriteSetting(keys::kSearchWindow, keys::kOtherUrl, QStringLiteral("https://old/"));
    f.tc.dialogs.inputAnswers.push_back(answer.isValid() ? std::optional<QString>(answer.toString())
                                                         : std::nullopt);
    const int before = int(f.browser.navigations.size());
    f.window->openAddress();
    QCOMPARE(f.tc.dialogs.inputPrompts, QStringList{QStringLiteral("请输入需要打开的网址：")});
    QCOMPARE(f.window->check2()->isChecked(), silent);
    if (opened.isEmpty()) {
        QCOMPARE(int(f.browser.navigations.size()), before);
        QCOMPARE(f.setting(keys::kOtherUrl), QStringLiteral("https://old/"));
    } else {
        QCOMPARE(f.browser.navigations.last(), opened);
        QCOMPARE(f.setting(keys::kOtherUrl), opened);
    }
}

// The dialog's outcome does not matter: the page is read into whatever folder is current.
void SearchWindowTest::addThisPageAsksFolderOnlyWithPrompt() {
    Fixture f;
    int asked = 0;
    f.window->askSaveFolder = [&] { ++asked; };
    f.tc.ctx().state.saveFolder = QStringLiteral("/home/u/before/");
    f.browser.show(TwoArticles(kResults));
    f.tc.ctx().state.promptSaveFolder = 1;
    f.window->command(9)->click();
    QCOMPARE(asked, 1);
    QCOMPARE(f.window->label(1)->text(), QStringLiteral("2"));
    QCOMPARE(f.window->searchList().row(0).saveFolder, QStringLiteral("/home/u/before/"));
    f.tc.ctx().state.promptSaveFolder = 0;
    f.window->searchList().clear();
    f.window->command(9)->click();
    QCOMPARE(asked, 1);
    QVERIFY(f.window->searchList().row(0).saveFolder.isEmpty());
    QVERIFY(f.window->listView1()->columnWidth(0) > 0);
}

void SearchWindowTest::addAllShowsRunAndEnds() {
    Fixture f;
    const QString p2 = QStringLiteral("https://www.jstage.jst.go.jp/result?page=2");
    f.browser.site.insert(
        kResults, SnapshotFromMarkup(PageMarkup({EntryMarkup({QStringLiteral("A"), QStringLiteral("/a.pdf")})}, p2),
                                     kResults));
    f.browser.site.insert(p2, TwoArticles(p2));
    f.browser.navigate(kResults);
    f.tc.ctx().state.promptSaveFolder = 0;
    f.window->combo(2)->setCurrentIndex(0);
    QStringList captions;
    bool sawRed = false;
    bool webDisabled = false;
    f.tc.pump.onPump = [&] {
        if (!f.window->addAllRunning()) return;
        captions << f.window->command(4)->text();
        sawRed = sawRed || f.window->command(4)->styleSheet().contains(QStringLiteral("255, 0, 0"));
        webDisabled = webDisabled || !f.window->picPanWeb()->isEnabled();
    };
    f.window->command(4)->click();
    QVERIFY(captions.contains(QStringLiteral("停止加入全部")));
    QVERIFY(sawRed);
    QVERIFY(webDisabled);
    QCOMPARE(f.window->command(4)->text(), QStringLiteral("加入全部到列表"));
    QVERIFY(f.window->command(4)->styleSheet().isEmpty());
    QVERIFY(f.window->picPanWeb()->isEnabled());
    QCOMPARE(f.window->label(1)->text(), QStringLiteral("3"));
}

void SearchWindowTest::messages() {
    Fixture f;
    f.window->showUsage();
    f.browser.show(TwoArticles(kResults));
    f.window->showCurrentAddress();
    QCOMPARE(f.tc.dialogs.messages.size(), 2);
    const ShownMessage usage = f.tc.dialogs.messages[0];
    QCOMPARE(usage.title, QStringLiteral("软件使用方法"));
    QCOMPARE(usage.icon, MessageIcon::Information);
    const QStringList lines = usage.text.split(QStringLiteral("\r\n"));
    QCOMPARE(lines.size(), 7);
    QVERIFY(lines[6].isEmpty());
    QCOMPARE(lines[0], QString::fromUtf16(u"1、点击菜单“浏览” => “打开J-STAGE日文查询首页”或者“打开J-STAGE英文查询首页”；"));
    QCOMPARE(lines[5], QString::fromUtf16(u"6、你也可以通过第三方网站进入J-STAGE查询首页，点击菜单“浏览”=>“打开指定网址...”，然后输入第三方网站的网址。"));
    QCOMPARE(f.tc.dialogs.messages[1].text, kResults);
    QCOMPARE(f.tc.dialogs.messages[1].icon, MessageIcon::None);
}

void SearchWindowTest::savePageSource() {
    Fixture f;
    f.browser.show(TwoArticles(kResults));
    f.browser.sources.insert(kResults, QString::fromUtf16(u"<html>\n<body>日本</body>\n</html>"));
    const QString path = f.tc.dir() + QStringLiteral("/page");
    f.tc.dialogs.fileAnswers.push_back(path);
    f.window->savePageSource();
    QFile file(path + QStringLiteral(".htm"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(file.readAll()),
             QString::fromUtf16(u"<html>\r\n<body>日本</body>\r\n</html>"));
    QCOMPARE(f.tc.dialogs.messageTexts(), QStringList{QStringLiteral("已经保存！")});
    // Cancelled: nothing written, nothing said.
    f.window->savePageSource();
    QCOMPARE(f.tc.dialogs.messages.size(), 1);
    // A page that gives no source (it did not answer): the file chosen is left alone and no
    // success is reported.
    f.browser.sources.remove(kResults);
    f.tc.dialogs.fileAnswers.push_back(path + QStringLiteral(".htm"));
    f.window->savePageSource();
    QCOMPARE(f.tc.dialogs.messages.size(), 1);
    file.close();
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.readAll().contains("<body>"));
}

void SearchWindowTest::splitterDroppedBelowBottomReturnsToFourFifths() {
    Fixture f;
    f.window->resize(900, 700);
    QCoreApplication::processEvents();
    const int h = f.window->centralWidget()->height();
    f.window->dropSplitterAt(h / 2);
    QCOMPARE(f.window->picBar()->y(), h / 2);
    QCOMPARE(f.window->picPanWeb()->geometry().bottom() + 1, h / 2);
    QCOMPARE(f.window->picPanList()->y(), h / 2 + f.window->picBar()->height());
    f.window->dropSplitterAt(h + 50);
    QCOMPARE(f.window->picBar()->y(), h * 4 / 5);
    // Too small a window is enlarged.
    f.window->resize(100, 100);
    QVERIFY(f.window->width() >= 600 && f.window->height() >= 333);
}

PELDORA_UI_TEST_MAIN(SearchWindowTest)
#include "tst_searchwindow.moc"
