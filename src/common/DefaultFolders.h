#pragma once
#include <QString>

namespace peldora {

// The download folder of a first run: "12345" in the home folder.
QString DefaultSaveFolder();
// The folder that stands in for the system drive's root where a dialog needs a fallback.
QString FallbackRootFolder();

} // namespace peldora
