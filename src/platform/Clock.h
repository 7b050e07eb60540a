#pragma once
#include <functional>

namespace peldora {

// The time of day, in seconds since midnight, as the program's waits and pauses read it.
class Clock {
public:
    virtual ~Clock() = default;
    virtual double secondsSinceMidnight() const = 0;
};

// "Process pending window events" inside long-running work.
class EventPump {
public:
    virtual ~EventPump() = default;
    virtual void processEvents() = 0;
};

// Time between two readings of the clock, compared by absolute difference as the program does
// everywhere (a wait that runs across midnight ends early rather than never).
inline double SecondsBetween(double a, double b) { return a > b ? a - b : b - a; }

// Keeps events flowing until `seconds` have passed or `stop` answers true; returns true when it
// was stopped.
bool WaitSeconds(const Clock& clock, EventPump& pump, double seconds,
                 const std::function<bool()>& stop = {});

} // namespace peldora
