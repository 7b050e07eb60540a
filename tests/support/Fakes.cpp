#include "support/Fakes.h"
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized" // GCC 12 misreads std::optional<QString> moves

#include <QCoreApplication>

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

void FakePump::processEvents() {
    ++pumps;
    m_clock.advance(m_step);
    if (runQtEvents) QCoreApplication::processEvents();
    if (onPump) onPump();
}

} // namespace peldora::test
