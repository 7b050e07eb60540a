#include "handover/ui/HandoverControls.h"
#include "app/AppContext.h"
#include "platform/Dialogs.h"
#include "search/SearchList.h"
#include "search/ui/SearchWindow.h"

#include <QAction>
#include <QCheckBox>
#include <QCursor>
#include <QFrame>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QTimer>

namespace peldora {

HandoverControls::HandoverControls(AppContext& ctx, SearchWindow& window, DownloadListSink sink)
    : QObject(&window), m_ctx(ctx), m_window(window) {
    HandoverHooks hooks;
    hooks.askSaveFolder = [this] {
        if (m_window.askSaveFolder) m_window.askSaveFolder();
    };
    hooks.isSelected = [this](int row) {
        const QItemSelectionModel* selection = m_window.listView1()->selectionModel();
        return selection && selection->isRowSelected(row, {});
    };
    hooks.autoRunEnabled = [this] { return m_window.timer1()->isActive(); };
    m_handover = std::make_unique<Handover>(ctx, window.searchList(), std::move(hooks),
                                            std::move(sink));
    connect(m_handover.get(), &Handover::progressChanged, this, &HandoverControls::showProgress);

    popupMenu = [](QMenu* menu) { return menu->exec(QCursor::pos()); };

    window.analysisStop = [this] { return m_handover->analysisStop(); };
    window.stopAnalysis = [this] { m_handover->requestStop(); };
    window.analysisRunning = [this] { return m_handover->running(); };
    connect(window.command(2), &QPushButton::clicked, this, &HandoverControls::command2Clicked);
    connect(window.check3(), &QCheckBox::clicked, this, &HandoverControls::check3Clicked);
    connect(window.timer1(), &QTimer::timeout, this, &HandoverControls::timerTick);

    const HandoverSelection selections[4] = {HandoverSelection::Unanalysed,
                                             HandoverSelection::Failed,
                                             HandoverSelection::Selected, HandoverSelection::All};
    const QAction* actions[4] = {window.menuAnalyseUnanalysed(), window.menuAnalyseFailed(),
                                 window.menuAnalyseSelected(), window.menuAnalyseAll()};
    for (int i = 0; i < 4; ++i)
        connect(actions[i], &QAction::triggered, this,
                [this, s = selections[i]] { analyse(s); });
}

void HandoverControls::command2Clicked() {
    QPushButton* button = m_window.command(2);
    button->setEnabled(false);
    if (m_window.searchList().isEmpty()) {
        m_ctx.dialogs.messageBox(QStringLiteral("列表没有数据哦！"), MessageIcon::Information);
    } else if (!m_window.listView1()->selectionModel()->hasSelection()) {
        analyse(HandoverSelection::All);
    } else if (popupMenu) {
        // The picked entry's triggered signal runs the selection before the menu returns here.
        popupMenu(m_window.menuAdd());
    }
    button->setEnabled(true);
}

void HandoverControls::check3Clicked(bool checked) {
    if (m_handover->autoRunToggled(checked)) {
        m_window.timer1()->start();
        return;
    }
    m_window.timer1()->stop();
    m_window.check3()->setChecked(false);
}

void HandoverControls::timerTick() { analyse(HandoverSelection::Unanalysed); }

void HandoverControls::analyse(HandoverSelection selection) {
    m_handover->AnalyseSearchRows(selection);
    // A close asked for after "停止" waited for the run; the window closes from the event loop.
    m_window.closeIfPending();
}

void HandoverControls::showProgress(bool visible, const QString& text) {
    QFrame* panel = m_window.picPanPrograss();
    if (!visible) {
        panel->hide();
        return;
    }
    m_window.label(11)->setText(text);
    panel->adjustSize();
    panel->show();
    panel->raise();
}

} // namespace peldora
