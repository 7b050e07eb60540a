// The embedded browser on real Qt WebEngine pages from a local server: the document model the
// readers walk, the actions written back to the page, its events, and the one session shared
// by every browser and by the transfers.
#include "platform/qt/WebEngineBrowser.h"
#include "platform/qt/WebProfile.h"
#include "support/ui/UiTest.h"
#include "support/TestHttpServer.h"

#include <QApplication>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSignalSpy>
#include <QtTest>

using namespace peldora;
using namespace peldora::test;

namespace {

const QByteArray kFormPage =
    "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>Form</title></head><body>"
    "<div id=\"box\" class=\"Outer Box\"><p>Hello <b>world</b></p>"
    "<a id=\"rel\" href=\"next.html?a=1&amp;b=2\">  Next  page </a></div>"
    "<form><input id=\"user\" name=\"user\" type=\"text\" value=\"start\">"
    "<button id=\"go\" type=\"button\" onclick=\"document.title = "
    "document.getElementById('user').value\">go</button></form>"
    "<iframe src=\"/frame.html\"></iframe>"
    "</body></html>";

bool Load(WebEngineBrowser& browser, const QString& address) {
    QSignalSpy done(&browser, &Browser::documentComplete);
    browser.navigate(address);
    return done.wait(20000);
}

} // namespace

class WebEngineBrowserTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void documentModelOfALoadedPage();
    void actionsReachThePage();
    void navigationEventsForPageAndFrames();
    void busyWhileThePageLoads();
    void oneSessionForBrowsersAndTransfers();

private:
    TestHttpServer m_server;
};

void WebEngineBrowserTest::initTestCase() {
    m_server.route(QStringLiteral("/form.html"),
                   [](const HttpRequest&) { return HttpResponse::Html(kFormPage); });
    m_server.route(QStringLiteral("/frame.html"), [](const HttpRequest&) {
        return HttpResponse::Html("<html><body>frame</body></html>");
    });
    m_server.route(QStringLiteral("/slow.html"), [](const HttpRequest&) {
        HttpResponse r = HttpResponse::Html("<html><body>slow</body></html>");
        r.delayMs = 800;
        return r;
    });
    m_server.route(QStringLiteral("/login"), [](const HttpRequest&) {
        return HttpResponse::Html("<html><body>welcome</body></html>")
            .addCookie("sid", "browser-session");
    });
    m_server.route(QStringLiteral("/transfer-login"), [](const HttpRequest&) {
        return HttpResponse::Data("ok", "text/plain").addCookie("tid", "transfer-session");
    });
    m_server.route(QStringLiteral("/check"), [](const HttpRequest& request) {
        return HttpResponse::Html("<html><body>" + request.header("cookie") + "</body></html>");
    });
    QVERIFY(m_server.start());
}

void WebEngineBrowserTest::documentModelOfALoadedPage() {
    WebEngineBrowser browser;
    QVERIFY(Load(browser, m_server.url(QStringLiteral("/form.html"))));
    QCOMPARE(browser.title(), QStringLiteral("Form"));

    DomTextRequest text;
    text.tags = {QStringLiteral("a")};
    text.classes = {QStringLiteral("outer box")};
    const DomSnapshot doc = browser.document(text);
    QVERIFY(doc.isHtml);
    QCOMPARE(doc.url, m_server.url(QStringLiteral("/form.html")));

    const int box = doc.getElementById(QStringLiteral("box"));
    QVERIFY(doc.valid(box));
    QCOMPARE(doc.at(box).tag, QStringLiteral("div"));
    QCOMPARE(doc.at(box).className, QStringLiteral("Outer Box")); // the whole attribute, as written
    // Rendered text, not markup; only the elements asked for carry it.
    QCOMPARE(doc.at(box).innerText, QStringLiteral("Hello world\n\nNext page"));
    const QList<int> links = doc.getElementsByTagName(QStringLiteral("A"), box);
    QCOMPARE(links.size(), 1);
    QCOMPARE(doc.at(links[0]).href, m_server.url(QStringLiteral("/next.html?a=1&b=2")));
    QCOMPARE(doc.at(links[0]).innerText, QStringLiteral("Next page"));
    QVERIFY(doc.at(doc.getElementsByTagName(QStringLiteral("p"), box).first()).innerText.isEmpty());
    // Descendants only: the form's input is not below the box.
    QVERIFY(doc.getElementsByTagName(QStringLiteral("input"), box).isEmpty());
    const int user = doc.getElementById(QStringLiteral("user"));
    QCOMPARE(doc.at(user).name, QStringLiteral("user"));
    QCOMPARE(doc.at(user).value, QStringLiteral("start"));
    QVERIFY(browser.outerHtml().startsWith(QStringLiteral("<html><head>")));
}

void WebEngineBrowserTest::actionsReachThePage() {
    WebEngineBrowser browser;
    QVERIFY(Load(browser, m_server.url(QStringLiteral("/form.html"))));
    const DomSnapshot doc = browser.document({});
    QVERIFY(browser.setValue(doc.getElementById(QStringLiteral("user")), QStringLiteral("typed")));
    QSignalSpy titles(&browser, &Browser::titleChanged);
    QVERIFY(browser.click(doc.getElementById(QStringLiteral("go"))));
    QTRY_COMPARE_WITH_TIMEOUT(browser.title(), QStringLiteral("typed"), 10000);
    QVERIFY(!titles.isEmpty());
    QCOMPARE(browser.document({}).at(doc.getElementById(QStringLiteral("user"))).value,
             QStringLiteral("typed"));
    // Indexes that name no element do nothing.
    QVERIFY(!browser.click(-1));
    QVERIFY(!browser.click(100000));
    QVERIFY(!browser.setValue(100000, QStringLiteral("x")));
}

void WebEngineBrowserTest::navigationEventsForPageAndFrames() {
    WebEngineBrowser browser;
    QSignalSpy before(&browser, &Browser::beforeNavigate);
    QVERIFY(Load(browser, m_server.url(QStringLiteral("/form.html"))));
    QTRY_VERIFY_WITH_TIMEOUT(before.size() >= 2, 10000);
    QCOMPARE(before.at(0).at(0).toString(), m_server.url(QStringLiteral("/form.html")));
    QCOMPARE(before.at(0).at(1).toBool(), true);
    QCOMPARE(before.at(1).at(0).toString(), m_server.url(QStringLiteral("/frame.html")));
    QCOMPARE(before.at(1).at(1).toBool(), false);

    // The history moves both ways; at its ends there is nowhere to go.
    QVERIFY(Load(browser, m_server.url(QStringLiteral("/frame.html"))));
    QVERIFY(!browser.goForward());
    QSignalSpy done(&browser, &Browser::documentComplete);
    QVERIFY(browser.goBack());
    QVERIFY(done.wait(20000));
    QCOMPARE(browser.currentUrl(), m_server.url(QStringLiteral("/form.html")));
}

void WebEngineBrowserTest::busyWhileThePageLoads() {
    WebEngineBrowser browser;
    QVERIFY(!browser.busy());
    QSignalSpy done(&browser, &Browser::documentComplete);
    browser.navigate(m_server.url(QStringLiteral("/slow.html")));
    QVERIFY(browser.busy()); // from the request on
    QTest::qWait(300);
    QVERIFY(browser.busy());
    QVERIFY(done.wait(20000));
    QVERIFY(!browser.busy());
    QCOMPARE(done.last().at(0).toString(), m_server.url(QStringLiteral("/slow.html")));
}

void WebEngineBrowserTest::oneSessionForBrowsersAndTransfers() {
    WebEngineBrowser first;
    QVERIFY(Load(first, m_server.url(QStringLiteral("/login"))));

    // Another browser of the program sends the cookie the first one received.
    WebEngineBrowser second;
    QVERIFY(Load(second, m_server.url(QStringLiteral("/check"))));
    QVERIFY(m_server.requests().last().cookie("sid") == "browser-session");

    // So does a transfer, and a cookie a transfer receives reaches the browsers.
    QNetworkAccessManager network;
    network.setCookieJar(new WebSessionCookieJar);
    QTRY_VERIFY_WITH_TIMEOUT(
        !network.cookieJar()->cookiesForUrl(m_server.url(QStringLiteral("/check"))).isEmpty(), 5000);
    for (const QString& path : {QStringLiteral("/check"), QStringLiteral("/transfer-login")}) {
        QNetworkReply* reply = network.get(QNetworkRequest(QUrl(m_server.url(path))));
        QSignalSpy finished(reply, &QNetworkReply::finished);
        QVERIFY(finished.wait(10000));
        reply->deleteLater();
    }
    QCOMPARE(m_server.requests().at(m_server.requests().size() - 2).cookie("sid"),
             QByteArray("browser-session"));
    QVERIFY(Load(second, m_server.url(QStringLiteral("/check"))));
    QCOMPARE(m_server.requests().last().cookie("tid"), QByteArray("transfer-session"));
}

PELDORA_UI_TEST_MAIN(WebEngineBrowserTest)
#include "tst_webenginebrowser.moc"
