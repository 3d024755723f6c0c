// WebAssets: what the pages load beside them: the style sheet, and the game's logo and icon, taken from
// the container the service replays games with, or built-in pictures when it has none.
#pragma once

#include <string>

namespace mph::service {

struct WebAsset {
    std::string contentType;
    std::string body;
    std::string etag;
};

class WebAssets {
public:
    // Reads the pictures from the registered container chain once; call after the game's data loaded.
    WebAssets();

    const WebAsset& style() const { return m_style; }
    const WebAsset& logo() const { return m_logo; }
    const WebAsset& icon() const { return m_icon; }
    // Whether the pictures came from the container (false: the built-in ones).
    bool fromContainer() const { return m_fromContainer; }

private:
    WebAsset m_style, m_logo, m_icon;
    bool m_fromContainer = false;
};

} // namespace mph::service
