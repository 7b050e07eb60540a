// uXMLHTTP against the local test server: its events and their order, the status texts, the
// save to file, the abort, the cut-off of an overlong body.
#include "about/XmlHttp.h"
#include "support/TestContext.h"
#include "support/TestHttpServer.h"

#include <QFile>
#include <QSignalSpy>
#include <QtTest>

using namespace peldora;
using namespace peldora::test;

namespace {

// The events of one control, in the order they came.
struct Recorder {
    QStringList events;
    explicit Recorder(uXMLHTTP& http) {
        QObject::connect(&http, &uXMLHTTP::OnReadyStateChange, [this] {
            if (events.isEmpty() || events.last() != QStringLiteral("change")) events << "change";
        });
        QObject::connect(&http, &uXMLHTTP::OnDateArrived, [this] { events << "arrived"; });
        QObject::connect(&http, &uXMLHTTP::OnDateErr,
                         [this](const QString& text) { events << "err:" + text; });
    }
    bool ended() const {
        return !events.isEmpty() && events.last() != QStringLiteral("change");
    }
};

} // namespace

class XmlHttpTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void getArrives();
    void errorStatuses_data();
    void errorStatuses();
    void saveToFile();
    void abortEndsWithoutEvents();
    void refusedConnectionAndBadOpen();
    void overlongBodyIsCut();

private:
    TestHttpServer m_server;
};

void XmlHttpTest::initTestCase() {
    m_server.route(QStringLiteral("/v.txt"), [](const HttpRequest& r) {
        HttpResponse resp = HttpResponse::Data("1.2.209", "text/plain");
        resp.setHeader("X-Method", r.method);
        resp.bytesPerTick = 2; // arrives over several polls
        return resp;
    });
    m_server.route(QStringLiteral("/status/*"), [](const HttpRequest& r) {
        HttpResponse resp = HttpResponse::Html("<html>status</html>");
        resp.status = r.path.section(u'/', -1).toInt();
        return resp;
    });
    m_server.route(QStringLiteral("/empty"),
                   [](const HttpRequest&) { return HttpResponse::Data("", "text/plain"); });
    m_server.route(QStringLiteral("/slow"), [](const HttpRequest&) {
        HttpResponse resp = HttpResponse::Data("late", "text/plain");
        resp.delayMs = 500;
        return resp;
    });
    m_server.route(QStringLiteral("/big"), [](const HttpRequest&) {
        return HttpResponse::Data(QByteArray(10 * 1024 * 1024, 'x'), "text/html");
    });
    m_server.route(QStringLiteral("/gbk"), [](const HttpRequest&) {
        return HttpResponse::Data(QByteArray("\xd6\xd0\xce\xc4"), "text/plain; charset=GBK");
    });
    QVERIFY(m_server.start());
}

void XmlHttpTest::getArrives() {
    uXMLHTTP http;
    Recorder rec(http);
    QCOMPARE(http.ReadyState(), 0);
    QVERIFY(http.Open_(QStringLiteral("get"), m_server.url(QStringLiteral("/v.txt"))));
    QCOMPARE(http.ReadyState(), 1);
    http.SetRequestHeader(QStringLiteral("X-Test"), QStringLiteral("yes"));
    http.Send_();
    QTRY_VERIFY_WITH_TIMEOUT(rec.ended(), 10000);
    QCOMPARE(rec.events, (QStringList{"change", "arrived"}));
    QVERIFY(http.DownOK());
    QCOMPARE(http.ReadyState(), 4);
    QCOMPARE(http.Status(), 200);
    QCOMPARE(http.StatusText(), QStringLiteral("OK"));
    QCOMPARE(http.ResponseText(), QStringLiteral("1.2.209"));
    QCOMPARE(http.ResponseBody(), QByteArray("1.2.209"));
    // The method went out in upper case, with the header set.
    QCOMPARE(http.GetResponseHeader(QStringLiteral("x-method")), QStringLiteral("GET"));
    QVERIFY(http.GetAllResponseHeaders().contains(QStringLiteral("Content-Type: text/plain")));
    QCOMPARE(m_server.requests().last().header("x-test"), QByteArray("yes"));
    // Exactly one completion: no more events follow.
    QTest::qWait(100);
    QCOMPARE(rec.events.size(), 2);

    // The body is decoded by its declared charset.
    QVERIFY(http.Open_(QStringLiteral("GET"), m_server.url(QStringLiteral("/gbk"))));
    http.Send_();
    QTRY_VERIFY_WITH_TIMEOUT(http.DownOK(), 10000);
    QCOMPARE(http.ResponseText(), QStringLiteral("中文"));
}

void XmlHttpTest::errorStatuses_data() {
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("text");
    QTest::newRow("404") << 404 << QStringLiteral("没有发现文件?查询或URl");
    QTest::newRow("500") << 500 << QStringLiteral("服务器产生内部错误");
    QTest::newRow("418 no entry") << 418 << QString();
    QTest::newRow("204") << 204 << QStringLiteral("请求收到，但返回信息为空");
}

void XmlHttpTest::errorStatuses() {
    QFETCH(int, status);
    QFETCH(QString, text);
    uXMLHTTP http;
    Recorder rec(http);
    QVERIFY(http.Open_(QStringLiteral("GET"), m_server.url(QStringLiteral("/status/%1").arg(status))));
    http.Send_();
    QTRY_VERIFY_WITH_TIMEOUT(rec.ended(), 10000);
    QCOMPARE(rec.events.last(), QStringLiteral("err:") + text);
    QCOMPARE(http.Status(), status);
    QVERIFY(http.DownOK());
}

void XmlHttpTest::saveToFile() {
    TestContext t;
    const QString path = t.dir() + QStringLiteral("/saved.txt");
    QFile old(path);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("an older and longer file");
    old.close();
    uXMLHTTP http;
    bool savedBeforeEvent = false;
    connect(&http, &uXMLHTTP::OnDateArrived, this, [&] {
        QFile f(path);
        savedBeforeEvent = f.open(QIODevice::ReadOnly) && f.readAll() == "1.2.209";
    });
    QVERIFY(http.Open_(QStringLiteral("GET"), m_server.url(QStringLiteral("/v.txt")),
                       QStringLiteral(" file:///") + path.mid(1) + u' '));
    http.Send_();
    QTRY_VERIFY_WITH_TIMEOUT(http.DownOK(), 10000);
    QVERIFY(savedBeforeEvent);

    // An empty body writes nothing, and still arrives.
    QSignalSpy arrived(&http, &uXMLHTTP::OnDateArrived);
    QVERIFY(http.Open_(QStringLiteral("GET"), m_server.url(QStringLiteral("/empty")), path));
    http.Send_();
    QTRY_COMPARE_WITH_TIMEOUT(arrived.size(), 1, 10000);
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("1.2.209"));
}

void XmlHttpTest::abortEndsWithoutEvents() {
    uXMLHTTP http;
    Recorder rec(http);
    QVERIFY(http.Open_(QStringLiteral("GET"), m_server.url(QStringLiteral("/slow"))));
    http.Send_();
    QTRY_VERIFY_WITH_TIMEOUT(!rec.events.isEmpty(), 5000);
    http.Abort_();
    const QStringList seen = rec.events;
    QTest::qWait(900);
    QCOMPARE(rec.events, seen);
    QVERIFY(!http.DownOK());

    // Send without an Open_ starts nothing.
    uXMLHTTP fresh;
    Recorder none(fresh);
    fresh.Send_();
    QTest::qWait(50);
    QVERIFY(none.events.isEmpty());
}

void XmlHttpTest::refusedConnectionAndBadOpen() {
    uXMLHTTP http;
    Recorder rec(http);
    // A port nobody listens on: status 0, reported with the empty text.
    QVERIFY(http.Open_(QStringLiteral("GET"), QStringLiteral("http://127.0.0.1:1/x")));
    http.Send_();
    QTRY_VERIFY_WITH_TIMEOUT(rec.ended(), 10000);
    QCOMPARE(rec.events.last(), QStringLiteral("err:"));
    QCOMPARE(http.Status(), 0);

    QVERIFY(!http.Open_(QStringLiteral("GET"), QStringLiteral("not an address")));
    QVERIFY(!http.Open_(QString(), m_server.url()));
}

void XmlHttpTest::overlongBodyIsCut() {
    uXMLHTTP http;
    http.setMaximumBodySize(1000);
    QSignalSpy arrived(&http, &uXMLHTTP::OnDateArrived);
    QVERIFY(http.Open_(QStringLiteral("GET"), m_server.url(QStringLiteral("/big"))));
    http.Send_();
    QTRY_COMPARE_WITH_TIMEOUT(arrived.size(), 1, 10000);
    QCOMPARE(http.ResponseBody().size(), 1001);
}

PELDORA_TEST_MAIN(XmlHttpTest)
#include "tst_xmlhttp.moc"
