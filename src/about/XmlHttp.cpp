#include "about/XmlHttp.h"
#include "common/Text.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSaveFile>
#include <QStringDecoder>
#include <QTimer>
#include <QUrl>

namespace peldora {

namespace {

constexpr int kPollMs = 10;

struct StatusEntry {
    int code;
    const char16_t* text;
};
const StatusEntry kStatusTexts[] = {
    {100, u"客户必须继续发出请求"},
    {101, u"客户要求服务器根据请求转换HTTP协议版本"},
    {200, u"交易成功"},
    {201, u"提示知道新文件的URL"},
    {202, u"接受和处理?但处理未完成"},
    {203, u"返回信息不确定或不完整"},
    {204, u"请求收到，但返回信息为空"},
    {205, u"服务器完成了请求，用户代理必须复位当前已经浏览过的文件"},
    {206, u"服务器已经完成了部分用户的GET请求"},
    {300, u"请求的资源可在多处得到"},
    {301, u"删除请求数据"},
    {302, u"在其他地址发现了请求数据"},
    {303, u"建议客户访问其他URL或访问方式"},
    {304, u"客户端已经执行了GET，但文件未变化"},
    {305, u"请求的资源必须从服务器指定的地址得到"},
    {306, u"前一版本HTTP中使用的代码，现行版本中不再使用"},
    {307, u"申明请求的资源临时性删除"},
    {400, u"错误请求，如语法错误"},
    {401, u"请求授权失败"},
    {402, u"保留有效ChargeTo头响应"},
    {403, u"请求不允许"},
    {404, u"没有发现文件?查询或URl"},
    {405, u"用户在Request -Line字段定义的方法不允许"},
    {406, u"根据用户发送的Accept拖，请求资源不可访问"},
    {407, u"类似401，用户必须首先在代理服务器上得到授权"},
    {408, u"客户端没有在用户指定的饿时间内完成请求"},
    {409, u"对当前资源状态，请求不能完成"},
    {410, u"服务器上不再有此资源且无进一步的参考地址"},
    {411, u"服务器拒绝用户定义的Content -Length属性请求"},
    {412, u"一个或多个请求头字段在当前请求中错误"},
    {413, u"请求的资源大于服务器允许的大小"},
    {414, u"请求的资源URL长于服务器允许的长度"},
    {415, u"请求资源不支持请求项目格式"},
    {416, u"请求中包含Range请求头字段，在当前请求资源范围内没有range指示值，请求也不包含If-Range请求头字段"},
    {417, u"服务器不满足请求Expect头字段指定的期望值，如果是代理服务器，可能是下一级服务器不能满足请求"},
    {500, u"服务器产生内部错误"},
    {501, u"服务器不支持请求的函数"},
    {502, u"服务器暂时不可用，有时是为了防止发生系统过载"},
    {503, u"服务器过载或暂停维修"},
    {504, u"关口过载，服务器使用另一个关口或服务来响应用户，等待时间设定值较长"},
    {505, u"服务器不支持或拒绝支请求头中指定的HTTP版本"},
};

// A save path as the file system takes it: trimmed, a "file:///" address made a local path.
QString LocalSavePath(const QString& path) {
    const QString p = TrimSpaces(path);
    if (p.startsWith(QStringLiteral("file:///"), Qt::CaseInsensitive))
        return QUrl(QStringLiteral("file:///") + p.mid(8)).toLocalFile();
    return p;
}

} // namespace

uXMLHTTP::uXMLHTTP(QObject* parent)
    : QObject(parent), m_network(new QNetworkAccessManager(this)), m_tmrReader(new QTimer(this)) {
    m_tmrReader->setObjectName(QStringLiteral("tmrReader"));
    m_tmrReader->setInterval(kPollMs);
    connect(m_tmrReader, &QTimer::timeout, this, &uXMLHTTP::tick);
}

uXMLHTTP::~uXMLHTTP() {
    m_tmrReader->stop();
    dropReply();
}

QString uXMLHTTP::statusDescription(int status) {
    for (const StatusEntry& e : kStatusTexts)
        if (e.code == status) return QString::fromUtf16(e.text);
    return {};
}

void uXMLHTTP::dropReply() {
    if (!m_reply) return;
    QNetworkReply* reply = m_reply;
    m_reply = nullptr;
    reply->disconnect(this);
    reply->abort();
    reply->deleteLater();
}

bool uXMLHTTP::Open_(const QString& method, const QString& url, const QString& savePath) {
    m_downOK = false;
    const QUrl address(url, QUrl::StrictMode);
    if (TrimSpaces(method).isEmpty() || !address.isValid() || address.scheme().isEmpty())
        return false;
    dropReply();
    m_method = TrimSpaces(method).toUpper().toLatin1();
    m_url = address;
    m_savePath = savePath;
    m_requestHeaders.clear();
    m_responseHeaders.clear();
    m_body.clear();
    m_status = 0;
    m_statusText.clear();
    m_finished = false;
    m_readyState = 1;
    m_opened = true;
    return true;
}

void uXMLHTTP::SetRequestHeader(const QString& name, const QString& value) {
    if (!m_opened || m_reply || name.isEmpty()) return;
    m_requestHeaders << qMakePair(name.toLatin1(), value.toUtf8());
}

void uXMLHTTP::Send_(const QString& body) {
    if (m_opened && m_readyState == 1 && !m_reply) {
        QNetworkRequest request(m_url);
        for (const auto& [name, value] : m_requestHeaders) request.setRawHeader(name, value);
        m_reply = m_network->sendCustomRequest(request, m_method, body.toUtf8());
        connect(m_reply, &QNetworkReply::metaDataChanged, this, [this] {
            if (m_readyState < 2) m_readyState = 2;
        });
        connect(m_reply, &QNetworkReply::readyRead, this, &uXMLHTTP::readBody);
        connect(m_reply, &QNetworkReply::finished, this, [this] {
            readBody();
            QNetworkReply* reply = m_reply;
            if (!reply) return;
            m_status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
            m_statusText =
                QString::fromLatin1(reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute)
                                        .toByteArray());
            m_responseHeaders = reply->rawHeaderPairs();
            m_finished = true;
            m_readyState = 4;
            m_reply = nullptr;
            reply->deleteLater();
        });
    }
    if (m_opened) m_tmrReader->start();
}

void uXMLHTTP::readBody() {
    if (!m_reply) return;
    if (m_readyState < 3) m_readyState = 3;
    const QByteArray piece = m_reply->readAll();
    if (m_maxBody <= 0) {
        m_body += piece;
        return;
    }
    m_body += piece.left(m_maxBody + 1 - m_body.size());
    if (m_body.size() > m_maxBody) {
        // Enough to tell the body is too long: the rest is not fetched.
        QNetworkReply* reply = m_reply;
        m_status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        m_statusText = QString::fromLatin1(
            reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toByteArray());
        m_responseHeaders = reply->rawHeaderPairs();
        dropReply();
        m_finished = true;
        m_readyState = 4;
    }
}

void uXMLHTTP::Abort_() {
    m_tmrReader->stop();
    dropReply();
    m_readyState = 0;
}

void uXMLHTTP::tick() {
    emit OnReadyStateChange();
    if (m_readyState != 4) return;
    m_tmrReader->stop();
    m_downOK = true;
    if (m_status == 200) {
        saveBody();
        emit OnDateArrived();
    } else if (m_status >= 0 && m_status <= 600) {
        emit OnDateErr(statusDescription(m_status));
    }
}

void uXMLHTTP::saveBody() {
    if (TrimSpaces(m_savePath).isEmpty() || m_body.isEmpty()) return;
    // Written aside and renamed over any earlier file, so a failed save leaves that file whole.
    QSaveFile file(LocalSavePath(m_savePath));
    if (!file.open(QIODevice::WriteOnly)) return;
    file.write(m_body);
    file.commit();
}

QString uXMLHTTP::GetResponseHeader(const QString& name) const {
    const QByteArray wanted = name.toLatin1().toLower();
    for (const auto& [n, v] : m_responseHeaders)
        if (n.toLower() == wanted) return QString::fromLatin1(v);
    return {};
}

QString uXMLHTTP::GetAllResponseHeaders() const {
    QString all;
    for (const auto& [n, v] : m_responseHeaders)
        all += QString::fromLatin1(n) + QStringLiteral(": ") + QString::fromLatin1(v) +
               QStringLiteral("\r\n");
    return all;
}

QString uXMLHTTP::ResponseText() const {
    if (m_body.isEmpty()) return {};
    if (auto bom = QStringConverter::encodingForData(m_body)) {
        QStringDecoder decoder(*bom);
        return decoder(m_body);
    }
    const QString type = GetResponseHeader(QStringLiteral("Content-Type"));
    const qsizetype at = type.indexOf(QStringLiteral("charset="), 0, Qt::CaseInsensitive);
    if (at >= 0) {
        QString charset = type.mid(at + 8).section(u';', 0, 0).trimmed();
        charset.remove(u'"');
        QStringDecoder decoder(charset.toLatin1().constData());
        if (decoder.isValid()) return decoder(m_body);
    }
    return QString::fromUtf8(m_body);
}

} // namespace peldora
