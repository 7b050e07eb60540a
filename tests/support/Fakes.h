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

class FakeClock : public Clock {
public:
    double now = 36000; // 10:00:00
    double secondsSinceMidnight() const override { return now; }
    void advance(double seconds) { now += seconds; }
};

// Each pump step moves the fake clock on by `step` seconds and also runs the real Qt event loop
// once (so real pages and sockets make progress), then any hook the test set.
class FakePump : public EventPump {
public:
    explicit FakePump(FakeClock& clock, double step = 0.1) : m_clock(clock), m_step(step) {}
    void processEvents() override;
    std::function<void()> onPump;
    int pumps = 0;
    bool runQtEvents = true;

private:
    FakeClock& m_clock;
    double m_step;
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
