// The three main windows together: the cover opens the search window, the hand-over and the
// tools menu open the download window, and the last of the two to close brings the cover back.
#include "app/ui/CoverWindow.h"
#include "app/ui/MainWindows.h"
#include "download/DownloadList.h"
#include "download/ui/DownloadWindow.h"
#include "handover/ui/HandoverControls.h"
#include "search/SearchList.h"
#include "search/ui/SearchWindow.h"
#include "support/FakeBrowser.h"
#include "support/ui/UiTest.h"

#include <QAction>
#include <QCheckBox>
#include <QFrame>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QtTest>

using namespace peldora;
using namespace peldora::test;

namespace {

// A cover with its main windows; the search window runs on a scripted browser.
struct Fixture {
    TestContext t;
    FakeBrowser browser;
    QPointer<CoverWindow> cover;
    MainWindows* windows = nullptr;

    Fixture() {
        t.ctx().state.saveFolder = QStringLiteral("/dl/");
        t.settings.WriteSetting(keys::kSearchWindow, keys::kLastPage,
                                QStringLiteral("https://www.jstage.jst.go.jp/result"));
        cover = new CoverWindow(t.ctx());
        windows = new MainWindows(t.ctx(), *cover);
        windows->makeSearchWindow = [this] { return new SearchWindow(t.ctx(), &browser); };
        cover->show();
    }
    ~Fixture() {
        // The download list would ask before closing while it counts as running.
        if (DownloadWindow* d = windows->downloadWindow()) delete d;
        if (SearchWindow* s = windows->searchWindow()) delete s;
        delete cover.data();
    }
    SearchWindow* search() const { return windows->searchWindow(); }
    DownloadWindow* download() const { return windows->downloadWindow(); }
    HandoverControls* controls() const { return search()->findChild<HandoverControls*>(); }

    // Opens the search window from the cover and fills its list with n articles.
    void openWithArticles(int n) {
        windows->openSearchWindow();
        for (int i = 1; i <= n; ++i)
            search()->searchList().加入LV1(QStringLiteral("Article %1").arg(i),
                                           QStringLiteral("https://h/a/%1/p%1.pdf").arg(i),
                                           QStringLiteral("https://h/result"), "pdf", QString(),
                                           "ss-en");
    }
    void select(int row) {
        search()->listView1()->selectionModel()->select(
            search()->searchList().index(row, 0),
            QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    QStringList statuses() const {
        QStringList s;
        for (const SearchListRow& r : search()->searchList().rows()) s << r.status;
        return s;
    }
    QStringList downloadKeys() const {
        QStringList keys;
        if (!download()) return keys;
        for (int i = 0; i < download()->list().count(); ++i) keys << download()->list().row(i).key;
        return keys;
    }
    static void closeAndDelete(QWidget* w) {
        w->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
};

QString Key(int i) { return QStringLiteral("https://h/a/%1/p%1.pdf").arg(i); }

} // namespace

class MainWindowsTest : public QObject {
    Q_OBJECT
private slots:
    void coverOpensSearchWindowOnce();
    void lastMainWindowToCloseBringsCoverBack();
    void toolsMenuOpensDownloadWindow();
    void analyseWithoutSelectionHandsOverEverything();
    void emptyListOnlyTellsSo();
    void selectionOffersThePopup_data();
    void selectionOffersThePopup();
    void runKeepsMinimisedDownloadWindowMinimised();
    void closeAfterStopWaitsForTheRun();
    void stopDuringRunAndCloseRefusal();
    void automaticAnalysis();
};

void MainWindowsTest::coverOpensSearchWindowOnce() {
    Fixture f;
    f.cover->findChild<QPushButton*>(QStringLiteral("Command1"))->click();
    QVERIFY(f.search());
    QVERIFY(f.search()->isVisible());
    QVERIFY(!f.cover->isVisible());
    QCOMPARE(f.browser.navigations.last(), QStringLiteral("https://www.jstage.jst.go.jp/result"));
    QVERIFY(!f.download()); // created on first use only

    SearchWindow* first = f.search();
    f.search()->hide();
    f.windows->openSearchWindow();
    QCOMPARE(f.search(), first);
    QVERIFY(first->isVisible());
}

void MainWindowsTest::lastMainWindowToCloseBringsCoverBack() {
    Fixture f;
    f.openWithArticles(1);
    f.search()->command(2)->click(); // hands over, creating and showing the download window
    QVERIFY(f.download() && f.download()->isVisible());

    Fixture::closeAndDelete(f.search());
    QVERIFY(!f.search());
    QVERIFY(!f.cover->isVisible());

    Fixture::closeAndDelete(f.download());
    QVERIFY(!f.download());
    QTRY_VERIFY(f.cover->isVisible());

    // The other order: the download window closes first, the search window last.
    f.cover->hide();
    f.windows->openSearchWindow();
    f.windows->openDownloadWindow();
    Fixture::closeAndDelete(f.download());
    QCoreApplication::processEvents();
    QVERIFY(!f.cover->isVisible());
    Fixture::closeAndDelete(f.search());
    QTRY_VERIFY(f.cover->isVisible());
}

void MainWindowsTest::toolsMenuOpensDownloadWindow() {
    Fixture f;
    f.windows->openSearchWindow();
    QAction* open = f.search()->findChild<QAction*>(QStringLiteral("menu打开下载窗口"));
    QVERIFY(open);
    open->trigger();
    QVERIFY(f.download() && f.download()->isVisible());
    QCOMPARE(f.download()->objectName(), QStringLiteral("fFileDownload"));

    DownloadWindow* first = f.download();
    first->showMinimized();
    open->trigger();
    QCOMPARE(f.download(), first);
    QVERIFY(!first->isMinimized());
}

void MainWindowsTest::analyseWithoutSelectionHandsOverEverything() {
    Fixture f;
    f.openWithArticles(3);
    f.search()->command(2)->click();

    QCOMPARE(f.downloadKeys(), (QStringList{Key(1), Key(2), Key(3)}));
    const DownloadListRow& row = f.download()->list().row(0);
    QCOMPARE(row.cells[ColName], QStringLiteral("Article 1"));
    QCOMPARE(row.cells[ColType], QStringLiteral("pdf"));
    QCOMPARE(row.cells[ColFolder], QStringLiteral("/dl/"));
    QCOMPARE(row.tag, QStringLiteral("https://h/result"));
    QCOMPARE(row.status, RowStatus::Waiting);
    QCOMPARE(f.statuses(), QStringList(3, QStringLiteral("分析完成")));
    QVERIFY(f.download()->isVisible());
    QVERIFY(f.search()->command(2)->isEnabled());
    QVERIFY(f.search()->picPanPrograss()->isHidden());
    QVERIFY(f.t.dialogs.messages.isEmpty());

    // A second run adds nothing: the keys are in the download list already.
    f.search()->command(2)->click();
    QCOMPARE(f.download()->list().count(), 3);
    QCOMPARE(f.statuses(), QStringList(3, QStringLiteral("分析完成")));
}

void MainWindowsTest::emptyListOnlyTellsSo() {
    Fixture f;
    f.openWithArticles(0);
    f.search()->command(2)->click();
    QCOMPARE(f.t.dialogs.messageTexts(), QStringList{QStringLiteral("列表没有数据哦！")});
    QCOMPARE(f.t.dialogs.messages.first().icon, MessageIcon::Information);
    QVERIFY(!f.download());
    QVERIFY(f.search()->command(2)->isEnabled());
}

void MainWindowsTest::selectionOffersThePopup_data() {
    QTest::addColumn<QString>("entry"); // empty: the menu is dismissed
    QTest::addColumn<QStringList>("expectedKeys");
    QTest::newRow("selected") << QStringLiteral("menu选中加入") << QStringList{Key(3)};
    QTest::newRow("all") << QStringLiteral("menu全部加入")
                         << QStringList{Key(1), Key(2), Key(3), Key(4), Key(5)};
    QTest::newRow("unanalysed") << QStringLiteral("menu分析未分析项")
                                << QStringList{Key(1), Key(2), Key(4), Key(5)};
    QTest::newRow("failed") << QStringLiteral("menu加入分析失败项") << QStringList{Key(3)};
    QTest::newRow("dismissed") << QString() << QStringList{};
}

void MainWindowsTest::selectionOffersThePopup() {
    QFETCH(QString, entry);
    QFETCH(QStringList, expectedKeys);
    Fixture f;
    f.openWithArticles(5);
    f.search()->searchList().setStatus(2, QStringLiteral("分析失败"));
    f.select(2);

    bool disabledWhileShown = false;
    QMenu* shown = nullptr;
    f.controls()->popupMenu = [&](QMenu* menu) -> QAction* {
        shown = menu;
        disabledWhileShown = !f.search()->command(2)->isEnabled();
        QAction* a = entry.isEmpty() ? nullptr : menu->findChild<QAction*>(entry);
        if (a) a->trigger();
        return a;
    };
    f.search()->command(2)->click();

    QCOMPARE(shown, f.search()->menuAdd());
    QVERIFY(disabledWhileShown);
    QCOMPARE(f.downloadKeys(), expectedKeys);
    QVERIFY(f.search()->command(2)->isEnabled());
}

void MainWindowsTest::runKeepsMinimisedDownloadWindowMinimised() {
    Fixture f;
    f.openWithArticles(2);
    f.windows->openDownloadWindow();
    f.download()->showMinimized();
    f.search()->command(2)->click();
    QCOMPARE(f.download()->list().count(), 2);
    QVERIFY(f.download()->isMinimized());
}

void MainWindowsTest::stopDuringRunAndCloseRefusal() {
    Fixture f;
    f.openWithArticles(4);
    int handedOver = 0;
    bool panelShown = false;
    QString panelText;
    f.t.pump.onPump = [&] {
        handedOver = int(f.download() ? f.download()->list().count() : 0);
        if (handedOver != 2 || panelShown) return;
        panelShown = f.search()->picPanPrograss()->isVisible();
        panelText = f.search()->label(11)->text();
        f.search()->close(); // refused while rows are handed over
        f.search()->command(5)->click();
    };
    f.search()->command(2)->click();

    QVERIFY(panelShown);
    QCOMPARE(panelText, QStringLiteral("正在分析,请稍候..."));
    QCOMPARE(f.t.dialogs.messageTexts(), QStringList{QStringLiteral("正在工作，停止以后才能关闭！")});
    QVERIFY(f.search()->isVisible());
    QCOMPARE(f.downloadKeys(), (QStringList{Key(1), Key(2)}));
    QCOMPARE(f.statuses(), (QStringList{QStringLiteral("分析完成"), QStringLiteral("分析完成"),
                                        QString(), QString()}));
    QVERIFY(f.search()->picPanPrograss()->isHidden());
    f.t.pump.onPump = nullptr;

    Fixture::closeAndDelete(f.search()); // idle again: the window closes
    QVERIFY(!f.search());
}

void MainWindowsTest::closeAfterStopWaitsForTheRun() {
    Fixture f;
    f.openWithArticles(4);
    bool stillOpenDuringRun = true;
    bool asked = false;
    f.t.pump.onPump = [&] {
        const int handedOver = int(f.download() ? f.download()->list().count() : 0);
        if (handedOver == 1 && !asked) {
            asked = true;
            f.search()->command(5)->click(); // "停止": the run ends after the current row
            f.search()->close();
        }
        if (asked && f.search()) stillOpenDuringRun &= f.search()->isVisible();
    };
    f.search()->command(2)->click();
    f.t.pump.onPump = nullptr;

    QVERIFY(asked);
    QVERIFY(stillOpenDuringRun);
    QVERIFY(f.t.dialogs.messageTexts().isEmpty()); // held back, not refused
    QVERIFY(f.search());
    QTRY_VERIFY(!f.search() || !f.search()->isVisible());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!f.search());
}

void MainWindowsTest::automaticAnalysis() {
    Fixture f;
    f.openWithArticles(2);
    f.t.settings.WriteSetting(keys::kSettings, keys::kPromptFolder, 0);
    f.t.ctx().state.promptSaveFolder = 0;
    QCheckBox* box = f.search()->check3();
    QTimer* timer = f.search()->timer1();
    QCOMPARE(timer->interval(), 60000);
    QVERIFY(!timer->isActive());

    // Asking for the folder and cancelling leaves the box unticked and the timer off.
    int asked = 0;
    f.search()->askSaveFolder = [&] {
        ++asked;
        f.t.ctx().state.saveDialogCancelled = asked == 1;
    };
    box->click();
    QCOMPARE(asked, 1);
    QVERIFY(!box->isChecked());
    QVERIFY(!timer->isActive());

    box->click();
    QCOMPARE(asked, 2);
    QVERIFY(box->isChecked());
    QVERIFY(timer->isActive());

    // A tick hands the unanalysed rows over without asking again.
    f.controls()->timerTick();
    QCOMPARE(asked, 2);
    QCOMPARE(f.downloadKeys(), (QStringList{Key(1), Key(2)}));

    box->click();
    QVERIFY(!timer->isActive());
}

PELDORA_UI_TEST_MAIN(MainWindowsTest)
#include "tst_mainwindows.moc"
