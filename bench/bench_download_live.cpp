// The download window at work: 24 articles from a local server, three at a time, some of them
// slow, one a web page, one cut off. Prints how long the whole list took from "开始下载" to the
// finished list; with a file name as the first argument it saves a picture of the window in the
// middle of the run (for the README; run it under Xvfb for a real window).
#include "app/SettingsStore.h"
#include "download/ui/DownloadWindow.h"
#include "support/TestHttpServer.h"
#include "support/ui/UiTest.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

using namespace peldora;
using namespace peldora::test;

int main(int argc, char** argv) {
    IsolateUserFolders();
    QApplication app(argc, argv);
    InitResources();
    const QString picture = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();

    TestHttpServer server;
    server.route("/paper/*", [](const HttpRequest& request) {
        const int n = request.path.section(u'/', 2, 2).toInt();
        if (n % 9 == 4) return HttpResponse::Html("<html><body>Please sign in</body></html>");
        QByteArray body = "%PDF-1.4\n" + QByteArray(200'000 + 37'000 * (n % 7), char('a' + n % 26));
        HttpResponse r = HttpResponse::Data(body, "application/pdf");
        r.bytesPerTick = n % 3 == 0 ? 4'000 : 40'000; // every third one is slow
        if (n == 7) r.cutAfter = 90'000;
        return r;
    });
    if (!server.start()) return 1;

    TestContext t(true);
    t.settings.WriteSetting(keys::kSettings, keys::kDownloadMethod, QStringLiteral("2"));
    QTemporaryDir dir;
    auto* w = new DownloadWindow(t.ctx());
    w->threadCountList()->setCurrentText(QStringLiteral("3"));
    const char* titles[] = {"Thermal properties of rice straw composites",
                            "Soil erosion in Hokkaido uplands",
                            "Seismic response of wooden houses",
                            "Protein folding with deep learning",
                            "Electrochemical sensors: a review",
                            "Urban heat islands in Osaka",
                            "Genome analysis of Japanese cedar",
                            "Coastal sediment transport"};
    for (int n = 0; n < 24; ++n)
        w->AddRow(server.url(QStringLiteral("/paper/%1/_pdf").arg(n)),
                  QStringLiteral("%1 (%2)").arg(QString::fromLatin1(titles[n % 8])).arg(n / 8 + 1),
                  QStringLiteral("pdf"), dir.path() + u'/', {});
    w->setGeometry(QGuiApplication::primaryScreen()->availableGeometry().adjusted(0, 0, 0, -200));
    w->show();

    QElapsedTimer took;
    took.start();
    if (!picture.isEmpty()) {
        // A moment when rows stand in every state.
        QTimer::singleShot(3500, w, [w, picture] {
            w->grab().save(picture);
            std::printf("picture saved: %s\n", qPrintable(picture));
        });
    }
    w->findChild<QPushButton*>(QStringLiteral("Command4"))->click();
    while (!w->list().检测是否下载列表完毕())
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 50);
    std::printf("24 rows, 3 threads, pause 0, through the window: %.1f s (%s)\n",
                took.elapsed() / 1000.0, qPrintable(w->list().StatisticsLine()));
    w->state().supervisorTimer()->stop();
    w->list().Clear();
    w->close();
    delete w;
    return 0;
}
