#include "common/ShellHelpers.h"
#include "platform/Shell.h"
#include "platform/Sound.h"

namespace peldora {

void OpenInSystemBrowser(Shell& shell, const QString& address, bool useBrowserWindow) {
    Q_UNUSED(useBrowserWindow);
    shell.openAddress(address);
}

void PlaySoundCue(SoundPlayer& sound, int cue) {
    if (cue >= 101 && cue <= 103) sound.play(cue);
}

} // namespace peldora
