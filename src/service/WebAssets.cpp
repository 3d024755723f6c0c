// WebAssets: reading the container's pictures and telling their type by their first bytes.
#include "service/WebAssets.h"

#include "io/Resources.h"
#include "service/BuiltinPictures.h"
#include "service/EntityTag.h"
#include "service/WebStyle.h"

#include <string_view>

namespace mph::service {

namespace {

WebAsset asset(std::string contentType, std::string_view body) {
    return WebAsset{std::move(contentType), std::string(body), EntityTag::of(EntityTag::hash(body))};
}

// The picture's type, or "" for bytes no browser would show as a picture.
const char* pictureType(std::string_view bytes) {
    if (bytes.substr(0, 8) == std::string_view("\x89PNG\r\n\x1a\n", 8)) return "image/png";
    if (bytes.substr(0, 3) == "\xff\xd8\xff") return "image/jpeg";
    if (bytes.substr(0, 4) == "GIF8") return "image/gif";
    return "";
}

// The container's item name as a picture, or false when the chain has no such picture.
bool containerPicture(const char* name, WebAsset& out) {
    if (!resourceChain()) return false;
    lang::Ref<ResourceItem> item = findItem(lang::String(name));
    if (!item || item->getLength() <= 0) return false;
    const std::string_view bytes(reinterpret_cast<const char*>(item->getData()),
                                 static_cast<size_t>(item->getLength()));
    const char* type = pictureType(bytes);
    if (*type == '\0') return false;
    out = asset(type, bytes);
    return true;
}

} // namespace

WebAssets::WebAssets() {
    m_style = asset("text/css; charset=utf-8", kWebStyle);
    m_fromContainer = containerPicture("logo", m_logo) && containerPicture("icon", m_icon);
    if (!m_fromContainer) {
        m_logo = asset("image/svg+xml", kBuiltinLogo);
        m_icon = asset("image/svg+xml", kBuiltinIcon);
    }
}

} // namespace mph::service
