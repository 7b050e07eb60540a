#pragma once
#include "platform/Clock.h"

namespace peldora {

// The event pump of the running application's thread.
class QtEventPump : public EventPump {
public:
    void processEvents() override;
    void waitForEvents(double maxSeconds) override;
};

} // namespace peldora
