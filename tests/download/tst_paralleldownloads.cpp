#include "download/Downloader.h"
#include "download/ParallelDownloads.h"
#include "download/SavedFileNaming.h"
#include "download/SingleTransfer.h"
#include "download/TransferRig.h"

#include <QSignalSpy>
#include <QtTest>

using namespace peldora;
using namespace peldora::test;

Q_DECLARE_METATYPE(Handler)
Q_DECLARE_METATYPE(RowStatus)

namespace {

const QByteArray kPdf = PdfBody(8000);
const QByteArray kPage =
    "<!DOCTYPE html>\n<html><head><title>Log in</title></head><body>log in</body></html>\n";

} // namespace

class ParallelDownloadsTest : public QObject {
    Q_OBJECT

    TestHttpServer m_server;
    int m_route = 0;

    QString serve(const Handler& handler) {
        const QString path = QStringLiteral("/p%1/f").arg(++m_route);
        m_server.route(path, handler);
        return m_server.url(path);
    }

    struct Run {
        std::unique_ptr<TransferRig> rig = std::make_unique<TransferRig>();
        std::unique_ptr<ParallelDownloads> parallel;
        Run() {
            parallel = std::make_unique<ParallelDownloads>(rig->tc.ctx(), rig->list, rig->state);
            parallel->setWatchdogIntervalMs(10);
        }
        // Starts a row on a slot as the scheduler does, into folder/name.type.
        RowId start(int slot, const QString& address, const QString& name = QStringLiteral("paper")) {
            const RowId id = rig->addRow(address, name);
            rig->state.slotTable[slot] = id;
            parallel->多线程下载(slot, id, 选择url(address), rig->folder() + name + QStringLiteral(".pdf"));
            return id;
        }
        bool settle(double seconds = 60) {
            return rig->waitUntil(seconds, [this] { return parallel->instanceCount() == 0; });
        }
    };

private slots:
    void initTestCase() { QVERIFY(m_server.start()); }

    void outcomes_data() {
        QTest::addColumn<Handler>("handler");
        QTest::addColumn<double>("maxMB");
        QTest::addColumn<RowStatus>("status");
        QTest::addColumn<QString>("size");
        QTest::addColumn<QString>("percent");
        QTest::addColumn<QString>("type");
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<int>("requests");

        const auto pdf = HttpResponse::Data(kPdf, "application/pdf");
        const QString n = QString::number(kPdf.size());
        const QStringList pdfFile{QStringLiteral("paper.pdf")};
        const QStringList none;
        QTest::newRow("length") << Fixed(pdf) << 10.0 << RowStatus::Completed << n << "100%" << "pdf" << pdfFile << 1;
        QTest::newRow("no length: written as it came, fetched once")
            << Fixed(With(pdf, [](auto& r) { r.framing = HttpResponse::Framing::Chunked; r.bytesPerTick = 2000; }))
            << 10.0 << RowStatus::Completed << n << "100%" << "pdf" << pdfFile << 1;
        // Qt's HTTP client may resend once on its own when a connection closes under it; that is
        // not the downloader fetching again (-2: at most two requests).
        QTest::newRow("HTTP/1.0, close-delimited")
            << Fixed(With(pdf, [](auto& r) { r.httpVersion = "HTTP/1.0"; r.framing = HttpResponse::Framing::Close; }))
            << 10.0 << RowStatus::Completed << n << "100%" << "pdf" << pdfFile << -2;
        QTest::newRow("empty read: fallback fetches it")
            << Handler([](const HttpRequest&) {
                   static int calls = 0;
                   return ++calls % 2 ? HttpResponse::Data("", "application/pdf")
                                      : HttpResponse::Data(kPdf, "application/pdf");
               })
            << 10.0 << RowStatus::Completed << n << "100%" << "pdf" << pdfFile << 2;
        QTest::newRow("empty twice: cannot download")
            << Fixed(HttpResponse::Data("", "application/pdf")) << 10.0 << RowStatus::Failed << ""
            << "" << "pdf" << none << 2;
        QTest::newRow("web page instead of the file")
            << Fixed(HttpResponse::Html(kPage, 404)) << 10.0 << RowStatus::Completed
            << QString::number(kPage.size()) << "100%" << "htm" << QStringList{QStringLiteral("paper.htm")} << 1;
        QTest::newRow("cut off")
            << Fixed(With(pdf, [](auto& r) { r.cutAfter = 4000; r.bytesPerTick = 2000; })) << 10.0
            << RowStatus::Failed << n << "50%" << "pdf" << none << 1;
        QTest::newRow("reset")
            << Fixed(With(pdf, [](auto& r) { r.cutAfter = 4000; r.resetAtCut = true; r.bytesPerTick = 2000; }))
            << 10.0 << RowStatus::Failed << "*" << "*" << "pdf" << none << 1;
        QTest::newRow("redirect loop")
            << Handler([](const HttpRequest& q) { return HttpResponse::Redirect(q.target); }) << 10.0
            << RowStatus::Failed << "" << "" << "pdf" << none << -1;
        QTest::newRow("10 GB announced")
            << Fixed(With(pdf, [](auto& r) { r.setHeader("Content-Length", "10737418240"); r.stallAfter = 1000; }))
            << 10.0 << RowStatus::Completed << "10737418240" << "大文件，跳过" << "pdf" << none << 1;
        QTest::newRow("no length, limit passed by what arrived")
            << Fixed(With(HttpResponse::Data(PdfBody(60000), "application/pdf"), [](auto& r) {
                   r.framing = HttpResponse::Framing::Chunked;
                   r.bytesPerTick = 8000;
               }))
            << 0.02 << RowStatus::Completed << "" << "大文件，跳过" << "pdf" << none << 1;
    }
    void outcomes() {
        QFETCH(Handler, handler);
        QFETCH(double, maxMB);
        Run run;
        TransferRig& rig = *run.rig;
        rig.tc.ctx().state.maxFileSizeMB = maxMB;
        m_server.clearRequests();
        const RowId id = run.start(1, serve(handler));
        QCOMPARE(rig.status(id), RowStatus::Downloading);
        QVERIFY(run.parallel->slotBusy(1));
        QVERIFY(run.settle());
        QTEST(rig.status(id), "status");
        QFETCH(QString, size);
        QFETCH(QString, percent);
        if (size != u"*") QCOMPARE(rig.cell(id, ColSize), size);
        if (percent != u"*") QCOMPARE(rig.cell(id, ColPercent), percent);
        QTEST(rig.cell(id, ColType), "type");
        QTest::qWait(50); // anything still on its way would land now
        QTEST(rig.files(), "files");
        QFETCH(int, requests);
        if (requests == -2)
            QVERIFY(m_server.requests().size() <= 2);
        else if (requests < 0) // a loop is given up after a bounded number of hops
            QVERIFY(m_server.requests().size() <= 2 * (DownloadNetwork::kMaxRedirects + 1));
        else
            QCOMPARE(int(m_server.requests().size()), requests);
        QVERIFY(!run.parallel->slotBusy(1));
        if (!rig.files().isEmpty()) QVERIFY(rig.read(rig.files().first()).size() > 0);
    }

    // "&amp;" in an address is asked for as "&".
    void ampersandCleanUp() {
        Run run;
        m_server.clearRequests();
        const QString address = serve(Fixed(HttpResponse::Data(kPdf, "application/pdf")));
        run.start(1, address + QStringLiteral("?a=1&AMP;b=2&amp;c=3  "));
        QVERIFY(run.settle());
        QCOMPARE(m_server.requests().value(0).target.split('?').value(1), QByteArray("a=1&b=2&c=3"));
    }

    // Five minutes without a byte end the transfer; a server that keeps sending, even without
    // a length, is never taken for a stalled one.
    void stallWatchdog() {
        Run run;
        TransferRig& rig = *run.rig;
        rig.write(QStringLiteral("paper.pdf"), "old file");
        const RowId stalled = run.start(1, serve(Fixed(With(HttpResponse::Data(kPdf, "application/pdf"),
                                                             [](auto& r) { r.stallAfter = 1000; }))));
        QVERIFY(rig.waitUntil(30, [&] { return rig.cell(stalled, ColReceived) == u"1000"; }));
        // The watchdog's timer keeps the pump from idling, so fake time is moved by hand.
        const double lastByte = rig.tc.clock.steady;
        rig.tc.pump.onPump = [&] { rig.tc.clock.advance(1); };
        QVERIFY(run.settle(1000));
        rig.tc.pump.onPump = {};
        QVERIFY(rig.tc.clock.steady - lastByte >= 300);
        QVERIFY(rig.tc.clock.steady - lastByte < 330);
        QCOMPARE(rig.status(stalled), RowStatus::Failed);
        QCOMPARE(rig.cell(stalled, ColPercent), QStringLiteral("12%"));
        QCOMPARE(rig.read(QStringLiteral("paper.pdf")), QByteArray("old file"));

        const RowId drip = run.start(2, serve(Fixed(With(HttpResponse::Data(kPdf, "application/pdf"), [](auto& r) {
                                         r.framing = HttpResponse::Framing::Chunked;
                                         r.bytesPerTick = 200;
                                         r.tickMs = 20;
                                     }))),
                                     QStringLiteral("drip"));
        // Forty ticks of data mean at least forty pumps: ten seconds each carry the transfer
        // well past 300 s, while the gap between two ticks stays far below it.
        const double begin = rig.tc.clock.steady;
        rig.tc.pump.onPump = [&] { rig.tc.clock.advance(10); };
        QVERIFY(run.settle(2000));
        rig.tc.pump.onPump = {};
        QVERIFY(rig.tc.clock.steady - begin > 300);
        QCOMPARE(rig.status(drip), RowStatus::Completed);
        QCOMPARE(rig.read(QStringLiteral("drip.pdf")), kPdf);
    }

    // Stop with three transfers running: the instances go, nothing is kept, no event follows.
    void unloadAllWhileRunning() {
        Run run;
        TransferRig& rig = *run.rig;
        rig.state.threadCount = 3;
        QList<RowId> ids;
        for (int s = 1; s <= 3; ++s)
            ids << run.start(s, serve(Fixed(With(HttpResponse::Data(kPdf, "application/pdf"), [](auto& r) {
                                 r.bytesPerTick = 500;
                             }))),
                             QStringLiteral("f%1").arg(s));
        QCOMPARE(run.parallel->instanceCount(), 3);
        QVERIFY(rig.waitUntil(30, [&] { return !rig.cell(ids.last(), ColReceived).isEmpty(); }));
        run.parallel->unloadAll();
        for (RowId id : ids) rig.list.setStatus(rig.row(id), RowStatus::Failed); // the stop command
        QCOMPARE(run.parallel->instanceCount(), 0);
        const QStringList cells = {rig.cell(ids[0], ColReceived), rig.cell(ids[1], ColReceived)};
        QTest::qWait(300);
        rig.tc.pump.processEvents();
        for (RowId id : ids) QCOMPARE(rig.status(id), RowStatus::Failed);
        QCOMPARE((QStringList{rig.cell(ids[0], ColReceived), rig.cell(ids[1], ColReceived)}), cells);
        QVERIFY(rig.files().isEmpty());
    }

    // Two rows of one name started in the same tick are numbered apart, although nothing is on
    // disk yet; the name is free again once the transfer has ended.
    void runningTransfersReserveTheirNames() {
        Run run;
        TransferRig& rig = *run.rig;
        auto slow = HttpResponse::Data(kPdf, "application/pdf");
        slow.bytesPerTick = 1000;
        const auto reserved = [&](const QString& p) { return run.parallel->isPathReserved(p); };
        const SavePath first = 重命名保存路径(rig.folder(), QStringLiteral("paper"), QStringLiteral("pdf"),
                                              SameNamePolicy::Rename, reserved);
        const RowId a = rig.addRow(serve(Fixed(slow)), first.name);
        rig.state.slotTable[1] = a;
        run.parallel->多线程下载(1, a, 选择url(rig.list.key(rig.row(a))), first.path);
        QVERIFY(run.parallel->isPathReserved(first.path));
        QVERIFY(rig.files().isEmpty()); // no placeholder
        const SavePath second = 重命名保存路径(rig.folder(), QStringLiteral("paper"), QStringLiteral("pdf"),
                                               SameNamePolicy::Rename, reserved);
        QCOMPARE(second.name, QStringLiteral("paper[001]"));
        QVERIFY(run.settle());
        QVERIFY(!run.parallel->isPathReserved(first.path));
        QCOMPARE(rig.files(), QStringList{QStringLiteral("paper.pdf")});
    }

    // The handlers' end steps: type correction, status bar, cues, login seam, pause clock.
    void completionEndSteps() {
        Run run;
        TransferRig& rig = *run.rig;
        run.parallel->setOptions({true, true});
        QSignalSpy login(run.parallel.get(), &ParallelDownloads::webPageReceived);
        QSignalSpy panel2(run.parallel.get(), &ParallelDownloads::panel2TextChanged);
        rig.tc.clock.steady = 7000;
        const RowId id = run.start(1, serve(Fixed(HttpResponse::Html(kPage))));
        QVERIFY(run.settle());
        QCOMPARE(rig.cell(id, ColType), QStringLiteral("htm"));
        QCOMPARE(rig.tc.sound.played, QList<int>{101});
        QCOMPARE(login.size(), 1);
        QCOMPARE(panel2.value(0).value(0).toString(), QStringLiteral("完成下载:paper"));
        QVERIFY(rig.state.lastFinishTime >= 7000);
    }

    // Rows with nowhere to read from or write to fail at once with a word; no instance stays.
    void unusableRows_data() {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("word");
        QTest::newRow("no address") << "" << "x/paper.pdf" << "无下载地址";
        QTest::newRow("no path") << "a" << "" << "保存路径无效";
        QTest::newRow("at the root") << "a" << "/paper.pdf" << "保存路径无效";
        QTest::newRow("relative") << "a" << "paper.pdf" << "保存路径无效";
        QTest::newRow("missing folder") << "a" << "x/missing/paper.pdf" << "无法创建文件夹";
    }
    void unusableRows() {
        QFETCH(QString, address);
        QFETCH(QString, path);
        Run run;
        TransferRig& rig = *run.rig;
        const RowId id = rig.addRow(QStringLiteral("k"));
        rig.state.slotTable[1] = id;
        const QString target = path.startsWith(u"x/") ? rig.folder() + path.mid(2) : path;
        run.parallel->多线程下载(1, id, address.isEmpty() ? QString() : serve(Fixed(HttpResponse::Data(kPdf, "application/pdf"))), target);
        QCOMPARE(rig.status(id), RowStatus::Failed);
        QTEST(rig.cell(id, ColPercent), "word");
        QCOMPARE(run.parallel->instanceCount(), 0);
        QVERIFY(rig.files().isEmpty());
    }

    // Both methods share the cookies: a login answered to method 1 authorises method 2.
    void sharedCookies() {
        Run run;
        TransferRig& rig = *run.rig;
        SingleTransfer single(rig.tc.ctx(), rig.list, rig.state);
        const RowId login = rig.addRow(serve(Fixed(With(HttpResponse::Html(kPage), [](auto& r) {
                                           r.addCookie("session", "ok");
                                       }))),
                                       QStringLiteral("login"));
        single.Inet下载当前文件(login);
        const RowId id = run.start(1, serve([](const HttpRequest& q) {
            return q.cookie("session") == "ok" ? HttpResponse::Data(kPdf, "application/pdf")
                                               : HttpResponse::Html(kPage, 403);
        }));
        QVERIFY(run.settle());
        QCOMPARE(rig.cell(id, ColType), QStringLiteral("pdf"));
        QCOMPARE(rig.read(QStringLiteral("paper.pdf")), kPdf);
    }
};

PELDORA_TEST_MAIN(ParallelDownloadsTest)
#include "tst_paralleldownloads.moc"
