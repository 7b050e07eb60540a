#include "app/ui/CoverWindow.h"
#include "app/ui/MainWindows.h"
#include "app/ui/ProgramServices.h"
#include "platform/qt/Resources.h"
#include "platform/qt/WebEngineSetup.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    peldora::PrepareWebEngineEnvironment();
    QApplication app(argc, argv);
    peldora::InitResources();
    QApplication::setApplicationName(QStringLiteral("Peldora"));
    QApplication::setQuitOnLastWindowClosed(false);

    peldora::ProgramServices services;
    auto* cover = new peldora::CoverWindow(services.context());
    new peldora::MainWindows(services.context(), *cover); // owned by the cover
    cover->load();
    const int code = QApplication::exec();
    // Ending the program closes every window without its own close handling.
    qDeleteAll(QApplication::topLevelWidgets());
    return code;
}
