#include "platform/Clock.h"

#include <algorithm>

namespace peldora {

bool WaitUntil(const Clock& clock, EventPump& pump, double seconds,
               const std::function<bool()>& done) {
    const double start = clock.elapsedSeconds();
    for (;;) {
        if (done()) return true;
        const double left = seconds - (clock.elapsedSeconds() - start);
        if (left <= 0) return false;
        pump.waitForEvents(std::min(left, kWaitGrainSeconds));
    }
}

} // namespace peldora
