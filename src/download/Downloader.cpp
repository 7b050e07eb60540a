#include "download/Downloader.h"
#include "common/Text.h"
#include "download/BodyDecoder.h"
#include "download/DownloadNetwork.h"
#include "download/TransferTexts.h"
#include "platform/Clock.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QRegularExpression>
#include <QSaveFile>
#include <QTimer>
#include <QUrl>

namespace peldora {

Downloader::Downloader(DownloadNetwork& network, const Clock& clock, QObject* parent)
    : QObject(parent), m_network(network), m_clock(clock), m_watchdog(new QTimer(this)) {
    m_watchdog->setInterval(1000);
    connect(m_watchdog, &QTimer::timeout, this, &Downloader::onWatchdog);
}

Downloader::~Downloader() {
    stopReading();
}

void Downloader::setWatchdogIntervalMs(int ms) {
    m_watchdog->setInterval(ms);
}

void Downloader::BeginDownload(const QString& address, const QString& savePath,
                               const QString& referrer) {
    Q_UNUSED(referrer);
    stopReading();
    m_savePath = savePath;
    m_stallClock = m_clock.elapsedSeconds();
    m_lastTotal = -1;
    m_lastReceived = 0;
    m_receivedAtLastCheck = 0;
    m_running = true;
    m_watchdog->start();
    static const QRegularExpression amp(QStringLiteral("&amp;"),
                                        QRegularExpression::CaseInsensitiveOption);
    m_address = TrimSpaces(QString(address).replace(amp, QStringLiteral("&")));
    startRead(false);
}

void Downloader::startRead(bool fallback) {
    m_fallback = fallback;
    m_file = std::make_unique<QSaveFile>(m_savePath);
    m_decoder.reset();
    QNetworkRequest request = DownloadNetwork::Request(QUrl(m_address));
    // The first read always goes to the network, never to a cached copy.
    if (!fallback)
        request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                             QNetworkRequest::AlwaysNetwork);
    QNetworkReply* reply = m_network.parallelManager()->get(request);
    m_reply = reply;
    reply->setReadBufferSize(4 * 1024 * 1024);
    connect(reply, &QNetworkReply::readyRead, this, &Downloader::onReadyRead);
    connect(reply, &QNetworkReply::finished, this, &Downloader::onFinished);
}

void Downloader::onReadyRead() {
    if (!m_reply || !m_running) return;
    if (!m_file->isOpen() && !m_file->open(QIODevice::WriteOnly)) {
        fail(kCannotDownloadMessage);
        return;
    }
    if (!m_decoder) m_decoder = std::make_unique<BodyDecoder>(m_reply->rawHeader("Content-Encoding"));
    qint64 received = m_lastReceived;
    for (;;) {
        const QByteArray piece = m_reply->read(256 * 1024);
        if (piece.isEmpty()) break;
        QByteArray data;
        if (!m_decoder->feed(piece, &data) || m_file->write(data) != data.size()) {
            fail(kDownloadFailedText);
            return;
        }
        received += piece.size();
    }
    if (received == m_lastReceived) return;
    const QVariant length = m_reply->header(QNetworkRequest::ContentLengthHeader);
    const qint64 total = length.isValid() ? length.toLongLong() : -1;
    m_lastTotal = total;
    m_lastReceived = received;
    emit DownloadProgress(received, total, m_savePath);
}

void Downloader::onFinished() {
    QNetworkReply* reply = m_reply;
    if (!reply || !m_running) return;
    if (reply->bytesAvailable() > 0) {
        QPointer<Downloader> self(this);
        onReadyRead();
        if (!self || !m_running) return;
    }
    const QNetworkReply::NetworkError error = reply->error();
    m_reply = nullptr;
    reply->disconnect(this);
    reply->deleteLater();
    if (IsTransportError(error)) {
        fail(kDownloadFailedText);
        return;
    }
    const qint64 received = m_lastReceived;
    if (received < 1) {
        // Nothing arrived: one more plain fetch, then give up.
        if (!m_fallback) {
            m_file.reset();
            startRead(true);
            return;
        }
        fail(kCannotDownloadMessage);
        return;
    }
    if (!m_decoder->finished() || !m_file->commit()) {
        fail(kDownloadFailedText);
        return;
    }
    m_file.reset();
    m_running = false;
    m_watchdog->stop();
    const qint64 total = m_lastTotal > 0 ? m_lastTotal : received;
    emit DownloadComplete(received, total, m_savePath);
}

void Downloader::onWatchdog() {
    if (!m_running) return;
    if (m_lastReceived == m_receivedAtLastCheck) {
        if (m_clock.elapsedSeconds() - m_stallClock >= kStallSeconds) fail(kTimedOutMessage);
        return;
    }
    m_receivedAtLastCheck = m_lastReceived;
    m_stallClock = m_clock.elapsedSeconds();
}

void Downloader::fail(const QString& message) {
    stopReading();
    emit DownloadError(message, m_savePath);
}

void Downloader::CancelAsyncRead() {
    stopReading();
}

void Downloader::stopReading() {
    m_running = false;
    m_watchdog->stop();
    if (m_reply) {
        QNetworkReply* reply = m_reply;
        m_reply = nullptr;
        reply->disconnect(this);
        if (reply->isRunning()) reply->abort();
        reply->deleteLater();
    }
    if (m_file) {
        m_file->cancelWriting();
        m_file.reset(); // a file never committed leaves nothing behind
    }
}

} // namespace peldora
