#include "platform/QtEventPump.h"

#include <QCoreApplication>
#include <QTimer>
#include <cmath>

namespace peldora {

void QtEventPump::processEvents() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void QtEventPump::waitForEvents(double maxSeconds) {
    // A timer bounds the sleep; any event that arrives first (a socket, a timer, a click) ends it.
    QTimer bound;
    bound.setSingleShot(true);
    bound.setTimerType(Qt::PreciseTimer);
    bound.start(std::max(0, int(std::lround(maxSeconds * 1000))));
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

} // namespace peldora
