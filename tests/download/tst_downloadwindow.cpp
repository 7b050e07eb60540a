#include "app/SettingsStore.h"
#include "app/WindowPlacement.h"
#include "common/ui/WindowHelpers.h"
#include "download/DownloadListEvents.h"
#include "download/ui/DownloadWindow.h"
#include "support/ui/UiTest.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeView>
#include <QtTest>

using namespace peldora;
using namespace peldora::test;

namespace {

QString Screen() {
    const QSize s = QGuiApplication::primaryScreen()->geometry().size();
    return ScreenDescription(s.width() * kTwipsPerPixel, s.height() * kTwipsPerPixel);
}

QString Setting(TestContext& t, const QString& section, const QString& key) {
    return t.settings.ReadSetting(section, key, QStringLiteral("<none>"));
}

void Write(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// A window on the heap, as the program makes it (it deletes itself on close).
struct Window {
    explicit Window(TestContext& t) : w(new DownloadWindow(t.ctx())) {}
    ~Window() { delete w.data(); }
    DownloadWindow* operator->() const { return w.data(); }
    QPointer<DownloadWindow> w;
};

} // namespace

class DownloadWindowTest : public QObject {
    Q_OBJECT
private slots:
    void loadWithDefaults() {
        TestContext t;
        QCOMPARE(t.ctx().state.downloadMethod, DownloadMethod::Unset); // until the window loads
        Window w(t);
        QCOMPARE(w->objectName(), QStringLiteral("fFileDownload"));
        QVERIFY(!w->isVisible());
        QVERIFY(IsFormLoaded("fFileDownload"));
        QCOMPARE(w->windowTitle(), QStringLiteral("文件下载-Peldora"));
        QVERIFY(!w->windowIcon().isNull());
        QCOMPARE(w->methodLabel()->text(), QStringLiteral("下载方式：2"));
        QVERIFY(w->threadCountList()->isEnabled());
        QCOMPARE(w->threadCountList()->currentText(), QStringLiteral("3"));
        QCOMPARE(w->state().threadCount, 3);
        QVERIFY(w->policyOption(SameNamePolicy::Rename)->isChecked());
        QCOMPARE(w->pauseList()->count(), 601);
        QCOMPARE(w->pauseList()->itemText(600), QStringLiteral("600"));
        QCOMPARE(w->pauseList()->currentText(), QStringLiteral("0"));
        QCOMPARE(w->redownloadPolicyList()->currentIndex(), 0);
        QCOMPARE(w->state().lastFinishTime, t.clock.steady);
        QVERIFY(w->state().supervisorTimer()->isActive());
        QVERIFY(!w->state().schedulerTimer()->isActive());
        QVERIFY(w->isMaximized()); // never placed before
        QCOMPARE(w->rowCountLabel()->text(), QStringLiteral("0条"));
        QCOMPARE(w->panelText(4), QStringLiteral("总数:0 正在下载:0 等待:0 已完成:0 失败:0"));
        for (const char* name :
             {"ListView3", "Label1",  "Label7",   "Combo1",     "Combo2",     "Combo4", "Option1",
              "Option2",   "Option3", "Command4", "Command26",  "Command31",  "Check3", "Check4",
              "Check5",    "Check6",  "Shape1",   "StatusBar1", "Timer_Down", "Timer1"})
            QVERIFY2(w->findChild<QObject*>(name), name);
        QVERIFY(!w->listView()->header()->isSortIndicatorShown());
        QCOMPARE(w->listView()->header()->sectionSize(0), 10583 / 15);

        QVERIFY(w->AddRow("http://a/1.pdf", "one", "pdf", "/d/", {}));
        QVERIFY(!w->AddRow("http://a/1.pdf", "dup", "pdf", "/d/", {}));
        QCOMPARE(w->rowCountLabel()->text(), QStringLiteral("1条"));
    }

    void loadWithStoredSettings_data() {
        QTest::addColumn<QString>("method");
        QTest::addColumn<QString>("threads");
        QTest::addColumn<QString>("policy");
        QTest::addColumn<QString>("threadShown");
        QTest::addColumn<bool>("threadsEnabled");
        QTest::addColumn<int>("option");
        QTest::newRow("method 1 ignores threads") << "1"
                                                  << "5"
                                                  << "跳过"
                                                  << "1" << false << 1;
        QTest::newRow("six threads, overwrite") << "2"
                                                << "5"
                                                << "覆盖"
                                                << "6" << true << 2;
        QTest::newRow("bad index keeps one") << "2"
                                             << "9"
                                             << "rename"
                                             << "1" << true << 3;
        QTest::newRow("not a number") << "2"
                                      << "x"
                                      << " 跳过"
                                      << "1" << true << 3;
    }
    void loadWithStoredSettings() {
        QFETCH(QString, method);
        QFETCH(QString, threads);
        QFETCH(QString, policy);
        QFETCH(QString, threadShown);
        QFETCH(bool, threadsEnabled);
        QFETCH(int, option);
        TestContext t;
        t.settings.WriteSetting(keys::kSettings, keys::kDownloadMethod, method);
        t.settings.WriteSetting(keys::kDownload, keys::kThreads, threads);
        t.settings.WriteSetting(keys::kPatentDownload, keys::kSameNamePolicy, policy);
        t.settings.WriteSetting(keys::kSettings, keys::kProxyAddress, "proxy.local");
        t.settings.WriteSetting(keys::kSettings, keys::kProxyPort, "3128");
        t.settings.WriteSetting(keys::kSettings, keys::kProxyEnabled, "1");
        t.settings.WriteSetting(keys::kSettings, keys::kMaxFileSize, "25");
        Window w(t);
        QCOMPARE(w->methodLabel()->text(), QStringLiteral("下载方式：") + method);
        QCOMPARE(w->threadCountList()->currentText(), threadShown);
        QCOMPARE(w->threadCountList()->isEnabled(), threadsEnabled);
        QVERIFY(w->findChild<QRadioButton*>(QStringLiteral("Option%1").arg(option))->isChecked());
        QCOMPARE(t.ctx().state.proxyAddress, QStringLiteral("proxy.local"));
        QCOMPARE(t.ctx().state.proxyPort, QStringLiteral("3128"));
        QCOMPARE(t.ctx().state.proxyEnabled, 1);
        QCOMPARE(t.ctx().state.maxFileSizeMB, 25.0);
    }

    void placementRoundTrip() {
        TestContext t;
        t.settings.WriteSetting("fFileDownload", keys::kResolution, Screen());
        t.settings.WriteSetting("fFileDownload", keys::kTop, "-500");
        t.settings.WriteSetting("fFileDownload", keys::kLeft, "1500");
        t.settings.WriteSetting("fFileDownload", keys::kWidth, "100");
        t.settings.WriteSetting("fFileDownload", keys::kHeight, "6000");
        {
            Window w(t);
            QVERIFY(!w->isMaximized());
            QCOMPARE(w->geometry(), QRect(100, 0, 4000 / 15, 6000 / 15));
            w->setGeometry(30, 40, 700, 500);
            QVERIFY(w->close());
            QVERIFY(w.w.isNull() || !w->isVisible());
        }
        QCOMPARE(Setting(t, "fFileDownload", keys::kResolution), Screen());
        QCOMPARE(Setting(t, "fFileDownload", keys::kTop), QStringLiteral("600"));
        QCOMPARE(Setting(t, "fFileDownload", keys::kLeft), QStringLiteral("450"));
        QCOMPARE(Setting(t, "fFileDownload", keys::kWidth), QStringLiteral("10500"));
        QCOMPARE(Setting(t, "fFileDownload", keys::kHeight), QStringLiteral("7500"));

        Window again(t);
        QCOMPARE(again->geometry(), QRect(30, 40, 700, 500));
        again->setWindowState(Qt::WindowMaximized);
        again->close();
        QCOMPARE(Setting(t, "fFileDownload", keys::kResolution), QStringLiteral("0*0"));
        QCOMPARE(Setting(t, "fFileDownload", keys::kTop), QStringLiteral("600"));
    }

    void closeAsksWhileADownloadCounts_data() {
        QTest::addColumn<QString>("situation");
        QTest::newRow("waiting row") << "waiting";
        QTest::newRow("scheduler on") << "scheduler";
        QTest::newRow("single transfer") << "single";
        QTest::newRow("parallel instance") << "parallel";
    }
    void closeAsksWhileADownloadCounts() {
        QFETCH(QString, situation);
        TestContext t;
        Window w(t);
        w->AddRow("k", "n", "pdf", "/d/", {});
        if (situation != "waiting") w->list().setStatus(0, RowStatus::Completed);
        if (situation == "scheduler") w->state().schedulerTimer()->start();
        if (situation == "single") w->state().singleTransferExecuting = [] { return true; };
        if (situation == "parallel") w->state().parallelInstanceCount = [] { return 2; };
        int stops = 0;
        w->state().stopCommand = [&] { ++stops; };
        w->policyOption(SameNamePolicy::Skip)->setChecked(true);
        w->threadCountList()->setCurrentIndex(4);

        t.dialogs.messageAnswers = {MessageAnswer::No};
        QVERIFY(!w->close());
        QVERIFY(!w.w.isNull());
        QCOMPARE(t.dialogs.messages.size(), 1);
        const ShownMessage& asked = t.dialogs.messages.first();
        QCOMPARE(asked.text, QStringLiteral("正在下载文件或者下载没有完成，要强制关闭窗口吗？"));
        QCOMPARE(asked.icon, MessageIcon::Question);
        QCOMPARE(asked.buttons, MessageButtons::YesNo);
        // The choices are saved even when the close is refused; the rest is not.
        QCOMPARE(Setting(t, keys::kPatentDownload, keys::kSameNamePolicy), QStringLiteral("跳过"));
        QCOMPARE(Setting(t, keys::kSettings, keys::kDownloadMethod), QStringLiteral("2"));
        QCOMPARE(Setting(t, keys::kDownload, keys::kThreads), QStringLiteral("<none>"));
        QCOMPARE(stops, 0);
        QVERIFY(w->state().supervisorTimer()->isActive());

        t.dialogs.messageAnswers = {MessageAnswer::Yes};
        QVERIFY(w->close());
        QCOMPARE(stops, 1);
        QCOMPARE(Setting(t, keys::kDownload, keys::kThreads), QStringLiteral("4"));
    }

    void closeWithoutWorkDeletesTheWindow() {
        TestContext t;
        Window w(t);
        QVERIFY(w->close());
        QVERIFY(t.dialogs.messages.isEmpty());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(w.w.isNull());
    }

    // A close answered Yes while a handler of the window pumps events inside its work: the
    // window stops its timers and downloads at once, but goes only after the handler returns.
    void closeDuringWorkWaitsForTheWork() {
        TestContext t;
        Window w(t);
        w->AddRow("k", "n", "pdf", "/d/", {});
        w->list().setStatus(0, RowStatus::Downloading);
        int stops = 0;
        w->state().stopCommand = [&] { ++stops; };
        bool aliveAfterPump = false;
        w->supervisorTick = [&] {
            DownloadWindow* self = w.w;
            t.dialogs.messageAnswers = {MessageAnswer::Yes};
            QVERIFY(!self->close()); // held back while this handler runs
            QCOMPARE(stops, 1);
            QVERIFY(!self->state().supervisorTimer()->isActive());
            t.ctx().pump.processEvents();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            aliveAfterPump = !w.w.isNull();
            self->list().setText(0, ColSize, QStringLiteral("still here"));
        };
        w->state().supervisorTimer()->setInterval(0);
        QTRY_VERIFY(aliveAfterPump);
        QTRY_VERIFY(w.w.isNull());
        QCOMPARE(stops, 1);
        QCOMPARE(t.dialogs.messages.size(), 1); // asked once, not again when carried out
    }

    void reloadStartsWithAnEmptyList() {
        TestContext t;
        {
            Window w(t);
            w->AddRow("k", "n", "pdf", "/d/", {});
            t.dialogs.messageAnswers = {MessageAnswer::Yes};
            QVERIFY(w->close());
        }
        Window w(t);
        QCOMPARE(w->list().count(), 0);
        QCOMPARE(w->rowCountLabel()->text(), QStringLiteral("0条"));
    }

    void headerClickSortsUnlessDownloading() {
        TestContext t;
        Window w(t);
        for (const char* size : {"9", "100", "10"}) {
            const int r = w->list().count();
            w->AddRow(QString::number(r), "n", "pdf", "/d/", {});
            w->list().setText(r, ColSize, size);
        }
        QHeaderView* header = w->listView()->header();
        w->state().schedulerTimer()->start();
        emit header->sectionClicked(ColSize);
        w->state().schedulerTimer()->stop();
        w->state().downloadBusy = true;
        emit header->sectionClicked(ColSize);
        QCOMPARE(t.dialogs.messageTexts(), QStringList(2, QStringLiteral("停止下载后方可排序！")));
        QCOMPARE(t.dialogs.messages.first().icon, MessageIcon::Information);
        QCOMPARE(w->list().text(0, ColSize), QStringLiteral("9"));

        w->state().downloadBusy = false;
        emit header->sectionClicked(ColSize);
        QCOMPARE(w->list().text(0, ColSize), QStringLiteral("100"));
        QCOMPARE(w->list().text(2, ColSize), QStringLiteral("9"));
    }

    void guards() {
        TestContext t;
        DownloadWindowState state;
        QVERIFY(!state.RefusedByBusyGuard(t.dialogs));
        QVERIFY(!state.RefusedByRunFlagGuard(t.dialogs));
        state.singleTransferExecuting = [] { return true; };
        QVERIFY(state.RefusedByBusyGuard(t.dialogs));
        // The busy guard does not look at the run flag, nor the run-flag guard at transfers.
        QVERIFY(!state.RefusedByRunFlagGuard(t.dialogs));
        state.singleTransferExecuting = {};
        state.downloadBusy = true;
        QVERIFY(!state.RefusedByBusyGuard(t.dialogs));
        QVERIFY(state.RefusedByRunFlagGuard(t.dialogs));
        QCOMPARE(t.dialogs.messageTexts(),
                 (QStringList{"停止下载以后，才能执行此操作！", "停止下载后方可设置！"}));
        QCOMPARE(t.dialogs.messages.at(0).icon, MessageIcon::Information);
        QCOMPARE(t.dialogs.messages.at(1).icon, MessageIcon::Critical);
    }

    void doubleClick_data() {
        QTest::addColumn<int>("status");
        QTest::addColumn<bool>("fileThere");
        QTest::addColumn<int>("statusAfter");
        QTest::addColumn<bool>("fileAfter");
        QTest::addColumn<QString>("opened");
        QTest::addColumn<QString>("message");
        const int c = int(RowStatus::Completed), f = int(RowStatus::Failed),
                  w = int(RowStatus::Waiting), d = int(RowStatus::Downloading);
        QTest::newRow("completed opens") << c << true << c << true << "file:"
                                         << "";
        QTest::newRow("completed, file gone") << c << false << c << false << ""
                                              << "文件不存在！";
        QTest::newRow("failed resets") << f << true << w << false << ""
                                       << "";
        QTest::newRow("failed without file") << f << false << w << false << ""
                                             << "";
        QTest::newRow("waiting untouched") << w << true << w << true << ""
                                           << "";
        QTest::newRow("downloading untouched") << d << true << d << true << ""
                                               << "";
    }
    void doubleClick() {
        QFETCH(int, status);
        QFETCH(bool, fileThere);
        QFETCH(int, statusAfter);
        QFETCH(bool, fileAfter);
        QFETCH(QString, opened);
        QFETCH(QString, message);
        TestContext t;
        QTemporaryDir dir;
        const QString path = dir.filePath("paper.pdf");
        if (fileThere) Write(path, "%PDF");
        DownloadList list;
        list.AddRow("k", "paper", "pdf", dir.path() + "/", {});
        list.setStatus(0, RowStatus(status));
        for (int c : {ColSize, ColReceived, ColPercent}) list.setText(0, c, "4");
        双击下载项(list, 0, t.shell, t.dialogs);
        QCOMPARE(int(list.status(0)), statusAfter);
        QCOMPARE(QFile::exists(path), fileAfter);
        QCOMPARE(t.shell.opened, opened.isEmpty() ? QStringList() : QStringList{opened + path});
        QCOMPARE(t.dialogs.messageTexts(),
                 message.isEmpty() ? QStringList() : QStringList{message});
        if (!message.isEmpty()) QCOMPARE(t.dialogs.messages.first().icon, MessageIcon::Critical);
        const bool cleared = status == int(RowStatus::Failed);
        for (int c : {ColSize, ColReceived, ColPercent})
            QCOMPARE(list.text(0, c).isEmpty(), cleared);
        双击下载项(list, -1, t.shell, t.dialogs); // no focused row
    }

    // In the window: a double-click on the empty area below the rows acts on the focused row.
    void doubleClickBelowTheRowsActsOnTheFocusedRow() {
        TestContext t;
        QTemporaryDir dir;
        Window w(t);
        w->resize(900, 500);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.w));
        w->AddRow("k", "paper", "pdf", dir.path() + "/", {});
        w->list().setStatus(0, RowStatus::Failed);
        w->listView()->setCurrentIndex(w->list().index(0, 0));
        QWidget* area = w->listView()->viewport();
        QTest::mouseDClick(area, Qt::LeftButton, {}, QPoint(20, area->height() - 5));
        QCOMPARE(w->list().status(0), RowStatus::Waiting);
    }

    void openFallsBackToTheAddressHandler() {
        TestContext t;
        QTemporaryDir dir;
        Write(dir.filePath("a.pdf"), "%PDF");
        DownloadList list;
        list.AddRow("k", "a", "pdf", dir.path(), {});
        list.setStatus(0, RowStatus::Completed);
        t.shell.answer = false;
        双击下载项(list, 0, t.shell, t.dialogs);
        QCOMPARE(t.shell.opened, (QStringList{"file:" + dir.filePath("a.pdf"),
                                              "address:" + dir.filePath("a.pdf")}));
    }

    void clicksOnTheListAndTheStatusBar() {
        TestContext t;
        QTemporaryDir dir;
        Write(dir.filePath("here.pdf"), "%PDF");
        Window w(t);
        w->AddRow("1", "here", "pdf", dir.path() + "/", {});
        w->AddRow("2", "absent", "pdf", dir.path() + "/", {});
        w->list().setStatus(0, RowStatus::Completed);
        w->setWindowState(Qt::WindowNoState);
        w->setGeometry(0, 0, 1200, 600);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.w));
        QTreeView* view = w->listView();
        const auto click = [&](int row) {
            const QRect r = view->visualRect(w->list().index(row, 0));
            QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, r.center());
        };
        click(0);
        QCOMPARE(w->panelText(2), dir.filePath("here.pdf"));
        auto* panel2 = w->findChild<QLabel*>("Panel2");
        QTest::mouseClick(panel2, Qt::LeftButton);
        QCOMPARE(t.shell.opened, QStringList{"address:" + dir.filePath("here.pdf")});
        click(1);
        QVERIFY(w->panelText(2).isEmpty());
        QTest::mouseClick(panel2, Qt::LeftButton); // empty: nothing opens
        QCOMPARE(t.shell.opened.size(), 1);
        QCOMPARE(w->findChild<QLabel*>("Panel1")->text(), QStringLiteral("Quenvar软件"));
        QTest::mouseClick(w->findChild<QLabel*>("Panel1"), Qt::LeftButton);
        QVERIFY(t.shell.opened.last().startsWith("address:http"));

        const QRect r = view->visualRect(w->list().index(0, 0));
        view->setCurrentIndex(w->list().index(0, 0));
        QTest::mousePress(view->viewport(), Qt::LeftButton, {}, r.center());
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, r.center());
        QCOMPARE(t.shell.opened.last(), "file:" + dir.filePath("here.pdf"));
        // Editing never starts.
        QVERIFY(!view->isPersistentEditorOpen(w->list().index(0, 0)));
        QCOMPARE(view->editTriggers(), QAbstractItemView::NoEditTriggers);
    }

    void toolsMenuCommands() {
        TestContext t;
        QTemporaryDir dir;
        Window w(t);
        QMenu* tools = w->findChild<QMenu*>("menu工具");
        QVERIFY(tools);
        QStringList captions;
        for (QAction* a : tools->actions()) captions << (a->isSeparator() ? "-" : a->text());
        QCOMPARE(captions, (QStringList{"设置", "自动定位到下载项", "-", "检查文件是否存在",
                                        "检查并纠正磁盘文件类型", "-", "清空IE浏览器缓存",
                                        "打开文件判断类型"}));
        w->AddRow("k", "x", "pdf", dir.path(), {});
        w->command("menu检查文件是否存在")->trigger();
        QCOMPARE(w->list().text(0, ColPercent), QStringLiteral("不存在"));

        Write(dir.filePath("page.pdf"), "<html ><body></body></html>");
        w->AddRow("p", "page", "pdf", dir.path(), {});
        w->state().schedulerTimer()->start();
        w->command("menu检查并纠正磁盘文件类型")->trigger();
        w->state().schedulerTimer()->stop();
        w->command("menu检查并纠正磁盘文件类型")->trigger();
        QCOMPARE(t.dialogs.messageTexts(),
                 (QStringList{"停止下载以后，才能执行此操作！", "纠正文件类型：1个."}));
        QCOMPARE(w->list().text(1, ColType), QStringLiteral("htm"));

        t.dialogs.fileAnswers = {dir.filePath("page.htm")};
        w->command("menu打开文件判断类型")->trigger();
        QCOMPARE(t.dialogs.messageTexts().last(), QStringLiteral("文件类型为：htm"));

        QAction* locate = w->command("menu自动定位到下载项");
        QVERIFY(locate->isCheckable() && !locate->isChecked());
        locate->trigger();
        QVERIFY(w->state().autoLocate);
        QVERIFY(!w->command("menu打开网址")->isEnabled());
    }
};

PELDORA_UI_TEST_MAIN(DownloadWindowTest)
#include "tst_downloadwindow.moc"
