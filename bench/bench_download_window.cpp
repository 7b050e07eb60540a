// Fills the download window with rows in every status and shows it: prints how long the fill
// and the first paint take, then keeps the window up for the number of seconds given as the
// first argument (default 0) so it can be looked at or captured.
#include "download/ui/DownloadWindow.h"
#include "support/TestContext.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QScreen>
#include <QTimer>
#include <cstdio>

using namespace peldora;

namespace {

struct Sample {
    const char* name;
    const char* type;
    const char* size;
    const char* received;
    const char* percent;
    RowStatus status;
};

const Sample kSamples[] = {
    {"Thermal Properties of Rice Straw Composites", "pdf", "1843221", "1843221", "100%",
     RowStatus::Completed},
    {"A Study on Soil Erosion in Hokkaido", "pdf", "2290112", "1030550", "45%",
     RowStatus::Downloading},
    {"Seismic Response of Wooden Houses", "pdf", "", "", "", RowStatus::Waiting},
    {"Deep Learning for Protein Folding", "htm", "18432", "18432", "100%", RowStatus::Completed},
    {"Electrochemical Sensors Review", "pdf", "下载失败", "", "", RowStatus::Failed},
    {"Urban Heat Islands in Osaka", "pdf", "31457280", "", "大文件，跳过", RowStatus::Completed},
    {"Genome Analysis of Japanese Cedar", "pdf", "998001", "998001", "已存在，跳过",
     RowStatus::Completed},
    {"Coastal Sediment Transport", "pdf", "", "", "", RowStatus::Waiting},
    {"Nanoparticle Toxicity in Fish", "pdf", "未知", "120034", "", RowStatus::Failed},
    {"日本語論文のタイトル例", "pdf", "", "", "", RowStatus::Waiting},
};

} // namespace

int main(int argc, char** argv) {
    peldora::test::IsolateUserFolders();
    QApplication app(argc, argv);
    const int holdSeconds = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 0;
    peldora::test::TestContext t;
    t.settings.WriteSetting(QStringLiteral("fFileDownload"), QStringLiteral("分辨率"),
                            QStringLiteral("0*0"));

    QElapsedTimer timer;
    timer.start();
    auto* window = new DownloadWindow(t.ctx());
    int n = 0;
    for (int round = 0; round < 2; ++round)
        for (const Sample& s : kSamples) {
            const QString name = round == 0 ? QString::fromUtf8(s.name)
                                            : QString::fromUtf8(s.name) + QStringLiteral(" II");
            window->AddRow(QStringLiteral("https://www.jstage.jst.go.jp/article/x/%1/_pdf").arg(n),
                           name, QString::fromUtf8(s.type), QStringLiteral("/home/user/12345/"),
                           QStringLiteral("https://www.jstage.jst.go.jp/result/global/-char/en"));
            DownloadList& list = window->list();
            list.setText(n, ColSize, QString::fromUtf8(s.size));
            list.setText(n, ColReceived, QString::fromUtf8(s.received));
            list.setText(n, ColPercent, QString::fromUtf8(s.percent));
            list.setStatus(n, s.status);
            ++n;
        }
    window->UpdateStatistics();
    window->setPanelText(2, QStringLiteral("正在下载:A Study on Soil Erosion in Hokkaido.pdf"));
    const qint64 filled = timer.elapsed();
    // Without a window manager "maximized" means nothing; fill the screen instead.
    window->setGeometry(QGuiApplication::primaryScreen()->availableGeometry());
    window->show();
    app.processEvents();
    std::printf("%d rows filled in %lld ms, shown in %lld ms\n", n, filled, timer.elapsed());
    std::fflush(stdout);
    QTimer::singleShot(holdSeconds * 1000, &app, [window] {
        window->state().supervisorTimer()->stop();
        window->list().Clear(); // no question on the way out
        window->close();
        QCoreApplication::quit();
    });
    return app.exec();
}
