// The game's version text, shared by the game (the instructions dialog shows it) and the score service.
#pragma once

namespace mph {

// Written without a leading "v"; the instructions dialog shows "v1.00".
inline constexpr const char* kGameVersion = "1.00";

} // namespace mph
