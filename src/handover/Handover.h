#pragma once
#include <QObject>
#include <QString>
#include <functional>

namespace peldora {

struct AppContext;
class SearchList;

// The four ways of choosing which search rows a run hands over.
enum class HandoverSelection { Unanalysed, Failed, Selected, All };

// What the search window lends a run.
struct HandoverHooks {
    // The save-location dialog, modal; it sets the context's saveFolder, useOriginalName and
    // saveDialogCancelled.
    std::function<void()> askSaveFolder;
    // Whether row i is selected in the list view.
    std::function<bool(int row)> isSelected;
    // Whether the one-minute automatic run (Timer1) is on.
    std::function<bool()> autoRunEnabled;
};

// A row as it goes into the download list.
struct HandedOverRow {
    QString key;    // download address(es)
    QString name;   // file name without extension
    QString type;   // extension
    QString folder; // save folder
    QString tag;    // referring page
};

// The download window's side: adds a row (creating and loading the window first, without
// showing it), answering false when the list refuses it; and brings the window into view.
struct DownloadListSink {
    std::function<bool(const HandedOverRow&)> addRow;
    std::function<void(bool restore)> showWindow;
};

inline const QString kAnalysing = QStringLiteral("正在分析");
inline const QString kAnalysed = QStringLiteral("分析完成");
inline const QString kAnalysisFailed = QStringLiteral("分析失败");

// Hands search rows over to the download list ("分析下载" and its automatic run).
class Handover : public QObject {
    Q_OBJECT
public:
    Handover(AppContext& ctx, SearchList& list, HandoverHooks hooks, DownloadListSink sink);

    // One run over the rows the selection takes.
    void AnalyseSearchRows(HandoverSelection selection);
    // Hands one row over; its status ends "分析完成" (also when the list already had the key).
    void 加入下载列表(int row);
    // Whether the selection takes a row with this status / selection state.
    static bool Takes(HandoverSelection selection, const QString& status, bool selected);

    // Check3 was clicked; returns whether the automatic run is now on (box ticked, Timer1 on).
    bool autoRunToggled(bool checked);

    // True between runs and once "停止" has been pressed.
    bool analysisStop() const { return m_analysisStop; }
    void requestStop() { m_analysisStop = true; }
    bool running() const { return m_runs > 0; }

signals:
    // A run shows or hides the progress panel (PicPanPrograss) with its text.
    void progressChanged(bool visible, const QString& text);

private:
    AppContext& m_ctx;
    SearchList& m_list;
    HandoverHooks m_hooks;
    DownloadListSink m_sink;
    bool m_analysisStop = true;
    int m_runs = 0;
};

} // namespace peldora
