// BuiltinPictures: the game's logo and icon drawn as SVG, for a service that has no container to take
// its pictures from.
#pragma once

#include <string_view>

namespace mph::service {

// 460 by 220, like the container's logo: a row of the game's gems above its name.
extern const std::string_view kBuiltinLogo;
// The window icon: the wildcard's sparkle on a plum tile.
extern const std::string_view kBuiltinIcon;

} // namespace mph::service
