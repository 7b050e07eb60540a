#pragma once
#include <QString>

namespace peldora {

class Registry;
struct SystemFacts;

inline const QString kCurrentVersionKey =
    QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion");

// Puts what the operating system says of itself into the registry's CurrentVersion key, where
// the description below reads it: ProductName and releases from os-release, the kernel as
// BuildLab (there is no update revision number on this system).
void PublishSystemVersion(Registry& registry, const SystemFacts& facts);

// One line: product name, " 版本:", release, " (内部版本:", build part, ")". When there is no
// product name, the kernel names the system instead.
QString WindowsDescription(const Registry& registry, const SystemFacts& facts);

// "64" when the machine reports an x64 system type or this process runs emulated on a 64-bit
// system, else "32".
QString DetermineBitness(const SystemFacts& facts);

} // namespace peldora
