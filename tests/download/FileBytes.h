#pragma once
// Bytes of the files the download tests serve and find on disk.
#include <QByteArray>
#include <QFile>
#include <QString>

namespace peldora::test {

// A PDF-looking body of `size` bytes filled with one character.
inline QByteArray Pdf(int size, char fill) {
    QByteArray body = "%PDF-1.4\n";
    body += QByteArray(size - body.size(), fill);
    return body;
}

// A file's bytes, or "<missing>" when it cannot be read.
inline QByteArray Read(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

} // namespace peldora::test
