// The registry stand-in. An input starting with "R" is the registry file itself; any other is
// the JSON of one stored value (or, when it is no JSON, its text), kept both as a dword and as
// a text under the emulation key, so the fuzzer reaches the value readers at once.
#include "FuzzSupport.h"
#include "common/Text.h"
#include "tools/BrowserEmulation.h"
#include "tools/Registry.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <QTemporaryDir>
#include <cmath>

using namespace peldora;
using namespace peldora::fuzz;

namespace {

// What a dword read must give for stored data: the 32 bits of a whole number in range.
QString ExpectedDword(const QJsonValue& data) {
    if (!data.isDouble()) return Registry::kError;
    const double d = data.toDouble();
    if (d != std::floor(d) || d < -2147483648.0 || d > 4294967295.0) return Registry::kError;
    return QString::number(qint32(quint32(qint64(d))));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static QTemporaryDir scratch;
    const QString path = scratch.path() + QStringLiteral("/registry.json");
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString key = *Registry::NormalizeKeyPath(kEmulationKey);
    QJsonValue stored;
    QByteArray file;
    if (bytes.startsWith('R')) {
        file = bytes.mid(1);
    } else {
        QJsonParseError error;
        const QJsonDocument doc = QJsonDocument::fromJson("[" + bytes + "]", &error);
        stored = error.error == QJsonParseError::NoError && doc.array().size() == 1
                     ? doc.array().at(0)
                     : QJsonValue(QString::fromUtf8(bytes));
        const QJsonObject values{{"v", QJsonObject{{"type", "dword"}, {"data", stored}}},
                                 {"s", QJsonObject{{"type", "sz"}, {"data", stored}}}};
        file = QJsonDocument(QJsonObject{{"32", QJsonObject{{key, values}}}}).toJson();
    }
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) std::abort();
    f.write(file);
    f.close();

    Registry registry(path, QStringLiteral("32"));
    for (const QString& name : {QStringLiteral("v"), QStringLiteral("s"), QStringLiteral("peldora.exe")}) {
        const QString number = registry.readDword(kEmulationKey, name, QStringLiteral("32"));
        bool ok = false;
        const qint32 value = number.toInt(&ok);
        FUZZ_CHECK(number == Registry::kError || (ok && QString::number(value) == number));
        const QString text = registry.readString(kEmulationKey, name, QStringLiteral("32"));
        FUZZ_CHECK(text == Registry::kError ||
                   (text.size() <= 255 && !text.contains(QChar(u'\0')) && TrimSpaces(text) == text));
    }
    if (!bytes.startsWith('R')) {
        FUZZ_CHECK(registry.readDword(kEmulationKey, QStringLiteral("v"), {}) == ExpectedDword(stored));
        FUZZ_CHECK((registry.readString(kEmulationKey, QStringLiteral("s"), {}) == Registry::kError) ==
                   !stored.isString());
        // A number written is the number read; a deleted value cannot be read.
        const qint32 written = qint32(qHash(bytes));
        FUZZ_CHECK(registry.setDword(kEmulationKey, QStringLiteral("v"), written));
        FUZZ_CHECK(registry.readDword(kEmulationKey, QStringLiteral("v")) == QString::number(written));
        FUZZ_CHECK(Registry(path, QStringLiteral("32")).readDword(kEmulationKey, QStringLiteral("v")) ==
                   QString::number(written));
        FUZZ_CHECK(registry.deleteValue(kEmulationKey, QStringLiteral("v")));
        FUZZ_CHECK(registry.readDword(kEmulationKey, QStringLiteral("v")) == Registry::kError);
    }
    // Key paths: rejected, or a known root followed by a subkey that does not end in "\".
    const QString keyPath = QString::fromUtf8(bytes);
    if (const auto norm = Registry::NormalizeKeyPath(keyPath)) {
        FUZZ_CHECK(norm->startsWith(QStringLiteral("HKEY_")) && !norm->endsWith(u'\\'));
    }
    return 0;
}
