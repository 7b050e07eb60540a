#include "download/DownloadNetwork.h"
#include "app/ProgramState.h"
#include "common/Text.h"
#include "Version.h"

#include <QDateTime>
#include <QNetworkAccessManager>
#include <QNetworkCookie>
#include <QNetworkReply>
#include <QUrl>
#ifndef QT_NO_SSL
#include <QSslConfiguration>
#include <QSslSocket>
#endif

namespace peldora {

void DownloadCookieJar::addBrowserCookie(const QNetworkCookie& cookie) {
    insertCookie(cookie);
}

void DownloadCookieJar::removeBrowserCookie(const QNetworkCookie& cookie) {
    deleteCookie(cookie);
}

bool DownloadCookieJar::setCookiesFromUrl(const QList<QNetworkCookie>& cookies, const QUrl& url) {
    QList<QNetworkCookie> accepted;
    for (QNetworkCookie cookie : cookies) {
        cookie.normalize(url);
        if (validateCookie(cookie, url)) accepted.append(cookie);
    }
    const bool added = QNetworkCookieJar::setCookiesFromUrl(cookies, url);
    const QDateTime now = QDateTime::currentDateTimeUtc();
    for (const QNetworkCookie& cookie : accepted) {
        if (!cookie.isSessionCookie() && cookie.expirationDate() < now)
            emit cookieDeletedByResponse(cookie);
        else
            emit cookieSetByResponse(cookie);
    }
    return added;
}

DownloadNetwork::DownloadNetwork(QObject* parent)
    : QObject(parent), m_single(new QNetworkAccessManager(this)),
      m_parallel(new QNetworkAccessManager(this)), m_jar(new DownloadCookieJar(this)) {
    // A manager takes its jar as a child; the jar stays ours so both managers can share it.
    m_single->setCookieJar(m_jar);
    m_parallel->setCookieJar(m_jar);
    m_jar->setParent(this);
    m_single->setProxy(QNetworkProxy::NoProxy);
    m_parallel->setProxy(QNetworkProxy::NoProxy);
    m_single->setRedirectPolicy(QNetworkRequest::NoLessSafeRedirectPolicy);
    m_parallel->setRedirectPolicy(QNetworkRequest::NoLessSafeRedirectPolicy);
}

DownloadNetwork::~DownloadNetwork() {
    // The managers go first, while the jar they point at still exists.
    delete m_single;
    delete m_parallel;
}

QNetworkProxy DownloadNetwork::ProxyFor(const ProgramState& state) {
    if (state.proxyEnabled != 1) return QNetworkProxy(QNetworkProxy::NoProxy);
    bool ok = false;
    const uint port = TrimSpaces(state.proxyPort).toUInt(&ok);
    // A missing or unusable port means the HTTP port.
    return QNetworkProxy(QNetworkProxy::HttpProxy, TrimSpaces(state.proxyAddress),
                         quint16(ok && port > 0 && port < 65536 ? port : 80));
}

void DownloadNetwork::applyProxy(const ProgramState& state) {
    m_single->setProxy(ProxyFor(state));
}

QString DownloadNetwork::UserAgent() {
    return QStringLiteral("Peldora/%1.%2.%3").arg(kVersionMajor).arg(kVersionMinor).arg(kVersionPatch);
}

QNetworkRequest DownloadNetwork::Request(const QUrl& url) {
    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::UserAgentHeader, UserAgent());
    request.setRawHeader("Accept-Encoding", "identity");
    request.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(kMaxRedirects);
#ifndef QT_NO_SSL
    if (QSslSocket::supportsSsl()) {
        QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
        tls.setPeerVerifyMode(QSslSocket::VerifyPeer);
        request.setSslConfiguration(tls);
    }
#endif
    return request;
}

bool IsTransportError(int networkError) {
    if (networkError == QNetworkReply::NoError) return false;
    if (networkError < 200) return true; // connection, redirect and proxy errors
    switch (networkError) {
    case QNetworkReply::ProtocolUnknownError:
    case QNetworkReply::ProtocolInvalidOperationError:
    case QNetworkReply::ProtocolFailure:
        return true;
    default:
        return false;
    }
}

} // namespace peldora
