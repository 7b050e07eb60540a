#pragma once
#include <QString>
#include <QStringList>

namespace peldora {

// The outcome of writing a text file: whether the file is now in place, its size, and the
// system's description of what went wrong.
struct TextWriteResult {
    bool ok = false;
    qint64 bytes = 0;
    QString error;
};

// Writes the lines as UTF-8, each ended by CR LF. The file is written aside and put in place
// only when everything was written, so a failed write leaves an earlier file of that name as
// it was.
TextWriteResult WriteTextLines(const QString& path, const QStringList& lines);

} // namespace peldora
