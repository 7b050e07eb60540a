#pragma once
// A small HTTP/1.1 server on 127.0.0.1 for the tests: static files from a folder, scripted
// routes, and the awkward deliveries download code has to survive (no length, chunked, slow,
// stalled, cut off). It runs in the thread it lives in, so the test must keep events flowing
// while a client talks to it (every wait of the program does).
#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPair>
#include <QString>
#include <QUrlQuery>
#include <functional>

class QTcpServer;
class QTcpSocket;

namespace peldora::test {

struct HttpRequest {
    QByteArray method; // "GET", "HEAD", "POST"
    QString path;      // decoded path without the query, e.g. "/files/a.pdf"
    QUrlQuery query;
    QByteArray target;                     // the request target as sent, e.g. "/files/a.pdf?x=1"
    QHash<QByteArray, QByteArray> headers; // names in lower case
    QByteArray body;

    QByteArray header(const QByteArray& name) const { return headers.value(name.toLower()); }
    // The value of one cookie of the Cookie header, or the empty text.
    QByteArray cookie(const QByteArray& name) const;
};

struct HttpResponse {
    // How the end of the body is told to the client.
    enum class Framing {
        ContentLength, // "Content-Length: n"
        Chunked,       // "Transfer-Encoding: chunked"
        Close,         // no length: the body ends when the server closes the connection
    };

    int status = 200;
    QList<QPair<QByteArray, QByteArray>> headers; // sent as given, in order
    QByteArray body;
    Framing framing = Framing::ContentLength;
    // Delivery: 0 sends the whole body at once, otherwise this many bytes per tick.
    int bytesPerTick = 0;
    int tickMs = 10;
    // Waits this long before the status line is sent.
    int delayMs = 0;
    // Stops sending after this many body bytes and keeps the connection open (-1: never).
    qint64 stallAfter = -1;
    // Closes the connection after this many body bytes (-1: never).
    qint64 cutAfter = -1;
    // At the cut, resets the connection (RST) instead of closing it in order.
    bool resetAtCut = false;
    // The protocol of the status line; "HTTP/1.0" sends no Connection header and closes after
    // the response.
    QByteArray httpVersion = "HTTP/1.1";
    // The reason phrase of the status line; empty: the standard one.
    QByteArray reason;

    HttpResponse& setHeader(const QByteArray& name, const QByteArray& value);
    // Adds a Set-Cookie header ("name=value; attributes").
    HttpResponse& addCookie(const QByteArray& name, const QByteArray& value,
                            const QByteArray& attributes = "Path=/");

    static HttpResponse Html(const QByteArray& html, int status = 200);
    static HttpResponse Data(const QByteArray& body, const QByteArray& contentType);
    static HttpResponse Redirect(const QByteArray& location, int status = 302);
    static HttpResponse NotFound();
};

using HttpHandler = std::function<HttpResponse(const HttpRequest&)>;

class TestHttpServer : public QObject {
    Q_OBJECT
public:
    explicit TestHttpServer(QObject* parent = nullptr);
    ~TestHttpServer() override;

    // Listens on 127.0.0.1 at a free port.
    bool start();
    quint16 port() const;
    // "http://127.0.0.1:<port>" + path (path starts with "/").
    QString url(const QString& path = QStringLiteral("/")) const;

    // Files below this folder are served for paths no route claims, with content types by
    // extension; a folder path serves its index.html.
    void serveDirectory(const QString& dir);
    // A handler for one path (without query). A path ending in "*" claims every path that
    // starts with the part before it. Routes take precedence over files; the last one set for a
    // path wins.
    void route(const QString& path, HttpHandler handler);

    // Every request received so far, in order of arrival.
    QList<HttpRequest> requests() const { return m_requests; }
    int requestCount(const QString& path) const;
    void clearRequests() { m_requests.clear(); }
    // Connections accepted so far, and those still open.
    int connectionsAccepted() const { return m_accepted; }
    int openConnections() const;
    // Closes every open connection (stalled ones included).
    void closeAllConnections();

    static QByteArray ContentTypeFor(const QString& fileName);

private:
    struct Connection;
    void onNewConnection();
    void onReadyRead(Connection* c);
    void startResponse(Connection* c, const HttpRequest& request);
    void sendMore(Connection* c);
    void finishResponse(Connection* c);
    void dropConnection(Connection* c);
    HttpResponse answer(const HttpRequest& request) const;
    HttpResponse fileResponse(const HttpRequest& request) const;

    QTcpServer* m_server;
    QString m_dir;
    QList<QPair<QString, HttpHandler>> m_routes;
    QList<HttpRequest> m_requests;
    QList<Connection*> m_connections;
    int m_accepted = 0;
};

} // namespace peldora::test
