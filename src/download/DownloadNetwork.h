#pragma once
#include <QNetworkCookieJar>
#include <QNetworkProxy>
#include <QNetworkRequest>
#include <QObject>
#include <QString>

class QNetworkAccessManager;
class QNetworkReply;

namespace peldora {

struct ProgramState;

// The cookie jar both download methods share. The embedded browser's cookies are put in from
// outside (the browser profile's store reports every cookie it adds or removes); a cookie that
// a download response sets or deletes is reported, so the browser profile can follow.
class DownloadCookieJar : public QNetworkCookieJar {
    Q_OBJECT
public:
    using QNetworkCookieJar::QNetworkCookieJar;

    // A cookie the embedded browser holds (or no longer holds). Reports nothing.
    void addBrowserCookie(const QNetworkCookie& cookie);
    void removeBrowserCookie(const QNetworkCookie& cookie);
    using QNetworkCookieJar::allCookies;

    bool setCookiesFromUrl(const QList<QNetworkCookie>& cookies, const QUrl& url) override;

signals:
    // A response set this cookie, or deleted it (an expiry in the past).
    void cookieSetByResponse(const QNetworkCookie& cookie);
    void cookieDeletedByResponse(const QNetworkCookie& cookie);
};

// The network side of the downloads: one access manager for the single-connection method
// (which may go through the configured proxy), one for the parallel downloads (never through a
// proxy), one cookie jar for both. Every request carries the program's own user agent, asks for
// the body as it is ("Accept-Encoding: identity", so Content-Length always survives), speaks
// HTTP/1.1 (whose status line has a reason phrase), follows a bounded number of redirects that
// do not lower security, and verifies TLS certificates.
class DownloadNetwork : public QObject {
    Q_OBJECT
public:
    explicit DownloadNetwork(QObject* parent = nullptr);
    ~DownloadNetwork() override;

    QNetworkAccessManager* singleManager() const { return m_single; }
    QNetworkAccessManager* parallelManager() const { return m_parallel; }
    DownloadCookieJar* cookieJar() const { return m_jar; }

    // The proxy of the single-connection method from the settings: an HTTP proxy at the proxy
    // address and port when the proxy switch is 1, no proxy otherwise, whatever the system or
    // the environment would choose.
    static QNetworkProxy ProxyFor(const ProgramState& state);
    void applyProxy(const ProgramState& state);

    // A GET request for an address with the common settings.
    static QNetworkRequest Request(const QUrl& url);
    static QString UserAgent();

    static constexpr int kMaxRedirects = 10;

private:
    QNetworkAccessManager* m_single;
    QNetworkAccessManager* m_parallel;
    DownloadCookieJar* m_jar;
};

// Whether a reply ended because of the connection rather than an HTTP status: refused, closed
// early, reset, timed out, TLS failure, too many or unsafe redirects, proxy failures, or a
// broken response. HTTP error statuses (404, 500) deliver a body and do not count.
bool IsTransportError(int networkError);

} // namespace peldora
