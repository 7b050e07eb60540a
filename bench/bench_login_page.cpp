// The download window with its login page open on a sign-in page of a local server, the login
// address, account and password filled in and automatic login on. With a file name as the first
// argument it saves a picture of the window (for the README; run it under Xvfb); it prints how
// long the page took from "浏览" to loaded.
#include "app/SettingsStore.h"
#include "download/ui/DownloadWindow.h"
#include "download/ui/LoginPanel.h"
#include "platform/qt/WebEngineSetup.h"
#include "support/BrowserWaits.h"
#include "support/TestHttpServer.h"
#include "support/ui/UiTest.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeView>
#include <cstdio>

using namespace peldora;
using namespace peldora::test;

namespace {

const QByteArray kSignInPage = R"(<!DOCTYPE html>
<html><head><meta charset="utf-8"><title>Sign in - Society Journals</title>
<style>
body { font-family: sans-serif; margin: 0; background: #f4f6f8; }
header { background: #1d4f7c; color: white; padding: 14px 28px; font-size: 20px; }
main { width: 420px; margin: 40px auto; background: white; padding: 24px 32px;
       border: 1px solid #d0d7de; border-radius: 6px; }
label { display: block; margin-top: 14px; color: #333; }
input[type=text], input[type=password] { width: 100%; padding: 6px; box-sizing: border-box; }
input[type=submit] { margin-top: 20px; padding: 8px 24px; background: #1d4f7c; color: white;
                     border: none; border-radius: 4px; }
p { color: #555; font-size: 14px; }
</style></head>
<body><header>Society Journals</header>
<main><h2>Member sign in</h2>
<p>This article is available to members of the society. Please sign in to download the PDF.</p>
<form method="post" action="/signin">
<label>Member ID <input type="text" name="username"></label>
<label>Password <input type="password" name="password"></label>
<input type="submit" value="Sign in">
</form></main></body></html>)";

} // namespace

int main(int argc, char** argv) {
    IsolateUserFolders();
    PrepareWebEngineEnvironment();
    QApplication app(argc, argv);
    InitResources();
    const QString picture = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();

    TestHttpServer server;
    server.route("/login", [](const HttpRequest&) { return HttpResponse::Html(kSignInPage); });
    if (!server.start()) return 1;

    TestContext t(true);
    QTemporaryDir dir;
    auto* w = new DownloadWindow(t.ctx());
    const char* titles[] = {"Thermal properties of rice straw composites",
                            "Soil erosion in Hokkaido uplands",
                            "Seismic response of wooden houses"};
    for (int n = 0; n < 3; ++n)
        w->AddRow(server.url(QStringLiteral("/paper/%1/_pdf").arg(n)), QString::fromLatin1(titles[n]),
                  QStringLiteral("pdf"), dir.path() + u'/', {});
    w->setGeometry(QGuiApplication::primaryScreen()->availableGeometry().adjusted(0, 0, 0, -200));
    w->show();

    const auto field = [w](const char* name) {
        return w->findChild<QLineEdit*>(QString::fromLatin1(name));
    };
    w->findChild<QPushButton*>(QStringLiteral("Command1"))->click();
    field("Text1")->setText(server.url("/login"));
    field("Text2")->setText(QStringLiteral("researcher01"));
    field("Text3")->setText(QStringLiteral("not-shown"));
    w->findChild<QCheckBox*>(QStringLiteral("Check2"))->setChecked(true);

    QElapsedTimer took;
    took.start();
    const bool loaded = OpenAndWait(*w->loginPanel()->web1(), server.url("/login"), [w] {
        w->findChild<QPushButton*>(QStringLiteral("Command2"))->click();
    });
    std::printf("login page %s in %.2f s\n", loaded ? "loaded" : "did not load",
                took.elapsed() / 1000.0);
    // Let the page paint.
    QElapsedTimer settle;
    settle.start();
    while (settle.elapsed() < 1500) QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    if (!picture.isEmpty()) {
        w->grab().save(picture);
        std::printf("picture saved: %s\n", qPrintable(picture));
    }
    w->state().supervisorTimer()->stop();
    w->close();
    delete w;
    return loaded ? 0 : 1;
}
