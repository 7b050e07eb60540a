#include "support/TestHttpServer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QUrl>

#ifdef Q_OS_UNIX
#include <sys/socket.h>
#endif

namespace peldora::test {

namespace {

QByteArray ReasonPhrase(int status) {
    switch (status) {
    case 200:
        return "OK";
    case 204:
        return "No Content";
    case 206:
        return "Partial Content";
    case 301:
        return "Moved Permanently";
    case 302:
        return "Found";
    case 303:
        return "See Other";
    case 304:
        return "Not Modified";
    case 307:
        return "Temporary Redirect";
    case 400:
        return "Bad Request";
    case 403:
        return "Forbidden";
    case 404:
        return "Not Found";
    case 500:
        return "Internal Server Error";
    case 503:
        return "Service Unavailable";
    default:
        return "Status";
    }
}

bool HasHeader(const HttpResponse& r, const QByteArray& name) {
    for (const auto& h : r.headers)
        if (h.first.compare(name, Qt::CaseInsensitive) == 0) return true;
    return false;
}

constexpr qsizetype kMaxHeaderBytes = 64 * 1024;

} // namespace

QByteArray HttpRequest::cookie(const QByteArray& name) const {
    for (const QByteArray& part : header("cookie").split(';')) {
        const QByteArray item = part.trimmed();
        const qsizetype eq = item.indexOf('=');
        if (eq > 0 && item.left(eq) == name) return item.mid(eq + 1);
    }
    return {};
}

HttpResponse& HttpResponse::setHeader(const QByteArray& name, const QByteArray& value) {
    for (auto& h : headers) {
        if (h.first.compare(name, Qt::CaseInsensitive) == 0) {
            h.second = value;
            return *this;
        }
    }
    headers.append({name, value});
    return *this;
}

HttpResponse& HttpResponse::addCookie(const QByteArray& name, const QByteArray& value,
                                      const QByteArray& attributes) {
    QByteArray text = name + '=' + value;
    if (!attributes.isEmpty()) text += "; " + attributes;
    headers.append({"Set-Cookie", text});
    return *this;
}

HttpResponse HttpResponse::Html(const QByteArray& html, int status) {
    HttpResponse r;
    r.status = status;
    r.setHeader("Content-Type", "text/html; charset=utf-8");
    r.body = html;
    return r;
}

HttpResponse HttpResponse::Data(const QByteArray& body, const QByteArray& contentType) {
    HttpResponse r;
    r.setHeader("Content-Type", contentType);
    r.body = body;
    return r;
}

HttpResponse HttpResponse::Redirect(const QByteArray& location, int status) {
    HttpResponse r = Html("<html><body>moved</body></html>", status);
    r.setHeader("Location", location);
    return r;
}

HttpResponse HttpResponse::NotFound() {
    return Html("<html><head><title>404 Not Found</title></head><body><h1>Not Found</h1></body>"
                "</html>",
                404);
}

// One client connection: reads requests one after the other and sends each answer in turn.
struct TestHttpServer::Connection {
    QTcpSocket* socket = nullptr;
    QByteArray input;
    bool responding = false;
    bool closeAfter = false;
    HttpResponse response;
    bool headOnly = false;
    QByteArray pendingBody; // the body still to send
    qint64 bodySent = 0;
    QTimer* ticker = nullptr;
};

TestHttpServer::TestHttpServer(QObject* parent) : QObject(parent), m_server(new QTcpServer(this)) {
    m_server->setMaxPendingConnections(256);
    connect(m_server, &QTcpServer::newConnection, this, &TestHttpServer::onNewConnection);
}

TestHttpServer::~TestHttpServer() {
    closeAllConnections();
}

bool TestHttpServer::start() {
    if (m_server->isListening()) return true;
    return m_server->listen(QHostAddress::LocalHost, 0);
}

quint16 TestHttpServer::port() const {
    return m_server->serverPort();
}

QString TestHttpServer::url(const QString& path) const {
    return QStringLiteral("http://127.0.0.1:%1%2").arg(port()).arg(path);
}

void TestHttpServer::serveDirectory(const QString& dir) {
    m_dir = QDir(dir).absolutePath();
}

void TestHttpServer::route(const QString& path, HttpHandler handler) {
    for (auto& r : m_routes) {
        if (r.first == path) {
            r.second = std::move(handler);
            return;
        }
    }
    m_routes.append({path, std::move(handler)});
}

int TestHttpServer::requestCount(const QString& path) const {
    int n = 0;
    for (const HttpRequest& r : m_requests)
        if (r.path == path) ++n;
    return n;
}

int TestHttpServer::openConnections() const {
    return int(m_connections.size());
}

void TestHttpServer::closeAllConnections() {
    const QList<Connection*> all = m_connections;
    for (Connection* c : all) dropConnection(c);
}

QByteArray TestHttpServer::ContentTypeFor(const QString& fileName) {
    static const QHash<QString, QByteArray> types{
        {QStringLiteral("html"), "text/html; charset=utf-8"},
        {QStringLiteral("htm"), "text/html; charset=utf-8"},
        {QStringLiteral("txt"), "text/plain; charset=utf-8"},
        {QStringLiteral("css"), "text/css"},
        {QStringLiteral("js"), "application/javascript"},
        {QStringLiteral("json"), "application/json"},
        {QStringLiteral("xml"), "text/xml"},
        {QStringLiteral("png"), "image/png"},
        {QStringLiteral("jpg"), "image/jpeg"},
        {QStringLiteral("jpeg"), "image/jpeg"},
        {QStringLiteral("gif"), "image/gif"},
        {QStringLiteral("pdf"), "application/pdf"},
        {QStringLiteral("zip"), "application/zip"},
        {QStringLiteral("doc"), "application/msword"},
        {QStringLiteral("rar"), "application/x-rar-compressed"},
    };
    return types.value(QFileInfo(fileName).suffix().toLower(), "application/octet-stream");
}

void TestHttpServer::onNewConnection() {
    while (QTcpSocket* socket = m_server->nextPendingConnection()) {
        ++m_accepted;
        auto* c = new Connection;
        c->socket = socket;
        m_connections.append(c);
        connect(socket, &QTcpSocket::readyRead, this, [this, c] { onReadyRead(c); });
        connect(socket, &QTcpSocket::disconnected, this, [this, c] { dropConnection(c); });
    }
}

void TestHttpServer::onReadyRead(Connection* c) {
    c->input += c->socket->readAll();
    while (!c->responding && !c->closeAfter) {
        const qsizetype end = c->input.indexOf("\r\n\r\n");
        if (end < 0) {
            if (c->input.size() > kMaxHeaderBytes) dropConnection(c);
            return;
        }
        const QList<QByteArray> lines = c->input.left(end).split('\n');
        HttpRequest request;
        const QList<QByteArray> first = lines.value(0).trimmed().split(' ');
        if (first.size() < 2) {
            dropConnection(c);
            return;
        }
        request.method = first.at(0).toUpper();
        request.target = first.at(1);
        for (qsizetype i = 1; i < lines.size(); ++i) {
            const QByteArray line = lines.at(i).trimmed();
            const qsizetype colon = line.indexOf(':');
            if (colon <= 0) continue;
            const QByteArray name = line.left(colon).trimmed().toLower();
            const QByteArray value = line.mid(colon + 1).trimmed();
            // Repeated headers join as HTTP allows (cookies with "; ").
            if (request.headers.contains(name))
                request.headers[name] += (name == "cookie" ? "; " : ", ") + value;
            else
                request.headers.insert(name, value);
        }
        const qint64 length = request.header("content-length").toLongLong();
        if (c->input.size() < end + 4 + length) return; // the body is still on its way
        request.body = c->input.mid(end + 4, length);
        c->input.remove(0, end + 4 + length);

        const QUrl url(QString::fromLatin1(request.target));
        request.path = url.path(QUrl::FullyDecoded);
        request.query = QUrlQuery(url.query(QUrl::FullyEncoded));
        const QByteArray connection = request.header("connection").toLower();
        c->closeAfter = connection.contains("close") || first.value(2) == "HTTP/1.0";
        m_requests.append(request);
        startResponse(c, request);
    }
}

HttpResponse TestHttpServer::answer(const HttpRequest& request) const {
    const HttpHandler* best = nullptr;
    qsizetype bestLength = -1;
    for (const auto& r : m_routes) {
        const QString& p = r.first;
        if (p == request.path) return r.second(request);
        if (p.endsWith(u'*') && request.path.startsWith(p.chopped(1)) && p.size() > bestLength) {
            best = &r.second;
            bestLength = p.size();
        }
    }
    if (best) return (*best)(request);
    return fileResponse(request);
}

HttpResponse TestHttpServer::fileResponse(const HttpRequest& request) const {
    if (m_dir.isEmpty()) return HttpResponse::NotFound();
    QString path = QDir::cleanPath(m_dir + QLatin1Char('/') + request.path);
    // Nothing outside the served folder.
    if (path != m_dir && !path.startsWith(m_dir + QLatin1Char('/')))
        return HttpResponse::NotFound();
    if (QFileInfo(path).isDir()) path += QStringLiteral("/index.html");
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        return HttpResponse::NotFound();
    return HttpResponse::Data(file.readAll(), ContentTypeFor(path));
}

void TestHttpServer::startResponse(Connection* c, const HttpRequest& request) {
    c->responding = true;
    c->response = answer(request);
    c->headOnly = request.method == "HEAD";
    c->bodySent = 0;
    const HttpResponse& r = c->response;
    if (r.framing == HttpResponse::Framing::Close || r.cutAfter >= 0 || r.httpVersion == "HTTP/1.0")
        c->closeAfter = true;

    auto sendHead = [this, c] {
        const HttpResponse& r = c->response;
        QByteArray head = r.httpVersion + ' ' + QByteArray::number(r.status) + ' ' +
                          (r.reason.isEmpty() ? ReasonPhrase(r.status) : r.reason) + "\r\n";
        for (const auto& h : r.headers) head += h.first + ": " + h.second + "\r\n";
        if (r.framing == HttpResponse::Framing::ContentLength && !HasHeader(r, "Content-Length"))
            head += "Content-Length: " + QByteArray::number(r.body.size()) + "\r\n";
        if (r.framing == HttpResponse::Framing::Chunked) head += "Transfer-Encoding: chunked\r\n";
        if (r.httpVersion != "HTTP/1.0")
            head += c->closeAfter ? "Connection: close\r\n" : "Connection: keep-alive\r\n";
        head += "\r\n";
        c->socket->write(head);
        c->pendingBody = c->headOnly ? QByteArray() : r.body;
        if (r.bytesPerTick > 0 && !c->pendingBody.isEmpty()) {
            c->ticker = new QTimer(c->socket);
            c->ticker->setInterval(std::max(1, r.tickMs));
            connect(c->ticker, &QTimer::timeout, this, [this, c] {
                if (m_connections.contains(c)) sendMore(c);
            });
            c->ticker->start();
        } else {
            sendMore(c);
        }
    };
    if (r.delayMs > 0)
        QTimer::singleShot(r.delayMs, c->socket, [this, c, sendHead] {
            if (m_connections.contains(c)) sendHead();
        });
    else
        sendHead();
}

void TestHttpServer::sendMore(Connection* c) {
    const HttpResponse& r = c->response;
    qint64 n = r.bytesPerTick > 0 ? r.bytesPerTick : c->pendingBody.size();
    n = std::min<qint64>(n, c->pendingBody.size());
    const qint64 limit = r.cutAfter >= 0 ? r.cutAfter : (r.stallAfter >= 0 ? r.stallAfter : -1);
    if (limit >= 0) n = std::min<qint64>(n, limit - c->bodySent);
    if (n > 0) {
        const QByteArray piece = c->pendingBody.left(n);
        c->pendingBody.remove(0, n);
        if (r.framing == HttpResponse::Framing::Chunked)
            c->socket->write(QByteArray::number(piece.size(), 16) + "\r\n" + piece + "\r\n");
        else
            c->socket->write(piece);
        c->bodySent += n;
    }
    if (r.cutAfter >= 0 && c->bodySent >= r.cutAfter) {
        // Cut: whatever was written goes out, then the connection ends mid-body.
        if (c->ticker) c->ticker->stop();
        c->responding = false;
        c->closeAfter = true;
        if (r.resetAtCut) {
            c->socket->flush();
#ifdef Q_OS_UNIX
            // A zero linger time turns the close into a reset.
            const struct linger off{1, 0};
            ::setsockopt(int(c->socket->socketDescriptor()), SOL_SOCKET, SO_LINGER, &off,
                         sizeof off);
#endif
            dropConnection(c);
            return;
        }
        c->socket->disconnectFromHost();
        return;
    }
    if (r.stallAfter >= 0 && c->bodySent >= r.stallAfter && !c->pendingBody.isEmpty()) {
        if (c->ticker) c->ticker->stop(); // stalls: the connection stays open, nothing more comes
        return;
    }
    if (c->pendingBody.isEmpty()) finishResponse(c);
}

void TestHttpServer::finishResponse(Connection* c) {
    if (c->ticker) {
        c->ticker->stop();
        c->ticker->deleteLater();
        c->ticker = nullptr;
    }
    if (c->response.framing == HttpResponse::Framing::Chunked && !c->headOnly)
        c->socket->write("0\r\n\r\n");
    c->responding = false;
    if (c->closeAfter) {
        c->socket->disconnectFromHost();
        return;
    }
    // The next request may already be waiting in the buffer.
    if (!c->input.isEmpty())
        QTimer::singleShot(0, c->socket, [this, c] {
            if (m_connections.contains(c)) onReadyRead(c);
        });
}

void TestHttpServer::dropConnection(Connection* c) {
    if (!m_connections.removeOne(c)) return;
    c->socket->disconnect(this);
    if (c->ticker) c->ticker->stop();
    c->socket->abort();
    c->socket->deleteLater();
    delete c;
}

} // namespace peldora::test
