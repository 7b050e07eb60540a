// The list menu of the download window: which entries are on, the context menu's states, and a
// few commands run through their entries.
#include "download/ui/DownloadWindow.h"
#include "support/ui/UiTest.h"

#include <QAction>
#include <QClipboard>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QTimer>
#include <QTreeView>
#include <QtTest>

using namespace peldora;
using namespace peldora::test;

class DownloadWindowCommandsTest : public QObject {
    Q_OBJECT
private slots:
    void everyEntryHasItsCommand() {
        TestContext t;
        QPointer<DownloadWindow> w = new DownloadWindow(t.ctx());
        // Entries of other parts of the program are given their commands by those parts.
        // (the window switch and the options need the main windows, absent here).
        const QStringList elsewhere{"menu打开网址", "menu关于", "menu清空IE浏览器缓存", "menu设置",
                                    "menu资料检索分析窗口"};
        for (QMenu* menu : w->findChildren<QMenu*>()) {
            for (QAction* a : menu->actions()) {
                if (a->isSeparator() || a->menu() || a->objectName().isEmpty()) continue;
                QVERIFY2(a->isEnabled() != elsewhere.contains(a->objectName()), qPrintable(a->objectName()));
            }
        }
        delete w.data();
    }

    void contextMenuStatesFollowTheDownload() {
        TestContext t;
        QPointer<DownloadWindow> w = new DownloadWindow(t.ctx());
        QVERIFY(w->beforeListMenu);
        const auto on = [&](const char* name) { return w->command(QString::fromUtf8(name))->isEnabled(); };
        w->beforeListMenu();
        QVERIFY(on("menu全选专利列表") && on("menu清除") && on("menu清空"));
        QVERIFY(!on("menu停止下载"));
        w->state().downloadBusy = true;
        w->beforeListMenu();
        QVERIFY(!on("menu全选专利列表") && !on("menu清除") && !on("menu清空"));
        QVERIFY(on("menu停止下载"));
        w->state().downloadBusy = false;
        w->state().schedulerTimer()->start();
        w->beforeListMenu();
        QVERIFY(!on("menu清空") && on("menu停止下载"));
        w->state().schedulerTimer()->stop();
        delete w.data();
    }

    void commandsThroughTheirEntries() {
        TestContext t;
        QPointer<DownloadWindow> w = new DownloadWindow(t.ctx());
        for (int i = 0; i < 4; ++i)
            w->AddRow(QStringLiteral("http://h/%1").arg(i), QStringLiteral("名称%1").arg(i),
                      QStringLiteral("pdf"), QStringLiteral("/nowhere/"), QString());
        w->command("menu全选专利列表")->trigger();
        QCOMPARE(w->listView()->selectionModel()->selectedRows().size(), 4);
        w->command("menu全不选")->trigger();
        QVERIFY(w->listView()->selectionModel()->selectedRows().isEmpty());

        w->listView()->setCurrentIndex(w->list().index(2, 0));
        w->command("menu复制名称")->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("名称2"));

        // Rows 1 and 3 selected and removed; the count label follows.
        w->listView()->clearSelection();
        for (int r : {1, 3})
            w->listView()->selectionModel()->select(
                w->list().index(r, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
        w->command("menu清除选中项")->trigger();
        QCOMPARE(w->list().count(), 2);
        QCOMPARE(w->list().text(1, ColName), QStringLiteral("名称2"));
        QCOMPARE(w->rowCountLabel()->text(), QStringLiteral("2条"));

        w->command("menu最新版本")->trigger();
        w->command("menu给作者写信")->trigger();
        QCOMPARE(t.shell.opened.size(), 2);
        QVERIFY(t.shell.opened[0].startsWith("address:https://"));
        QVERIFY(t.shell.opened[0].endsWith(t.ctx().executableName + "/"));
        QVERIFY(t.shell.opened[1].startsWith("mail:"));
        delete w.data();
    }
};

PELDORA_UI_TEST_MAIN(DownloadWindowCommandsTest)
#include "tst_downloadwindowcommands.moc"
