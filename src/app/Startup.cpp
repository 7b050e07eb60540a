#include "app/Startup.h"
#include "app/AppContext.h"
#include "app/SettingsStore.h"
#include "common/DefaultFolders.h"
#include "tools/BrowserEmulation.h"
#include "tools/Registry.h"
#include "tools/WindowsDescription.h"

namespace peldora {

void LoadStartupState(AppContext& ctx) {
    ProgramState& s = ctx.state;
    s.osBitness = DetermineBitness(ctx.system);
    ctx.registry.setSystemBitness(s.osBitness);
    s.windowsDescription = WindowsDescription(ctx.registry, ctx.system) + u'[' + s.osBitness +
                           QStringLiteral("位]");
    s.browserEmulation =
        BrowserEmulation(ctx.registry, ctx.executableName).read(s.osBitness.toInt()).first;
    bool ok = false;
    const double maxSize =
        ctx.settings.ReadSetting(keys::kSettings, keys::kMaxFileSize, QStringLiteral("10"))
            .toDouble(&ok);
    s.maxFileSizeMB = ok ? maxSize : 10;
    s.saveFolder = ctx.settings.ReadSetting(keys::kSettings, keys::kSaveFolder,
                                            DefaultSaveFolder());
}

void WriteDefaultEmulationAtExit(AppContext& ctx) {
    const QString& level = ctx.state.browserEmulation;
    if (level.isEmpty() || level == kDefaultEmulationName)
        BrowserEmulation(ctx.registry, ctx.executableName)
            .write(QStringLiteral("IE11"), 1, ctx.state.osBitness.toInt());
}

} // namespace peldora
