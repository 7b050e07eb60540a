#pragma once
#include "platform/Clock.h"

#include <QElapsedTimer>

namespace peldora {

// The event pump of the running application's thread. Work that pumps after every row or chunk
// calls processEvents thousands of times a second; the windows are kept alive at most every few
// milliseconds, which nobody sees, instead of repainting after every call.
class QtEventPump : public EventPump {
public:
    QtEventPump();
    void processEvents() override;
    void waitForEvents(double maxSeconds) override;

private:
    QElapsedTimer m_sinceEvents;
};

} // namespace peldora
