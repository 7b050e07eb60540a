#include "common/FileFilter.h"
#include "common/Text.h"

#include <QStringList>

namespace peldora {

namespace {
// "*.htm; *.html" -> "*.htm *.html"; "*.*" -> "*".
QString QtPatterns(const QString& patterns) {
    QStringList out;
    for (const QString& part : patterns.split(u';')) {
        const QString pattern = TrimSpaces(part);
        if (pattern.isEmpty()) continue;
        out << (pattern == QStringLiteral("*.*") ? QStringLiteral("*") : pattern);
    }
    return out.join(u' ');
}
} // namespace

QString QtFileFilter(const QString& filter) {
    if (filter.isEmpty()) return {};
    const QStringList parts = filter.split(u'|');
    QStringList entries;
    for (qsizetype i = 0; i < parts.size(); i += 2) {
        const bool paired = i + 1 < parts.size();
        const QString description = paired ? TrimSpaces(parts.at(i)) : QString();
        const QString patterns = QtPatterns(parts.at(paired ? i + 1 : i));
        if (patterns.isEmpty()) continue;
        entries << (description.isEmpty() ? patterns
                                          : description + QStringLiteral(" (") + patterns + u')');
    }
    return entries.join(QStringLiteral(";;"));
}

} // namespace peldora
