#include "tools/Registry.h"
#include "common/Text.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QSaveFile>
#include <cmath>
#include <limits>

namespace peldora {

namespace {
const QStringList kRoots = {
    QStringLiteral("HKEY_CLASSES_ROOT"),     QStringLiteral("HKEY_CURRENT_USER"),
    QStringLiteral("HKEY_LOCAL_MACHINE"),    QStringLiteral("HKEY_USERS"),
    QStringLiteral("HKEY_PERFORMANCE_DATA"), QStringLiteral("HKEY_CURRENT_CONFIG"),
    QStringLiteral("HKEY_DYN_DATA"),
};
} // namespace

Registry::Registry(QString filePath, QString systemBitness)
    : m_filePath(std::move(filePath)), m_bitness(std::move(systemBitness)) {
    load();
}

std::optional<QString> Registry::NormalizeKeyPath(const QString& keyPath) {
    if (!keyPath.startsWith(QStringLiteral("HKEY_")) || keyPath.endsWith(u'\\')) return {};
    const qsizetype slash = keyPath.indexOf(u'\\');
    const QString root = TrimSpaces(slash < 0 ? keyPath : keyPath.left(slash)).toUpper();
    if (!kRoots.contains(root)) return {};
    const QString subkey = slash < 0 ? QString() : keyPath.mid(slash + 1);
    // Key names are case-insensitive; the stored form is lower case after the root.
    return subkey.isEmpty() ? root : root + u'\\' + subkey.toLower();
}

QString Registry::viewName(const QString& view) const {
    const QString v = view.isEmpty() ? m_bitness : view;
    return v == u"64" ? QStringLiteral("64") : QStringLiteral("32");
}

std::optional<QJsonObject> Registry::openKey(const QString& keyPath, const QString& view) const {
    const auto key = NormalizeKeyPath(keyPath);
    if (!key) return {};
    const QJsonObject keys = m_root.value(viewName(view)).toObject();
    const auto it = keys.constFind(*key);
    if (it == keys.constEnd()) return {};
    return it->toObject();
}

void Registry::storeKey(const QString& keyPath, const QString& view, const QJsonObject& key) {
    const QString v = viewName(view);
    QJsonObject keys = m_root.value(v).toObject();
    keys.insert(*NormalizeKeyPath(keyPath), key);
    m_root.insert(v, keys);
}

bool Registry::setDword(const QString& keyPath, const QString& valueName, qint32 value,
                        const QString& view) {
    auto key = openKey(keyPath, view);
    if (!key) return false;
    key->insert(valueName.toLower(),
                QJsonObject{{QStringLiteral("type"), QStringLiteral("dword")},
                            {QStringLiteral("data"), value}});
    storeKey(keyPath, view, *key);
    return save();
}

QString Registry::readDword(const QString& keyPath, const QString& valueName,
                            const QString& view) const {
    const auto key = openKey(keyPath, view);
    if (!key) return kError;
    const QJsonObject value = key->value(valueName.toLower()).toObject();
    if (value.value(QStringLiteral("type")).toString() != u"dword") return kError;
    // Only a whole number that fits in 32 bits is a dword; text, fractions and wider numbers
    // cannot be read. The unsigned form reads as the same 32 bits.
    const QJsonValue data = value.value(QStringLiteral("data"));
    if (!data.isDouble()) return kError;
    const double d = data.toDouble();
    if (d != std::floor(d) || d < double(std::numeric_limits<qint32>::min()) ||
        d > double(std::numeric_limits<quint32>::max()))
        return kError;
    return QString::number(static_cast<qint32>(static_cast<quint32>(static_cast<qint64>(d))));
}

QString Registry::readString(const QString& keyPath, const QString& valueName,
                             const QString& view) const {
    const auto key = openKey(keyPath, view);
    if (!key) return kError;
    const QJsonObject value = key->value(valueName.toLower()).toObject();
    if (value.value(QStringLiteral("type")).toString() != u"sz") return kError;
    const QJsonValue data = value.value(QStringLiteral("data"));
    if (!data.isString()) return kError;
    QString text = data.toString().left(255);
    const qsizetype nul = text.indexOf(QChar(u'\0'));
    if (nul >= 0) text.truncate(nul);
    return TrimSpaces(text);
}

bool Registry::deleteValue(const QString& keyPath, const QString& valueName,
                           const QString& view) {
    auto key = openKey(keyPath, view);
    if (!key || !key->contains(valueName.toLower())) return false;
    key->remove(valueName.toLower());
    storeKey(keyPath, view, *key);
    return save();
}

void Registry::ensureKey(const QString& keyPath, const QString& view) {
    if (!NormalizeKeyPath(keyPath) || openKey(keyPath, view)) return;
    storeKey(keyPath, view, QJsonObject());
    save();
}

void Registry::setStringForSystem(const QString& keyPath, const QString& valueName,
                                  const QString& text, const QString& view) {
    if (!NormalizeKeyPath(keyPath)) return;
    QJsonObject key = openKey(keyPath, view).value_or(QJsonObject());
    key.insert(valueName.toLower(), QJsonObject{{QStringLiteral("type"), QStringLiteral("sz")},
                                                {QStringLiteral("data"), text}});
    storeKey(keyPath, view, key);
}

void Registry::load() {
    QFile file(m_filePath);
    if (!file.open(QIODevice::ReadOnly)) return;
    const QJsonDocument doc = QJsonDocument::fromJson(file.readAll());
    if (doc.isObject()) m_root = doc.object();
}

bool Registry::save() const {
    QDir().mkpath(QFileInfo(m_filePath).absolutePath());
    QSaveFile file(m_filePath);
    if (!file.open(QIODevice::WriteOnly)) return false;
    file.write(QJsonDocument(m_root).toJson());
    return file.commit();
}

} // namespace peldora
