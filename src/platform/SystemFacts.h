#pragma once
#include <QString>
#include <QStringList>

namespace peldora {

// What the program asks of the operating system at start-up.
struct SystemFacts {
    QStringList systemTypes;    // e.g. "x64-based PC"; what the machine reports of itself
    bool emulated32On64 = false; // a 32-bit build running on a 64-bit system
    QString productName;        // e.g. "Debian GNU/Linux 12 (bookworm)"; empty when unknown
    QString release;            // e.g. "12"
    QString kernelVersion;      // e.g. "6.1.0-18-amd64"
};

// Reads the facts of this machine (os-release, the kernel, the build).
SystemFacts ReadSystemFacts(const QString& osReleasePath = QStringLiteral("/etc/os-release"));

} // namespace peldora
