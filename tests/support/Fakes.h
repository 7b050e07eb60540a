#pragma once
// Fakes for the platform interfaces: scripted dialogs, a clock that only moves when told (or when
// the pump runs), and recording shell and sound.
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/Shell.h"
#include "platform/Sound.h"

#include <QList>
#include <QStringList>
#include <deque>
#include <functional>

namespace peldora::test {

struct ShownMessage {
    QString text;
    MessageIcon icon;
    MessageButtons buttons;
    QString title;
};

class FakeDialogs : public Dialogs {
public:
    // Answers given in order; when they run out, Ok/Yes/cancel-of-inputs are used.
    std::deque<MessageAnswer> messageAnswers;
    std::deque<std::optional<QString>> inputAnswers;
    std::deque<QString> fileAnswers;
    std::deque<std::optional<QString>> folderAnswers;
    // Called for every message box before it answers (a test can act "while it is shown").
    std::function<void(const ShownMessage&)> onMessage;

    QList<ShownMessage> messages;
    QStringList inputPrompts;
    QStringList browseStarts;

    MessageAnswer messageBox(const QString& text, MessageIcon icon, MessageButtons buttons,
                             const QString& title) override;
    std::optional<QString> inputBox(const QString& prompt, const QString& title,
                                    const QString& defaultText) override;
    QString openFile(const QString& title, const QString& filter,
                     const QString& initialPath) override;
    QString saveFile(const QString& title, const QString& filter,
                     const QString& initialPath) override;
    std::optional<QString> browseFolder(const QString& title, const QString& startFolder,
                                        bool includeFiles) override;

    QStringList messageTexts() const;
};

// A clock that moves only when the test moves it, or when the fake pump waits with nothing to
// do. Its time of day wraps at midnight as a real one does; the steady reading never jumps.
class FakeClock : public Clock {
public:
    double now = 36000;   // time of day: 10:00:00
    double steady = 1000; // elapsed seconds since an arbitrary origin
    double secondsSinceMidnight() const override { return now; }
    double elapsedSeconds() const override { return steady; }
    void advance(double seconds);
};

// processEvents runs the real Qt events that are waiting and leaves time alone. waitForEvents
// runs them too; when none were waiting it waits up to realWaitMs of real time for one (a local
// server's socket), and when still nothing came, the wait is over: the fake clock moves on by
// the time the caller was prepared to wait (at most maxIdleStep). So limits of minutes pass in microseconds, while a
// real request that is still talking never looks stalled. Every call ends with onPump.
class FakePump : public EventPump {
public:
    explicit FakePump(FakeClock& clock) : m_clock(clock) {}
    void processEvents() override;
    void waitForEvents(double maxSeconds) override;
    std::function<void()> onPump;
    int pumps = 0;
    bool runQtEvents = true;
    // Real time an idle wait gives real sockets before fake time moves on; 0 for tests without
    // a real peer.
    int realWaitMs = 0;
    // The most fake time one idle wait lets pass: small enough for a test's onPump to act in
    // the middle of a wait, large enough that minutes of limits take few calls.
    double maxIdleStep = 0.125; // a binary fraction: sums of it stay exact

private:
    bool runWaitingEvents();
    FakeClock& m_clock;
};

class FakeShell : public Shell {
public:
    QStringList opened; // "kind:target"
    bool answer = true;
    bool openFile(const QString& p) override { return record(QStringLiteral("file:") + p); }
    bool openFolder(const QString& p) override { return record(QStringLiteral("folder:") + p); }
    bool showFileInFolder(const QString& p) override { return record(QStringLiteral("select:") + p); }
    bool openAddress(const QString& a) override { return record(QStringLiteral("address:") + a); }
    bool openMail(const QString& a) override { return record(QStringLiteral("mail:") + a); }
    bool openInTextEditor(const QString& p) override { return record(QStringLiteral("editor:") + p); }

private:
    bool record(const QString& what) {
        opened << what;
        return answer;
    }
};

class FakeSound : public SoundPlayer {
public:
    QList<int> played;
    void play(int cue) override { played << cue; }
};

} // namespace peldora::test
