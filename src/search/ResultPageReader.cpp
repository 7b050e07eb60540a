#include "search/ResultPageReader.h"
#include "app/ProgramState.h"
#include "common/Text.h"
#include "platform/Browser.h"
#include "search/SearchList.h"

#include <algorithm>
#include <vector>

namespace peldora {

namespace {

const QString kResultsWrapId = QStringLiteral("search-resultslist-wrap");
const QString kTitleClass = QStringLiteral("searchlist-title");
const QString kLinkBlockClass = QStringLiteral("lft");

bool IsPdfLinkText(const QString& text) {
    const QString t = TrimSpaces(text).toLower();
    return t == QStringLiteral("download pdf") || t == QStringLiteral("pdf形式でダウンロード");
}

} // namespace

DomTextRequest ResultPageTextRequest() {
    return DomTextRequest{{QStringLiteral("a")}, {kTitleClass}};
}

int ReadResultPage(const DomSnapshot& page, SearchList& list, const QString& folder) {
    if (!page.isHtml) return 0;
    const int wrap = page.getElementById(kResultsWrapId);
    if (!page.valid(wrap) || page.at(wrap).tag != QStringLiteral("div")) return 0;

    // An entry reads every div below it, and the last title block and the last link block with
    // a PDF link win. The descendants of an element are the run of elements that follows it, so
    // "the last one below entry e" is the last one up to e's end that still comes after e. One
    // walk over the page gives that for every position; nested markup then costs no more than
    // flat markup (walking each entry's divs, and each block's links, was cubic in the depth).
    const int n = int(page.elements.size());
    std::vector<int> firstLinkFrom(n + 1, n); // first "a" at or after a position
    for (int i = n - 1; i >= 0; --i)
        firstLinkFrom[i] = page.at(i).tag == QStringLiteral("a") ? i : firstLinkFrom[i + 1];
    std::vector<int> lastTitleUpTo(n, -1); // last title block at or before a position
    std::vector<int> lastPdfUpTo(n, -1);   // last link block whose first link is a PDF link
    for (int i = 0; i < n; ++i) {
        const DomElement& d = page.at(i);
        lastTitleUpTo[i] = i > 0 ? lastTitleUpTo[i - 1] : -1;
        lastPdfUpTo[i] = i > 0 ? lastPdfUpTo[i - 1] : -1;
        if (d.tag != QStringLiteral("div")) continue;
        const QString cls = d.className.toLower();
        if (cls == kTitleClass) {
            lastTitleUpTo[i] = i;
        } else if (cls == kLinkBlockClass) {
            const int link = firstLinkFrom[i + 1];
            if (link < std::min(d.end, n) && IsPdfLinkText(page.at(link).innerText))
                lastPdfUpTo[i] = i;
        }
    }

    int count = 0;
    for (const int entry : page.getElementsByTagName(QStringLiteral("li"), wrap)) {
        const int last = std::min(page.at(entry).end, n) - 1;
        if (last <= entry) continue;
        const int titleAt = lastTitleUpTo[last];
        const int pdfAt = lastPdfUpTo[last];
        if (titleAt <= entry || pdfAt <= entry) continue;
        const QString title = TrimSpaces(page.at(titleAt).innerText);
        QString pdf = page.at(firstLinkFrom[pdfAt + 1]).href;
        if (title.isEmpty() || pdf.isEmpty()) continue;
        pdf.replace(QStringLiteral("&amp;"), QStringLiteral("&"), Qt::CaseInsensitive);
        list.加入LV1(title, pdf, page.url, QStringLiteral("pdf"), folder, QStringLiteral("ss-en"));
        ++count;
    }
    return count;
}

int ReadResultPage(Browser& browser, SearchList& list, const QString& folder) {
    return ReadResultPage(browser.document(ResultPageTextRequest()), list, folder);
}

int AddPage(const PageHarvest& harvest, const DomSnapshot& page, const QString& folder) {
    const int count = ReadResultPage(page, harvest.list, folder);
    if (harvest.refreshCounter) harvest.refreshCounter();
    return count;
}

int AddCurrentPage(const PageHarvest& harvest, const QString& folder) {
    return AddPage(harvest, harvest.browser.document(ResultPageTextRequest()), folder);
}

QString HarvestFolder(const ProgramState& state) {
    return state.promptSaveFolder == 1 ? state.saveFolder : QString();
}

} // namespace peldora
