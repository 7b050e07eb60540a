#pragma once

namespace peldora {

// Arranges what the embedded browser needs before the application object exists: without a
// sandbox when running as root (Chromium refuses to start otherwise), without the GPU when there
// is no real display.
void PrepareWebEngineEnvironment();

} // namespace peldora
