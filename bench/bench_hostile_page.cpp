// Reading a hostile result page: N elements nested in one chain, entries ("li") and link
// blocks ("div class=lft") by turns, the innermost holding a title block and a PDF link, so
// every entry and every link block holds all the rest of the page. Times the snapshot built
// from the page script's JSON and ReadResultPage on it, separately.
// Usage: bench_hostile_page [elements = 8000] [runs = 7]
#include "common/DomSnapshot.h"
#include "search/ResultPageReader.h"
#include "search/SearchList.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <cstdio>
#include <vector>

using namespace peldora;

namespace {

// Rows as the page script sends them: [tag, id, class, text, href, name, type, value, parent].
QByteArray HostilePageJson(int elements) {
    QJsonArray rows;
    const auto row = [&](const char* tag, const char* id, const char* cls, const char* text,
                         const char* href, int parent) {
        rows.append(QJsonArray{tag, id, cls, text, href, "", "", "", parent});
        return int(rows.size()) - 1;
    };
    int parent = row("div", "search-resultslist-wrap", "", "", "", -1);
    for (int i = 0; i < elements; ++i)
        parent = i % 2 == 0 ? row("li", "", "", "", "", parent) : row("div", "", "lft", "", "", parent);
    row("div", "", "searchlist-title", "Deep", "", parent);
    row("a", "", "", "Download PDF", "https://www.jstage.jst.go.jp/article/deep/_pdf", parent);
    return QJsonDocument(QJsonObject{{"url", "https://www.jstage.jst.go.jp/result"},
                                     {"html", true},
                                     {"elements", rows}})
        .toJson(QJsonDocument::Compact);
}

double Median(std::vector<double> ms) {
    std::sort(ms.begin(), ms.end());
    const size_t n = ms.size();
    return n % 2 ? ms[n / 2] : (ms[n / 2 - 1] + ms[n / 2]) / 2;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int elements = argc > 1 ? std::max(1, atoi(argv[1])) : 8000;
    const int runs = argc > 2 ? std::max(1, atoi(argv[2])) : 7;
    const QByteArray json = HostilePageJson(elements);

    std::vector<double> snapMs, readMs;
    int offered = 0;
    for (int r = 0; r < runs; ++r) {
        QElapsedTimer t;
        t.start();
        const DomSnapshot page = DomSnapshot::FromJson(json);
        snapMs.push_back(t.nsecsElapsed() / 1e6);
        SearchList list;
        t.restart();
        offered = ReadResultPage(page, list, {});
        readMs.push_back(t.nsecsElapsed() / 1e6);
    }
    std::printf("hostile page, %d nested elements (%d entries offered), %d runs:\n", elements,
                offered, runs);
    std::printf("  snapshot from JSON  median %.2f ms  (min %.2f, max %.2f)\n", Median(snapMs),
                *std::min_element(snapMs.begin(), snapMs.end()),
                *std::max_element(snapMs.begin(), snapMs.end()));
    std::printf("  ReadResultPage      median %.2f ms  (min %.2f, max %.2f)\n", Median(readMs),
                *std::min_element(readMs.begin(), readMs.end()),
                *std::max_element(readMs.begin(), readMs.end()));
    return 0;
}
