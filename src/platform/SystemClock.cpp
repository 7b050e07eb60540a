#include "platform/SystemClock.h"

#include <QTime>

namespace peldora {

SystemClock::SystemClock() { m_steady.start(); }

double SystemClock::secondsSinceMidnight() const {
    return QTime::currentTime().msecsSinceStartOfDay() / 1000.0;
}

double SystemClock::elapsedSeconds() const { return m_steady.nsecsElapsed() / 1e9; }

} // namespace peldora
