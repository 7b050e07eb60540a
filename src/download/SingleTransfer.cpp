#include "download/SingleTransfer.h"
#include "download/RowKinds.h"
#include "app/AppContext.h"
#include "common/FileHelpers.h"
#include "common/HeaderText.h"
#include "common/PathSeparator.h"
#include "common/Text.h"
#include "download/BodyDecoder.h"
#include "download/DownloadNetwork.h"
#include "download/DownloadWindowState.h"
#include "download/FileTypeCheck.h"
#include "download/MimeTypeToExt.h"
#include "download/SavedFileNaming.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/Sound.h"

#include <QDir>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSaveFile>
#include <QUrl>

namespace peldora {

namespace {

bool IsNumber(const QString& text, qint64* value = nullptr) {
    bool ok = false;
    const qint64 v = TrimSpaces(text).toLongLong(&ok);
    if (ok && value) *value = v;
    return ok;
}

double Megabytes(qint64 bytes) {
    return double(bytes) / 1024.0 / 1024.0;
}

// Reads as many 2,048-byte chunks as are waiting, up to this many, before events run again:
// the row shows the same progress, and a fast server is not held back by the event loop.
constexpr int kChunksPerPump = 512;

} // namespace

InetSetup InetSetupFor(const QString& address, const ProgramState& state) {
    InetSetup s;
    if (state.proxyEnabled == 1) {
        s.accessType = 2;
        s.remotePort = TrimSpaces(state.proxyPort).toInt();
        s.proxy = state.proxyAddress + u':' + state.proxyPort;
    } else {
        s.accessType = 0;
        s.remotePort = 80;
        // The host part starts at position 9 (1-based), the first character after "https://".
        const qsizetype slash = address.indexOf(u'/', 8);
        if (slash > 8) {
            const QString hostPart = address.mid(8, slash - 8);
            if (hostPart.count(u':') == 1) {
                bool ok = false;
                const int port = hostPart.mid(hostPart.indexOf(u':') + 1).toInt(&ok);
                if (ok) s.remotePort = port;
            }
        }
    }
    if (address.startsWith(QStringLiteral("https://"), Qt::CaseInsensitive)) {
        s.protocol = 5;
        s.remotePort = 443;
    } else {
        s.protocol = 4;
    }
    return s;
}

QString InetStateText(int state, int responseCode, const QString& responseInfo) {
    static const char* const texts[] = {
        "0 无状态可报告。",
        "1 正在查询所指定的主机的 IP 地址...",
        "2 已成功地找到所指定的主机的 IP 地址。",
        "3 正在与主机连接...",
        "4 已与主机连接成功。",
        "5 正在向主机发送请求...",
        "6 发送请求已成功。",
        "7 正在接收主机的响应...",
        "8 已成功地接收到主机的响应。",
        "9 正在解除与主机的连接...",
        "10 已成功地与主机解除了连接。",
        nullptr,
        "12 该请求已经完成，并且所有数据均已接收到。",
    };
    const QString codeAndInfo = QString::number(responseCode) + u':' + responseInfo;
    if (state == 11) return QStringLiteral("11 与主机通讯时出现了错误:") + codeAndInfo;
    if (state >= 0 && state <= 12) return QString::fromUtf8(texts[state]);
    return codeAndInfo;
}

QString RawHeaderBlock(const QNetworkReply& reply) {
    const QVariant code = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (!code.isValid()) return {};
    const QByteArray reason = reply.attribute(QNetworkRequest::HttpReasonPhraseAttribute).toByteArray();
    const bool http2 = reply.attribute(QNetworkRequest::Http2WasUsedAttribute).toBool();
    QByteArray block = (http2 ? "HTTP/2 " : "HTTP/1.1 ") + QByteArray::number(code.toInt());
    if (!reason.isEmpty()) block += ' ' + reason;
    for (const auto& [name, value] : reply.rawHeaderPairs()) {
        // Qt joins repeated Set-Cookie headers with line feeds; they were separate lines.
        const QList<QByteArray> values =
            name.compare("set-cookie", Qt::CaseInsensitive) == 0 ? value.split('\n')
                                                                 : QList<QByteArray>{value};
        for (const QByteArray& v : values) block += "\r\n" + name + ": " + v;
    }
    return QString::fromUtf8(block);
}

QString ExtensionFromResponse(const QString& contentType, const QString& rawHeaders) {
    const QStringList parts = TrimSpaces(contentType).split(u';');
    const bool charset =
        parts.size() > 1 && TrimSpaces(parts.at(1)).toLower().left(8) == u"charset=";
    const QString type = TrimSpaces(parts.at(0));
    QString ext = type.isEmpty() ? QString() : MimeTypeToExt(type);
    if (ext.isEmpty())
        ext = 从下载头信息ContentDisposition获取文件名(从网络文件Header获取ContentDisposition(rawHeaders));
    if (ext.isEmpty() && charset) ext = QStringLiteral("htm");
    return ext;
}

bool StatusLineIsOk(const QString& rawHeaders) {
    const QString first = rawHeaders.section(QStringLiteral("\r\n"), 0, 0);
    return first.contains(QStringLiteral("200")) && first.contains(QStringLiteral("ok"), Qt::CaseInsensitive);
}

// What one attempt knows while it runs; the row itself is found again by its identity.
struct SingleTransfer::Attempt {
    RowId id = 0;
    QString name;    // the row's name as last seen, for the status bar
    QString address;
    QString target;
    double lastProgress = 0;
    qint64 written = 0; // bytes received from the server
    std::unique_ptr<BodyDecoder> decoder;
};

SingleTransfer::SingleTransfer(AppContext& ctx, DownloadList& list, DownloadWindowState& state,
                               QObject* parent)
    : QObject(parent), m_ctx(ctx), m_list(list), m_state(state), m_network(ctx.network) {
    if (!m_network) m_network = m_ownNetwork = new DownloadNetwork(this);
}

SingleTransfer::~SingleTransfer() {
    dropReply();
}

void SingleTransfer::failCannotReplace(int row, const QString& target) {
    const QString length = QString::number(QFileInfo(target).size());
    m_list.setText(row, ColSize, length);
    m_list.setText(row, ColReceived, length);
    m_list.setText(row, ColPercent, kCannotReplaceText);
    m_list.setStatus(row, RowStatus::Failed);
}

int SingleTransfer::rowOf(const Attempt& a) const {
    return m_list.rowOfId(a.id);
}

void SingleTransfer::setState(int state) {
    if (state == 11 && m_reply)
        emit panel3TextChanged(InetStateText(11, int(m_reply->error()), m_reply->errorString()));
    else
        emit panel3TextChanged(InetStateText(state));
}

QNetworkReply* SingleTransfer::startRequest(const QNetworkRequest& request) {
    dropReply();
    setState(1);
    QNetworkReply* reply = m_network->singleManager()->get(request);
    m_reply = reply;
    // Big bodies are read as they come; Qt keeps at most this much waiting for us.
    reply->setReadBufferSize(1024 * 1024);
    connect(reply, &QNetworkReply::socketStartedConnecting, this, [this] { setState(3); });
    connect(reply, &QNetworkReply::encrypted, this, [this] { setState(4); });
    connect(reply, &QNetworkReply::requestSent, this, [this] { setState(6); });
    connect(reply, &QNetworkReply::metaDataChanged, this, [this] { setState(8); });
    connect(reply, &QNetworkReply::finished, this, [this, reply] {
        if (reply != m_reply) return;
        setState(reply->error() == QNetworkReply::NoError ||
                         !IsTransportError(reply->error())
                     ? 12
                     : 11);
    });
    return reply;
}

void SingleTransfer::dropReply() {
    if (!m_reply) return;
    QNetworkReply* reply = m_reply;
    m_reply = nullptr;
    reply->disconnect(this);
    if (reply->isRunning()) reply->abort();
    reply->deleteLater();
}

void SingleTransfer::cancel() {
    m_cancelRequested = true;
    if (m_reply && m_reply->isRunning()) m_reply->abort();
}

void SingleTransfer::Inet下载当前文件(RowId id) {
    const int r = m_list.rowOfId(id);
    if (r < 0) return;
    if (m_running || m_state.downloadBusy) {
        m_list.setStatus(r, RowStatus::Waiting);
        m_list.setText(r, ColSize, kWaitAgainText);
        return;
    }
    m_state.downloadBusy = true;
    Inet下载文件(id);
    m_state.downloadBusy = false;
}

void SingleTransfer::Inet下载文件(RowId id) {
    int r = m_list.rowOfId(id);
    if (r < 0 || m_running) return;
    m_running = true;
    m_cancelRequested = false;
    Attempt a;
    a.id = id;
    a.name = m_list.text(r, ColName);
    a.address = 选择url(m_list.key(r));
    a.lastProgress = m_ctx.clock.elapsedSeconds();
    m_network->applyProxy(m_ctx.state);
    m_state.downloadBusy = true;
    emit panel2TextChanged(kDownloadingPrefix + a.name);

    if (TrimSpaces(a.address).isEmpty()) {
        m_list.setText(r, ColPercent, kNoAddressText);
        m_list.setStatus(r, RowStatus::Failed);
        endAttempt(a);
        return;
    }

    // Request and response headers.
    const QString tag = m_list.tag(r);
    const QString referer = tag.isEmpty() ? GetUrlRoot(a.address) : tag;
    QNetworkRequest request = DownloadNetwork::Request(QUrl(TrimSpaces(a.address)));
    request.setRawHeader("Referer", referer.toUtf8());
    startRequest(request);
    m_ctx.pump.processEvents();
    WaitUntil(m_ctx.clock, m_ctx.pump, kHeaderWaitSeconds, [this] {
        if (!m_reply || m_reply->isFinished()) return true;
        const QVariant code = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
        // A redirect that is being followed is not the answer yet.
        return code.isValid() && !(code.toInt() >= 300 && code.toInt() < 400 &&
                                   m_reply->hasRawHeader("Location"));
    });
    r = rowOf(a);
    if (r < 0) {
        endAttempt(a);
        return;
    }
    const QString raw = m_reply ? RawHeaderBlock(*m_reply) : QString();
    if (raw.isEmpty()) {
        dropReply();
        m_list.setStatus(r, RowStatus::Failed);
        endAttempt(a);
        return;
    }

    qint64 size = 0;
    if (!IsNumber(QString::fromLatin1(m_reply->rawHeader("Content-Length")), &size) || size < 0) size = 0;
    if (Megabytes(size) > m_ctx.state.maxFileSizeMB) {
        dropReply();
        m_list.setStatus(r, RowStatus::Completed);
        m_list.setText(r, ColPercent, kLargeFileSkippedText);
        endAttempt(a);
        return;
    }
    const QString ext =
        ExtensionFromResponse(QString::fromLatin1(m_reply->rawHeader("Content-Type")), raw);
    const bool ok = StatusLineIsOk(raw);

    // Target path.
    const QString name = SanitizeFileName(m_list.text(r, ColName));
    m_list.setText(r, ColName, name);
    a.name = name;
    const QString folder = CreateFolderPath(m_list.text(r, ColFolder), [this](const QString& message) {
        m_ctx.dialogs.messageBox(message, MessageIcon::Critical);
    });
    r = rowOf(a); // a message box lets events run
    if (r < 0) {
        endAttempt(a);
        return;
    }
    if (folder.isEmpty() || !QDir::isAbsolutePath(folder) || QDir(folder).isRoot()) {
        dropReply();
        m_list.setText(r, ColPercent, kFolderFailedText);
        m_list.setStatus(r, RowStatus::Failed);
        endAttempt(a);
        return;
    }
    const QString dir = WithTrailingSep(folder);
    m_list.setText(r, ColFolder, dir);
    if (!ext.isEmpty()) m_list.setText(r, ColType, ext);
    const QString type = m_list.text(r, ColType);
    if (m_state.sameNamePolicy == SameNamePolicy::Rename) {
        const SavePath sp = 重命名保存路径(dir, name, type, SameNamePolicy::Rename);
        a.target = sp.path;
        if (!sp.path.isEmpty()) {
            m_list.setText(r, ColName, sp.name);
            a.name = sp.name;
        }
    } else {
        const QString file = name + (type.isEmpty() ? QString() : u'.' + type);
        a.target = NamesFileInFolder(file) ? dir + file : QString();
    }
    if (a.target.isEmpty()) {
        dropReply();
        m_list.setText(r, ColPercent, kBadTargetText);
        m_list.setStatus(r, RowStatus::Failed);
        endAttempt(a);
        return;
    }
    // Something at the target that no file can replace (a folder of that name).
    if (QFileInfo(a.target).isDir()) {
        dropReply();
        failCannotReplace(r, a.target);
        endAttempt(a);
        return;
    }

    if (size > 0 || ok) {
        m_list.setText(r, ColSize, size > 0 ? QString::number(size) : kUnknownSizeText);
        m_list.setText(r, ColReceived, QStringLiteral("0"));
        m_ctx.pump.processEvents();
        r = rowOf(a);
        if (r < 0) {
            endAttempt(a);
            return;
        }
        QSaveFile file(a.target);
        if (!file.open(QIODevice::WriteOnly)) {
            m_list.setText(r, ColSize, kDownloadFailedText);
            m_list.setStatus(r, RowStatus::Failed);
            endAttempt(a);
            return;
        }
        const ReadEnd end = receive(a, file, size, false);
        r = rowOf(a);
        if (end == ReadEnd::Complete && !file.commit()) {
            if (r >= 0) failCannotReplace(r, a.target);
            endAttempt(a);
            return;
        }
        if (end != ReadEnd::Complete) file.cancelWriting();
        if (r < 0) {
            endAttempt(a);
            return;
        }
        switch (end) {
        case ReadEnd::Complete:
            m_list.setStatus(r, RowStatus::Completed);
            if (IsNumber(m_list.text(r, ColReceived)) && m_list.text(r, ColSize) == kUnknownSizeText) {
                m_list.setText(r, ColSize, m_list.text(r, ColReceived));
                m_list.setText(r, ColPercent, QStringLiteral("100%"));
            }
            break;
        case ReadEnd::TooLarge:
            m_list.setStatus(r, RowStatus::Completed);
            m_list.setText(r, ColPercent, kLargeFileSkippedText);
            endAttempt(a);
            return;
        case ReadEnd::Stopped:
            m_list.setText(r, ColSize, kDownloadCancelledText);
            m_list.setStatus(r, RowStatus::Failed);
            endAttempt(a);
            return;
        default: // stalled, broken off, not writable
            m_list.setText(r, ColSize, kDownloadFailedText);
            m_list.setStatus(r, RowStatus::Failed);
            endAttempt(a);
            return;
        }
    } else {
        openUrlFallback(a);
    }
    r = rowOf(a);
    if (r >= 0) CorrectRowType(m_list, r);
    endAttempt(a);
}

SingleTransfer::ReadEnd SingleTransfer::receive(Attempt& a, QSaveFile& file, qint64 size,
                                                bool fallback) {
    a.lastProgress = m_ctx.clock.elapsedSeconds();
    for (;;) {
        if (!m_reply) return ReadEnd::Broken;
        const qint64 before = a.written;
        int chunks = 0;
        while (chunks < kChunksPerPump) {
            const QByteArray chunk = m_reply->read(kChunkBytes);
            if (chunk.isEmpty()) break;
            ++chunks;
            if (!a.decoder)
                a.decoder = std::make_unique<BodyDecoder>(m_reply->rawHeader("Content-Encoding"));
            QByteArray data;
            if (!a.decoder->feed(chunk, &data)) return ReadEnd::Broken;
            if (file.write(data) != data.size()) return ReadEnd::WriteFailed;
            a.written += chunk.size();
            if (size > 0 && a.written >= size) break;
            // Without an announced size the limit is checked chunk by chunk, as they come.
            if (size == 0 && Megabytes(a.written) > m_ctx.state.maxFileSizeMB) {
                m_ctx.pump.processEvents();
                return ReadEnd::TooLarge;
            }
        }
        const bool drained = m_reply->isFinished() && m_reply->bytesAvailable() == 0;
        const bool broken = drained && IsTransportError(m_reply->error());
        if (chunks == 0 && !drained)
            m_ctx.pump.waitForEvents(kWaitGrainSeconds);
        else
            m_ctx.pump.processEvents();
        const int r = rowOf(a);
        if (r < 0) return ReadEnd::RowGone;
        const double now = m_ctx.clock.elapsedSeconds();
        if (a.written > before) {
            a.lastProgress = now;
            if (!fallback) {
                m_list.setText(r, ColReceived, QString::number(a.written));
                qint64 total = 0;
                if (IsNumber(m_list.text(r, ColSize), &total) && total > 0)
                    m_list.setText(r, ColPercent,
                                   QString::number(a.written * 100 / total) + u'%');
            }
        }
        if (size > 0 ? a.written >= size : drained && !broken) {
            if (a.decoder && !a.decoder->finished()) return ReadEnd::Broken;
            return ReadEnd::Complete;
        }
        if (now - a.lastProgress > kStallSeconds) return ReadEnd::Stalled;
        if (!m_state.downloadBusy || m_cancelRequested) return ReadEnd::Stopped;
        // Closed, reset or cut off before the announced length: nothing more will come.
        if (drained) return ReadEnd::Broken;
    }
}

void SingleTransfer::openUrlFallback(Attempt& a) {
    int r = rowOf(a);
    m_list.setText(r, ColSize, kUnknownSizeText);
    dropReply();
    m_ctx.pump.processEvents();
    if ((r = rowOf(a)) < 0) return;
    startRequest(DownloadNetwork::Request(QUrl(TrimSpaces(a.address))));
    m_ctx.pump.processEvents();
    if ((r = rowOf(a)) < 0) return;
    auto fail = [&](int row) {
        m_list.setText(row, ColSize, QString());
        m_list.setText(row, ColReceived, QString());
        m_list.setText(row, ColPercent, QString());
        m_list.setStatus(row, RowStatus::Failed);
    };
    QSaveFile file(a.target);
    if (!file.open(QIODevice::WriteOnly)) {
        fail(r);
        return;
    }
    a.written = 0;
    a.decoder.reset();
    const ReadEnd end = receive(a, file, 0, true);
    r = rowOf(a);
    if (end == ReadEnd::Complete && a.written >= 2 && file.commit()) {
        if (r < 0) return;
        m_list.setText(r, ColSize, QString::number(QFileInfo(a.target).size()));
        m_list.setText(r, ColReceived, QString::number(a.written));
        m_list.setText(r, ColPercent, QStringLiteral("100%"));
        m_list.setStatus(r, RowStatus::Completed);
        return;
    }
    file.cancelWriting();
    if (r < 0) return;
    if (end == ReadEnd::TooLarge) {
        m_list.setStatus(r, RowStatus::Completed);
        m_list.setText(r, ColPercent, kLargeFileSkippedText);
    } else if (end == ReadEnd::Stopped) {
        m_list.setText(r, ColSize, kDownloadCancelledText);
        m_list.setStatus(r, RowStatus::Failed);
    } else {
        fail(r);
    }
}

void SingleTransfer::endAttempt(Attempt& a) {
    dropReply();
    m_running = false;
    const int r = rowOf(a);
    if (r >= 0) a.name = m_list.text(r, ColName);
    emit panel2TextChanged(kFinishedPrefix + a.name);
    m_state.lastFinishTime = m_ctx.clock.elapsedSeconds();
    if (r >= 0) {
        const QString type = m_list.text(r, ColType);
        if (m_options.soundCues) {
            if (IsWebPageType(type)) m_ctx.sound.play(kCueWebPage);
            if (m_list.status(r) == RowStatus::Failed) m_ctx.sound.play(kCueFailed);
        }
        if (m_options.autoLogin && IsWebPageType(type)) emit webPageReceived(a.id);
    }
    emit fileEnded(a.id);
}

} // namespace peldora
