#pragma once
#include "download/DownloadList.h"
#include "download/SameNamePolicy.h"

#include <QObject>
#include <QString>
#include <array>
#include <functional>

class QTimer;

namespace peldora {

class Dialogs;
class DownloadList;

inline const QString kBusyGuardMessage = QStringLiteral("停止下载以后，才能执行此操作！");
inline const QString kRunFlagGuardMessage = QStringLiteral("停止下载后方可设置！");
inline const QString kSortRefusedMessage = QStringLiteral("停止下载后方可排序！");
inline const QString kForceCloseQuestion =
    QStringLiteral("正在下载文件或者下载没有完成，要强制关闭窗口吗？");

// What the download window keeps while it is loaded and the download procedures share: the
// same-name policy, thread count and pause as chosen in the window, the run flag, the pause
// clock, the slot table and the timers. The download method, proxy and maximum size are
// program-wide (ProgramState).
class DownloadWindowState : public QObject {
    Q_OBJECT
public:
    explicit DownloadWindowState(QObject* parent = nullptr);

    SameNamePolicy sameNamePolicy = SameNamePolicy::Rename;
    int threadCount = 1;  // the number shown in Combo1; 0 when it is not a number
    int pauseSeconds = 0; // the number shown in Combo2
    bool downloadBusy = false;
    double lastFinishTime = 0;       // steady time of the last finished, failed or skipped file
    std::array<RowId, 12> slotTable{}; // per transfer slot, the row it works on (0: none)

    // Timer_Down (1 s, on while downloading is switched on), Timer1 (1 s supervisor, on while
    // the window is loaded) and Timer2 (60 s login refresh).
    QTimer* schedulerTimer() const { return m_timerDown; }
    QTimer* supervisorTimer() const { return m_timer1; }
    QTimer* loginRefreshTimer() const { return m_timer2; }

    // Filled in by the transfer code: whether the single-connection transfer is executing, and
    // how many parallel downloader instances exist besides the permanent first one.
    std::function<bool()> singleTransferExecuting;
    std::function<int()> parallelInstanceCount;
    // The stop command and the cancel of the single-connection transfer, run by the close.
    std::function<void()> stopCommand;
    std::function<void()> cancelSingleTransfer;

    // "自动定位到下载项": scroll a row into view when it starts downloading.
    bool autoLocate = false;

    bool schedulerRunning() const;
    bool singleTransferRunning() const;
    int parallelInstances() const;

    // The busy guard: downloading switched on, a single transfer executing or a parallel
    // instance alive.
    bool BusyGuardHolds() const;
    // The run-flag guard: downloadBusy.
    bool RunFlagGuardHolds() const { return downloadBusy; }
    // Show the guard's message and answer true when the command must not run.
    bool RefusedByBusyGuard(Dialogs& dialogs) const;
    bool RefusedByRunFlagGuard(Dialogs& dialogs) const;
    // A header click is refused while downloading is on or the run flag is set.
    bool RefusedSort(Dialogs& dialogs) const;
    // Whether closing the window needs the force-close question.
    bool DownloadCountsAsRunning(const DownloadList& list) const;

private:
    QTimer* m_timerDown;
    QTimer* m_timer1;
    QTimer* m_timer2;
};

} // namespace peldora
