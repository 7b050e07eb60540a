#pragma once
#include "app/AppContext.h"
#include "app/SettingsStore.h"
#include "platform/qt/QtDialogs.h"
#include "platform/QtEventPump.h"
#include "platform/SystemClock.h"
#include "platform/qt/QtPlatform.h"
#include "tools/Registry.h"

#include <memory>

namespace peldora {

class DownloadNetwork;

// The real services of a run, and the context that hands them to the windows.
class ProgramServices {
public:
    ProgramServices();
    ~ProgramServices();
    AppContext& context() { return *m_context; }

private:
    SettingsStore m_settings;
    Registry m_registry;
    QtDialogs m_dialogs;
    SystemClock m_clock;
    QtEventPump m_pump;
    QtShell m_shell;
    QtSoundPlayer m_sound;
    // The downloads' network, one session with the embedded browsers.
    std::unique_ptr<DownloadNetwork> m_network;
    std::unique_ptr<AppContext> m_context;
};

} // namespace peldora
