#include "support/Fakes.h"
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized" // GCC 12 misreads std::optional<QString> moves

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QTimer>
#include <algorithm>
#include <cmath>

namespace peldora::test {

namespace {
template <typename T> T PopFront(std::deque<T>& queue, T fallback) {
    if (queue.empty()) return fallback;
    T value = std::move(queue.front());
    queue.pop_front();
    return value;
}
} // namespace

MessageAnswer FakeDialogs::messageBox(const QString& text, MessageIcon icon,
                                      MessageButtons buttons, const QString& title) {
    const ShownMessage shown{text, icon, buttons, title};
    messages << shown;
    if (onMessage) onMessage(shown);
    const bool asks = buttons == MessageButtons::YesNo || buttons == MessageButtons::YesNoCancel;
    return PopFront(messageAnswers, asks ? MessageAnswer::Yes : MessageAnswer::Ok);
}

std::optional<QString> FakeDialogs::inputBox(const QString& prompt, const QString&,
                                             const QString&) {
    inputPrompts << prompt;
    return PopFront(inputAnswers, std::optional<QString>());
}

QString FakeDialogs::openFile(const QString&, const QString&, const QString&) {
    return PopFront(fileAnswers, QString());
}

QString FakeDialogs::saveFile(const QString& title, const QString& filter, const QString& initial) {
    return openFile(title, filter, initial);
}

std::optional<QString> FakeDialogs::browseFolder(const QString&, const QString& startFolder,
                                                 bool) {
    browseStarts << startFolder;
    return PopFront(folderAnswers, std::optional<QString>());
}

QStringList FakeDialogs::messageTexts() const {
    QStringList out;
    for (const auto& m : messages) out << m.text;
    return out;
}

void FakeClock::advance(double seconds) {
    steady += seconds;
    now = std::fmod(now + seconds, 86400.0);
}

bool FakePump::runWaitingEvents() {
    if (!runQtEvents) return false;
    QCoreApplication::sendPostedEvents();
    QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
    bool any = false;
    // Bounded: a zero-interval timer would otherwise keep this busy for ever.
    for (int i = 0; i < 100 && dispatcher && dispatcher->processEvents(QEventLoop::AllEvents); ++i)
        any = true;
    return any;
}

void FakePump::processEvents() {
    ++pumps;
    runWaitingEvents();
    if (onPump) onPump();
}

void FakePump::waitForEvents(double maxSeconds) {
    ++pumps;
    bool any = runWaitingEvents();
    if (!any && runQtEvents && realWaitMs > 0) {
        bool bounded = false;
        QTimer bound;
        bound.setSingleShot(true);
        QObject::connect(&bound, &QTimer::timeout, [&bounded] { bounded = true; });
        bound.start(realWaitMs);
        QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
        while (!bounded && !any)
            any = dispatcher->processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents) &&
                  !bounded;
    }
    if (!any) m_clock.advance(std::min(maxSeconds, maxIdleStep));
    if (onPump) onPump();
}

} // namespace peldora::test
