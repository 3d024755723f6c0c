// The game's version text, shared by the programs (--version), the instructions dialog, recorded games
// and the score service. The build defines it from the project's release number.
#pragma once

#ifndef MPH_VERSION
#error "MPH_VERSION is defined by the build (the project's release number)"
#endif

namespace mph {

// Written without a leading "v"; the instructions dialog shows "v1.00".
inline constexpr const char* kGameVersion = MPH_VERSION;

} // namespace mph
