#pragma once
#include <QString>
#include <utility>

namespace peldora {

class Registry;

inline const QString kEmulationKey = QStringLiteral(
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Internet Explorer\\MAIN\\FeatureControl\\"
    "FEATURE_BROWSER_EMULATION");
inline const QString kDefaultEmulationName = QStringLiteral("IE默认");

// The stored number of an emulation level ("IE11" ... "IE7", compared in upper case) in mode 1
// (standard) or 2 (forced); 0 for a name outside the table.
int EmulationNumber(const QString& levelName, int mode);
// The level and mode a stored number stands for; "IE默认" with mode 1 for any other number.
std::pair<QString, int> EmulationLevel(int number);

// The emulation level of the embedded browser, one 32-bit value named after the executable
// ("peldora.exe") in the 32-bit view and, on a 64-bit system, the 64-bit view too.
class BrowserEmulation {
public:
    BrowserEmulation(Registry& registry, QString executableName);

    // Replaces the value in every view; a name outside the table only removes it.
    void write(const QString& levelName, int mode, int systemBitness);
    // Returns {level name, mode}.
    std::pair<QString, int> read(int systemBitness) const;

private:
    QString valueName() const { return m_executable + QStringLiteral(".exe"); }
    Registry& m_registry;
    QString m_executable;
};

} // namespace peldora
