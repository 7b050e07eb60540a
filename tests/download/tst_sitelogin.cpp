// The login procedure over a scripted browser: which fields are filled, what is pressed, the
// refusals with their messages and icons, the running mark and the waits on the steady clock.
#include "download/SiteLogin.h"
#include "support/FakeBrowser.h"
#include "support/TestContext.h"

#include <QSignalSpy>
#include <QtTest>

using namespace peldora;
using namespace peldora::test;

Q_DECLARE_METATYPE(peldora::SiteLogin::Mode)

namespace {

const QString kLoginUrl = QStringLiteral("https://journals.example.org/login");

// A login page from its <body> content.
DomSnapshot Page(const QString& body) {
    return SnapshotFromMarkup(QStringLiteral("<html><body>") + body + QStringLiteral("</body></html>"),
                              kLoginUrl);
}

struct Rig {
    TestContext tc;
    FakeBrowser browser;
    SiteLogin login{tc.ctx()};
    QSignalSpy running{&login, &SiteLogin::runningChanged};
    QSignalSpy autoLogin{&login, &SiteLogin::autoLoginChanged};

    explicit Rig(const QString& body = {}) {
        if (!body.isNull()) browser.site.insert(kLoginUrl, Page(body));
        // A press is recorded and loads nothing.
        browser.onClick = [](int) {};
        login.setBrowser(&browser);
        login.address = QStringLiteral("  ") + kLoginUrl + QStringLiteral(" ");
        login.account = QStringLiteral(" reader ");
        login.password = QStringLiteral(" s3cret ");
    }
    // The value now in the page's input named `name` (first match).
    QString valueOf(const QString& name) const {
        for (const DomElement& e : browser.page.elements)
            if (e.name == name) return e.value;
        return QStringLiteral("<no field>");
    }
    int indexOfId(const QString& id) const { return browser.page.getElementById(id); }
};

} // namespace

class SiteLoginTest : public QObject {
    Q_OBJECT
private slots:
    void accountLoginFillsAndPresses_data() {
        QTest::addColumn<QString>("body");
        QTest::addColumn<QStringList>("filledWithAccount");
        QTest::addColumn<QStringList>("filledWithPassword");
        QTest::addColumn<QString>("pressedId"); // empty: nothing pressed

        QTest::newRow("username, password, submit")
            << "<form><input name='username' type='text'/><input name='password' type='password'/>"
               "<input id='go' type='submit' value='Sign in'/></form>"
            << QStringList{"username"} << QStringList{"password"} << "go";
        QTest::newRow("submit before the fields")
            << "<form><input id='go' type='submit'/><input name='username'/>"
               "<input name='password' type='password'/></form>"
            << QStringList{"username"} << QStringList{"password"} << "";
        QTest::newRow("user and USERID, no password")
            << "<form><input name='user'/><input name='USERID'/><input id='go' type='submit'/></form>"
            << QStringList{"user", "USERID"} << QStringList{} << "go";
        QTest::newRow("names and types in any letter case")
            << "<form><input name='UserName'/><input name='Passwd' type='password'/>"
               "<input id='go' type='SUBMIT'/></form>"
            << QStringList{"UserName"} << QStringList{"Passwd"} << "go";
        QTest::newRow("one field is not enough")
            << "<form><input name='useruid'/><input id='go' type='submit'/><input name='email'/></form>"
            << QStringList{"useruid"} << QStringList{} << "";
        QTest::newRow("the first submit after two fields")
            << "<form><input name='userid'/><input id='early' type='submit'/>"
               "<input name='pass' type='password'/><input id='go' type='submit'/>"
               "<input id='late' type='submit'/></form>"
            << QStringList{"userid"} << QStringList{"pass"} << "go";
        QTest::newRow("a button element is not an input")
            << "<form><input name='username'/><input name='password'/><button id='go' type='submit'>OK</button></form>"
            << QStringList{"username"} << QStringList{"password"} << "";
    }

    void accountLoginFillsAndPresses() {
        QFETCH(QString, body);
        QFETCH(QStringList, filledWithAccount);
        QFETCH(QStringList, filledWithPassword);
        QFETCH(QString, pressedId);
        Rig rig(body);
        rig.login.login(true);

        QCOMPARE(rig.browser.navigations, QStringList{kLoginUrl}); // the address trimmed
        for (const QString& name : filledWithAccount) QCOMPARE(rig.valueOf(name), QStringLiteral("reader"));
        for (const QString& name : filledWithPassword) QCOMPARE(rig.valueOf(name), QStringLiteral("s3cret"));
        if (pressedId.isEmpty())
            QVERIFY(rig.browser.clicks.isEmpty());
        else
            QCOMPARE(rig.browser.clicks, QList<int>{rig.indexOfId(pressedId)});
        QVERIFY(rig.tc.dialogs.messages.isEmpty());
        QCOMPARE(rig.running.size(), 2);
        QVERIFY(!rig.login.running());
    }

    void ipLogin_data() {
        QTest::addColumn<QString>("body");
        QTest::addColumn<bool>("pressed");
        QTest::newRow("submitip pressed") << "<div><a id='submitip'>Register my address</a></div>" << true;
        QTest::newRow("no submitip: only the address opens") << "<div><a id='other'>x</a></div>" << false;
    }
    void ipLogin() {
        QFETCH(QString, body);
        QFETCH(bool, pressed);
        Rig rig(body + QStringLiteral("<form><input name='username'/><input name='password'/>"
                                      "<input id='go' type='submit'/></form>"));
        rig.login.mode = SiteLogin::Mode::Ip;
        rig.login.account.clear(); // not needed for an IP login
        rig.login.login(true);
        QCOMPARE(rig.browser.navigations, QStringList{kLoginUrl});
        QCOMPARE(rig.browser.clicks, pressed ? QList<int>{rig.indexOfId("submitip")} : QList<int>{});
        QCOMPARE(rig.valueOf("username"), QString()); // the account fields are left alone
        QVERIFY(rig.tc.dialogs.messages.isEmpty());
    }

    void refusals_data() {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("account");
        QTest::addColumn<QString>("password");
        QTest::addColumn<SiteLogin::Mode>("mode");
        QTest::addColumn<QString>("message");
        const QString url = kLoginUrl;
        QTest::newRow("no address") << "" << "a" << "p" << SiteLogin::Mode::Account << kLoginAddressMissing;
        QTest::newRow("address of spaces, IP login") << "   " << "" << "" << SiteLogin::Mode::Ip << kLoginAddressMissing;
        QTest::newRow("no account") << url << " " << "p" << SiteLogin::Mode::Account << kLoginAccountMissing;
        QTest::newRow("no password") << url << "a" << "" << SiteLogin::Mode::Account << kLoginAccountMissing;
    }

    // Refused before anything opens: the message with the error icon when asked for, none for
    // the automatic login; automatic login is switched off either way.
    void refusals() {
        QFETCH(QString, address);
        QFETCH(QString, account);
        QFETCH(QString, password);
        QFETCH(SiteLogin::Mode, mode);
        QFETCH(QString, message);
        for (const bool show : {true, false}) {
            Rig rig(QStringLiteral("<form/>"));
            if (!show) {
                // Switched on while the fields were complete; emptied afterwards.
                rig.login.setAutoLogin(true);
                QVERIFY(rig.login.autoLogin());
            }
            rig.login.address = address;
            rig.login.account = account;
            rig.login.password = password;
            rig.login.mode = mode;
            if (show)
                rig.login.login(true);
            else
                rig.login.autoLoginAfterWebPage();
            QVERIFY(rig.browser.navigations.isEmpty());
            QVERIFY(rig.running.isEmpty());
            QCOMPARE(rig.autoLogin.size(), 1);
            QCOMPARE(rig.autoLogin.first().first().toBool(), false);
            QVERIFY(!rig.login.autoLogin());
            if (show) {
                QCOMPARE(rig.tc.dialogs.messageTexts(), QStringList{message});
                QCOMPARE(rig.tc.dialogs.messages.first().icon, MessageIcon::Critical);
            } else {
                QVERIFY(rig.tc.dialogs.messages.isEmpty());
            }
        }
    }

    // Checking "自动登录" runs the same two checks with their messages.
    void switchingAutoLoginOn() {
        Rig rig;
        rig.login.address.clear();
        rig.login.setAutoLogin(true);
        QVERIFY(!rig.login.autoLogin());
        QCOMPARE(rig.tc.dialogs.messageTexts(), QStringList{kLoginAddressMissing});
        QCOMPARE(rig.autoLogin.size(), 1);

        rig.login.address = kLoginUrl;
        rig.login.password.clear();
        rig.login.setAutoLogin(true);
        QVERIFY(!rig.login.autoLogin());
        QCOMPARE(rig.tc.dialogs.messageTexts().last(), kLoginAccountMissing);
        QCOMPARE(rig.tc.dialogs.messages.last().icon, MessageIcon::Critical);

        rig.login.password = QStringLiteral("p");
        rig.login.setAutoLogin(true);
        QVERIFY(rig.login.autoLogin());
        QCOMPARE(rig.tc.dialogs.messages.size(), 2);
        QVERIFY(rig.browser.navigations.isEmpty()); // checking logs nobody in
        rig.login.setAutoLogin(false);
        QCOMPARE(rig.tc.dialogs.messages.size(), 2);
        rig.login.autoLoginAfterWebPage(); // off: nothing happens
        QVERIFY(rig.browser.navigations.isEmpty());
    }

    // A second login asked for while one runs (a second press, a download's automatic login)
    // ends at once; the first runs to its end.
    void oneLoginAtATime() {
        Rig rig("<form><input name='username'/><input name='password'/><input id='go' type='submit'/></form>");
        rig.login.setAutoLogin(true);
        int nested = 0;
        rig.tc.pump.onPump = [&] {
            if (nested++ > 0) return;
            QVERIFY(rig.login.running());
            rig.login.login(true);
            rig.login.autoLoginAfterWebPage();
        };
        rig.login.login(true);
        QCOMPARE(rig.browser.navigations.size(), 1);
        QCOMPARE(rig.browser.clicks.size(), 1);
        QCOMPARE(rig.running.size(), 2);
        QCOMPARE(rig.running.at(0).first().toBool(), true);
        QCOMPARE(rig.running.at(1).first().toBool(), false);
        QVERIFY(rig.login.autoLogin());
        QVERIFY(rig.tc.dialogs.messages.isEmpty());
    }

    // The waits run on the steady clock with events flowing: pages that load end their waits
    // at once, then comes the five-second settling wait; a browser that never finishes gives
    // the login page and the press ten seconds each, and the login goes on with what is there.
    void waits_data() {
        QTest::addColumn<bool>("pageHangs");
        QTest::addColumn<double>("expectedSeconds");
        QTest::newRow("page loads") << false << 5.0;
        QTest::newRow("pages never finish") << true << 25.0;
    }
    void waits() {
        QFETCH(bool, pageHangs);
        QFETCH(double, expectedSeconds);
        Rig rig("<form><input name='username'/><input name='password'/><input id='go' type='submit'/></form>");
        rig.browser.isBusy = pageHangs;
        rig.browser.onClick = [&](int) { rig.browser.navigate(kLoginUrl + QStringLiteral("/welcome")); };
        const double start = rig.tc.clock.steady;
        rig.login.login(true);
        const double took = rig.tc.clock.steady - start;
        QVERIFY2(took >= expectedSeconds && took < expectedSeconds + 0.5, qPrintable(QString::number(took)));
        QVERIFY(rig.tc.pump.pumps > 5);
        QCOMPARE(rig.browser.clicks.size(), 1);
    }

    // A press that starts no page load: ten more seconds at most.
    void pressedPageThatHangs() {
        Rig rig("<form><input name='username'/><input name='password'/><input id='go' type='submit'/></form>");
        const double start = rig.tc.clock.steady;
        rig.login.login(false);
        const double took = rig.tc.clock.steady - start;
        QVERIFY2(took >= 15 && took < 15.5, qPrintable(QString::number(took)));
        QVERIFY(!rig.login.running());
    }

    // "浏览": nothing without an address; otherwise the address trimmed, Command2 off meanwhile.
    void browse() {
        Rig rig;
        QSignalSpy browsing(&rig.login, &SiteLogin::browsingChanged);
        rig.login.address = QStringLiteral("   ");
        rig.login.browse();
        QVERIFY(rig.browser.navigations.isEmpty());
        QVERIFY(browsing.isEmpty());
        rig.login.address = QStringLiteral(" ") + kLoginUrl;
        rig.login.browse();
        QCOMPARE(rig.browser.navigations, QStringList{kLoginUrl});
        QCOMPARE(browsing.size(), 2);
        QVERIFY(!rig.login.browsing());
        QVERIFY(rig.tc.dialogs.messages.isEmpty());
    }

    // The browser going away during a login (its window closed) ends the login's use of it.
    void browserGoneDuringTheLogin() {
        Rig rig("<form><input name='username'/><input name='password'/><input id='go' type='submit'/></form>");
        auto* browser = new FakeBrowser;
        browser->site = rig.browser.site;
        browser->isBusy = true;
        rig.login.setBrowser(browser);
        rig.tc.pump.onPump = [&] {
            if (!browser) return;
            delete browser;
            browser = nullptr;
        };
        rig.login.login(true);
        QVERIFY(!rig.login.running());
        QCOMPARE(rig.login.browser(), nullptr);
    }
};

PELDORA_TEST_MAIN(SiteLoginTest)
#include "tst_sitelogin.moc"
