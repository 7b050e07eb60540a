#include "download/DownloadWindowState.h"
#include "download/DownloadList.h"
#include "platform/Dialogs.h"

#include <QTimer>

namespace peldora {

namespace {
QTimer* MakeTimer(QObject* parent, const char* name, int intervalMs) {
    auto* timer = new QTimer(parent);
    timer->setObjectName(QString::fromLatin1(name));
    timer->setInterval(intervalMs);
    return timer;
}
} // namespace

DownloadWindowState::DownloadWindowState(QObject* parent)
    : QObject(parent), m_timerDown(MakeTimer(this, "Timer_Down", 1000)),
      m_timer1(MakeTimer(this, "Timer1", 1000)), m_timer2(MakeTimer(this, "Timer2", 60000)) {
}

bool DownloadWindowState::schedulerRunning() const {
    return m_timerDown->isActive();
}

bool DownloadWindowState::singleTransferRunning() const {
    return singleTransferExecuting && singleTransferExecuting();
}

int DownloadWindowState::parallelInstances() const {
    return parallelInstanceCount ? parallelInstanceCount() : 0;
}

bool DownloadWindowState::BusyGuardHolds() const {
    return schedulerRunning() || singleTransferRunning() || parallelInstances() > 0;
}

bool DownloadWindowState::RefusedByBusyGuard(Dialogs& dialogs) const {
    if (!BusyGuardHolds()) return false;
    dialogs.messageBox(kBusyGuardMessage, MessageIcon::Information);
    return true;
}

bool DownloadWindowState::RefusedByRunFlagGuard(Dialogs& dialogs) const {
    if (!RunFlagGuardHolds()) return false;
    dialogs.messageBox(kRunFlagGuardMessage, MessageIcon::Critical);
    return true;
}

bool DownloadWindowState::RefusedSort(Dialogs& dialogs) const {
    if (!schedulerRunning() && !downloadBusy) return false;
    dialogs.messageBox(kSortRefusedMessage, MessageIcon::Information);
    return true;
}

bool DownloadWindowState::DownloadCountsAsRunning(const DownloadList& list) const {
    return parallelInstances() > 0 || !list.检测是否下载列表完毕() || singleTransferRunning() ||
           schedulerRunning();
}

} // namespace peldora
