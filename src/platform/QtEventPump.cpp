#include "platform/QtEventPump.h"

#include <QCoreApplication>
#include <QTimer>
#include <cmath>

namespace peldora {

namespace {
constexpr qint64 kEventIntervalNs = 4'000'000;
}

QtEventPump::QtEventPump() = default;

void QtEventPump::processEvents() {
    if (m_sinceEvents.isValid() && m_sinceEvents.nsecsElapsed() < kEventIntervalNs) return;
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    m_sinceEvents.restart();
}

void QtEventPump::waitForEvents(double maxSeconds) {
    // A timer bounds the sleep; any event that arrives first (a socket, a timer, a click) ends it.
    QTimer bound;
    bound.setSingleShot(true);
    bound.setTimerType(Qt::PreciseTimer);
    bound.start(std::max(0, int(std::lround(maxSeconds * 1000))));
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    m_sinceEvents.restart();
}

} // namespace peldora
