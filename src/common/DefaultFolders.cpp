#include "common/DefaultFolders.h"
#include "common/PathSeparator.h"

#include <QDir>

namespace peldora {

QString DefaultSaveFolder() {
    return WithTrailingSep(QDir::toNativeSeparators(QDir::homePath())) + QStringLiteral("12345") +
           QChar(kPathSep);
}

QString FallbackRootFolder() { return WithTrailingSep(QDir::toNativeSeparators(QDir::homePath())); }

} // namespace peldora
