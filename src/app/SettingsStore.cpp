#include "app/SettingsStore.h"

#include <QSettings>
#include <QStandardPaths>

namespace peldora {

namespace {
// QSettings reads "a/b" as a group path; the store's names are flat, so "/" and "\" are kept
// inside one name.
QString FlatName(QString name) {
    name.replace(u'\\', QStringLiteral("%5C"));
    name.replace(u'/', QStringLiteral("%2F"));
    return name;
}
QString Address(const QString& section, const QString& key) {
    return SettingsStore::kApplication + u'/' + FlatName(section) + u'/' + FlatName(key);
}
} // namespace

SettingsStore::SettingsStore(const QString& iniPath)
    : m_settings(std::make_unique<QSettings>(iniPath, QSettings::IniFormat)) {}

SettingsStore::~SettingsStore() = default;

QString SettingsStore::DefaultPath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Peldora/Peldora.ini");
}

QString SettingsStore::ReadSetting(const QString& section, const QString& key,
                                   const QVariant& defaultValue) const {
    const QVariant value = m_settings->value(Address(section, key));
    if (!value.isValid()) return defaultValue.toString();
    return value.toString();
}

void SettingsStore::WriteSetting(const QString& section, const QString& key,
                                 const QVariant& value) {
    m_settings->setValue(Address(section, key), value.toString());
    m_settings->sync();
}

QString NumberText(double value) { return QString::number(value, 'g', 15); }

} // namespace peldora
