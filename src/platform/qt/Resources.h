#pragma once
#include <QIcon>

namespace peldora {
// The program's pictures and sounds live in a static library; this registers them.
void InitResources();
// The icon every window of the program carries: the cover's picture.
QIcon ProgramIcon();
} // namespace peldora
