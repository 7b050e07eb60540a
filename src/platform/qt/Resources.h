#pragma once

namespace peldora {
// The program's pictures and sounds live in a static library; this registers them.
void InitResources();
} // namespace peldora
