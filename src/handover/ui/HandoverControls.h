#pragma once
#include "handover/Handover.h"

#include <QObject>
#include <functional>
#include <memory>

class QAction;
class QMenu;

namespace peldora {

class SearchWindow;

// Binds a hand-over to the search window: Command2 "分析下载" with its pop-up menu, Check3 with
// the one-minute Timer1, the progress panel with Command5 "停止", and the window's close refusal.
class HandoverControls : public QObject {
    Q_OBJECT
public:
    // A child of the window: it lives exactly as long as the window and the hooks it sets there.
    HandoverControls(AppContext& ctx, SearchWindow& window, DownloadListSink sink);

    Handover& handover() { return *m_handover; }

    // Command2 clicked.
    void command2Clicked();
    // Check3 clicked, with its new state.
    void check3Clicked(bool checked);
    // A tick of Timer1.
    void timerTick();

    // Shows the menu at the mouse and answers the entry picked (nullptr when dismissed); tests
    // replace it to pick an entry.
    std::function<QAction*(QMenu*)> popupMenu;

private:
    // One run, then the close the window may have held back for it.
    void analyse(HandoverSelection selection);
    void showProgress(bool visible, const QString& text);

    AppContext& m_ctx;
    SearchWindow& m_window;
    std::unique_ptr<Handover> m_handover;
};

} // namespace peldora
