#pragma once
#include "platform/Clock.h"
#include "platform/Shell.h"
#include "platform/Sound.h"

#include <QHash>
#include <memory>

class QSoundEffect;

namespace peldora {

class QtClock : public Clock {
public:
    double secondsSinceMidnight() const override;
};

// Processes window events for a few milliseconds at a time, so waits keep the windows alive
// without spinning the processor.
class QtEventPump : public EventPump {
public:
    void processEvents() override;
};

class QtShell : public Shell {
public:
    bool openFile(const QString& path) override;
    bool openFolder(const QString& path) override;
    bool showFileInFolder(const QString& path) override;
    bool openAddress(const QString& address) override;
    bool openMail(const QString& address) override;
    bool openInTextEditor(const QString& path) override;
};

// The cues come from the program's resources; where there is no audio device they are silent.
class QtSoundPlayer : public SoundPlayer {
public:
    QtSoundPlayer();
    ~QtSoundPlayer() override;
    void play(int cue) override;

private:
    QHash<int, QSoundEffect*> m_effects;
};

} // namespace peldora
