#include "search/AddAllPages.h"
#include "app/AppContext.h"
#include "common/Text.h"
#include "platform/Browser.h"
#include "platform/Clock.h"

#include <algorithm>
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
        emit runningChanged(true);
        m_addAllStop = false;
        if (m_ctx.state.promptSaveFolder == 1 && askSaveFolder) askSaveFolder();
        for (;;) {
            m_ctx.pump.processEvents();
            if (!下一页()) break;
            m_ctx.pump.processEvents();
            if (m_addAllStop) break;
        }
        readPage();
        emit runningChanged(false);
        m_addAllStop = true;
        m_running = false;
    }
    emit columnsToFit();
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

    m_pageLoading = true;
    m_harvest.browser.click(link);
    if (WaitSeconds(m_ctx.clock, m_ctx.pump, kFirstWaitSeconds, [this] { return m_addAllStop; }))
        return stopExit();

    // A page that never finishes is read as far as it got.
    m_ctx.pump.processEvents();
    bool stopped = false;
    WaitUntil(m_ctx.clock, m_ctx.pump, kLoadWaitSeconds, [&] {
        if (!m_harvest.browser.busy() || !m_pageLoading) return true;
        stopped = m_addAllStop;
        return stopped;
    });
    if (stopped) return stopExit();

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
    // Combo2 is read anew on every wake-up, so a change during the wait counts at once.
    const double t0 = m_ctx.clock.elapsedSeconds();
    m_ctx.pump.processEvents();
    for (;;) {
        const double waited = m_ctx.clock.elapsedSeconds() - t0;
        const int delay = delaySeconds();
        if (delay <= waited || m_addAllStop) return;
        m_ctx.pump.waitForEvents(std::min(delay - waited, kWaitGrainSeconds));
    }
}

} // namespace peldora
