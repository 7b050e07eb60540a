#include "platform/qt/WebProfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QNetworkCookie>
#include <QStandardPaths>
#include <QWebEngineCookieStore>
#include <QWebEngineProfile>

namespace peldora {

namespace {
QWebEngineProfile* g_profile = nullptr;
WebCookieMirror* g_mirror = nullptr;
} // namespace

QWebEngineProfile* SharedWebProfile() {
    if (g_profile) return g_profile;
    g_profile = new QWebEngineProfile(QStringLiteral("Peldora"), QCoreApplication::instance());
    const QString storage = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
                            QStringLiteral("/WebEngine");
    QDir().mkpath(storage);
    g_profile->setPersistentStoragePath(storage);
    g_profile->setHttpCacheType(QWebEngineProfile::DiskHttpCache);
    g_profile->setPersistentCookiesPolicy(QWebEngineProfile::AllowPersistentCookies);
    // The mirror must exist before the first page loads, so it sees every cookie.
    g_mirror = new WebCookieMirror(g_profile->cookieStore(), g_profile);
    QObject::connect(g_profile, &QObject::destroyed, [] {
        g_profile = nullptr;
        g_mirror = nullptr;
    });
    return g_profile;
}

WebCookieMirror* SharedCookieMirror() {
    SharedWebProfile();
    return g_mirror;
}

WebCookieMirror::WebCookieMirror(QWebEngineCookieStore* store, QObject* parent)
    : QNetworkCookieJar(parent), m_store(store) {
    connect(store, &QWebEngineCookieStore::cookieAdded, this,
            [this](const QNetworkCookie& cookie) { insertCookie(cookie); });
    connect(store, &QWebEngineCookieStore::cookieRemoved, this,
            [this](const QNetworkCookie& cookie) { deleteCookie(cookie); });
    store->loadAllCookies();
}

bool WebCookieMirror::setCookiesFromUrl(const QList<QNetworkCookie>& cookies, const QUrl& url) {
    const bool any = QNetworkCookieJar::setCookiesFromUrl(cookies, url);
    // The browser gets them too, so its next page request carries what a transfer received.
    if (m_store) {
        for (QNetworkCookie cookie : cookies) {
            cookie.normalize(url);
            m_store->setCookie(cookie, url);
        }
    }
    return any;
}

WebSessionCookieJar::WebSessionCookieJar(QObject* parent) : QNetworkCookieJar(parent) {
    SharedCookieMirror();
}

QList<QNetworkCookie> WebSessionCookieJar::cookiesForUrl(const QUrl& url) const {
    WebCookieMirror* mirror = SharedCookieMirror();
    return mirror ? mirror->cookiesForUrl(url) : QList<QNetworkCookie>();
}

bool WebSessionCookieJar::setCookiesFromUrl(const QList<QNetworkCookie>& cookies, const QUrl& url) {
    WebCookieMirror* mirror = SharedCookieMirror();
    return mirror && mirror->setCookiesFromUrl(cookies, url);
}

} // namespace peldora
