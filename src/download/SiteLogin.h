#pragma once
#include "platform/Browser.h"

#include <QObject>
#include <QPointer>
#include <QString>

namespace peldora {

struct AppContext;

inline const QString kLoginAddressMissing = QStringLiteral("必须先设置登录网址！");
inline const QString kLoginAccountMissing =
    QStringLiteral("帐号登录,必须先设置登录帐号和登录密码！");
// The one condition Combo3 shows; it is never read.
inline const QString kAutoLoginCondition = QStringLiteral("下载到网页文件(htm/html/asp)文件");

// The login of the download window's login page: opens the login address in its browser, fills
// the page's account and password fields and presses its submit button (account login), or
// presses the element "submitip" (IP login). The session the browser gets is the downloads'
// session too. The window shows the state through the signals and writes the fields as the user
// edits them; nothing here is stored.
//
// The waits keep events flowing, so downloads, timers and the browser go on during a login. A
// login never starts while another runs (Command5 is off meanwhile).
class SiteLogin : public QObject {
    Q_OBJECT
public:
    enum class Mode { None, Account, Ip };

    explicit SiteLogin(AppContext& ctx, QObject* parent = nullptr);

    // The browser the login works in (Web1). May be set late; a login without one only checks
    // its fields.
    void setBrowser(Browser* browser);
    Browser* browser() const { return m_browser; }

    // Text1, Text2, Text3 as typed; the option buttons; Check2.
    QString address;
    QString account;
    QString password;
    Mode mode = Mode::Account;
    bool autoLogin() const { return m_autoLogin; }

    // "浏览": opens the address (when it is not empty) and waits until the page has loaded, at
    // most 10 seconds.
    void browse();
    // The login procedure; "测试登录" shows its refusals, the automatic login does not. Ends
    // at once while another login runs.
    void login(bool showMessage);
    // After a download turned out to be a web page: a login without messages, when automatic
    // login is on.
    void autoLoginAfterWebPage();
    // The user checks or unchecks Check2. Checking runs the login's two field checks with
    // their messages; a failed check unchecks it again (autoLoginChanged(false)).
    void setAutoLogin(bool on);

    bool running() const { return m_running; }
    bool browsing() const { return m_browsing; }
    bool navigationPending() const { return m_navigationPending; }

    static constexpr double kPageWaitSeconds = 10;
    static constexpr double kSettleSeconds = 5;

signals:
    // Command5 is enabled exactly while no login runs.
    void runningChanged(bool running);
    // Command2 is disabled while its wait runs.
    void browsingChanged(bool browsing);
    // Check2 as the login decided it.
    void autoLoginChanged(bool on);

private:
    // The two field checks; false (after the message, when asked for) when one fails.
    bool fieldsReady(bool showMessage);
    void openAddressAndWait();
    void pressAndWait(int elementIndex);
    void waitForPage(double startSeconds);
    void onDocumentComplete();

    AppContext& m_ctx;
    QPointer<Browser> m_browser;
    bool m_autoLogin = false;
    bool m_running = false;
    bool m_browsing = false;
    bool m_navigationPending = false;
};

} // namespace peldora
