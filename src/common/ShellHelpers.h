#pragma once
#include <QString>

namespace peldora {

class Shell;
class SoundPlayer;

// Shows an address outside the program, in the desktop's browser. The desktop has one way to
// do this, so useBrowserWindow only matters where a platform offers a separate browser window.
void OpenInSystemBrowser(Shell& shell, const QString& address, bool useBrowserWindow);

// Plays cue 101, 102 or 103 without waiting; other numbers and missing audio stay silent.
void PlaySoundCue(SoundPlayer& sound, int cue);

} // namespace peldora
