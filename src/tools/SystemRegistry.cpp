#include "tools/SystemRegistry.h"
#include "app/SettingsStore.h"
#include "tools/BrowserEmulation.h"
#include "tools/Registry.h"
#include "tools/WindowsDescription.h"

#include <QFileInfo>

namespace peldora {

QString DefaultRegistryPath() {
    return QFileInfo(SettingsStore::DefaultPath()).absolutePath() + QStringLiteral("/registry.json");
}

void PrepareSystemRegistry(Registry& registry, const SystemFacts& facts) {
    registry.ensureKey(kEmulationKey, QStringLiteral("32"));
    registry.ensureKey(kEmulationKey, QStringLiteral("64"));
    PublishSystemVersion(registry, facts);
}

} // namespace peldora
