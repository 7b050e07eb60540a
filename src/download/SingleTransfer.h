#pragma once
#include "download/DownloadList.h"
#include "download/TransferTexts.h"

#include <QObject>
#include <QPointer>
#include <QString>

class QNetworkReply;
class QNetworkRequest;
class QSaveFile;

namespace peldora {

struct AppContext;
struct ProgramState;
class DownloadNetwork;
class DownloadWindowState;
class BodyDecoder;

// How the single-connection transfer is set up for an address: access type (2 named proxy,
// 0 direct), the proxy text "address:port", the remote port and the protocol (5 HTTPS, 4 HTTP).
struct InetSetup {
    int accessType = 0;
    QString proxy;
    int remotePort = 80;
    int protocol = 4;
};
InetSetup InetSetupFor(const QString& address, const ProgramState& state);

// The text status panel 3 shows for a state of the transfer (0 to 12; 11 is an error and takes
// the response code and text).
QString InetStateText(int state, int responseCode = 0, const QString& responseInfo = {});

// The raw header block of a reply: the status line with its reason phrase, then every header,
// CR LF separated. Empty while no response has arrived.
QString RawHeaderBlock(const QNetworkReply& reply);

// The extension a response announces: its Content-Type, else the file name of its
// Content-Disposition, else "htm" when the Content-Type carries a charset.
QString ExtensionFromResponse(const QString& contentType, const QString& rawHeaders);

// Whether the status line (the first line of the block) holds both "200" and "OK", any case.
bool StatusLineIsOk(const QString& rawHeaders);

// The single-connection download: one row at a time, inside the caller's event handler, pumping
// events while it waits and reads. The row is found again by its identity after every pump; a
// row that has gone ends the attempt quietly. The body is written to a temporary file beside
// the target, which replaces the target only when the file is complete.
class SingleTransfer : public QObject {
    Q_OBJECT
public:
    SingleTransfer(AppContext& ctx, DownloadList& list, DownloadWindowState& state,
                   QObject* parent = nullptr);
    ~SingleTransfer() override;

    void setOptions(const TransferOptions& options) { m_options = options; }
    const TransferOptions& options() const { return m_options; }

    // Whether a download of this object is running (its request in flight or its loops busy).
    bool executing() const { return m_running; }

    // The scheduler's entry: refuses (row back to waiting, "等待重新下载") while a download runs
    // or the run flag is set; otherwise sets the run flag, downloads and clears it.
    void Inet下载当前文件(RowId row);
    // The download of one row; its outcome is written into the row.
    void Inet下载文件(RowId row);
    // Stops the request in flight; the running download ends as cancelled at its next look.
    void cancel();

    // How long the headers are waited for, and how long a transfer may go without growing.
    static constexpr double kHeaderWaitSeconds = 30;
    static constexpr double kStallSeconds = 120;
    static constexpr int kChunkBytes = 2048;

signals:
    void panel2TextChanged(const QString& text);
    void panel3TextChanged(const QString& text);
    // A file's attempt ended, whatever the outcome (the window's pause clock is set already).
    void fileEnded(quint64 row);
    // The attempt ended with a web page and automatic login is on: the site wants a login.
    void webPageReceived(quint64 row);

private:
    enum class ReadEnd { Complete, Stopped, Stalled, Broken, TooLarge, RowGone, WriteFailed };
    struct Attempt;

    QNetworkReply* startRequest(const QNetworkRequest& request);
    void dropReply();
    ReadEnd receive(Attempt& a, QSaveFile& file, qint64 size, bool fallback);
    void openUrlFallback(Attempt& a);
    void finishTransfer(Attempt& a);
    void endAttempt(Attempt& a);
    int rowOf(const Attempt& a) const;
    // The file at the target stays: the row fails with its length and "无法替换".
    void failCannotReplace(int row, const QString& target);
    void setState(int state);

    AppContext& m_ctx;
    DownloadList& m_list;
    DownloadWindowState& m_state;
    DownloadNetwork* m_network;
    DownloadNetwork* m_ownNetwork = nullptr;
    TransferOptions m_options;
    QPointer<QNetworkReply> m_reply;
    bool m_running = false;
    bool m_cancelRequested = false;
};

} // namespace peldora
