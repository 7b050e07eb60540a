#pragma once
#include "platform/SystemFacts.h"

#include <QString>

namespace peldora {

class Registry;

// Where the registry stand-in lives: beside the settings.
QString DefaultRegistryPath();
// Creates the keys the system would have: the emulation key and the version description.
void PrepareSystemRegistry(Registry& registry, const SystemFacts& facts);

} // namespace peldora
