#pragma once
#include <QJsonObject>
#include <QString>
#include <optional>

namespace peldora {

// A file-backed stand-in for the system registry: keys addressed by a full path of a root name
// ("HKEY_LOCAL_MACHINE", ...), "\" and a subkey path, seen in a "32" or a "64" view. Keys are
// never created by the value operations; a key that does not exist cannot be written to.
// The file is a JSON object {view: {key path: {value name: {"type": "dword"|"sz", "data": ...}}}}.
class Registry {
public:
    // systemBitness answers the view an empty view argument stands for ("32" or "64").
    Registry(QString filePath, QString systemBitness);

    bool setDword(const QString& keyPath, const QString& valueName, qint32 value,
                  const QString& view = {});
    // The number as signed decimal text, or "Error" (also for a stored value that is no whole
    // number of 32 bits).
    QString readDword(const QString& keyPath, const QString& valueName,
                      const QString& view = {}) const;
    // The text up to its first NUL, trimmed (at most 255 characters), or "Error" (also for a
    // stored value that is not text).
    QString readString(const QString& keyPath, const QString& valueName,
                       const QString& view = {}) const;
    bool deleteValue(const QString& keyPath, const QString& valueName, const QString& view = {});

    // What the operating system would have put in place: creates the key and, with a value name,
    // sets a text value in it. Not reachable through the rules above on purpose.
    void ensureKey(const QString& keyPath, const QString& view);
    void setStringForSystem(const QString& keyPath, const QString& valueName, const QString& text,
                            const QString& view);

    void setSystemBitness(const QString& bitness) { m_bitness = bitness; }

    // The canonical "ROOT\subkey" of a full key path, or nullopt when the path is rejected.
    static std::optional<QString> NormalizeKeyPath(const QString& keyPath);

    static inline const QString kError = QStringLiteral("Error");

private:
    QString viewName(const QString& view) const;
    std::optional<QJsonObject> openKey(const QString& keyPath, const QString& view) const;
    void storeKey(const QString& keyPath, const QString& view, const QJsonObject& key);
    void load();
    bool save() const;

    QString m_filePath;
    QString m_bitness;
    QJsonObject m_root;
};

} // namespace peldora
