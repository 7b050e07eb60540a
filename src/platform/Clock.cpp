#include "platform/Clock.h"

namespace peldora {

bool WaitSeconds(const Clock& clock, EventPump& pump, double seconds,
                 const std::function<bool()>& stop) {
    const double start = clock.secondsSinceMidnight();
    while (SecondsBetween(clock.secondsSinceMidnight(), start) < seconds) {
        pump.processEvents();
        if (stop && stop()) return true;
    }
    return false;
}

} // namespace peldora
