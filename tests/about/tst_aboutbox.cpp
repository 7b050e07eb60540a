// The about box's controls, links and hover underline, and the wiring of the tools and help
// entries and of the cover's version check in the main windows.
#include "Version.h"
#include "about/VersionCheck.h"
#include "about/ui/AboutBox.h"
#include "app/SettingsStore.h"
#include "app/ui/CoverWindow.h"
#include "app/ui/MainWindows.h"
#include "download/ui/DownloadWindow.h"
#include "search/ui/SearchWindow.h"
#include "support/FakeBrowser.h"
#include "support/TestHttpServer.h"
#include "support/ui/UiTest.h"

#include <QAction>
#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

using namespace peldora;
using namespace peldora::test;

class AboutBoxTest : public QObject {
    Q_OBJECT
private slots:
    void controlsAndLinks();
    void hoverUnderline();
    void systemInformationUnavailable();
    void wiredIntoTheMainWindows();
};

void AboutBoxTest::controlsAndLinks() {
    TestContext t;
    {
        AboutBox box(t.ctx());
        QCOMPARE(box.windowTitle(), QStringLiteral("关于『Peldora』 "));
        QCOMPARE(box.label(QStringLiteral("lsoftname"))->text(), QStringLiteral("Peldora"));
        QCOMPARE(box.label(QStringLiteral("lblVersion"))->text(),
                 QStringLiteral("版本 %1.%2.%3").arg(kVersionMajor).arg(kVersionMinor).arg(kVersionPatch));
        QCOMPARE(box.label(QStringLiteral("Label10"))->text(), QStringLiteral("[已经是最新版本]"));
        QCOMPARE(box.label(QStringLiteral("Label1"))->text(), QStringLiteral("软件制作：Quenvar软件"));
        QCOMPARE(box.label(QStringLiteral("Label4"))->toolTip(), QStringLiteral("给软件作者写邮件"));
        QCOMPARE(box.cmdOK()->text(), QStringLiteral("确定"));
        QCOMPARE(box.cmdSysInfo()->text(), QStringLiteral("系统信息(&S)..."));
        box.show();
        for (const char* name : {"Label10", "Label2", "Label7", "Label4"})
            QTest::mouseClick(box.label(QString::fromLatin1(name)), Qt::LeftButton);
        QCOMPARE(t.shell.opened.size(), 4);
        QVERIFY(t.shell.opened.at(0).startsWith(QStringLiteral("address:")));
        QVERIFY(t.shell.opened.at(3).startsWith(QStringLiteral("mail:") + MakerMailAddress() + u'?'));
        QVERIFY(t.dialogs.messages.isEmpty());
    }
    // A newer version known: Label10 says so; the link goes to the program's page.
    t.ctx().state.latestVersion = QStringLiteral("1.2.209");
    t.settings.WriteSetting(keys::kSettings, keys::kUpdateAddress, QStringLiteral("https://u.example/"));
    t.shell.opened.clear();
    AboutBox box(t.ctx());
    QCOMPARE(box.label(QStringLiteral("Label10"))->text(), QStringLiteral("[有最新版本可以升级：1.2.209]"));
    box.show();
    QTest::mouseClick(box.label(QStringLiteral("Label10")), Qt::LeftButton);
    QCOMPARE(t.shell.opened, QStringList{"address:https://u.example/peldora"});
}

void AboutBoxTest::hoverUnderline() {
    TestContext t;
    AboutBox box(t.ctx());
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    QVERIFY(box.line2()->isHidden());
    QLabel* label2 = box.label(QStringLiteral("Label2"));
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(label2, &enter);
    QVERIFY(box.line2()->isVisible());
    QCOMPARE(box.line2()->geometry().top(), label2->geometry().bottom() + 1);
    QCOMPARE(box.line2()->geometry().width(), label2->width());
    // The free area of the window hides it.
    QMouseEvent move(QEvent::MouseMove, QPointF(2, 2), box.mapToGlobal(QPointF(2, 2)), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&box, &move);
    QVERIFY(box.line2()->isHidden());
    // It follows the last label hovered.
    QLabel* label4 = box.label(QStringLiteral("Label4"));
    QApplication::sendEvent(label4, &enter);
    QCOMPARE(box.line2()->geometry().top(), label4->geometry().bottom() + 1);
}

void AboutBoxTest::systemInformationUnavailable() {
    TestContext t;
    AboutBox box(t.ctx());
    box.findSysInfo = [] { return QString(); };
    box.cmdSysInfo()->click();
    QCOMPARE(t.dialogs.messageTexts(), QStringList{kSysInfoUnavailable});
}

void AboutBoxTest::wiredIntoTheMainWindows() {
    TestHttpServer server;
    server.route(QStringLiteral("/u/peldora/newver.txt"), [](const HttpRequest&) {
        return HttpResponse::Data(QByteArray::number(kVersionMajor + 1) + ".0.0", "text/plain");
    });
    QVERIFY(server.start());
    TestContext t;
    t.settings.WriteSetting(keys::kSettings, keys::kUpdateAddress, server.url(QStringLiteral("/u")));
    FakeBrowser browser;
    auto* cover = new CoverWindow(t.ctx());
    auto* windows = new MainWindows(t.ctx(), *cover);
    windows->makeSearchWindow = [&] { return new SearchWindow(t.ctx(), &browser); };
    QVERIFY(cover->startVersionCheck);
    cover->startVersionCheck();
    const QString newer = QString::number(kVersionMajor + 1) + QStringLiteral(".0.0");
    QTRY_COMPARE_WITH_TIMEOUT(cover->label(3)->text(), NewerVersionCaption(newer), 10000);
    QCOMPARE(t.ctx().state.latestVersion, newer);
    QCOMPARE(t.dialogs.messageTexts(), QStringList{kNewVersionMessage});

    windows->openSearchWindow();
    SearchWindow* search = windows->searchWindow();
    QVERIFY(search->showCacheViewer && search->clearBrowserCache && search->showAbout);
    DownloadWindow& download = windows->loadDownloadWindow();
    for (const char* name : {"menu清空IE浏览器缓存", "menu关于"}) {
        QAction* action = download.findChild<QAction*>(QString::fromUtf8(name));
        QVERIFY(action && action->isEnabled());
    }
    // The about box from the download window shows the newer version; closing it starts the
    // cover's Timer1, so the check runs again.
    QString shown;
    QTimer::singleShot(0, this, [&] {
        auto* box = qobject_cast<AboutBox*>(QApplication::activeModalWidget());
        if (!box) return;
        shown = box->label(QStringLiteral("Label10"))->text();
        box->cmdOK()->click();
    });
    cover->timer1()->stop();
    download.findChild<QAction*>(QStringLiteral("menu关于"))->trigger();
    QCOMPARE(shown, QStringLiteral("[有最新版本可以升级：") + newer + u']');
    QVERIFY(cover->timer1()->isActive());
    cover->timer1()->stop();
    delete &download;
    delete search;
    delete cover;
}

PELDORA_UI_TEST_MAIN(AboutBoxTest)
#include "tst_aboutbox.moc"
