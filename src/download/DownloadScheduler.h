#pragma once
#include "download/DownloadList.h"
#include "download/DownloadWindowState.h"
#include "download/TransferTexts.h"

#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>

namespace peldora {

struct AppContext;
class TransferMethods;

// The automatic options of the download panel as the window's check boxes show them. The
// window writes them when the user changes a box; the stop command clears autoStart and
// autoRedownload and says so through DownloadScheduler::autoOptionsCleared.
struct SchedulerOptions {
    bool autoStart = false;      // Check4 "当有待下载项时，自动启动下载"
    bool autoRedownload = false; // Check3 "自动重新下载："
    int redownloadChoice = 0;    // Combo4: 0 failed rows, 1 web-page rows, 2 both
    bool errorStop = false;      // Check5: stop at 5 or more failed or web-page rows
    bool soundCues = false;      // Check6 "声音提示"
};


// Decides when the next row is downloaded, with which method and on which slot, and switches
// downloading on and off. Downloading is on exactly while the state's scheduler timer
// (Timer_Down) runs; the window connects that timer and the supervisor timer (Timer1) to the
// two ticks, inside its own work scope, since a method-1 tick pumps events until its file ends. The pause between files is measured on the steady clock from
// state.lastFinishTime, which the transfers set when a file ends.
//
// The window shows what the signals say and writes the options; the scheduler touches no
// widget. It also fills the state's hooks for the guards and the close (transfer running,
// instance count, stop command, cancel of the single transfer).
class DownloadScheduler : public QObject {
    Q_OBJECT
public:
    DownloadScheduler(AppContext& ctx, DownloadList& list, DownloadWindowState& state,
                      TransferMethods& transfers, QObject* parent = nullptr);
    ~DownloadScheduler() override;

    SchedulerOptions options;

    // One tick of Timer_Down: starts the next waiting row with method 1 (and returns only when
    // it has ended), or fills every free slot of method 2.
    void schedulerTick();
    // One tick of Timer1: switches downloading off when the list is finished or at the error
    // stop, on for auto start and auto re-download, keeps the run flag and reports the
    // statistics and the state of the "开始下载" entry.
    void supervisorTick();

    // "开始下载" (Command4 and the menu entry): switches downloading on.
    void startDownloading();
    // "停止下载" (Command31, the menu entry, the close): clears auto start and auto
    // re-download, cancels the single transfer, switches downloading off, ends every
    // downloader, turns every downloading row into failed and clears the run flag.
    void stopDownloading();
    // Command26: method 2 becomes 1, anything else 2; the thread count goes back to 1. Running
    // transfers go on; the next tick uses the new method.
    void switchDownloadMethod();

    bool downloading() const;
    // Whether the "开始下载" menu entry is on, as the supervisor last decided.
    bool startEntryEnabled() const { return m_startEntryEnabled; }

    // Rows whose type is "htm" or "html", plus the other rows that failed.
    int errorStopCount() const;

signals:
    // Downloading switched on or off: Shape1 is visible exactly while it is on.
    void downloadingChanged(bool on);
    void startEntryEnabledChanged(bool enabled);
    // A row started downloading with auto-locate on: scroll it into view.
    void locateRow(int row);
    // The statistics line for status panel 4, once a tick and after every change of rows.
    void statisticsChanged(const QString& line);
    // The stop command cleared auto start and auto re-download: uncheck Check4 and Check3.
    void autoOptionsCleared();
    // The method switch: Label7 shows "下载方式：" + method, Combo1 shows "1" and is enabled
    // only for method 2.
    void downloadMethodChanged(int method);

private:
    enum class Prepared { Download, Skipped, Failed };

    void setDownloading(bool on);
    void reportDownloading();
    void reportStatistics();
    void playCue(int cue);
    void runSingleTick();
    void runParallelTick();
    // The next waiting row, cleaned and checked for a download with the given method; rows on
    // the way that exist already (skip policy) or cannot be downloaded end there. -1 when
    // none is left. For method 2 the target path and the final name come with it.
    int nextRowToDownload(bool parallel, QString* targetPath);
    Prepared prepareRow(int row, bool parallel, QString* targetPath);
    QString freeTargetPath(const QString& folder, const QString& name, const QString& type,
                           QString* finalName) const;
    void failRow(int row, const QString& word);
    void markStarted(int row);

    AppContext& m_ctx;
    DownloadList& m_list;
    DownloadWindowState& m_state;
    TransferMethods& m_transfers;
    QPointer<DownloadWindowState> m_statePointer;
    bool m_reportedDownloading = false;
    bool m_startEntryEnabled = true;
    bool m_startEntryKnown = false;
    bool m_inTick = false;        // a tick's walk is running
    int m_singleCalls = 0;        // method-1 downloads started here that have not returned
    QSet<QString> m_pathsThisTick; // targets handed to downloaders in the running tick
};

} // namespace peldora
