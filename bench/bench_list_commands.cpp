// The list commands on 20,000 rows, each through the download window as the menu runs it
// (with the list shown in its view, so the view's updates are counted too): the shuffle,
// removal of 10,000 selected rows, export of every name, and a batch replace that changes every
// key and tag. Prints the median of several runs of each.
// With "--options-picture <file.png>" it shows the options dialog instead and saves a picture
// of it (for the README; run under Xvfb).
#include "app/ui/OptionsDialog.h"
#include "download/DownloadListCommands.h"
#include "download/ui/DownloadWindow.h"
#include "support/ui/UiTest.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QItemSelectionModel>
#include <QTemporaryDir>
#include <QTreeView>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using namespace peldora;
using namespace peldora::test;

namespace {

constexpr int kRows = 20000;
constexpr int kRuns = 5;

void Fill(DownloadList& list) {
    list.Clear();
    for (int r = 0; r < kRows; ++r) {
        list.AddRow(QStringLiteral("https://www.example.org/article/%1/_pdf|https://m/%1").arg(r),
                    QStringLiteral("Article title number %1 about something").arg(r),
                    QStringLiteral("pdf"), QStringLiteral("/home/user/12345/"),
                    QStringLiteral("https://www.example.org/result?page=%1").arg(r / 20));
        list.setStatus(r, r % 3 == 0 ? RowStatus::Completed : RowStatus::Waiting);
    }
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Runs `prepare` untimed and `work` timed, kRuns times.
void Report(const char* what, double targetMs, const std::function<void()>& prepare,
            const std::function<void()>& work) {
    std::vector<double> ms;
    for (int i = 0; i < kRuns; ++i) {
        prepare();
        QElapsedTimer timer;
        timer.start();
        work();
        ms.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::printf("%-52s median %8.2f ms  (target < %.0f ms)\n", what, Median(ms), targetMs);
}

int OptionsPicture(const QString& path) {
    TestContext t;
    t.ctx().state.downloadMethod = DownloadMethod::Single;
    t.ctx().state.proxyEnabled = 1;
    t.ctx().state.proxyAddress = QStringLiteral("proxy.example.com");
    t.ctx().state.proxyPort = QStringLiteral("3128");
    OptionsDialog dialog(t.ctx(), nullptr);
    dialog.show();
    for (int i = 0; i < 20; ++i) QApplication::processEvents();
    const bool saved = dialog.grab().save(path);
    std::printf("%s %s\n", saved ? "saved" : "could not save", qPrintable(path));
    return saved ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    IsolateUserFolders();
    QApplication app(argc, argv);
    InitResources();
    const QStringList args = app.arguments();
    const qsizetype picture = args.indexOf(QStringLiteral("--options-picture"));
    if (picture > 0 && picture + 1 < args.size()) return OptionsPicture(args.at(picture + 1));

    TestContext t;
    auto* window = new DownloadWindow(t.ctx());
    window->resize(1000, 700);
    window->show();
    DownloadList& list = window->list();
    DownloadWindowState& state = window->state();

    Report("shuffle of 20,000 rows", 100, [&] { Fill(list); },
           [&] { 随机排序列表(list, state, t.dialogs); });

    QList<int> every2nd;
    for (int r = 0; r < kRows; r += 2) every2nd << r;
    Report("removal of 10,000 selected of 20,000 rows", 50, [&] { Fill(list); },
           [&] { 清除选中项(list, state, t.dialogs, every2nd); });

    QTemporaryDir dir;
    Report("export of 20,000 names", 100, [&] {
        Fill(list);
        t.dialogs.fileAnswers = {dir.path() + QStringLiteral("/names.txt")};
    }, [&] { 导出名称(list, false, t.dialogs); });

    bool forward = true;
    Report("batch replace over 20,000 keys and tags", 100, [&] {},
           [&] {
               批量替换网址(list, forward ? QStringLiteral("example.org") : QStringLiteral("example.net"),
                            forward ? QStringLiteral("example.net") : QStringLiteral("example.org"),
                            t.dialogs);
               forward = !forward;
           });
    if (list.key(0).isEmpty()) return 1;
    delete window;
    return 0;
}
