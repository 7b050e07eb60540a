#pragma once
#include "app/ProgramState.h"
#include "platform/SystemFacts.h"

#include <QString>
#include <functional>

namespace peldora {

class SettingsStore;
class Registry;
class Dialogs;
class Clock;
class EventPump;
class Shell;
class SoundPlayer;
class DownloadNetwork;

// Everything a window or procedure reaches outside itself: the stores, the platform services and
// the program-wide state. Tests build one from fakes.
struct AppContext {
    SettingsStore& settings;
    Registry& registry;
    Dialogs& dialogs;
    Clock& clock;
    EventPump& pump;
    Shell& shell;
    SoundPlayer& sound;
    SystemFacts system;
    QString dataFolder;      // where the program keeps its own files (SaveList.dat)
    QString executableName;  // names the browser-emulation value
    ProgramState state;
    // Ends the program at once, without any window's close handling.
    std::function<void()> endProgram;
    // Window hand-offs between the main windows, set by app/ui/MainWindows: show the cover
    // again, open (create if needed, then show) the search window or the download window.
    std::function<void()> showCover;
    std::function<void()> openSearchWindow;
    std::function<void()> openDownloadWindow;
    // The network side of the downloads (managers, shared cookie jar, proxy), when one exists.
    DownloadNetwork* network = nullptr;
};

} // namespace peldora
