#include "download/SiteLogin.h"
#include "app/AppContext.h"
#include "common/DomSnapshot.h"
#include "common/Text.h"
#include "platform/Browser.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"

#include <QSet>

namespace peldora {

namespace {

bool IsAccountField(const QString& lowerName) {
    static const QSet<QString> names{QStringLiteral("userid"), QStringLiteral("user"),
                                     QStringLiteral("username"), QStringLiteral("useruid")};
    return names.contains(lowerName);
}

bool IsPasswordField(const QString& lowerName) {
    static const QSet<QString> names{QStringLiteral("pass"), QStringLiteral("password"),
                                     QStringLiteral("passwd")};
    return names.contains(lowerName);
}

} // namespace

SiteLogin::SiteLogin(AppContext& ctx, QObject* parent) : QObject(parent), m_ctx(ctx) {}

void SiteLogin::setBrowser(Browser* browser) {
    if (m_browser) disconnect(m_browser, nullptr, this, nullptr);
    m_browser = browser;
    if (browser)
        connect(browser, &Browser::documentComplete, this, &SiteLogin::onDocumentComplete);
}

void SiteLogin::onDocumentComplete() {
    // The browser reports only the top-level document; frames finishing leave the flag alone.
    m_navigationPending = false;
}

void SiteLogin::setAutoLogin(bool on) {
    if (on == m_autoLogin) return;
    m_autoLogin = on;
    // A failed check switches it off again and says so.
    if (on) fieldsReady(true);
}

bool SiteLogin::fieldsReady(bool showMessage) {
    const auto refuse = [&](const QString& message) {
        if (showMessage) m_ctx.dialogs.messageBox(message, MessageIcon::Critical);
        m_autoLogin = false;
        emit autoLoginChanged(false);
        return false;
    };
    if (TrimSpaces(address).isEmpty()) return refuse(kLoginAddressMissing);
    if (mode == Mode::Account &&
        (TrimSpaces(account).isEmpty() || TrimSpaces(password).isEmpty()))
        return refuse(kLoginAccountMissing);
    return true;
}

void SiteLogin::waitForPage(double startSeconds) {
    QPointer<SiteLogin> self(this);
    m_ctx.pump.processEvents();
    if (!self) return;
    const double left = kPageWaitSeconds - (m_ctx.clock.elapsedSeconds() - startSeconds);
    WaitUntil(m_ctx.clock, m_ctx.pump, std::max(0.0, left), [this, self] {
        return !self || !m_browser || (!m_browser->busy() && !m_navigationPending);
    });
}

void SiteLogin::openAddressAndWait() {
    const QString target = TrimSpaces(address);
    if (target.isEmpty() || !m_browser) return;
    QPointer<SiteLogin> self(this);
    m_browsing = true;
    emit browsingChanged(true);
    const double t0 = m_ctx.clock.elapsedSeconds();
    m_navigationPending = true;
    m_browser->navigate(target);
    waitForPage(t0);
    if (!self) return;
    m_browsing = false;
    emit browsingChanged(false);
}

void SiteLogin::browse() {
    if (m_browsing) return;
    openAddressAndWait();
}

void SiteLogin::pressAndWait(int elementIndex) {
    if (!m_browser) return;
    const double t0 = m_ctx.clock.elapsedSeconds();
    m_navigationPending = true;
    m_browser->click(elementIndex);
    waitForPage(t0);
}

void SiteLogin::login(bool showMessage) {
    if (!fieldsReady(showMessage)) return;
    if (m_running) return;
    QPointer<SiteLogin> self(this);
    m_running = true;
    emit runningChanged(true);

    openAddressAndWait();
    if (!self) return;

    // From here on a step that fails is passed over; the settling wait always runs.
    if (m_browser && mode != Mode::None) {
        const DomSnapshot page = m_browser->document(DomTextRequest{});
        if (!self) return;
        if (page.isHtml && mode == Mode::Account) {
            const QString user = TrimSpaces(account);
            const QString pass = TrimSpaces(password);
            int filled = 0;
            for (int i : page.getElementsByTagName(QStringLiteral("input"))) {
                if (!m_browser) break;
                const DomElement& e = page.at(i);
                const QString name = e.name.toLower();
                if (IsAccountField(name)) {
                    ++filled;
                    m_browser->setValue(i, user);
                }
                if (IsPasswordField(name)) {
                    ++filled;
                    m_browser->setValue(i, pass);
                }
                // A submit button before both fields are filled is passed over.
                if (e.type.toLower() == u"submit" && filled > 1) {
                    pressAndWait(i);
                    break;
                }
            }
        } else if (page.isHtml && mode == Mode::Ip) {
            const int submit = page.getElementById(QStringLiteral("submitip"));
            if (submit >= 0) pressAndWait(submit);
        }
        if (!self) return;
    }

    WaitSeconds(m_ctx.clock, m_ctx.pump, kSettleSeconds, [self] { return !self; });
    if (!self) return;
    m_running = false;
    emit runningChanged(false);
}

void SiteLogin::autoLoginAfterWebPage() {
    if (m_autoLogin) login(false);
}

} // namespace peldora
