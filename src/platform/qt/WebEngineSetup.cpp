#include "platform/qt/WebEngineSetup.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QtGlobal>
#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace peldora {

namespace {
void AddChromiumFlag(const QByteArray& flag) {
    QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    if (flags.contains(flag)) return;
    if (!flags.isEmpty()) flags += ' ';
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags + flag);
}
} // namespace

void PrepareWebEngineEnvironment() {
#ifdef Q_OS_UNIX
    if (geteuid() == 0) {
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
        AddChromiumFlag("--no-sandbox");
    }
#endif
    if (qgetenv("QT_QPA_PLATFORM") == "offscreen") AddChromiumFlag("--disable-gpu");
    // The machine may have no network beyond what the user opens; keep Chromium's own traffic off.
    AddChromiumFlag("--disable-background-networking");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
}

} // namespace peldora
