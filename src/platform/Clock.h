#pragma once
#include <functional>

namespace peldora {

// The program's two readings of time. The time of day is for what is shown or stored; every
// limit and pause measures elapsed time on the steady reading, which neither jumps at midnight
// nor when the system clock is set.
class Clock {
public:
    virtual ~Clock() = default;
    // Seconds since midnight, local time.
    virtual double secondsSinceMidnight() const = 0;
    // Seconds on a monotonic clock with an arbitrary origin.
    virtual double elapsedSeconds() const = 0;
};

// "Process pending window events" inside long-running work.
class EventPump {
public:
    virtual ~EventPump() = default;
    // Handles the events that are waiting and returns at once when there are none.
    virtual void processEvents() = 0;
    // Sleeps until an event arrives or `maxSeconds` pass, then handles what arrived. Loops that
    // wait for something call this, so they neither spin the processor nor delay the event.
    virtual void waitForEvents(double maxSeconds) = 0;
};

// The longest single sleep inside a wait. Whatever a wait waits for changes in an event handler,
// and every event wakes the wait, so this only bounds how long a missed wake-up could delay it.
inline constexpr double kWaitGrainSeconds = 1.0;

// Keeps events flowing until `done` answers true or `seconds` have passed on the steady
// clock; returns whether `done` held. `done` is asked after every wake-up, and once at the end.
bool WaitUntil(const Clock& clock, EventPump& pump, double seconds,
               const std::function<bool()>& done);

// Keeps events flowing for `seconds`; returns true when `stop` ended the wait early.
inline bool WaitSeconds(const Clock& clock, EventPump& pump, double seconds,
                        const std::function<bool()>& stop = {}) {
    return WaitUntil(clock, pump, seconds, stop ? stop : [] { return false; });
}

} // namespace peldora
