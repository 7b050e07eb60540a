#pragma once
#include <QString>

namespace peldora {

// The file extension (without the dot) that a Content-Type names, or the empty text: known
// types from a fixed table, other types by their subtype, cut at its first character that is
// not an ASCII letter or digit and dropped when longer than five characters.
QString MimeTypeToExt(const QString& mimeType);

} // namespace peldora
