#include "download/MimeTypeToExt.h"
#include "download/SingleTransfer.h"
#include "download/TransferRig.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QtTest>
#include <zlib.h>

using namespace peldora;
using namespace peldora::test;

Q_DECLARE_METATYPE(Handler)
Q_DECLARE_METATYPE(RowStatus)

namespace {

const QByteArray kPdf = PdfBody(6000);
const QByteArray kPage =
    "<!DOCTYPE html>\n<html><head><title>Server error</title></head><body>oops</body></html>\n";
const QByteArray kPlain = "some bytes no type check knows";

QByteArray Gzip(const QByteArray& data) {
    z_stream s{};
    deflateInit2(&s, Z_DEFAULT_COMPRESSION, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY);
    QByteArray out(int(deflateBound(&s, uLong(data.size()))) + 32, '\0');
    s.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.constData()));
    s.avail_in = uInt(data.size());
    s.next_out = reinterpret_cast<Bytef*>(out.data());
    s.avail_out = uInt(out.size());
    deflate(&s, Z_FINISH);
    out.truncate(qsizetype(s.total_out));
    deflateEnd(&s);
    return out;
}

} // namespace

class SingleTransferTest : public QObject {
    Q_OBJECT

    TestHttpServer m_server;
    int m_route = 0;

    // A fresh path on the server for one handler.
    QString serve(const Handler& handler, const QString& tail = QStringLiteral("/f")) {
        const QString path = QStringLiteral("/r%1").arg(++m_route) + tail;
        m_server.route(path, handler);
        return m_server.url(path);
    }

    struct Run {
        std::unique_ptr<TransferRig> rig = std::make_unique<TransferRig>();
        std::unique_ptr<SingleTransfer> transfer;
        Run() {
            transfer = std::make_unique<SingleTransfer>(rig->tc.ctx(), rig->list, rig->state);
        }
    };

private slots:
    void initTestCase() { QVERIFY(m_server.start()); }

    void mimeTypes_data() {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("ext");
        const char* rows[][2] = {
            {"application/pdf", "pdf"}, {"application/octet-stream", ""},
            {"application/x-shockwave-flash", "swf"}, {"application/x-javascript", "js"},
            {"application/vnd.rn-realmedia", "rm"}, {"application/vnd.ms-wpl", "wpl"},
            {"application/caj", "caj"}, {"application/kdh", "kdh"}, {"application/nh", "nh"},
            {"application/caa", "caa"}, {"application/vnd.ms-works", "wps"},
            {"application/vnd.ms-powerpoint", "ppt"}, {"application/msword", "doc"},
            {"application/vnd.openxmlformats-officedocument.wordprocessingml.document", "docx"},
            {"application/rtf", "rtf"}, {"application/x-excel", "xls"},
            {"application/vnd.openxmlformats-officedocument.spreadsheetml.sheet", "xlsx"},
            {"application/vnd.openxmlformats-officedocument.presentationml.presentation", "pptx"},
            {"application/pps", "pps"},
            {"application/vnd.openxmlformats-officedocument.presentationml.slideshow", "ppsx"},
            {"application/x-msdownload", "dll"}, {"application/x-tar", "tar"},
            {"application/x-compressed", "tgz"}, {"application/x-zip-compressed", "zip"},
            {"application/x-compress", "z"}, {"application/x-bittorrent", "x"},
            {"application/json", "json"}, {"application/*", ""}, {"application/", ""},
            {"text/html", "html"}, {"text/plain", "txt"}, {"text/css", "css"},
            {"text/javascript", ""}, {"text/xml", "xml"}, {"image/tiff", "tif"},
            {"image/x-png", "png"}, {"image/x-ms-bmp", "bmp"}, {"image/x-icon", "ico"},
            {"image/pjpeg", "pjpeg"}, {"image/svg+xml", "svg"}, {"video/mpeg4", "mp4"},
            {"video/x-msvideo", "avi"}, {"video/x-ms-asf", "asf"}, {"video/x-ms-wmv", "wmv"},
            {"video/quicktime", "mov"}, {"video/mp4", "mp4"}, {"audio/amr", "amr"},
            {"audio/x-ms-wma", "wma"}, {"audio/x-wav", "wav"}, {"audio/x-pn-realaudio", "ram"},
            {"audio/midi", "mid"}, {"audio/x-mpegurl", "mpeg"}, {"message/rfc822", "mht"},
            {"model/vrml", "vrml"}, {"pdf", "pdf"}, {" APPLICATION / P D F ", "pdf"},
            {"a/b/c", "a"}, {"", ""},
        };
        for (const auto& r : rows)
            QTest::newRow(r[0][0] ? r[0] : "(empty)") << QString::fromLatin1(r[0]) << QString::fromLatin1(r[1]);
    }
    void mimeTypes() {
        QFETCH(QString, type);
        QFETCH(QString, ext);
        QCOMPARE(MimeTypeToExt(type), ext);
    }

    void headerRules_data() {
        QTest::addColumn<QString>("contentType");
        QTest::addColumn<QString>("raw");
        QTest::addColumn<QString>("ext");
        const QString ok = QStringLiteral("HTTP/1.1 200 OK\r\n");
        QTest::newRow("html with charset") << "text/html; charset=utf-8" << ok << "html";
        QTest::newRow("octet-stream named pdf")
            << "application/octet-stream"
            << ok + "Content-Disposition: attachment; filename=\"a.pdf\"" << "pdf";
        QTest::newRow("octet-stream, charset, no name")
            << "application/octet-stream; Charset=gbk" << ok << "htm";
        QTest::newRow("octet-stream alone") << "application/octet-stream" << ok << "";
        QTest::newRow("no type") << "" << ok << "";
    }
    void headerRules() {
        QFETCH(QString, contentType);
        QFETCH(QString, raw);
        QFETCH(QString, ext);
        QCOMPARE(ExtensionFromResponse(contentType, raw), ext);
    }

    void statusLine() {
        QVERIFY(StatusLineIsOk(QStringLiteral("HTTP/1.1 200 OK\r\nA: b")));
        QVERIFY(StatusLineIsOk(QStringLiteral("HTTP/1.0 200 ok")));
        QVERIFY(!StatusLineIsOk(QStringLiteral("HTTP/1.1 200 Fine\r\nX: OK")));
        QVERIFY(!StatusLineIsOk(QStringLiteral("HTTP/1.1 404 Not Found")));
    }

    void portsAndProxy_data() {
        QTest::addColumn<QString>("address");
        QTest::addColumn<int>("proxyEnabled");
        QTest::addColumn<QString>("proxyPort");
        QTest::addColumn<int>("port");
        QTest::addColumn<int>("protocol");
        QTest::addColumn<QString>("proxy");
        QTest::newRow("port and path") << "http://host:8080/a.pdf" << 0 << "" << 8080 << 4 << "";
        QTest::newRow("port, no path") << "http://host:8080" << 0 << "" << 80 << 4 << "";
        QTest::newRow("no port") << "http://host/a.pdf" << 0 << "" << 80 << 4 << "";
        QTest::newRow("two colons") << "http://a:b:8/x" << 0 << "" << 80 << 4 << "";
        QTest::newRow("not a number") << "http://host:x/a" << 0 << "" << 80 << 4 << "";
        QTest::newRow("https") << "HTTPS://host:8443/a.pdf" << 0 << "" << 443 << 5 << "";
        QTest::newRow("proxy") << "http://host/a" << 1 << "3128" << 3128 << 4 << "proxy.lan:3128";
        QTest::newRow("proxy, empty port") << "http://host/a" << 1 << "" << 0 << 4 << "proxy.lan:";
        QTest::newRow("proxy, https") << "https://host/a" << 1 << "3128" << 443 << 5 << "proxy.lan:3128";
    }
    void portsAndProxy() {
        QFETCH(QString, address);
        QFETCH(int, proxyEnabled);
        QFETCH(QString, proxyPort);
        ProgramState st;
        st.proxyEnabled = proxyEnabled;
        st.proxyAddress = QStringLiteral("proxy.lan");
        st.proxyPort = proxyPort;
        const InetSetup s = InetSetupFor(address, st);
        QTEST(s.remotePort, "port");
        QTEST(s.protocol, "protocol");
        QTEST(s.proxy, "proxy");
        QCOMPARE(s.accessType, proxyEnabled == 1 ? 2 : 0);
        const QNetworkProxy p = DownloadNetwork::ProxyFor(st);
        QCOMPARE(p.type(), proxyEnabled == 1 ? QNetworkProxy::HttpProxy : QNetworkProxy::NoProxy);
    }

    void stateTexts() {
        QCOMPARE(InetStateText(0), QStringLiteral("0 无状态可报告。"));
        QCOMPARE(InetStateText(12), QStringLiteral("12 该请求已经完成，并且所有数据均已接收到。"));
        QCOMPARE(InetStateText(11, 1, QStringLiteral("Connection refused")),
                 QStringLiteral("11 与主机通讯时出现了错误:1:Connection refused"));
        QCOMPARE(InetStateText(13, 5, QStringLiteral("x")), QStringLiteral("5:x"));
    }

    // Every way a server can answer, and what the row and the folder hold afterwards.
    void serverBehaviours_data() {
        QTest::addColumn<Handler>("handler");
        QTest::addColumn<double>("maxMB");
        QTest::addColumn<RowStatus>("status");
        QTest::addColumn<QString>("size");
        QTest::addColumn<QString>("received");
        QTest::addColumn<QString>("percent");
        QTest::addColumn<QStringList>("files"); // the folder afterwards
        QTest::addColumn<QByteArray>("content"); // of the first file

        const auto pdf = HttpResponse::Data(kPdf, "application/pdf");
        const QString n = QString::number(kPdf.size());
        const QString half = QString::number(3000);
        const QStringList pdfFile{QStringLiteral("paper.pdf")};
        const QStringList none;
        const auto Completed = RowStatus::Completed;
        const auto Failed = RowStatus::Failed;

        QTest::newRow("length") << Fixed(pdf) << 10.0 << Completed << n << n << "100%" << pdfFile << kPdf;
        QTest::newRow("no length, close")
            << Fixed(With(pdf, [](auto& r) { r.framing = HttpResponse::Framing::Close; })) << 10.0
            << Completed << n << n << "100%" << pdfFile << kPdf;
        QTest::newRow("no length, chunked")
            << Fixed(With(pdf, [](auto& r) { r.framing = HttpResponse::Framing::Chunked; r.bytesPerTick = 1000; }))
            << 10.0 << Completed << n << n << "100%" << pdfFile << kPdf;
        QTest::newRow("HTTP/1.0, no keep-alive")
            << Fixed(With(pdf, [](auto& r) { r.httpVersion = "HTTP/1.0"; r.framing = HttpResponse::Framing::Close; }))
            << 10.0 << Completed << n << n << "100%" << pdfFile << kPdf;
        QTest::newRow("length too short")
            << Fixed(With(pdf, [](auto& r) { r.setHeader("Content-Length", "4000"); r.cutAfter = 4000; }))
            << 10.0 << Completed << "4000" << "4000" << "100%" << pdfFile << kPdf.left(4000);
        QTest::newRow("length too long, then closed")
            << Fixed(With(pdf, [](auto& r) { r.setHeader("Content-Length", "9000"); r.cutAfter = 6000; }))
            << 10.0 << Failed << "下载失败" << n << "66%" << none << QByteArray();
        QTest::newRow("length too long, kept open")
            << Fixed(With(pdf, [](auto& r) { r.setHeader("Content-Length", "9000"); }))
            << 10.0 << Failed << "下载失败" << n << "66%" << none << QByteArray();
        QTest::newRow("cut off")
            << Fixed(With(pdf, [](auto& r) { r.cutAfter = 3000; })) << 10.0 << Failed << "下载失败"
            << half << "50%" << none << QByteArray();
        QTest::newRow("reset mid-body")
            << Fixed(With(pdf, [](auto& r) { r.cutAfter = 3000; r.resetAtCut = true; r.bytesPerTick = 1000; }))
            << 10.0 << Failed << "下载失败" << "*" << "*" << none << QByteArray();
        QTest::newRow("stall before headers")
            << Fixed(With(pdf, [](auto& r) { r.delayMs = 600000; })) << 10.0 << Failed << "" << ""
            << "" << none << QByteArray();
        QTest::newRow("stall after some bytes")
            << Fixed(With(pdf, [](auto& r) { r.stallAfter = 3000; })) << 10.0 << Failed << "下载失败"
            << half << "50%" << none << QByteArray();
        QTest::newRow("slow drip")
            << Fixed(With(pdf, [](auto& r) { r.bytesPerTick = 200; r.tickMs = 5; })) << 10.0
            << Completed << n << n << "100%" << pdfFile << kPdf;
        QTest::newRow("404 page with length")
            << Fixed(HttpResponse::Html(kPage, 404)) << 10.0 << Completed
            << QString::number(kPage.size()) << QString::number(kPage.size()) << "100%"
            << QStringList{QStringLiteral("paper.htm")} << kPage;
        QTest::newRow("500 page, chunked: fetched again")
            << Fixed(With(HttpResponse::Html(kPage, 500), [](auto& r) { r.framing = HttpResponse::Framing::Chunked; }))
            << 10.0 << Completed << QString::number(kPage.size()) << QString::number(kPage.size())
            << "100%" << QStringList{QStringLiteral("paper.htm")} << kPage;
        QTest::newRow("500, chunked, empty: fallback gets nothing")
            << Fixed(With(HttpResponse::Html("", 500), [](auto& r) { r.framing = HttpResponse::Framing::Chunked; }))
            << 10.0 << Failed << "" << "" << "" << none << QByteArray();
        QTest::newRow("200 Fine without length: fetched again")
            << Fixed(With(pdf, [](auto& r) { r.reason = "Fine"; r.framing = HttpResponse::Framing::Close; }))
            << 10.0 << Completed << n << n << "100%" << pdfFile << kPdf;
        QTest::newRow("redirect")
            << Handler([this, pdf](const HttpRequest&) {
                   return HttpResponse::Redirect(serve(Fixed(pdf)).toUtf8());
               })
            << 10.0 << Completed << n << n << "100%" << pdfFile << kPdf;
        QTest::newRow("redirect chain")
            << Handler([this, pdf](const HttpRequest&) {
                   const QString last = serve(Fixed(pdf));
                   const QString mid = serve(Fixed(HttpResponse::Redirect(last.toUtf8(), 301)));
                   return HttpResponse::Redirect(mid.toUtf8(), 307);
               })
            << 10.0 << Completed << n << n << "100%" << pdfFile << kPdf;
        QTest::newRow("redirect loop")
            << Handler([](const HttpRequest& q) { return HttpResponse::Redirect(q.target); })
            << 10.0 << Failed << "*" << "*" << "*" << none << QByteArray();
        QTest::newRow("disposition plain")
            << Fixed(With(HttpResponse::Data(kPlain, "application/octet-stream"), [](auto& r) {
                   r.setHeader("Content-Disposition", "attachment; filename=report.doc");
               }))
            << 10.0 << Completed << "30" << "30" << "100%" << QStringList{QStringLiteral("paper.doc")} << kPlain;
        QTest::newRow("disposition quoted")
            << Fixed(With(HttpResponse::Data(kPlain, "application/octet-stream"), [](auto& r) {
                   r.setHeader("Content-Disposition", "attachment; filename=\"report 1.rtf\"; size=30");
               }))
            << 10.0 << Completed << "30" << "30" << "100%" << QStringList{QStringLiteral("paper.rtf")} << kPlain;
        // Only "filename=" announces an extension; the row keeps its own type.
        QTest::newRow("disposition RFC 5987")
            << Fixed(With(HttpResponse::Data(kPlain, "application/octet-stream"), [](auto& r) {
                   r.setHeader("Content-Disposition", "attachment; filename*=UTF-8''%E8%AE%BA.doc");
               }))
            << 10.0 << Completed << "30" << "30" << "100%" << QStringList{QStringLiteral("paper.pdf")} << kPlain;
        QTest::newRow("octet-stream without a name")
            << Fixed(HttpResponse::Data(kPlain, "application/octet-stream")) << 10.0 << Completed
            << "30" << "30" << "100%" << QStringList{QStringLiteral("paper.pdf")} << kPlain;
        QTest::newRow("html with charset")
            << Fixed(HttpResponse::Data(kPlain, "text/html; charset=utf-8")) << 10.0 << Completed
            << "30" << "30" << "100%" << QStringList{QStringLiteral("paper.html")} << kPlain;
        QTest::newRow("gzip although identity was asked")
            << Fixed(With(HttpResponse::Data(Gzip(kPdf), "application/pdf"), [](auto& r) {
                   r.setHeader("Content-Encoding", "gzip");
               }))
            << 10.0 << Completed << QString::number(Gzip(kPdf).size())
            << QString::number(Gzip(kPdf).size()) << "100%" << pdfFile << kPdf;
        QTest::newRow("10 GB declared")
            << Fixed(With(pdf, [](auto& r) { r.setHeader("Content-Length", "10737418240"); r.stallAfter = 0; }))
            << 10.0 << Completed << "" << "" << "大文件，跳过" << none << QByteArray();
        QTest::newRow("declared exactly at the limit")
            << Fixed(HttpResponse::Data(PdfBody(1048576), "application/pdf")) << 1.0 << Completed
            << "1048576" << "1048576" << "100%" << pdfFile << PdfBody(1048576);
        QTest::newRow("declared one byte over the limit")
            << Fixed(HttpResponse::Data(PdfBody(1048577), "application/pdf")) << 1.0 << Completed
            << "" << "" << "大文件，跳过" << none << QByteArray();
        QTest::newRow("no length, limit passed while receiving: nothing kept")
            << Fixed(With(HttpResponse::Data(PdfBody(40000), "application/pdf"), [](auto& r) {
                   r.framing = HttpResponse::Framing::Chunked;
               }))
            << 0.01 << Completed << "未知" << "*" << "大文件，跳过" << none << QByteArray();
        QTest::newRow("cookie missing")
            << Handler([](const HttpRequest& q) {
                   return q.cookie("session") == "ok" ? HttpResponse::Data(kPdf, "application/pdf")
                                                      : HttpResponse::Html(kPage, 403);
               })
            << 10.0 << Completed << QString::number(kPage.size()) << QString::number(kPage.size())
            << "100%" << QStringList{QStringLiteral("paper.htm")} << kPage;
    }
    void serverBehaviours() {
        QFETCH(Handler, handler);
        QFETCH(double, maxMB);
        Run run;
        TransferRig& rig = *run.rig;
        rig.tc.ctx().state.maxFileSizeMB = maxMB;
        const RowId id = rig.addRow(serve(handler));
        run.transfer->Inet下载当前文件(id);
        QTEST(rig.status(id), "status");
        QFETCH(QString, size);
        QFETCH(QString, received);
        QFETCH(QString, percent);
        if (size != u"*") QCOMPARE(rig.cell(id, ColSize), size);
        if (received != u"*") QCOMPARE(rig.cell(id, ColReceived), received);
        if (percent != u"*") QCOMPARE(rig.cell(id, ColPercent), percent);
        QTEST(rig.files(), "files");
        QFETCH(QByteArray, content);
        if (!rig.files().isEmpty()) QCOMPARE(rig.read(rig.files().first()), content);
        QVERIFY(!run.transfer->executing());
        QVERIFY(!rig.state.downloadBusy);
        QCOMPARE(rig.state.lastFinishTime, rig.tc.clock.steady);
    }

    void connectionRefused() {
        Run run;
        TransferRig& rig = *run.rig;
        const RowId id = rig.addRow(QStringLiteral("http://127.0.0.1:%1/a.pdf").arg(ClosedPort()));
        QStringList panel3;
        connect(run.transfer.get(), &SingleTransfer::panel3TextChanged, this,
                [&](const QString& t) { panel3 << t; });
        run.transfer->Inet下载当前文件(id);
        QCOMPARE(rig.status(id), RowStatus::Failed);
        QCOMPARE(rig.cell(id, ColSize), QString());
        QVERIFY(rig.files().isEmpty());
        QVERIFY(!panel3.isEmpty());
        QVERIFY2(panel3.last().startsWith(QStringLiteral("11 与主机通讯时出现了错误:1:")), qPrintable(panel3.last()));
    }

    // What the server is sent: the referring page (or the root of the address), the program's
    // user agent, the body as it is, and the browser's cookies.
    void requestHeaders() {
        Run run;
        TransferRig& rig = *run.rig;
        const QString address = serve(Fixed(HttpResponse::Data(kPdf, "application/pdf")));
        const RowId a = rig.addRow(address, QStringLiteral("a"));
        const RowId b = rig.addRow(address + QStringLiteral("?b"), QStringLiteral("b"), QStringLiteral("pdf"),
                                   QStringLiteral("http://example.org/list.html"));
        QNetworkCookie cookie("session", "ok");
        cookie.setDomain(QStringLiteral("127.0.0.1"));
        cookie.setPath(QStringLiteral("/"));
        rig.network.cookieJar()->addBrowserCookie(cookie);
        m_server.clearRequests();
        run.transfer->Inet下载当前文件(a);
        run.transfer->Inet下载当前文件(b);
        QCOMPARE(m_server.requests().size(), 2);
        const HttpRequest first = m_server.requests().at(0);
        QCOMPARE(first.header("referer"), m_server.url(QString()).toUtf8());
        QCOMPARE(m_server.requests().at(1).header("referer"), QByteArray("http://example.org/list.html"));
        QVERIFY(first.header("user-agent").startsWith("Peldora/"));
        QCOMPARE(first.header("accept-encoding"), QByteArray("identity"));
        QCOMPARE(first.cookie("session"), QByteArray("ok"));
        QCOMPARE(rig.status(a), RowStatus::Completed);
    }

    // A cookie that a download response sets is kept for the next download and reported for
    // the browser profile.
    void responseCookies() {
        Run run;
        TransferRig& rig = *run.rig;
        QSignalSpy set(rig.network.cookieJar(), &DownloadCookieJar::cookieSetByResponse);
        QSignalSpy deleted(rig.network.cookieJar(), &DownloadCookieJar::cookieDeletedByResponse);
        const QString login = serve(Fixed(With(HttpResponse::Html(kPage), [](auto& r) {
            r.addCookie("session", "ok");
            r.addCookie("old", "x", "Path=/; Expires=Thu, 01 Jan 1970 00:00:00 GMT");
        })));
        const RowId l = rig.addRow(login, QStringLiteral("login"));
        run.transfer->Inet下载当前文件(l);
        QCOMPARE(set.size(), 1);
        QCOMPARE(set.at(0).at(0).value<QNetworkCookie>().name(), QByteArray("session"));
        QCOMPARE(deleted.size(), 1);
        const RowId f = rig.addRow(serve([](const HttpRequest& q) {
            return q.cookie("session") == "ok" ? HttpResponse::Data(kPdf, "application/pdf")
                                               : HttpResponse::Html(kPage, 403);
        }));
        run.transfer->Inet下载当前文件(f);
        QCOMPARE(rig.cell(f, ColType), QStringLiteral("pdf"));
        QCOMPARE(rig.read(QStringLiteral("paper.pdf")), kPdf);
    }

    // The header block: status line with its reason phrase and every header, cookies one per line.
    void rawHeaderBlock() {
        DownloadNetwork net;
        const QString address = serve(Fixed(With(HttpResponse::Data("abc", "text/plain"), [](auto& r) {
            r.addCookie("a", "1");
            r.addCookie("b", "2");
            r.setHeader("X-Thing", "yes");
        })));
        QNetworkReply* reply = net.singleManager()->get(DownloadNetwork::Request(QUrl(address)));
        QTRY_VERIFY(reply->isFinished());
        const QString raw = RawHeaderBlock(*reply);
        QVERIFY2(raw.startsWith(QStringLiteral("HTTP/1.1 200 OK\r\n")), qPrintable(raw));
        QVERIFY(raw.contains(QStringLiteral("\r\nSet-Cookie: a=1; Path=/\r\nSet-Cookie: b=2; Path=/")));
        QVERIFY(raw.contains(QStringLiteral("\r\nX-Thing: yes")));
        QVERIFY(raw.contains(QStringLiteral("\r\nContent-Length: 3")));
        delete reply;
    }

    // The old file of the target survives every failure and is replaced only by a complete one.
    void oldFileSurvivesFailures_data() {
        QTest::addColumn<Handler>("handler");
        QTest::addColumn<bool>("replaced");
        const auto pdf = HttpResponse::Data(kPdf, "application/pdf");
        QTest::newRow("cut off") << Fixed(With(pdf, [](auto& r) { r.cutAfter = 100; })) << false;
        QTest::newRow("stalled") << Fixed(With(pdf, [](auto& r) { r.stallAfter = 100; })) << false;
        QTest::newRow("too large") << Fixed(With(pdf, [](auto& r) {
            r.setHeader("Content-Length", "99999999999");
            r.stallAfter = 0;
        })) << false;
        QTest::newRow("complete") << Fixed(pdf) << true;
    }
    void oldFileSurvivesFailures() {
        QFETCH(Handler, handler);
        QFETCH(bool, replaced);
        Run run;
        TransferRig& rig = *run.rig;
        rig.write(QStringLiteral("paper.pdf"), "old file");
        const RowId id = rig.addRow(serve(handler));
        run.transfer->Inet下载当前文件(id);
        QCOMPARE(rig.files(), QStringList{QStringLiteral("paper.pdf")});
        QCOMPARE(rig.read(QStringLiteral("paper.pdf")), replaced ? kPdf : QByteArray("old file"));
    }

    // Rename policy: a taken name is numbered; the old file stays as it was.
    void renamePolicy() {
        Run run;
        TransferRig& rig = *run.rig;
        rig.state.sameNamePolicy = SameNamePolicy::Rename;
        rig.write(QStringLiteral("paper.pdf"), "old file");
        const RowId id = rig.addRow(serve(Fixed(HttpResponse::Data(kPdf, "application/pdf"))));
        run.transfer->Inet下载当前文件(id);
        QCOMPARE(rig.cell(id, ColName), QStringLiteral("paper[001]"));
        QCOMPARE(rig.read(QStringLiteral("paper[001].pdf")), kPdf);
        QCOMPARE(rig.read(QStringLiteral("paper.pdf")), QByteArray("old file"));
    }

    // The stop command clears the run flag: the file in progress is given up, known size or
    // not, and nothing of it is kept.
    void stopWhileReceiving_data() {
        QTest::addColumn<bool>("chunked");
        QTest::newRow("known size") << false;
        QTest::newRow("unknown size") << true;
    }
    void stopWhileReceiving() {
        QFETCH(bool, chunked);
        Run run;
        TransferRig& rig = *run.rig;
        rig.write(QStringLiteral("paper.pdf"), "old file");
        auto r = HttpResponse::Data(kPdf, "application/pdf");
        r.bytesPerTick = 500;
        if (chunked) r.framing = HttpResponse::Framing::Chunked;
        const RowId id = rig.addRow(serve(Fixed(r)));
        rig.tc.pump.onPump = [&] {
            if (rig.cell(id, ColReceived).toInt() >= 1000) {
                rig.state.downloadBusy = false; // the stop command
                run.transfer->cancel();
            }
        };
        run.transfer->Inet下载当前文件(id);
        rig.tc.pump.onPump = {};
        QCOMPARE(rig.status(id), RowStatus::Failed);
        QCOMPARE(rig.cell(id, ColSize), QStringLiteral("下载取消"));
        QCOMPARE(rig.files(), QStringList{QStringLiteral("paper.pdf")});
        QCOMPARE(rig.read(QStringLiteral("paper.pdf")), QByteArray("old file"));
    }

    // A call while a transfer runs only puts its row back to waiting.
    void secondCallWhileRunning() {
        Run run;
        TransferRig& rig = *run.rig;
        auto r = HttpResponse::Data(kPdf, "application/pdf");
        r.bytesPerTick = 1000;
        const RowId first = rig.addRow(serve(Fixed(r)), QStringLiteral("one"));
        const RowId second = rig.addRow(serve(Fixed(r)), QStringLiteral("two"));
        bool tried = false;
        rig.tc.pump.onPump = [&] {
            if (tried) return;
            tried = true;
            QVERIFY(run.transfer->executing());
            run.transfer->Inet下载当前文件(second);
        };
        run.transfer->Inet下载当前文件(first);
        rig.tc.pump.onPump = {};
        QCOMPARE(rig.status(first), RowStatus::Completed);
        QCOMPARE(rig.status(second), RowStatus::Waiting);
        QCOMPARE(rig.cell(second, ColSize), QStringLiteral("等待重新下载"));
    }

    // The row removed while its file arrives: the attempt ends quietly and keeps nothing.
    void rowRemovedDuringTransfer() {
        Run run;
        TransferRig& rig = *run.rig;
        auto r = HttpResponse::Data(kPdf, "application/pdf");
        r.bytesPerTick = 500;
        const RowId id = rig.addRow(serve(Fixed(r)));
        QSignalSpy ended(run.transfer.get(), &SingleTransfer::fileEnded);
        rig.tc.pump.onPump = [&] {
            const int row = rig.row(id);
            if (row >= 0 && rig.list.text(row, ColReceived).toInt() > 0) rig.list.RemoveRowAt(row);
        };
        run.transfer->Inet下载当前文件(id);
        rig.tc.pump.onPump = {};
        QCOMPARE(rig.list.count(), 0);
        QVERIFY(rig.files().isEmpty());
        QCOMPARE(ended.size(), 1);
        QVERIFY(!run.transfer->executing());
    }

    // Rows that name nowhere to read from or to write to fail with a word and write nothing.
    void unusableRows_data() {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("folder"); // relative to the download folder; "/" is the root
        QTest::addColumn<QString>("word");
        QTest::newRow("no address") << "" << "paper" << "pdf" << "" << "无下载地址";
        QTest::newRow("folder blocked by a file") << "ok" << "paper" << "pdf" << "blocker/sub" << "无法创建文件夹";
        QTest::newRow("the root") << "ok" << "paper" << "pdf" << "/" << "无法创建文件夹";
        QTest::newRow("no name and no type") << "ok" << "" << "" << "" << "保存路径无效";
    }
    void unusableRows() {
        QFETCH(QString, address);
        QFETCH(QString, name);
        QFETCH(QString, type);
        QFETCH(QString, folder);
        Run run;
        TransferRig& rig = *run.rig;
        rig.write(QStringLiteral("blocker"), "a file where a folder should be");
        const QString url = address.isEmpty() ? QString() : serve(Fixed(HttpResponse::Data(kPlain, "application/octet-stream")));
        rig.list.AddRow(url.isEmpty() ? QStringLiteral("|second") : url, name, type,
                        folder == u"/" ? folder : rig.folder() + folder, QString());
        const RowId id = rig.list.idOfRow(0);
        run.transfer->Inet下载当前文件(id);
        QCOMPARE(rig.status(id), RowStatus::Failed);
        QTEST(rig.cell(id, ColPercent), "word");
        QCOMPARE(rig.files(), QStringList{QStringLiteral("blocker")});
    }

    // A folder where the file should go cannot be replaced; it stays.
    void targetIsAFolder() {
        Run run;
        TransferRig& rig = *run.rig;
        QDir(rig.dir.path()).mkdir(QStringLiteral("paper.pdf"));
        const RowId id = rig.addRow(serve(Fixed(HttpResponse::Data(kPdf, "application/pdf"))));
        run.transfer->Inet下载当前文件(id);
        QCOMPARE(rig.status(id), RowStatus::Failed);
        QCOMPARE(rig.cell(id, ColPercent), QStringLiteral("无法替换"));
        QVERIFY(QFileInfo(rig.folder() + QStringLiteral("paper.pdf")).isDir());
        QCOMPARE(rig.files(), QStringList{QStringLiteral("paper.pdf")});
    }

    // End of every attempt: status bar, pause clock, cues, and the login seam for web pages.
    void endOfAttempt() {
        Run run;
        TransferRig& rig = *run.rig;
        run.transfer->setOptions({true, true});
        QStringList panel2;
        connect(run.transfer.get(), &SingleTransfer::panel2TextChanged, this,
                [&](const QString& t) { panel2 << t; });
        QSignalSpy login(run.transfer.get(), &SingleTransfer::webPageReceived);
        const RowId page = rig.addRow(serve(Fixed(HttpResponse::Html(kPage))), QStringLiteral("page"));
        rig.tc.clock.steady = 5000;
        run.transfer->Inet下载当前文件(page);
        QCOMPARE(panel2, (QStringList{QStringLiteral("正在下载:page"), QStringLiteral("完成下载:page")}));
        QCOMPARE(rig.tc.sound.played, QList<int>{101});
        QCOMPARE(login.size(), 1);
        QCOMPARE(login.at(0).at(0).value<quint64>(), page);
        QVERIFY(rig.state.lastFinishTime >= 5000);

        rig.tc.sound.played.clear();
        const RowId broken = rig.addRow(serve(Fixed(With(HttpResponse::Data(kPdf, "application/pdf"),
                                                         [](auto& r) { r.cutAfter = 10; }))),
                                        QStringLiteral("broken"));
        run.transfer->Inet下载当前文件(broken);
        QCOMPARE(rig.tc.sound.played, QList<int>{103});
        QCOMPARE(login.size(), 1);
    }

    // A proxy that is on but cannot be used (nothing listens, no such host, no port) fails the
    // row at once: no hang, and no quiet detour straight to the server.
    void unusableProxyFailsTheRow_data() {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("port");
        QTest::newRow("nothing listens") << "127.0.0.1" << QString::number(ClosedPort());
        QTest::newRow("no such host") << "proxy.invalid" << "3128";
        QTest::newRow("no port") << "127.0.0.1" << "";
        QTest::newRow("port not a number") << "127.0.0.1" << "abc";
    }
    void unusableProxyFailsTheRow() {
        QFETCH(QString, address);
        QFETCH(QString, port);
        Run run;
        TransferRig& rig = *run.rig;
        rig.tc.ctx().state.proxyEnabled = 1;
        rig.tc.ctx().state.proxyAddress = address;
        rig.tc.ctx().state.proxyPort = port;
        const QString url = serve(Fixed(HttpResponse::Data(kPdf, "application/pdf")));
        const int before = m_server.requestCount(QUrl(url).path());
        const RowId id = rig.addRow(url);
        run.transfer->Inet下载当前文件(id);
        QCOMPARE(rig.status(id), RowStatus::Failed);
        QCOMPARE(m_server.requestCount(QUrl(url).path()), before);
        QVERIFY(!QFile::exists(rig.folder() + QStringLiteral("paper.pdf")));
    }

    // Through a real HTTP proxy when the proxy is on; straight to the server otherwise, even
    // when the environment names a proxy.
    void throughProxy() {
        const QString tinyproxy = QStandardPaths::findExecutable(QStringLiteral("tinyproxy"));
        if (tinyproxy.isEmpty()) QSKIP("tinyproxy is not installed");
        Run run;
        TransferRig& rig = *run.rig;
        const quint16 port = ClosedPort();
        QTemporaryDir proxyDir;
        const QString conf = proxyDir.path() + QStringLiteral("/tinyproxy.conf");
        QFile c(conf);
        QVERIFY(c.open(QIODevice::WriteOnly));
        c.write(QStringLiteral("Port %1\nListen 127.0.0.1\nTimeout 60\nLogFile \"%2/proxy.log\"\n"
                               "LogLevel Info\nMaxClients 10\nAllow 127.0.0.1\n")
                    .arg(port)
                    .arg(proxyDir.path())
                    .toUtf8());
        c.close();
        QProcess proxy;
        proxy.start(tinyproxy, {QStringLiteral("-d"), QStringLiteral("-c"), conf});
        QVERIFY(proxy.waitForStarted());
        const auto proxyLog = [&] {
            QFile f(proxyDir.path() + QStringLiteral("/proxy.log"));
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        };
        QTRY_VERIFY_WITH_TIMEOUT(proxyLog().contains("Accepting connections"), 5000);

        rig.tc.ctx().state.proxyEnabled = 1;
        rig.tc.ctx().state.proxyAddress = QStringLiteral("127.0.0.1");
        rig.tc.ctx().state.proxyPort = QString::number(port);
        const QString address = serve(Fixed(HttpResponse::Data(kPdf, "application/pdf")), QStringLiteral("/via-proxy.pdf"));
        const RowId id = rig.addRow(address);
        run.transfer->Inet下载当前文件(id);
        QCOMPARE(rig.status(id), RowStatus::Completed);
        QCOMPARE(rig.read(QStringLiteral("paper.pdf")), kPdf);
        QTRY_VERIFY2(proxyLog().contains("via-proxy.pdf"), proxyLog().constData());

        // Proxy off: nothing goes through it, whatever the environment says.
        qputenv("http_proxy", QStringLiteral("http://127.0.0.1:%1").arg(port).toUtf8());
        rig.tc.ctx().state.proxyEnabled = 0;
        const RowId direct = rig.addRow(serve(Fixed(HttpResponse::Data(kPdf, "application/pdf")),
                                              QStringLiteral("/direct.pdf")),
                                        QStringLiteral("direct"));
        run.transfer->Inet下载当前文件(direct);
        qunsetenv("http_proxy");
        QCOMPARE(rig.status(direct), RowStatus::Completed);
        QVERIFY(!proxyLog().contains("direct.pdf"));
        proxy.terminate();
        proxy.waitForFinished(3000);
    }
};

PELDORA_TEST_MAIN(SingleTransferTest)
#include "tst_singletransfer.moc"
