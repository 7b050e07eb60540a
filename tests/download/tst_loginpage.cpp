// The download window's login page on real Qt WebEngine against login pages of a local server:
// the panel and its controls, logins by account and by IP, one session for the browsers and the
// downloads, and a file behind a sign-in page downloaded after the automatic login.
#include "app/SettingsStore.h"
#include "download/DownloadNetwork.h"
#include "download/ui/BrowserSession.h"
#include "download/ui/DownloadWindow.h"
#include "download/ui/LoginPanel.h"
#include "platform/qt/WebEngineBrowser.h"
#include "platform/qt/WebProfile.h"
#include "support/BrowserWaits.h"
#include "FileBytes.h"
#include "support/TestHttpServer.h"
#include "support/ui/UiTest.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDirIterator>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeView>
#include <QUuid>
#include <QWebEngineCookieStore>
#include <QWebEngineProfile>
#include <QWebEngineView>
#include <QtTest>

using namespace peldora;
using namespace peldora::test;

namespace {

HttpResponse Page(const QByteArray& title, const QByteArray& body) {
    return HttpResponse::Html("<html><head><title>" + title + "</title></head><body>" + body +
                              "</body></html>");
}

// A site that hands its paper only to a signed-in session. Each site has its own session token,
// so a cookie left in the shared profile by an earlier test opens nothing here.
struct LoginSite {
    TestHttpServer server;
    QByteArray token = QUuid::createUuid().toByteArray(QUuid::Id128);
    QByteArray paper = Pdf(120'000, 'p');
    QList<QByteArray> signIns; // the bodies the sign-in received
    int ipRegistrations = 0;

    LoginSite() {
        const auto form = [](const QByteArray& inputs) {
            return Page("Sign in", "<form method='post' action='/signin'>" + inputs + "</form>");
        };
        const auto route = [this](const char* path, HttpResponse response) {
            server.route(QString::fromLatin1(path), [response](const HttpRequest&) { return response; });
        };
        route("/login", form("<input name='username'><input name='password' type='password'>"
                             "<input type='submit' value='Sign in'>"));
        route("/submit-first", form("<input type='submit' value='Sign in'><input name='username'>"
                                    "<input name='password' type='password'>"));
        route("/user-userid", form("<input name='user'><input name='USERID'><input type='submit'>"));
        route("/passwd", form("<input name='UserName'><input name='Passwd' type='password'>"
                              "<input type='submit'>"));
        route("/ip", Page("Register", "<a id='submitip' href='/signin-ip'>Register my address</a>"));
        route("/ip-new-window",
              Page("Register", "<a id='submitip' target='_blank' href='/signin-ip'>Register</a>"));
        route("/no-submitip", Page("Register", "<a id='other' href='/signin-ip'>Register</a>"));
        server.route("/signin", [this](const HttpRequest& r) {
            signIns << r.body;
            return Page("Welcome", "signed in").addCookie("sid", token, "Path=/; HttpOnly");
        });
        server.route("/signin-ip", [this](const HttpRequest&) {
            ++ipRegistrations;
            return Page("Welcome", "registered").addCookie("sid", token, "Path=/; HttpOnly");
        });
        server.route("/files/paper.pdf", [this](const HttpRequest& r) {
            if (r.cookie("sid") != token)
                return Page("Sign in", "<p>Please sign in to read this article.</p>");
            return HttpResponse::Data(paper, "application/pdf");
        });
        server.route("/title", [](const HttpRequest&) { return Page("Journal home", "home"); });
    }
    bool signedIn(DownloadNetwork& network) const {
        for (const QNetworkCookie& c : network.cookieJar()->cookiesForUrl(QUrl(server.url("/"))))
            if (c.name() == "sid" && c.value() == token) return c.isHttpOnly();
        return false;
    }
};

// A download window as the program makes it: its downloads on a network that is one session
// with the shared browser profile.
struct Window {
    TestContext t{true};
    DownloadNetwork network;
    QPointer<DownloadWindow> w;
    explicit Window(int method = 2) {
        JoinBrowserSession(network);
        t.ctx().network = &network;
        t.settings.WriteSetting(keys::kSettings, keys::kDownloadMethod, QString::number(method));
        w = new DownloadWindow(t.ctx());
        w->resize(1200, 800);
    }
    ~Window() { delete w.data(); }
    DownloadWindow* operator->() const { return w.data(); }
    LoginPanel* panel() const { return w->loginPanel(); }
    template <typename T> T* control(const char* name) const {
        return w->findChild<T*>(QString::fromLatin1(name));
    }
    void fill(const QString& address, const QString& account, const QString& password) {
        control<QLineEdit>("Text1")->setText(address);
        control<QLineEdit>("Text2")->setText(account);
        control<QLineEdit>("Text3")->setText(password);
    }
    // Presses "测试登录" and returns when the login has ended.
    bool testLogin() {
        control<QPushButton>("Command5")->click();
        return !panel()->login().running() && control<QPushButton>("Command5")->isEnabled();
    }
};

} // namespace

class LoginPageTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        // Every test starts without cookies in the shared profile.
        SharedWebProfile()->cookieStore()->deleteAllCookies();
    }

    // The panel lies over the list, hidden, with every control in its initial state.
    void panelAndControls() {
        Window w;
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.w));
        LoginPanel* panel = w.panel();
        QCOMPARE(panel->objectName(), QStringLiteral("PicWebBK"));
        QVERIFY(!panel->isVisible());
        auto* command1 = w.control<QPushButton>("Command1");
        QCOMPARE(command1->text(), QStringLiteral("网页登录"));
        QVERIFY(command1->isEnabled());

        const QList<std::pair<const char*, QString>> captions{
            {"Command2", "浏览"}, {"Command5", "测试登录"}, {"Command3", "关闭(隐藏)"}};
        for (const auto& [name, caption] : captions) {
            QCOMPARE(w.control<QPushButton>(name)->text(), caption);
            QVERIFY(w.control<QPushButton>(name)->isEnabled());
        }
        QCOMPARE(w.control<QRadioButton>("Option5")->text(), QStringLiteral("IP登录"));
        QCOMPARE(w.control<QRadioButton>("Option4")->text(), QStringLiteral("帐号登录："));
        QVERIFY(w.control<QRadioButton>("Option4")->isChecked());
        QVERIFY(!w.control<QRadioButton>("Option5")->isChecked());
        QCOMPARE(w.control<QCheckBox>("Check2")->text(), QStringLiteral("自动登录"));
        QCOMPARE(w.control<QCheckBox>("Check1")->text(), QStringLiteral("自动刷新(每分钟)"));
        QVERIFY(!w.control<QCheckBox>("Check2")->isChecked());
        QVERIFY(!w.control<QCheckBox>("Check1")->isChecked());
        auto* combo3 = w.control<QComboBox>("Combo3");
        QCOMPARE(combo3->count(), 1);
        QCOMPARE(combo3->currentText(), QStringLiteral("下载到网页文件(htm/html/asp)文件"));
        for (const char* name : {"Text1", "Text2", "Text3"})
            QVERIFY(w.control<QLineEdit>(name)->text().isEmpty());
        QCOMPARE(w.control<QLineEdit>("Text3")->echoMode(), QLineEdit::Password);
        QStringList labels;
        for (QLabel* l : panel->findChildren<QLabel*>()) labels << l->text();
        for (const char* label : {"网址：", "密码：", "自动登录条件："})
            QVERIFY2(labels.contains(QString::fromUtf8(label)), label);
        QCOMPARE(w->state().loginRefreshTimer()->interval(), 60000);
        QVERIFY(!w->state().loginRefreshTimer()->isActive());

        command1->click();
        QVERIFY(panel->isVisible());
        QCOMPARE(panel->geometry(), w->listView()->geometry());
        auto* web1 = panel->findChild<QWebEngineView*>(QStringLiteral("Web1"));
        QVERIFY(web1);
        QTRY_VERIFY(web1->isVisible());
        // Below the fields, inside the panel.
        QTRY_VERIFY(web1->geometry().top() > w.control<QLineEdit>("Text1")->geometry().bottom());
        QVERIFY(panel->rect().contains(web1->geometry()));
        // It follows the list when the window changes size.
        w->resize(900, 700);
        QTRY_COMPARE(panel->geometry(), w->listView()->geometry());
        w.control<QPushButton>("Command3")->click();
        QVERIFY(!panel->isVisible());
    }

    // "网页登录" opens the focused row's first address unless a check box is on; "关闭(隐藏)"
    // blanks the page unless auto refresh keeps it (and its one-minute reload) going. Titles go
    // to status panel 3, except the blank page's.
    void openingAndHiding() {
        LoginSite site;
        QVERIFY(site.server.start());
        Window w;
        QTemporaryDir dir;
        const QString first = site.server.url("/title");
        QVERIFY(w->AddRow(first + u'|' + site.server.url("/login"), "a", "pdf", dir.path(), {}));
        w->listView()->setCurrentIndex(w->list().index(0, 0));
        WebEngineBrowser* web = w.panel()->web1();

        QVERIFY(OpenAndWait(*web, first, [&] { w.control<QPushButton>("Command1")->click(); }));
        QTRY_COMPARE(w->panelText(3), QStringLiteral("Journal home"));

        // Hidden without auto refresh: a blank page, and its title is not shown.
        QVERIFY(OpenAndWait(*web, "about:blank", [&] { w.control<QPushButton>("Command3")->click(); }));
        QTest::qWait(200);
        QCOMPARE(w->panelText(3), QStringLiteral("Journal home"));

        // With auto refresh on: opening leaves the page alone, hiding keeps it, the timer reloads.
        w.control<QCheckBox>("Check1")->setChecked(true);
        QVERIFY(w->state().loginRefreshTimer()->isActive());
        QVERIFY(OpenAndWait(*web, site.server.url("/login"), [&] { web->navigate(site.server.url("/login")); }));
        w.control<QPushButton>("Command1")->click();
        w.control<QPushButton>("Command3")->click();
        QTest::qWait(300);
        QCOMPARE(web->currentUrl(), site.server.url("/login"));
        const int before = site.server.requestCount("/login");
        w->state().loginRefreshTimer()->setInterval(150); // a minute in a moment
        QTRY_VERIFY_WITH_TIMEOUT(site.server.requestCount("/login") >= before + 2, 10000);
        QCOMPARE(web->currentUrl(), site.server.url("/login"));
        w.control<QCheckBox>("Check1")->setChecked(false);
        QVERIFY(!w->state().loginRefreshTimer()->isActive());

        // Automatic login on: opening the page does not leave the login page either.
        w.fill(site.server.url("/login"), "reader", "s3cret");
        w.control<QCheckBox>("Check2")->setChecked(true);
        QVERIFY(w->transfers().single().options().autoLogin);
        w.control<QPushButton>("Command1")->click();
        QTest::qWait(300);
        QCOMPARE(web->currentUrl(), site.server.url("/login"));
        QVERIFY(w.t.dialogs.messages.isEmpty());
    }

    void loginOnRealPages_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("ipLogin");
        QTest::addColumn<QByteArray>("posted"); // empty: nothing may be posted
        QTest::newRow("username, password, submit")
            << "/login" << false << QByteArray("username=reader&password=s3cret");
        QTest::newRow("submit before the fields") << "/submit-first" << false << QByteArray();
        QTest::newRow("user and USERID") << "/user-userid" << false << QByteArray("user=reader&USERID=reader");
        QTest::newRow("Passwd") << "/passwd" << false << QByteArray("UserName=reader&Passwd=s3cret");
        QTest::newRow("submitip") << "/ip" << true << QByteArray("ip");
        QTest::newRow("submitip opens a new window") << "/ip-new-window" << true << QByteArray("ip");
        QTest::newRow("no submitip") << "/no-submitip" << true << QByteArray();
    }

    // "测试登录" on real pages: the session cookie (HttpOnly) reaches the downloads' jar.
    void loginOnRealPages() {
        QFETCH(QString, path);
        QFETCH(bool, ipLogin);
        QFETCH(QByteArray, posted);
        LoginSite site;
        QVERIFY(site.server.start());
        Window w;
        w.fill(u' ' + site.server.url(path) + u' ', " reader ", "s3cret");
        if (ipLogin) w.control<QRadioButton>("Option5")->setChecked(true);
        QVERIFY(w.testLogin());
        if (posted == "ip") {
            QCOMPARE(site.ipRegistrations, 1);
        } else if (!posted.isEmpty()) {
            QCOMPARE(site.signIns, QList<QByteArray>{posted});
        }
        const bool expectSession = !posted.isEmpty();
        if (posted.isEmpty()) {
            QVERIFY(site.signIns.isEmpty());
            QCOMPARE(site.ipRegistrations, 0);
        }
        QTRY_COMPARE_WITH_TIMEOUT(site.signedIn(w.network), expectSession, 5000);
        QCOMPARE(site.server.requestCount(path), 1);
        QVERIFY(w.t.dialogs.messages.isEmpty());
    }

    // The refusals on the real window: message, error icon, Check2 off; nothing is opened.
    void refusalsInTheWindow() {
        Window w;
        w.control<QCheckBox>("Check2")->setChecked(true);
        QVERIFY(!w.control<QCheckBox>("Check2")->isChecked());
        QCOMPARE(w.t.dialogs.messageTexts(), QStringList{QStringLiteral("必须先设置登录网址！")});
        QCOMPARE(w.t.dialogs.messages.last().icon, MessageIcon::Critical);
        QVERIFY(!w->transfers().single().options().autoLogin);

        w.fill("http://127.0.0.1:1/login", "reader", "");
        w.control<QPushButton>("Command5")->click();
        QCOMPARE(w.t.dialogs.messageTexts().last(),
                 QStringLiteral("帐号登录,必须先设置登录帐号和登录密码！"));
        QCOMPARE(w.t.dialogs.messages.last().icon, MessageIcon::Critical);
        QVERIFY(!w.panel()->hasBrowser() || w.panel()->web1()->currentUrl() != "http://127.0.0.1:1/login");
    }

    // Closing the window while a login waits: the close is carried out once the login has
    // ended, and nothing it uses is deleted under it. Nothing typed is written to disk.
    void closeDuringALogin() {
        LoginSite site;
        QVERIFY(site.server.start());
        auto* w = new Window;
        const QString secretAddress = site.server.url("/login?secret-address");
        w->fill(secretAddress, "reader-account-xyz", "password-xyz-123");
        bool closeAsked = false;
        QTimer::singleShot(1500, [&] {
            QVERIFY(w->panel()->login().running());
            closeAsked = true;
            w->w->close();
            QVERIFY(w->w); // deferred
        });
        QPointer<DownloadWindow> window = w->w;
        w->control<QPushButton>("Command5")->click();
        QVERIFY(closeAsked);
        QTRY_VERIFY(window.isNull());
        QCOMPARE(site.signIns.size(), 1);
        QString settingsDir = w->t.dir();
        delete w;
        // What was typed is nowhere in the program's settings or the registry stand-in.
        QDirIterator files(settingsDir, QDir::Files, QDirIterator::Subdirectories);
        while (files.hasNext()) {
            const QByteArray bytes = Read(files.next());
            for (const char* typed : {"reader-account-xyz", "password-xyz-123", "secret-address"})
                QVERIFY2(!bytes.contains(typed), qPrintable(files.filePath()));
        }
    }

    // One session: a login in any browser of the program authorises the downloads (HttpOnly
    // and Secure cookies included), and cookies a download's response sets or deletes are the
    // browsers' too.
    void oneSession() {
        LoginSite site;
        site.server.route("/check", [](const HttpRequest& r) {
            return Page("check", r.header("cookie"));
        });
        site.server.route("/transfer-sets", [](const HttpRequest&) {
            return HttpResponse::Data("ok", "text/plain").addCookie("tid", "from-transfer");
        });
        site.server.route("/transfer-deletes", [](const HttpRequest&) {
            return HttpResponse::Data("ok", "text/plain")
                .addCookie("sid", "gone", "Path=/; Expires=Thu, 01 Jan 1970 00:00:00 GMT");
        });
        QVERIFY(site.server.start());
        DownloadNetwork network;
        JoinBrowserSession(network);
        WebEngineBrowser browser; // the search window's, say
        QVERIFY(OpenAndWait(browser, site.server.url("/signin"), [&] { browser.navigate(site.server.url("/signin")); }));
        QTRY_VERIFY_WITH_TIMEOUT(site.signedIn(network), 5000);

        // A Secure cookie the browser holds reaches the jar with its flag.
        QNetworkCookie secure("sec", "https-only");
        secure.setDomain("127.0.0.1");
        secure.setPath("/");
        secure.setSecure(true);
        SharedWebProfile()->cookieStore()->setCookie(secure, QUrl("https://127.0.0.1/"));
        QTRY_VERIFY_WITH_TIMEOUT(
            [&] {
                for (const QNetworkCookie& c : network.cookieJar()->allCookies())
                    if (c.name() == "sec") return c.isSecure();
                return false;
            }(),
            5000);

        const auto get = [&](QNetworkAccessManager* manager, const QString& path) {
            QNetworkReply* reply = manager->get(DownloadNetwork::Request(QUrl(site.server.url(path))));
            QSignalSpy finished(reply, &QNetworkReply::finished);
            const bool ok = finished.wait(10000);
            reply->deleteLater();
            return ok;
        };
        QVERIFY(get(network.singleManager(), "/check"));
        QCOMPARE(site.server.requests().last().cookie("sid"), site.token);
        QVERIFY(get(network.parallelManager(), "/transfer-sets"));
        QCOMPARE(site.server.requests().last().cookie("sid"), site.token);
        QTRY_VERIFY_WITH_TIMEOUT(
            (OpenAndWait(browser, site.server.url("/check"), [&] { browser.navigate(site.server.url("/check")); }),
             site.server.requests().last().cookie("tid") == "from-transfer"),
            5000);
        QVERIFY(get(network.singleManager(), "/transfer-deletes"));
        QTRY_VERIFY_WITH_TIMEOUT(
            (OpenAndWait(browser, site.server.url("/check"), [&] { browser.navigate(site.server.url("/check")); }),
             site.server.requests().last().cookie("sid").isEmpty()),
            5000);
        QVERIFY(!site.signedIn(network));
    }

    void fileBehindASignInPage_data() {
        QTest::addColumn<int>("method");
        QTest::newRow("method 2") << 2;
        QTest::newRow("method 1") << 1;
    }

    // The row first receives the sign-in page; the automatic login signs in; the automatic
    // re-download of web-page rows resets the row; the next attempt saves the paper.
    void fileBehindASignInPage() {
        QFETCH(int, method);
        LoginSite site;
        QVERIFY(site.server.start());
        Window w(method);
        QTemporaryDir dir;
        const QString folder = dir.path() + u'/';
        QVERIFY(w->AddRow(site.server.url("/files/paper.pdf"), "paper", "pdf", folder, {}));
        w.fill(site.server.url("/login"), "reader", "s3cret");
        w.control<QCheckBox>("Check2")->setChecked(true);
        w->redownloadPolicyList()->setCurrentIndex(1); // web-page rows
        w.control<QCheckBox>("Check3")->setChecked(true);
        w.control<QPushButton>("Command4")->click();

        QTRY_VERIFY_WITH_TIMEOUT(w->list().status(0) == RowStatus::Completed &&
                                     w->list().text(0, ColType) == u"pdf",
                                 90000);
        QCOMPARE(Read(w->list().RowFilePath(0)), site.paper);
        const QList<HttpRequest> requests = site.server.requests();
        QVERIFY(!requests.isEmpty());
        QCOMPARE(requests.first().path, QStringLiteral("/files/paper.pdf"));
        QVERIFY(requests.first().cookie("sid").isEmpty()); // first came the sign-in page
        QVERIFY(site.signIns.size() >= 1);
        QCOMPARE(site.signIns.first(), QByteArray("username=reader&password=s3cret"));
        QList<HttpRequest> files;
        for (const HttpRequest& r : requests)
            if (r.path == u"/files/paper.pdf") files << r;
        QVERIFY(files.size() >= 2);
        QCOMPARE(files.last().cookie("sid"), site.token);
        QVERIFY(w.t.dialogs.messages.isEmpty());
        w.control<QCheckBox>("Check3")->setChecked(false);
        w.control<QPushButton>("Command31")->click();
    }
};

PELDORA_UI_TEST_MAIN(LoginPageTest)
#include "tst_loginpage.moc"
