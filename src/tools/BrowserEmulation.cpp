#include "tools/BrowserEmulation.h"
#include "tools/Registry.h"

#include <array>

namespace peldora {

namespace {
struct Level {
    const char16_t* name;
    int standard;
    int forced;
};
constexpr std::array<Level, 5> kLevels = {{
    {u"IE11", 11000, 11001},
    {u"IE10", 10000, 10001},
    {u"IE9", 9000, 9999},
    {u"IE8", 8000, 8888},
    {u"IE7", 7000, 7000},
}};
} // namespace

int EmulationNumber(const QString& levelName, int mode) {
    const QString upper = levelName.toUpper();
    for (const Level& level : kLevels)
        if (upper == QStringView(level.name)) return mode == 2 ? level.forced : level.standard;
    return 0;
}

std::pair<QString, int> EmulationLevel(int number) {
    for (const Level& level : kLevels) {
        // IE7 has one number for both modes; it reads back as mode 1.
        if (number == level.standard) return {QString::fromUtf16(level.name), 1};
        if (number == level.forced) return {QString::fromUtf16(level.name), 2};
    }
    return {kDefaultEmulationName, 1};
}

BrowserEmulation::BrowserEmulation(Registry& registry, QString executableName)
    : m_registry(registry), m_executable(std::move(executableName)) {}

void BrowserEmulation::write(const QString& levelName, int mode, int systemBitness) {
    const int number = EmulationNumber(levelName, mode);
    const bool both = systemBitness == 64;
    m_registry.deleteValue(kEmulationKey, valueName(), QStringLiteral("32"));
    if (both) m_registry.deleteValue(kEmulationKey, valueName(), QStringLiteral("64"));
    if (number == 0) return;
    m_registry.setDword(kEmulationKey, valueName(), number, QStringLiteral("32"));
    if (both) m_registry.setDword(kEmulationKey, valueName(), number, QStringLiteral("64"));
}

std::pair<QString, int> BrowserEmulation::read(int systemBitness) const {
    bool ok32 = false;
    const int n32 =
        m_registry.readDword(kEmulationKey, valueName(), QStringLiteral("32")).toInt(&ok32);
    int number = ok32 ? n32 : 0;
    if (!ok32 && systemBitness == 64) {
        bool ok64 = false;
        const int n64 =
            m_registry.readDword(kEmulationKey, valueName(), QStringLiteral("64")).toInt(&ok64);
        if (ok64) number = n64;
    }
    return EmulationLevel(number);
}

} // namespace peldora
