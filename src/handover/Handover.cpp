#include "handover/Handover.h"
#include "app/AppContext.h"
#include "common/FileHelpers.h"
#include "common/Text.h"
#include "platform/Clock.h"
#include "search/SearchList.h"

namespace peldora {

Handover::Handover(AppContext& ctx, SearchList& list, HandoverHooks hooks, DownloadListSink sink)
    : m_ctx(ctx), m_list(list), m_hooks(std::move(hooks)), m_sink(std::move(sink)) {}

bool Handover::Takes(HandoverSelection selection, const QString& status, bool selected) {
    switch (selection) {
    case HandoverSelection::Unanalysed: return status.isEmpty();
    case HandoverSelection::Failed: return status.contains(QStringLiteral("失败"));
    case HandoverSelection::Selected: return selected;
    case HandoverSelection::All: return true;
    }
    return false;
}

void Handover::AnalyseSearchRows(HandoverSelection selection) {
    ++m_runs;
    m_analysisStop = false;
    emit progressChanged(true, QStringLiteral("正在分析,请稍候..."));
    m_ctx.pump.processEvents();
    [&] {
        if (m_list.isEmpty()) return;
        const bool automatic = selection == HandoverSelection::Unanalysed && m_hooks.autoRunEnabled &&
                               m_hooks.autoRunEnabled();
        if (!automatic && m_ctx.state.promptSaveFolder != 1) {
            if (m_hooks.askSaveFolder) m_hooks.askSaveFolder();
            if (m_ctx.state.saveDialogCancelled) return;
        }
        const int n = m_list.size();
        for (int i = 0; i < n; ++i) {
            m_ctx.pump.processEvents();
            if (m_analysisStop) break;
            // Rows may have been removed while events were pumped.
            if (i >= m_list.size()) break;
            const bool selected = m_hooks.isSelected && m_hooks.isSelected(i);
            if (Takes(selection, m_list.row(i).status, selected)) 加入下载列表(i);
        }
    }();
    emit progressChanged(false, QString());
    m_analysisStop = true;
    --m_runs;
    if (m_sink.showWindow) m_sink.showWindow(false);
}

void Handover::加入下载列表(int row) {
    if (row < 0 || row >= m_list.size()) return;
    const SearchListRow entry = m_list.row(row);
    const QString title = TrimSpaces(RemoveLineBreaks(entry.title));
    const QString folder = entry.saveFolder.isEmpty() ? m_ctx.state.saveFolder : entry.saveFolder;
    const QString name = SanitizeFileName(
        m_ctx.state.useOriginalName ? FileNameFromAddress(entry.key, true) : title);
    m_list.setStatus(row, kAnalysing);
    m_ctx.pump.processEvents();
    // The row may have moved or gone while events were pumped; find it again by its key.
    const int now = m_list.indexOfKey(entry.key);
    if (m_sink.addRow) m_sink.addRow({entry.key, name, entry.type, folder, entry.tag});
    if (now < 0) return;
    m_list.setStatus(now, kAnalysed);
    if (m_list.row(now).status == kAnalysing) m_list.setStatus(now, kAnalysisFailed);
}

bool Handover::autoRunToggled(bool checked) {
    if (!checked) return false;
    if (m_ctx.state.promptSaveFolder != 1 && m_hooks.askSaveFolder) {
        m_hooks.askSaveFolder();
        if (m_ctx.state.saveDialogCancelled) return false;
    }
    return true;
}

} // namespace peldora
