// Walks over a download list of 20,000 rows, the way the supervisor does once a second: the
// statistics line, the finished test, the count of rows with empty columns 2 to 4, and a sort
// by "文件大小" (size). Prints the median of several runs of each.
#include "download/DownloadList.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <numeric>
#include <vector>

using namespace peldora;

namespace {

constexpr int kRows = 20000;

void Fill(DownloadList& list) {
    QRandomGenerator random(20000);
    const QString words[] = {QStringLiteral("未知"), QStringLiteral("下载失败"),
                             QStringLiteral("下载取消"), QStringLiteral("等待重新下载")};
    for (int r = 0; r < kRows; ++r) {
        list.AddRow(QStringLiteral("https://www.example.org/article/%1/_pdf|https://m/%1").arg(r),
                    QStringLiteral("Article title number %1 about something").arg(r),
                    QStringLiteral("pdf"), QStringLiteral("/home/user/12345/"),
                    QStringLiteral("https://www.example.org/result?page=%1").arg(r / 20));
        const int kind = int(random.bounded(10));
        if (kind < 4) continue; // waiting, columns empty
        const QString size =
            kind == 9 ? words[random.bounded(4)] : QString::number(random.bounded(50'000'000));
        list.setText(r, ColSize, size);
        list.setText(r, ColReceived, QString::number(random.bounded(50'000'000)));
        list.setText(r, ColPercent, QStringLiteral("%1%").arg(random.bounded(101)));
        list.setStatus(r, kind < 6   ? RowStatus::Completed
                          : kind < 8 ? RowStatus::Failed
                                     : RowStatus::Downloading);
    }
}

// Median of the runs, in milliseconds.
double Measure(int runs, const std::function<void()>& work) {
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        work();
        ms.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

void Report(const char* what, double ms, double targetMs) {
    std::printf("%-40s %10.4f ms   (target < %g ms) %s\n", what, ms, targetMs,
                ms < targetMs ? "ok" : "SLOW");
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    DownloadList list;
    QElapsedTimer fill;
    fill.start();
    Fill(list);
    std::printf("%d rows filled in %lld ms\n", list.count(), fill.elapsed());

    volatile qsizetype sink = 0;
    Report("statistics line", Measure(200, [&] { sink = sink + list.StatisticsLine().size(); }), 5);
    Report("finished test (检测是否下载列表完毕)",
           Measure(200, [&] { sink = sink + list.检测是否下载列表完毕(); }), 5);
    Report("empty columns 2-4 (统计未下载项数目)",
           Measure(200, [&] { sink = sink + list.统计未下载项数目(); }), 5);
    Report("sort by 文件大小 (header click)", Measure(9, [&] { list.ToggleSortByColumn(ColSize); }),
           300);
    Report("sort by 百分比 (header click)",
           Measure(9, [&] { list.ToggleSortByColumn(ColPercent); }), 300);
    Report("sort by 名称 (header click)", Measure(9, [&] { list.ToggleSortByColumn(ColName); }),
           300);
    Report("key lookup after sort",
           Measure(9,
                   [&] {
                       sink = sink + list.RowOfKey(QStringLiteral(
                                         "https://www.example.org/article/777/_pdf|https://m/777"));
                   }),
           5);
    // 1,000 rows moved by removing each and adding it again at the end, picked at random.
    QRandomGenerator pick(1000);
    Report("1,000 remove-and-add moves",
           Measure(5,
                   [&] {
                       for (int i = 0; i < 1000; ++i) {
                           const int r = int(pick.bounded(list.count()));
                           const DownloadListRow row = list.row(r);
                           list.RemoveRowAt(r);
                           list.AddRow(row.key, row.cells[ColName], row.cells[ColType],
                                       row.cells[ColFolder], row.tag);
                       }
                   }),
           50);
    std::vector<int> order(list.count());
    std::iota(order.begin(), order.end(), 0);
    Report("permutation of all rows (reverse)", Measure(9, [&] {
               std::reverse(order.begin(), order.end());
               list.PermuteRows(order);
           }),
           100);
    std::printf("%s\n", qPrintable(list.StatisticsLine()));
    return 0;
}
