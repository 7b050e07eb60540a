// The download window as a researcher uses it: rows handed over, "开始下载" pressed, and every
// file fetched from a real local server by either method, with the rows showing each outcome.
#include "app/SettingsStore.h"
#include "download/ui/DownloadWindow.h"
#include "FileBytes.h"
#include "support/TestHttpServer.h"
#include "support/ui/UiTest.h"

#include <QComboBox>
#include <QFile>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using namespace peldora;
using namespace peldora::test;

namespace {

struct Site {
    TestHttpServer server;
    QByteArray a = Pdf(300'000, 'a');
    QByteArray b = Pdf(70'000, 'b');
    QByteArray c = Pdf(5'000, 'c');
    Site() {
        server.route("/a.pdf", [this](const HttpRequest&) {
            HttpResponse r = HttpResponse::Data(a, "application/pdf");
            r.bytesPerTick = 32'768; // a transfer that takes a while
            return r;
        });
        server.route("/b.pdf", [this](const HttpRequest&) {
            HttpResponse r = HttpResponse::Data(b, "application/pdf");
            r.framing = HttpResponse::Framing::Chunked;
            return r;
        });
        server.route("/c.pdf", [this](const HttpRequest&) { return HttpResponse::Data(c, "application/pdf"); });
        server.route("/gone.pdf", [](const HttpRequest&) {
            HttpResponse r = HttpResponse::Data(Pdf(50'000, 'x'), "application/pdf");
            r.cutAfter = 20'000; // the connection drops in the middle
            return r;
        });
    }
};

} // namespace

class DownloadingTest : public QObject {
    Q_OBJECT
private slots:
    void startDownloadsTheWholeList_data() {
        QTest::addColumn<int>("method");
        QTest::newRow("one at a time") << 1;
        QTest::newRow("three at once") << 2;
    }

    // Three files arrive byte for byte; a cut-off file fails and leaves the file the user
    // already had under its name exactly as it was.
    void startDownloadsTheWholeList() {
        QFETCH(int, method);
        Site site;
        QVERIFY(site.server.start());
        TestContext t(true);
        t.settings.WriteSetting(keys::kSettings, keys::kDownloadMethod, QString::number(method));
        QTemporaryDir dir;
        const QString folder = dir.path() + u'/';
        {
            QFile old(folder + QStringLiteral("gone.pdf"));
            QVERIFY(old.open(QIODevice::WriteOnly));
            old.write("the user's own copy");
        }
        auto* w = new DownloadWindow(t.ctx());
        QPointer<DownloadWindow> guard(w);
        w->policyOption(SameNamePolicy::Overwrite)->setChecked(true);
        if (method == 2) w->threadCountList()->setCurrentText(QStringLiteral("3"));
        for (const char* name : {"a", "b", "c", "gone"})
            QVERIFY(w->AddRow(site.server.url(QStringLiteral("/%1.pdf").arg(name)),
                              QString::fromLatin1(name), "pdf", folder, {}));
        w->findChild<QPushButton*>(QStringLiteral("Command4"))->click();
        QTRY_VERIFY_WITH_TIMEOUT(w->list().检测是否下载列表完毕(), 60000);

        QCOMPARE(Read(folder + "a.pdf"), site.a);
        QCOMPARE(Read(folder + "b.pdf"), site.b);
        QCOMPARE(Read(folder + "c.pdf"), site.c);
        for (int r = 0; r < 3; ++r) {
            QCOMPARE(w->list().status(r), RowStatus::Completed);
            QCOMPARE(w->list().text(r, ColPercent), QStringLiteral("100%"));
        }
        QCOMPARE(w->list().status(3), RowStatus::Failed);
        QCOMPARE(Read(folder + "gone.pdf"), QByteArray("the user's own copy"));
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden).size(), 4); // nothing left aside
        // The supervisor switches downloading off once the list is finished.
        QTRY_VERIFY_WITH_TIMEOUT(!w->state().schedulerTimer()->isActive(), 5000);
        QVERIFY(w->close());
        QTRY_VERIFY(guard.isNull());
    }

    // "停止下载" during a transfer: the row fails, nothing is left under its name, and closing
    // the window right after never deletes what the transfer still uses.
    void stopThenCloseDuringATransfer_data() { startDownloadsTheWholeList_data(); }
    void stopThenCloseDuringATransfer() {
        QFETCH(int, method);
        TestHttpServer server;
        server.route("/slow.pdf", [](const HttpRequest&) {
            HttpResponse r = HttpResponse::Data(Pdf(400'000, 's'), "application/pdf");
            r.bytesPerTick = 2'000;
            r.tickMs = 20;
            return r;
        });
        QVERIFY(server.start());
        TestContext t(true);
        t.settings.WriteSetting(keys::kSettings, keys::kDownloadMethod, QString::number(method));
        QTemporaryDir dir;
        auto* w = new DownloadWindow(t.ctx());
        QPointer<DownloadWindow> guard(w);
        QVERIFY(w->AddRow(server.url("/slow.pdf"), "slow", "pdf", dir.path() + u'/', {}));
        // Method 1 runs inside the scheduler's tick: the user's clicks arrive while it pumps.
        bool closed = false;
        QTimer user;
        QObject::connect(&user, &QTimer::timeout, [&] {
            if (!guard || closed) return;
            const QString received = guard->list().text(0, ColReceived);
            if (received.isEmpty() || received == QStringLiteral("0")) return;
            guard->findChild<QPushButton*>(QStringLiteral("Command31"))->click();
            QCOMPARE(guard->list().status(0), RowStatus::Failed);
            t.dialogs.messageAnswers = {MessageAnswer::Yes};
            closed = true;
            guard->close();
        });
        user.start(20);
        w->findChild<QPushButton*>(QStringLiteral("Command4"))->click();
        QTRY_VERIFY_WITH_TIMEOUT(closed, 20000);
        QTRY_VERIFY_WITH_TIMEOUT(guard.isNull(), 10000);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
    }
};

PELDORA_UI_TEST_MAIN(DownloadingTest)
#include "tst_downloading.moc"
