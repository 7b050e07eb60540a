#include "tools/WindowsDescription.h"
#include "common/Text.h"
#include "platform/SystemFacts.h"
#include "tools/Registry.h"

namespace peldora {

void PublishSystemVersion(Registry& registry, const SystemFacts& facts) {
    for (const QString& view : {QStringLiteral("32"), QStringLiteral("64")}) {
        registry.ensureKey(kCurrentVersionKey, view);
        if (!facts.productName.isEmpty())
            registry.setStringForSystem(kCurrentVersionKey, QStringLiteral("ProductName"),
                                        facts.productName, view);
        if (!facts.release.isEmpty()) {
            registry.setStringForSystem(kCurrentVersionKey, QStringLiteral("CurrentVersion"),
                                        facts.release, view);
            registry.setStringForSystem(kCurrentVersionKey, QStringLiteral("ReleaseId"),
                                        facts.release, view);
        }
        const QString kernel = facts.kernelVersion;
        registry.setStringForSystem(kCurrentVersionKey, QStringLiteral("CurrentBuildNumber"),
                                    kernel.section(u'-', 0, 0), view);
        registry.setStringForSystem(kCurrentVersionKey, QStringLiteral("BuildLab"), kernel, view);
    }
}

QString WindowsDescription(const Registry& registry, const SystemFacts& facts) {
    const auto read = [&](const QString& name) {
        return registry.readString(kCurrentVersionKey, name);
    };
    const QString product = read(QStringLiteral("ProductName"));
    if (product == Registry::kError) {
        // No product name: the kernel version names the system, as a file version would.
        return facts.kernelVersion.isEmpty() ? QStringLiteral("Unknown System Version!")
                                             : QStringLiteral("Linux ") + facts.kernelVersion;
    }
    const QString currentVersion = read(QStringLiteral("CurrentVersion"));
    const QString buildNumber = read(QStringLiteral("CurrentBuildNumber"));
    QString release = read(QStringLiteral("ReleaseId"));
    if (release == Registry::kError) release = currentVersion;
    const QString buildLab = read(QStringLiteral("BuildLab"));
    const QString servicePack = read(QStringLiteral("CSDVersion"));
    const QString ubr = registry.readDword(kCurrentVersionKey, QStringLiteral("UBR"));
    QString build;
    if (ubr != Registry::kError)
        build = buildNumber + u'.' + ubr;
    else if (servicePack != Registry::kError)
        build = buildLab + QStringLiteral(" : ") + servicePack;
    else
        build = buildLab;
    return product + QStringLiteral(" 版本:") + release + QStringLiteral(" (内部版本:") + build +
           u')';
}

QString DetermineBitness(const SystemFacts& facts) {
    QStringList answers;
    for (const QString& type : facts.systemTypes) {
        const QString t = TrimSpaces(type);
        if (!t.isEmpty()) answers << t;
    }
    if (answers.join(u';').contains(QStringLiteral("x64"), Qt::CaseInsensitive))
        return QStringLiteral("64");
    return facts.emulated32On64 ? QStringLiteral("64") : QStringLiteral("32");
}

} // namespace peldora
