// The version check against the local test server (the update address is a setting), the
// version rules, and the texts of the about box that follow from them.
#include "Version.h"
#include "about/VersionCheck.h"
#include "about/XmlHttp.h"
#include "app/SettingsStore.h"
#include "support/TestContext.h"
#include "support/TestHttpServer.h"

#include <QSignalSpy>
#include <QUrlQuery>
#include <QtTest>

using namespace peldora;
using namespace peldora::test;

class VersionCheckTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void answerKeys_data();
    void answerKeys();
    void answers_data();
    void answers();
    void noAddressNoRequest();
    void aboutTexts();
    void suggestionMail();
    void systemInformation();

private:
    TestHttpServer m_server;
    QByteArray m_answer;
    int m_status = 200;
};

void VersionCheckTest::initTestCase() {
    m_server.route(QStringLiteral("/upd/peldora/newver.txt"), [this](const HttpRequest&) {
        HttpResponse r = HttpResponse::Data(m_answer, "text/plain");
        r.status = m_status;
        return r;
    });
    QVERIFY(m_server.start());
}

void VersionCheckTest::answerKeys_data() {
    QTest::addColumn<QString>("answer");
    QTest::addColumn<qint64>("key"); // -1: ignored
    QTest::newRow("plain") << "1.2.209" << VersionKey(1, 2, 209);
    QTest::newRow("spaces") << " 1.2.209 " << VersionKey(1, 2, 209);
    QTest::newRow("minor beats revision") << "1.10.0" << VersionKey(1, 10, 0);
    QTest::newRow("revision carries") << "1.0.10000" << VersionKey(1, 1, 0);
    QTest::newRow("two parts") << "1.2" << qint64(-1);
    QTest::newRow("four parts") << "9.9.9.9" << qint64(-1);
    QTest::newRow("letter") << "1.x.3" << qint64(-1);
    QTest::newRow("sign") << "1.-2.3" << qint64(-1);
    QTest::newRow("empty") << "" << qint64(-1);
    QTest::newRow("21 characters") << "1.2.3000000000000000" << qint64(-1);
    QTest::newRow("huge part") << "999999999999.0.0" << qint64(-1);
    QTest::newRow("line end") << "1.2.3\r\n" << VersionKey(1, 2, 3);
    QTest::newRow("tab") << "1.2.3\t" << qint64(-1);
    QTest::newRow("two lines") << "1.2.3\n4" << qint64(-1);
}

void VersionCheckTest::answerKeys() {
    QFETCH(QString, answer);
    QFETCH(qint64, key);
    const std::optional<qint64> got = UpdateAnswerKey(answer);
    QCOMPARE(got.value_or(-1), key);
    QVERIFY(*UpdateAnswerKey(QStringLiteral("1.10.0")) > *UpdateAnswerKey(QStringLiteral("1.9.999")));
    QCOMPARE(VersionKey(2, 0, 3), 20000003);
}

void VersionCheckTest::answers_data() {
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<bool>("newer");
    QTest::addColumn<QString>("message");
    const QByteArray next = QByteArray::number(kVersionMajor) + '.' +
                            QByteArray::number(kVersionMinor) + '.' +
                            QByteArray::number(kVersionPatch + 1);
    const QByteArray same = QByteArray::number(kVersionMajor) + '.' +
                            QByteArray::number(kVersionMinor) + '.' +
                            QByteArray::number(kVersionPatch);
    QTest::newRow("newer") << 200 << " " + next + "\r\n" << true << kNewVersionMessage;
    QTest::newRow("equal") << 200 << same << false << QString();
    QTest::newRow("older") << 200 << QByteArray("0.0.1") << false << QString();
    QTest::newRow("empty") << 200 << QByteArray() << false << QString();
    QTest::newRow("garbage") << 200 << QByteArray("\xff\xfe\x00garbage", 10) << false << QString();
    QTest::newRow("error page") << 200 << QByteArray("<html><body>Error</body></html>") << false
                                << QString();
    QTest::newRow("10 MB") << 200 << QByteArray(10 * 1024 * 1024, '9') << false << QString();
    QTest::newRow("1.2") << 200 << QByteArray("1.2") << false << QString();
    QTest::newRow("9.9.9.9") << 200 << QByteArray("9.9.9.9") << false << QString();
    QTest::newRow("missing file") << 404 << QByteArray("not found") << false << kKeepNetworkMessage;
}

void VersionCheckTest::answers() {
    QFETCH(int, status);
    QFETCH(QByteArray, answer);
    QFETCH(bool, newer);
    QFETCH(QString, message);
    m_status = status;
    m_answer = answer;
    TestContext t;
    t.settings.WriteSetting(keys::kSettings, keys::kUpdateAddress, m_server.url(QStringLiteral("/upd/")));
    VersionCheck check(t.ctx());
    QSignalSpy label3(&check, &VersionCheck::newerVersion);
    QSignalSpy done(&check.uXMLHTTP2(), &uXMLHTTP::OnReadyStateChange);
    m_server.clearRequests();
    check.start();
    QTRY_VERIFY_WITH_TIMEOUT(check.uXMLHTTP2().DownOK(), 10000);
    QCOMPARE(m_server.requestCount(QStringLiteral("/upd/peldora/newver.txt")), 1);
    QCOMPARE(t.dialogs.messageTexts(), message.isEmpty() ? QStringList() : QStringList{message});
    if (newer) {
        const QString version = QString::fromLatin1(answer.trimmed());
        QCOMPARE(t.ctx().state.latestVersion, version);
        QCOMPARE(label3.size(), 1);
        QCOMPARE(label3.first().first().toString(),
                 QStringLiteral("有最新版本：V") + version + QStringLiteral("可以下载升级。"));
        QCOMPARE(t.shell.opened, QStringList{"address:" + m_server.url("/upd/peldora/")});
        QCOMPARE(t.dialogs.messages.first().icon, MessageIcon::Information);
        QCOMPARE(AboutLatestText(t.ctx().state.latestVersion),
                 QStringLiteral("[有最新版本可以升级：") + version + u']');
    } else {
        QVERIFY(t.ctx().state.latestVersion.isEmpty());
        QVERIFY(label3.isEmpty());
        QVERIFY(t.shell.opened.isEmpty());
        if (!message.isEmpty()) QCOMPARE(t.dialogs.messages.first().icon, MessageIcon::Critical);
    }
}

void VersionCheckTest::noAddressNoRequest() {
    TestContext t;
    VersionCheck check(t.ctx());
    m_server.clearRequests();
    check.start();
    QTest::qWait(100);
    QVERIFY(m_server.requests().isEmpty());
    QVERIFY(!check.uXMLHTTP2().DownOK());
    QVERIFY(t.dialogs.messages.isEmpty());
}

void VersionCheckTest::aboutTexts() {
    QCOMPARE(AboutCaption(), QStringLiteral("关于『Peldora』 "));
    QCOMPARE(AboutVersionText(), QStringLiteral("版本 %1.%2.%3")
                                     .arg(kVersionMajor).arg(kVersionMinor).arg(kVersionPatch));
    QCOMPARE(AboutLatestText(QString()), QStringLiteral("[已经是最新版本]"));
}

void VersionCheckTest::suggestionMail() {
    FakeShell shell;
    ComposeSuggestionMail(shell);
    QCOMPARE(shell.opened.size(), 1);
    const QString address = shell.opened.first().mid(5);
    QVERIFY(address.startsWith(MakerMailAddress() + u'?'));
    const QUrlQuery query(address.section(u'?', 1));
    QCOMPARE(query.queryItemValue(QStringLiteral("subject"), QUrl::FullyDecoded),
             QStringLiteral("我要对[Peldora]提建议"));
    const QString body = query.queryItemValue(QStringLiteral("body"), QUrl::FullyDecoded);
    QVERIFY(body.startsWith(QStringLiteral("软件名称：Peldora 姓名：          ")));
    QVERIFY(body.contains(QStringLiteral(" 电话：                     日期：")));
}

void VersionCheckTest::systemInformation() {
    FakeDialogs dialogs;
    QStringList started;
    StartSysInfo(dialogs, [] { return QStringLiteral("/usr/bin/hardinfo"); },
                 [&](const QString& p) { started << p; return true; });
    QCOMPARE(started, QStringList{"/usr/bin/hardinfo"});
    QVERIFY(dialogs.messages.isEmpty());
    // None installed, or one that does not start.
    StartSysInfo(dialogs, [] { return QString(); }, [&](const QString&) { return true; });
    StartSysInfo(dialogs, [] { return QStringLiteral("/x"); }, [&](const QString&) { return false; });
    QCOMPARE(dialogs.messageTexts(), (QStringList{kSysInfoUnavailable, kSysInfoUnavailable}));
    QCOMPARE(dialogs.messages.first().icon, MessageIcon::None);
    QCOMPARE(dialogs.messages.first().buttons, MessageButtons::Ok);
}

PELDORA_TEST_MAIN(VersionCheckTest)
#include "tst_versioncheck.moc"
