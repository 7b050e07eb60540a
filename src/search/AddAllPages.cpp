#include "search/AddAllPages.h"
#include "app/AppContext.h"
#include "common/Text.h"
#include "platform/Browser.h"
#include "platform/Clock.h"

#include <cmath>

namespace peldora {

namespace {

const QString kPaginationId = QStringLiteral("search-pagination-wrap-bottom");

// The pagination bar of an HTML page, or -1.
int PaginationBar(const DomSnapshot& page) {
    if (!page.isHtml) return -1;
    const int bar = page.getElementById(kPaginationId);
    return page.valid(bar) && page.at(bar).tag == QStringLiteral("div") ? bar : -1;
}

// The first link of the bar that reads ">", or -1.
int NextPageLink(const DomSnapshot& page, int bar) {
    for (const int a : page.getElementsByTagName(QStringLiteral("a"), bar))
        if (TrimSpaces(page.at(a).innerText.toLower()) == QStringLiteral(">")) return a;
    return -1;
}

} // namespace

AddAllPages::AddAllPages(AppContext& ctx, PageHarvest harvest)
    : m_ctx(ctx), m_harvest(std::move(harvest)) {}

void AddAllPages::readPage() {
    AddCurrentPage(m_harvest, HarvestFolder(m_ctx.state));
}

void AddAllPages::command4Clicked() {
    if (m_running) {
        m_addAllStop = true;
    } else {
        m_running = true;
        if (showRunning) showRunning(true);
        m_addAllStop = false;
        if (m_ctx.state.promptSaveFolder == 1 && askSaveFolder) askSaveFolder();
        for (;;) {
            m_ctx.pump.processEvents();
            if (!下一页()) break;
            m_ctx.pump.processEvents();
            if (m_addAllStop) break;
        }
        readPage();
        if (showRunning) showRunning(false);
        m_addAllStop = true;
        m_running = false;
    }
    if (autoSizeColumns) autoSizeColumns();
}

bool AddAllPages::stopExit() {
    readPage();
    return false;
}

bool AddAllPages::下一页() {
    // One snapshot serves both the reading and the search for the next-page link: nothing runs
    // in between that could change the page.
    const DomSnapshot page = m_harvest.browser.document(ResultPageTextRequest());
    AddPage(m_harvest, page, HarvestFolder(m_ctx.state));
    const int bar = PaginationBar(page);
    if (bar < 0) return false;
    const int link = NextPageLink(page, bar);
    if (link < 0) {
        readPage();
        return false;
    }

    const Clock& clock = m_ctx.clock;
    double t0 = clock.secondsSinceMidnight();
    m_pageLoading = true;
    m_harvest.browser.click(link);
    for (;;) {
        m_ctx.pump.processEvents();
        if (SecondsBetween(clock.secondsSinceMidnight(), t0) >= kFirstWaitSeconds) break;
        if (m_addAllStop) return stopExit();
    }

    t0 = clock.secondsSinceMidnight();
    m_ctx.pump.processEvents();
    while (m_harvest.browser.busy() && m_pageLoading) {
        m_ctx.pump.processEvents();
        // A page that never finishes is read as far as it got.
        if (SecondsBetween(clock.secondsSinceMidnight(), t0) > kLoadWaitSeconds) break;
        if (m_addAllStop) return stopExit();
    }

    限速延时_提取信息();
    readPage();
    return true;
}

int AddAllPages::delaySeconds() const {
    if (!delayText) return 0;
    bool ok = false;
    const double seconds = TrimSpaces(delayText()).toDouble(&ok);
    return ok && seconds > 0 ? int(std::floor(seconds)) : 0;
}

void AddAllPages::限速延时_提取信息() {
    const double t0 = m_ctx.clock.secondsSinceMidnight();
    do {
        m_ctx.pump.processEvents();
    } while (!(delaySeconds() <= SecondsBetween(m_ctx.clock.secondsSinceMidnight(), t0) ||
               m_addAllStop));
}

} // namespace peldora
