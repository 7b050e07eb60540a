#pragma once
#include <QString>

namespace peldora {

// Trimming in this program removes leading and trailing U+0020 only; tabs, non-breaking spaces
// and line breaks stay.
QString TrimSpaces(const QString& text);

// Case-insensitive comparisons compare lower-case forms.
inline bool EqualsNoCase(const QString& a, const QString& b) { return a.toLower() == b.toLower(); }

} // namespace peldora
