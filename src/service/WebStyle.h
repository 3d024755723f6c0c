// WebStyle: the style sheet of the service's pages, in the game's palette: jewel tones on deep plum with
// gold trim; one column on a phone, the two tables side by side on a wide screen.
#pragma once

#include <string_view>

namespace mph::service {

extern const std::string_view kWebStyle;

} // namespace mph::service
