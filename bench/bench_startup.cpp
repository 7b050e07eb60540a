// Time from process start to the cover window painted on screen.
// The program starts itself as a child for each run: the parent notes the time just before the
// child process starts and again when the child reports its first paint of the cover window.
// Run it under a display (xvfb-run) for the real figure; offscreen works too.
#include "app/ui/CoverWindow.h"
#include "app/ui/ProgramServices.h"
#include "platform/qt/Resources.h"
#include "platform/qt/WebEngineSetup.h"
#include "support/TestContext.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTextStream>
#include <algorithm>
#include <cstdio>

namespace {

class FirstPaint : public QObject {
public:
    bool painted = false;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) painted = true;
        return QObject::eventFilter(watched, event);
    }
};

int RunChild(int argc, char** argv) {
    peldora::test::IsolateUserFolders(); // a first run, as a new user sees it
    QElapsedTimer sinceMain;
    sinceMain.start();
    QApplication app(argc, argv);
    peldora::InitResources();
    QApplication::setApplicationName(QStringLiteral("Peldora"));
    peldora::ProgramServices services;
    auto* cover = new peldora::CoverWindow(services.context());
    FirstPaint paint;
    cover->installEventFilter(&paint);
    cover->load();
    while (!paint.painted && sinceMain.elapsed() < 10000) QCoreApplication::processEvents();
    std::printf("painted %lld\n", static_cast<long long>(sinceMain.elapsed()));
    std::fflush(stdout);
    delete cover;
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc > 1 && QByteArray(argv[1]) == "--child") return RunChild(argc, argv);
    QCoreApplication app(argc, argv);
    const int runs = 7;
    QList<double> total, inProcess;
    for (int i = 0; i < runs; ++i) {
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QElapsedTimer timer;
        timer.start();
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--child")});
        QByteArray line;
        while (!line.startsWith("painted") && child.waitForReadyRead(15000)) line += child.readLine();
        const double ms = timer.nsecsElapsed() / 1e6;
        child.waitForFinished(15000);
        if (!line.startsWith("painted")) {
            std::fprintf(stderr, "child did not paint the cover window\n");
            return 1;
        }
        total << ms;
        inProcess << line.mid(8).trimmed().toDouble();
    }
    std::sort(total.begin(), total.end());
    std::sort(inProcess.begin(), inProcess.end());
    std::printf("process start to cover painted: median %.1f ms (min %.1f, max %.1f) over %d runs\n",
                total[runs / 2], total.first(), total.last(), runs);
    std::printf("of which from main() on: median %.1f ms\n", inProcess[runs / 2]);
    return 0;
}
