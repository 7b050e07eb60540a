#include "platform/SystemFacts.h"

#include <QFile>
#include <QSysInfo>

namespace peldora {

namespace {

QString Unquote(QString value) {
    value = value.trimmed();
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
        value.back() == value.front())
        value = value.mid(1, value.size() - 2);
    return value;
}

} // namespace

SystemFacts ReadSystemFacts(const QString& osReleasePath) {
    SystemFacts facts;
    const QString kernelArch = QSysInfo::currentCpuArchitecture();
    facts.systemTypes << (kernelArch.contains(QStringLiteral("64")) ? QStringLiteral("x64-based PC")
                                                                    : QStringLiteral("X86-based PC"));
    facts.emulated32On64 = QSysInfo::WordSize == 32 && kernelArch.contains(QStringLiteral("64"));
    facts.kernelVersion = QSysInfo::kernelVersion();

    QFile file(osReleasePath);
    if (file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        QString name;
        while (!file.atEnd()) {
            const QString line = QString::fromUtf8(file.readLine()).trimmed();
            const qsizetype eq = line.indexOf(u'=');
            if (eq <= 0) continue;
            const QString key = line.left(eq);
            const QString value = Unquote(line.mid(eq + 1));
            if (key == u"PRETTY_NAME") facts.productName = value;
            else if (key == u"NAME") name = value;
            else if (key == u"VERSION_ID") facts.release = value;
        }
        if (facts.productName.isEmpty()) facts.productName = name;
    }
    return facts;
}

} // namespace peldora
