#pragma once
#include <QObject>
#include <QPointer>
#include <QString>
#include <memory>

class QNetworkReply;
class QSaveFile;
class QTimer;

namespace peldora {

class Clock;
class DownloadNetwork;
class BodyDecoder;

// One parallel transfer: reads an address into a temporary file beside the save path, watches
// it for stalls, and on completion puts the file in place of the save path. A read that ends
// without any byte is fetched once more in one plain request. Progress counts every byte
// received, whether or not the server announced a total.
class Downloader : public QObject {
    Q_OBJECT
public:
    Downloader(DownloadNetwork& network, const Clock& clock, QObject* parent = nullptr);
    ~Downloader() override;

    // Starts the transfer. The referrer is the row's tag; the parallel method sends none.
    void BeginDownload(const QString& address, const QString& savePath, const QString& referrer);
    // Stops every read of the instance and keeps nothing; no event comes afterwards.
    void CancelAsyncRead();

    QString savePath() const { return m_savePath; }
    QString address() const { return m_address; }
    bool running() const { return m_running; }
    qint64 bytesReceived() const { return m_lastReceived; }

    // The stall watchdog's period and limit.
    void setWatchdogIntervalMs(int ms);
    static constexpr double kStallSeconds = 300;

signals:
    // Bytes received so far and the announced total (-1 when none was announced).
    void DownloadProgress(qint64 received, qint64 total, const QString& path);
    // The file is in place at the save path.
    void DownloadComplete(qint64 received, qint64 total, const QString& path);
    // The transfer ended without a file: "超时", "无法下载", or the network's failure.
    void DownloadError(const QString& message, const QString& path);

private:
    void startRead(bool fallback);
    void onReadyRead();
    void onFinished();
    void onWatchdog();
    void fail(const QString& message);
    void stopReading();

    DownloadNetwork& m_network;
    const Clock& m_clock;
    QTimer* m_watchdog;
    QPointer<QNetworkReply> m_reply;
    std::unique_ptr<QSaveFile> m_file;
    std::unique_ptr<BodyDecoder> m_decoder;
    QString m_savePath;
    QString m_address;
    double m_stallClock = 0;
    qint64 m_lastTotal = -1;
    qint64 m_lastReceived = 0;
    qint64 m_receivedAtLastCheck = 0;
    bool m_fallback = false;
    bool m_running = false;
};

} // namespace peldora
