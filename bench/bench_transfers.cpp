// Throughput and memory of the two download methods against a real web server (nginx, started
// here on 127.0.0.1 with its own configuration), compared with curl fetching the same files to
// the same disk (libcurl in this process when it is installed, else the curl program). Prints:
//   method1/curl throughput, method2/curl throughput (one 50 MB file),
//   peak memory growth of method 1 for a 200 MB file and of method 2 for a 50 MB file,
//   the time for 60 files of 1 MB with 6 threads and no pause (one scheduler tick a second).
#include "app/AppContext.h"
#include "download/DownloadList.h"
#include "download/DownloadNetwork.h"
#include "download/DownloadWindowState.h"
#include "download/ParallelDownloads.h"
#include "download/SingleTransfer.h"
#include "support/TestContext.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#ifdef PELDORA_HAVE_LIBCURL
#include <curl/curl.h>
#endif
#include <QThread>
#include <QTimer>
#include <cstdio>

using namespace peldora;

namespace {

QString Nginx() {
    for (const char* p : {"/usr/sbin/nginx", "/usr/bin/nginx"})
        if (QFile::exists(QString::fromLatin1(p))) return QString::fromLatin1(p);
    return QStandardPaths::findExecutable(QStringLiteral("nginx"));
}

quint16 FreePort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

bool MakeFile(const QString& path, qint64 bytes) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly)) return false;
    QByteArray block(1 << 20, '\0');
    block.replace(0, 9, "%PDF-1.4\n");
    for (int i = 9; i < block.size(); ++i) block[i] = char('a' + i % 23);
    for (qint64 done = 0; done < bytes; done += block.size())
        f.write(block.constData(), std::min<qint64>(block.size(), bytes - done));
    return true;
}

// Kilobytes of a /proc/self/status line ("VmHWM", "VmRSS").
qint64 StatusKb(const char* key) {
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith(key)) return line.mid(qsizetype(strlen(key)) + 1).trimmed().split(' ').value(0).toLongLong();
    return 0;
}

// Resets the peak to the current resident size, where the kernel allows it.
void ResetPeak() {
    QFile f(QStringLiteral("/proc/self/clear_refs"));
    if (f.open(QIODevice::WriteOnly)) f.write("5");
}

#ifdef PELDORA_HAVE_LIBCURL
// libcurl in this process, writing to the same disk: no process start in the figure.
size_t WriteToFile(char* data, size_t size, size_t count, void* file) {
    return std::fwrite(data, size, count, static_cast<FILE*>(file));
}
#endif

double CurlSeconds(const QString& url, const QString& out) {
    QElapsedTimer t;
#ifdef PELDORA_HAVE_LIBCURL
    FILE* file = std::fopen(QFile::encodeName(out).constData(), "wb");
    CURL* curl = curl_easy_init();
    const QByteArray address = url.toUtf8();
    curl_easy_setopt(curl, CURLOPT_URL, address.constData());
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, WriteToFile);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, file);
    t.start();
    curl_easy_perform(curl);
    std::fclose(file);
    const double seconds = double(t.nsecsElapsed()) / 1e9;
    curl_easy_cleanup(curl);
    return seconds;
#else
    t.start();
    QProcess curl;
    curl.start(QStringLiteral("curl"), {QStringLiteral("-s"), QStringLiteral("-o"), out, url});
    curl.waitForFinished(-1);
    return double(t.nsecsElapsed()) / 1e9;
#endif
}

struct Bench {
    test::TestContext tc{true};
    DownloadNetwork network;
    DownloadList list;
    DownloadWindowState state;
    SingleTransfer single{tc.ctx(), list, state};
    ParallelDownloads parallel{tc.ctx(), list, state};
    QString out;
    Bench(const QString& outDir) : out(outDir) {
        tc.ctx().network = &network;
        tc.ctx().state.maxFileSizeMB = 100000;
        state.sameNamePolicy = SameNamePolicy::Overwrite;
    }
    RowId add(const QString& url, const QString& name) {
        list.AddRow(url + QStringLiteral("?") + name, name, QStringLiteral("pdf"), out + u'/', {});
        return list.idOfRow(list.count() - 1);
    }
    double method1(const QString& url, const QString& name) {
        const RowId id = add(url, name);
        state.downloadBusy = false; // the supervisor clears it once the parallel transfers are over
        QElapsedTimer t;
        t.start();
        single.Inet下载当前文件(id);
        const double s = double(t.nsecsElapsed()) / 1e9;
        if (list.status(list.rowOfId(id)) != RowStatus::Completed) std::printf("  (method 1 failed)\n");
        return s;
    }
    double method2(const QString& url, const QString& name) {
        const RowId id = add(url, name);
        state.slotTable[1] = id;
        QElapsedTimer t;
        t.start();
        parallel.多线程下载(1, id, url, out + u'/' + name + QStringLiteral(".pdf"));
        while (parallel.instanceCount() > 0) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        const double s = double(t.nsecsElapsed()) / 1e9;
        if (list.status(list.rowOfId(id)) != RowStatus::Completed) std::printf("  (method 2 failed)\n");
        return s;
    }
};

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QString nginx = Nginx();
    if (nginx.isEmpty() || QStandardPaths::findExecutable(QStringLiteral("curl")).isEmpty()) {
        std::printf("nginx (nginx-light) or curl is not installed; nothing measured\n");
        return 0;
    }
    QTemporaryDir tmp;
    const QString www = tmp.path() + QStringLiteral("/www");
    const QString out = tmp.path() + QStringLiteral("/out");
    QDir().mkpath(www);
    QDir().mkpath(out);
    QDir().mkpath(tmp.path() + QStringLiteral("/nginx"));
    MakeFile(www + QStringLiteral("/f50.pdf"), 50LL << 20);
    MakeFile(www + QStringLiteral("/f200.pdf"), 200LL << 20);
    for (int i = 0; i < 60; ++i) MakeFile(www + QStringLiteral("/s%1.pdf").arg(i), 1LL << 20);

    const quint16 port = FreePort();
    const QString n = tmp.path() + QStringLiteral("/nginx");
    QFile conf(n + QStringLiteral("/nginx.conf"));
    conf.open(QIODevice::WriteOnly);
    conf.write(QStringLiteral(
                   "daemon off;\nmaster_process off;\nworker_processes 1;\npid %1/nginx.pid;\n"
                   "error_log %1/error.log;\nevents { worker_connections 256; }\n"
                   "http {\n access_log off;\n sendfile on;\n tcp_nopush on;\n"
                   " client_body_temp_path %1/body;\n proxy_temp_path %1/proxy;\n"
                   " fastcgi_temp_path %1/fastcgi;\n uwsgi_temp_path %1/uwsgi;\n scgi_temp_path %1/scgi;\n"
                   " types { application/pdf pdf; }\n"
                   " server {\n  listen 127.0.0.1:%2;\n  root %3;\n }\n}\n")
                   .arg(n)
                   .arg(port)
                   .arg(www)
                   .toUtf8());
    conf.close();
    QProcess server;
    server.start(nginx, {QStringLiteral("-p"), n, QStringLiteral("-c"), n + QStringLiteral("/nginx.conf")});
    if (!server.waitForStarted()) {
        std::printf("nginx did not start\n");
        return 1;
    }
    for (int i = 0; i < 100; ++i) {
        QTcpSocket s;
        s.connectToHost(QHostAddress::LocalHost, port);
        if (s.waitForConnected(100)) break;
        QThread::msleep(50);
    }
    const QString base = QStringLiteral("http://127.0.0.1:%1/").arg(port);

    {
        Bench b(out);
        // Memory first, while the process is small.
        ResetPeak();
        qint64 before = StatusKb("VmRSS:");
        b.method1(base + QStringLiteral("f200.pdf"), QStringLiteral("m200"));
        const double m1Memory = double(StatusKb("VmHWM:") - before) / 1024.0;
        QFile::remove(out + QStringLiteral("/m200.pdf"));
        ResetPeak();
        before = StatusKb("VmRSS:");
        b.method2(base + QStringLiteral("f50.pdf"), QStringLiteral("p50"));
        const double m2Memory = double(StatusKb("VmHWM:") - before) / 1024.0;

        // Best of seven: a 50 MB copy on loopback takes about a tenth of a second, where one
        // disk flush or scheduler hiccup decides a single run.
        double curl = 1e9, m1 = 1e9, m2 = 1e9;
        for (int i = 0; i < 7; ++i) {
            curl = std::min(curl, CurlSeconds(base + QStringLiteral("f50.pdf"), out + QStringLiteral("/curl.pdf")));
            m1 = std::min(m1, b.method1(base + QStringLiteral("f50.pdf"), QStringLiteral("a%1").arg(i)));
            m2 = std::min(m2, b.method2(base + QStringLiteral("f50.pdf"), QStringLiteral("b%1").arg(i)));
        }
        std::printf("50 MB: curl %.3f s, method 1 %.3f s, method 2 %.3f s\n", curl, m1, m2);
        std::printf("method1/curl throughput: %.2f\n", curl / m1);
        std::printf("method2/curl throughput: %.2f\n", curl / m2);
        std::printf("method1 peak memory growth: %.1f MB for a 200 MB file\n", m1Memory);
        std::printf("method2 peak memory growth: %.1f MB for a 50 MB file\n", m2Memory);
    }
    {
        // Six slots, no pause: every second the scheduler's tick fills the free slots.
        Bench b(out);
        QList<RowId> rows;
        for (int i = 0; i < 60; ++i) rows << b.add(base + QStringLiteral("s%1.pdf").arg(i), QStringLiteral("s%1").arg(i));
        int next = 0;
        const auto tick = [&] {
            for (int slot = 1; slot <= 6 && next < rows.size(); ++slot) {
                if (b.parallel.slotBusy(slot)) continue;
                const RowId id = rows[next++];
                b.state.slotTable[slot] = id;
                const int r = b.list.rowOfId(id);
                b.parallel.多线程下载(slot, id, 选择url(b.list.key(r)),
                                       out + u'/' + b.list.text(r, ColName) + QStringLiteral(".pdf"));
            }
        };
        QTimer timer;
        timer.setInterval(1000);
        QObject::connect(&timer, &QTimer::timeout, tick);
        QElapsedTimer t;
        t.start();
        timer.start();
        tick();
        while (next < rows.size() || b.parallel.instanceCount() > 0)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        int completed = 0;
        for (RowId id : rows) completed += b.list.status(b.list.rowOfId(id)) == RowStatus::Completed;
        std::printf("60 files of 1 MB, 6 threads, pause 0: %.2f s (%d completed)\n",
                    double(t.nsecsElapsed()) / 1e9, completed);
    }
    server.terminate();
    server.waitForFinished(3000);
    return 0;
}
