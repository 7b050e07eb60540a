#pragma once
#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPair>
#include <QString>
#include <QUrl>

class QNetworkAccessManager;
class QNetworkReply;
class QTimer;

namespace peldora {

// uXMLHTTP: one HTTP request at a time, in the background, watched by a 10 ms poll that reports
// through events: OnReadyStateChange at every tick, then OnDateArrived for status 200 (after
// the body has been saved, when a save path was given) or OnDateErr with the status's text.
// Over Qt Network; everything runs on the thread the control lives in.
class uXMLHTTP : public QObject {
    Q_OBJECT
public:
    explicit uXMLHTTP(QObject* parent = nullptr);
    ~uXMLHTTP() override;

    // Prepares a request (the method in upper case). False when the request cannot be made
    // (no method, or an address that is not one). Re-opening drops a request under way.
    bool Open_(const QString& method, const QString& url, const QString& savePath = {});
    void SetRequestHeader(const QString& name, const QString& value);
    // Sends the prepared request and starts the poll (only after an Open_).
    void Send_(const QString& body = {});
    // Stops the poll and the request; no event of it follows.
    void Abort_();

    bool DownOK() const { return m_downOK; }
    // 0 not opened, 1 opened, 2 headers received, 3 receiving, 4 completed.
    int ReadyState() const { return m_readyState; }
    int Status() const { return m_status; }
    QString StatusText() const { return m_statusText; }
    QString GetResponseHeader(const QString& name) const;
    QString GetAllResponseHeaders() const;
    QByteArray ResponseBody() const { return m_body; }
    // The body decoded by the charset of its Content-Type (UTF-8 when none, a byte-order mark
    // wins).
    QString ResponseText() const;

    // The most body bytes kept; a longer body ends the transfer there (the request completes
    // with what arrived, one byte over the limit, so a reader can tell it was cut). 0: no limit.
    void setMaximumBodySize(qint64 bytes) { m_maxBody = bytes; }

    // The status text table: the texts of 41 codes, the empty text for every other.
    static QString statusDescription(int status);

signals:
    void OnDateArrived();
    void OnReadyStateChange();
    void OnDateErr(const QString& description);

private:
    void tick();
    void dropReply();
    void readBody();
    void saveBody();

    QNetworkAccessManager* m_network;
    QNetworkReply* m_reply = nullptr;
    QTimer* m_tmrReader;
    bool m_opened = false;
    bool m_downOK = false;
    bool m_finished = false;
    int m_readyState = 0;
    int m_status = 0;
    QString m_statusText;
    QByteArray m_method;
    QUrl m_url;
    QString m_savePath;
    QList<QPair<QByteArray, QByteArray>> m_requestHeaders;
    QList<QPair<QByteArray, QByteArray>> m_responseHeaders;
    QByteArray m_body;
    qint64 m_maxBody = 0;
};

} // namespace peldora
