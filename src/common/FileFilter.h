#pragma once
#include <QString>

namespace peldora {

// The file pickers are given filters in the program's form: description and pattern list in
// turn, separated by "|" ("网页|*.htm;*.html|全部|*.*"), patterns separated by ";".
//
// QtFileFilter turns that into Qt's form, "Description (patterns)" entries joined by ";;", with
// a space between patterns and "*.*" as "*" ("网页 (*.htm *.html);;全部 (*)"):
// - descriptions and patterns are trimmed of spaces; empty patterns are dropped;
// - an entry without a description is its bare pattern list, which Qt accepts as is;
// - a last part without a partner is such a pattern list (so a lone "*.txt" still filters);
// - an entry without patterns is dropped; nothing left gives the empty text (all files).
QString QtFileFilter(const QString& filter);

} // namespace peldora
