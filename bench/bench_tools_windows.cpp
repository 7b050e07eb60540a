// Shows the cache viewer over a cache filled from a local site, or the about box, and keeps it
// up for the number of seconds given; with a file name the window is also saved as a picture.
//   bench_tools_windows cache 10 docs/cache-viewer.png
//   bench_tools_windows about 10 docs/about-box.png
#include "about/ui/AboutBox.h"
#include "platform/qt/WebEngineBrowser.h"
#include "support/BrowserWaits.h"
#include "support/TestHttpServer.h"
#include "support/ui/UiTest.h"
#include "tools/ui/CacheViewerWindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <cstdio>

using namespace peldora;
using namespace peldora::test;

namespace {

const char* const kPapers[] = {
    "jjsass/72/3/72_101/_pdf/-char/en/soil-erosion-hokkaido.pdf",
    "jjsass/71/1/71_12/_pdf/rice-paddy-methane.pdf",
    "tetsutohagane/109/4/109_TETSU-2022-088/_pdf/ferrite-grain.pdf",
    "jsme/88/910/88_22-00123/_pdf/turbine-blade-fatigue.pdf",
    "kagakutoseibutsu/61/2/61_84/_pdf/enzyme-kinetics.pdf",
};

QByteArray Body(int n, const QByteArray& head) {
    QByteArray b = head;
    for (int i = 0; i < n; ++i) b += char('a' + i % 26);
    return b;
}

} // namespace

int main(int argc, char** argv) {
    IsolateUserFolders();
    PrepareWebEngineEnvironment();
    QApplication app(argc, argv);
    InitResources();
    const QString what = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("cache");
    const int holdSeconds = argc > 2 ? QString::fromLocal8Bit(argv[2]).toInt() : 0;
    const QString picture = argc > 3 ? QString::fromLocal8Bit(argv[3]) : QString();
    TestContext t;
    QWidget* window = nullptr;
    TestHttpServer server;

    if (what == QStringLiteral("about")) {
        t.ctx().state.latestVersion = QStringLiteral("1.2.0");
        window = new AboutBox(t.ctx());
    } else {
        QByteArray page = "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>x</title>"
                          "<link rel=\"stylesheet\" href=\"/static/site.css\"></head><body>"
                          "<img src=\"/static/logo.png\"><script src=\"/static/app.js\"></script>"
                          "<script>Promise.all([";
        int size = 180000;
        for (const char* paper : kPapers) {
            const QString path = QStringLiteral("/article/") + QString::fromLatin1(paper);
            server.route(path, [size](const HttpRequest&) {
                HttpResponse r = HttpResponse::Data(Body(size, "%PDF-1.5\n"), "application/pdf");
                r.setHeader("Cache-Control", "max-age=86400");
                return r;
            });
            page += "fetch('" + path.toUtf8() + "'),";
            size = size * 7 / 10;
        }
        page += "]).then(() => document.title = 'done');</script></body></html>";
        for (const char* asset : {"/static/site.css", "/static/logo.png", "/static/app.js"})
            server.route(QString::fromLatin1(asset), [asset](const HttpRequest&) {
                HttpResponse r = HttpResponse::Data(Body(3000 + int(strlen(asset)) * 97, ""),
                                                    TestHttpServer::ContentTypeFor(QString::fromLatin1(asset)));
                r.setHeader("Cache-Control", "max-age=86400");
                return r;
            });
        server.route(QStringLiteral("/result/global/-char/en"), [page](const HttpRequest&) {
            HttpResponse r = HttpResponse::Html(page);
            r.setHeader("Cache-Control", "max-age=600");
            return r;
        });
        if (!server.start()) return 1;
        WebEngineBrowser browser;
        const QString address = server.url(QStringLiteral("/result/global/-char/en"));
        QElapsedTimer timer;
        timer.start();
        OpenAndWait(browser, address, [&] { browser.navigate(address); });
        while (browser.title() != QStringLiteral("done") && timer.elapsed() < 20000)
            app.processEvents(QEventLoop::AllEvents, 50);
        auto* viewer = new CacheViewerWindow(t.ctx(), SharedCacheLayout());
        // Entries become whole once the browser has closed them.
        while (timer.elapsed() < 30000) {
            viewer->command(1)->click();
            int whole = 0;
            for (const CacheRow& row : viewer->viewer().list().rows())
                if (row.type == QStringLiteral("pdf")) ++whole;
            if (whole == int(std::size(kPapers)) &&
                viewer->viewer().list().rows().size() >= qsizetype(std::size(kPapers)) + 4)
                break;
            QElapsedTimer pause;
            pause.start();
            while (pause.elapsed() < 200) app.processEvents(QEventLoop::AllEvents, 50);
        }
        std::printf("%lld entries listed after %lld ms\n",
                    qlonglong(viewer->viewer().list().rows().size()), timer.elapsed());
        viewer->listView(1)->selectRow(0);
        window = viewer;
    }
    window->show();
    app.processEvents();
    QTimer::singleShot(1000, &app, [window, picture] {
        if (!picture.isEmpty()) window->grab().save(picture);
    });
    QTimer::singleShot(std::max(holdSeconds, 2) * 1000, &app, [window] {
        delete window;
        QCoreApplication::quit();
    });
    return app.exec();
}
