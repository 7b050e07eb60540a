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
class MainWindowSwitch;
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
    // The hand-offs between the main windows; none until app/ui/MainWindows exists.
    MainWindowSwitch* windows = nullptr;
    // The network side of the downloads (managers, shared cookie jar, proxy), when one exists.
    DownloadNetwork* network = nullptr;
};

} // namespace peldora
