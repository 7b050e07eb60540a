#pragma once
#include <QNetworkCookie>
#include <QNetworkCookieJar>

class QWebEngineProfile;
class QWebEngineCookieStore;

namespace peldora {

// The one browser profile of the program, "Peldora": disk cache and persistent cookies, its
// storage under the per-user data folder. Every embedded browser uses it, so a login in one
// browser is the session of all of them and of the downloads (through WebSessionCookieJar).
// Needs the application object; lives until the application ends.
QWebEngineProfile* SharedWebProfile();

// A cookie jar that follows a browser cookie store: every cookie the browser adds or removes is
// added or removed here, and cookies a transfer receives go back into the browser's store.
class WebCookieMirror : public QNetworkCookieJar {
    Q_OBJECT
public:
    explicit WebCookieMirror(QWebEngineCookieStore* store, QObject* parent = nullptr);

    bool setCookiesFromUrl(const QList<QNetworkCookie>& cookies, const QUrl& url) override;
    // Every cookie currently held.
    QList<QNetworkCookie> cookies() const { return allCookies(); }

private:
    QWebEngineCookieStore* m_store;
};

// The mirror of the shared profile's cookie store; created with the profile, so it has seen
// every cookie since the program started.
WebCookieMirror* SharedCookieMirror();

// A jar to give to a QNetworkAccessManager (which takes it over): it reads and writes the shared
// mirror, so every transfer sends the browser's session cookies.
class WebSessionCookieJar : public QNetworkCookieJar {
    Q_OBJECT
public:
    explicit WebSessionCookieJar(QObject* parent = nullptr);
    QList<QNetworkCookie> cookiesForUrl(const QUrl& url) const override;
    bool setCookiesFromUrl(const QList<QNetworkCookie>& cookies, const QUrl& url) override;
};

} // namespace peldora
