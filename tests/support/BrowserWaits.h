#pragma once
// Waiting for a real browser's page in tests and benchmarks.
#include "platform/Browser.h"

#include <QDeadlineTimer>
#include <QSignalSpy>
#include <functional>

namespace peldora::test {

// Runs `start` and waits until the browser reports `address` complete; a window on its way to
// its start page reports about:blank first. False on timeout.
inline bool OpenAndWait(Browser& browser, const QString& address,
                        const std::function<void()>& start, int timeoutMs = 20000) {
    QSignalSpy loaded(&browser, &Browser::documentComplete);
    start();
    QDeadlineTimer deadline(timeoutMs);
    const auto arrived = [&] {
        return !loaded.isEmpty() && loaded.last().value(0).toString() == address;
    };
    while (!arrived() && !deadline.hasExpired())
        loaded.wait(int(std::max<qint64>(1, deadline.remainingTime())));
    return arrived();
}

} // namespace peldora::test
