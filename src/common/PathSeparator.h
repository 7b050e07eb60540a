#pragma once
#include <QChar>
#include <QString>

namespace peldora {

// Every path the program builds or splits uses this one separator, the native one of the system.
#ifdef Q_OS_WIN
inline constexpr char16_t kPathSep = u'\\';
#else
inline constexpr char16_t kPathSep = u'/';
#endif

inline QString PathSepText() { return QString(QChar(kPathSep)); }

// Appends the separator when the text does not already end with it.
inline QString WithTrailingSep(const QString& path) {
    return path.endsWith(QChar(kPathSep)) ? path : path + QChar(kPathSep);
}

} // namespace peldora
