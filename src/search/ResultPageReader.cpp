#include "search/ResultPageReader.h"
#include "app/ProgramState.h"
#include "common/Text.h"
#include "platform/Browser.h"
#include "search/SearchList.h"

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

    int count = 0;
    for (const int entry : page.getElementsByTagName(QStringLiteral("li"), wrap)) {
        QString title;
        QString pdf;
        // Every div of the entry, nested lists included; the last block of a kind wins.
        for (const int d : page.getElementsByTagName(QStringLiteral("div"), entry)) {
            const QString cls = page.at(d).className.toLower();
            if (cls == kTitleClass) {
                title = TrimSpaces(page.at(d).innerText);
            } else if (cls == kLinkBlockClass) {
                const QList<int> links = page.getElementsByTagName(QStringLiteral("a"), d);
                if (!links.isEmpty() && IsPdfLinkText(page.at(links.first()).innerText))
                    pdf = page.at(links.first()).href;
            }
        }
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
