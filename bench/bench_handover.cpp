// Two costs a researcher feels on long lists: handing 2,000 harvested articles over to the
// download list ("分析下载" → "分析全部", from the click to the full statistics line, with the
// windows up and the real event pump), and sizing the search list's columns to every one of
// 20,000 rows. Prints the median of several runs of each.
#include "app/ui/CoverWindow.h"
#include "app/ui/MainWindows.h"
#include "download/ui/DownloadWindow.h"
#include "handover/ui/HandoverControls.h"
#include "search/SearchList.h"
#include "search/ui/ListViewLook.h"
#include "search/ui/SearchWindow.h"
#include "support/FakeBrowser.h"
#include "support/ui/UiTest.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QTableView>
#include <algorithm>
#include <cstdio>
#include <vector>

using namespace peldora;
using namespace peldora::test;

namespace {

double Median(std::vector<double> ms) {
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

void Fill(SearchList& list, int n, int longTitleAt) {
    for (int i = 1; i <= n; ++i) {
        const QString title = i == longTitleAt
                                  ? QStringLiteral("Long title ").repeated(27)
                                  : QStringLiteral("Thermal properties of composites, part %1").arg(i);
        list.加入LV1(title, QStringLiteral("https://h/a/%1/p%1.pdf").arg(i),
                     QStringLiteral("https://h/result?page=%1").arg(i / 20), "pdf", QString(),
                     "ss-en");
    }
}

double HandOver(int rows) {
    TestContext t(true);
    t.ctx().state.saveFolder = QStringLiteral("/tmp/peldora-bench/");
    t.ctx().state.promptSaveFolder = 1; // no folder dialog in the way
    FakeBrowser browser;
    auto* cover = new CoverWindow(t.ctx());
    auto* windows = new MainWindows(t.ctx(), *cover);
    windows->makeSearchWindow = [&] { return new SearchWindow(t.ctx(), &browser); };
    windows->openSearchWindow();
    SearchWindow* search = windows->searchWindow();
    Fill(search->searchList(), rows, -1);
    auto* controls = search->findChild<HandoverControls*>();
    controls->popupMenu = [search](QMenu*) { return search->menuAnalyseAll(); };
    QElapsedTimer took;
    took.start();
    search->command(2)->click();
    const QString full = QStringLiteral("总数:%1 ").arg(rows);
    DownloadWindow* download = windows->downloadWindow();
    while (!download || !download->panelText(4).startsWith(full)) {
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 5);
        download = windows->downloadWindow();
    }
    const double ms = double(took.nsecsElapsed()) / 1e6;
    delete download;
    delete search;
    delete cover;
    return ms;
}

double AutoSize(int rows) {
    SearchList list;
    Fill(list, rows, rows - 10); // a long title near the end
    QTableView view;
    view.setModel(&list);
    view.resize(1000, 600);
    QElapsedTimer took;
    took.start();
    AutoSizeColumns(&view, -2);
    const double ms = double(took.nsecsElapsed()) / 1e6;
    const int titleWidth = view.fontMetrics().horizontalAdvance(QStringLiteral("Long title ").repeated(27));
    bool fits = false;
    for (int c = 0; c < list.columnCount(); ++c) fits = fits || view.columnWidth(c) >= titleWidth;
    if (!fits) std::printf("    the long title near the end did not fit its column\n");
    return ms;
}

} // namespace

int main(int argc, char** argv) {
    IsolateUserFolders();
    QApplication app(argc, argv);
    InitResources();
    std::vector<double> handover, autosize;
    for (int i = 0; i < 5; ++i) handover.push_back(HandOver(2000));
    for (int i = 0; i < 5; ++i) autosize.push_back(AutoSize(20000));
    std::printf("2,000 rows handed over (click to full statistics): %.1f ms median (target < 1000)\n",
                Median(handover));
    std::printf("20,000 rows auto-sized (every cell measured):      %.1f ms median (target < 100)\n",
                Median(autosize));
    return 0;
}
