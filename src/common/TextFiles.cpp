#include "common/TextFiles.h"

#include <QSaveFile>

namespace peldora {

TextWriteResult WriteTextLines(const QString& path, const QStringList& lines) {
    TextWriteResult result;
    QByteArray bytes;
    qsizetype size = 0;
    for (const QString& line : lines) size += line.size() * 3 + 2;
    bytes.reserve(size);
    for (const QString& line : lines) {
        bytes += line.toUtf8();
        bytes += "\r\n";
    }
    QSaveFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::WriteOnly)) {
        result.error = file.errorString();
        return result;
    }
    if (file.write(bytes) != bytes.size() || !file.commit()) {
        result.error = file.errorString();
        file.cancelWriting();
        return result;
    }
    result.ok = true;
    result.bytes = bytes.size();
    return result;
}

} // namespace peldora
