#pragma once
#include "common/DomSnapshot.h"

#include <QString>

namespace peldora {

// The scripts the embedded browser runs in its page to read and drive the document. They run in
// the program's own script world (the page's scripts cannot see or replace them) and address
// elements by their index in document order, as DomSnapshot numbers them.

// Returns the JSON text DomSnapshot::FromJson reads; innerText only for the requested elements.
// Keeps the element list for the click and value scripts that follow.
QString DomSnapshotScript(const DomTextRequest& text);
// Return true when the element existed.
QString DomClickScript(int elementIndex);
QString DomSetValueScript(int elementIndex, const QString& value);
// The root element's outer HTML, or the empty text.
QString DomOuterHtmlScript();

} // namespace peldora
