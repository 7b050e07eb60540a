#pragma once
#include "platform/Shell.h"
#include "platform/Sound.h"

#include <QHash>
#include <memory>

class QSoundEffect;

namespace peldora {

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
