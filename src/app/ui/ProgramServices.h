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

// The real services of a run, and the context that hands them to the windows.
class ProgramServices {
public:
    ProgramServices();
    AppContext& context() { return *m_context; }

private:
    SettingsStore m_settings;
    Registry m_registry;
    QtDialogs m_dialogs;
    SystemClock m_clock;
    QtEventPump m_pump;
    QtShell m_shell;
    QtSoundPlayer m_sound;
    std::unique_ptr<AppContext> m_context;
};

} // namespace peldora
