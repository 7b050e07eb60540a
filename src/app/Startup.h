#pragma once

namespace peldora {

struct AppContext;

// The slow steps of the cover window's load: bitness, system description, emulation level,
// maximum file size and download folder.
void LoadStartupState(AppContext& ctx);

// The exit path's one write: the "IE11" level when no level is set.
void WriteDefaultEmulationAtExit(AppContext& ctx);

} // namespace peldora
