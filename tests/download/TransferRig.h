#pragma once
// What the transfer tests share: a context over the fake clock and pump that still gives real
// sockets time, the network side, a list with one row per file and a folder to download into.
#include "download/DownloadList.h"
#include "download/DownloadNetwork.h"
#include "download/DownloadWindowState.h"
#include "support/TestContext.h"
#include "support/TestHttpServer.h"

#include <QDir>
#include <QFile>
#include <QHostAddress>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace peldora::test {

using Handler = std::function<HttpResponse(const HttpRequest&)>;

// A response with one change made to it.
inline HttpResponse With(HttpResponse r, const std::function<void(HttpResponse&)>& change) {
    change(r);
    return r;
}

// A handler that gives the same response to every request.
inline Handler Fixed(const HttpResponse& r) {
    return [r](const HttpRequest&) { return r; };
}

struct TransferRig {
    TestContext tc;
    DownloadNetwork network;
    DownloadList list;
    DownloadWindowState state;
    QTemporaryDir dir;

    TransferRig() {
        tc.ctx().network = &network;
        tc.pump.realWaitMs = 20; // a server that talks is never taken for a stalled one
        tc.pump.maxIdleStep = 1; // while minutes of silence pass in a few seconds
        state.sameNamePolicy = SameNamePolicy::Overwrite;
    }
    QString folder() const { return dir.path() + u'/'; }
    // A waiting row for an address, saved as folder/name.type.
    RowId addRow(const QString& address, const QString& name = QStringLiteral("paper"),
                 const QString& type = QStringLiteral("pdf"), const QString& tag = {}) {
        list.AddRow(address, name, type, folder(), tag);
        return list.idOfRow(list.count() - 1);
    }
    int row(RowId id) const { return list.rowOfId(id); }
    QString cell(RowId id, int column) const { return list.text(row(id), column); }
    RowStatus status(RowId id) const { return list.status(row(id)); }
    // Every entry of the download folder, temporary files included.
    QStringList files() const {
        return QDir(dir.path()).entryList(QDir::Files | QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot,
                                          QDir::Name);
    }
    QByteArray read(const QString& file) const {
        QFile f(folder() + file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void write(const QString& file, const QByteArray& bytes) const {
        QFile f(folder() + file);
        if (f.open(QIODevice::WriteOnly)) f.write(bytes);
    }
    bool waitUntil(double seconds, const std::function<bool()>& done) {
        return WaitUntil(tc.clock, tc.pump, seconds, done);
    }
};

// A body the file-type check recognises as a PDF, of any length.
inline QByteArray PdfBody(int size) {
    QByteArray b = "%PDF-1.4\n";
    while (b.size() < size) b += "0123456789abcdef";
    return b.left(size);
}

// A port on 127.0.0.1 where nothing listens.
inline quint16 ClosedPort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 port = probe.serverPort();
    probe.close();
    return port;
}

} // namespace peldora::test
