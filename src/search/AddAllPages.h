#pragma once
#include "search/ResultPageReader.h"

#include <QObject>
#include <QString>
#include <functional>

namespace peldora {

struct AppContext;

// "加入全部到列表": reads the result page on screen, clicks its next-page link, waits for the next
// page and the rate delay, and goes on until there is no next page or the user stops. The waits
// run through the context's clock and event pump, so the window stays responsive and a second
// click on Command4 (the stop request) is seen inside the run.
class AddAllPages : public QObject {
    Q_OBJECT
public:
    AddAllPages(AppContext& ctx, PageHarvest harvest);

    // Combo2's current text, read anew on every pass of the rate delay.
    std::function<QString()> delayText;
    // The save-location dialog, modal; its outcome does not stop the run.
    std::function<void()> askSaveFolder;

    // Command4: starts a run, or asks the active run to stop.
    void command4Clicked();
    // One step: true when the browser moved to the next page and that page has been read.
    bool 下一页();
    // The rate delay between pages (Combo2's seconds); ends early on a stop request.
    void 限速延时_提取信息();
    // The browser finished loading its top-level document.
    void documentComplete() { m_pageLoading = false; }

    bool running() const { return m_running; }
    // True while no run is active and once a stop has been asked for.
    bool addAllStop() const { return m_addAllStop; }
    bool pageLoading() const { return m_pageLoading; }

    static constexpr double kFirstWaitSeconds = 1;
    static constexpr double kLoadWaitSeconds = 90;

signals:
    // A run started or ended: the window shows it on Command4 and PicPanWeb.
    void runningChanged(bool running);
    // The list's columns are to fit their header and contents.
    void columnsToFit();

private:
    void readPage();
    bool stopExit();
    int delaySeconds() const;

    AppContext& m_ctx;
    PageHarvest m_harvest;
    bool m_running = false;
    bool m_addAllStop = true;
    bool m_pageLoading = false;
};

} // namespace peldora
