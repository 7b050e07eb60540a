#pragma once
#include "platform/Clock.h"

#include <QElapsedTimer>

namespace peldora {

// The computer's clock: local time of day, and a monotonic reading for limits.
class SystemClock : public Clock {
public:
    SystemClock();
    double secondsSinceMidnight() const override;
    double elapsedSeconds() const override;

private:
    QElapsedTimer m_steady;
};

} // namespace peldora
