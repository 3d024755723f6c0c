// BuiltinPictures: the pictures' SVG text, in the palette of the game's data.
#include "service/BuiltinPictures.h"

namespace mph::service {

const std::string_view kBuiltinLogo =
    R"svg(<svg xmlns="http://www.w3.org/2000/svg" width="460" height="220" viewBox="0 0 460 220">
<defs>
<radialGradient id="shine" cx="0.35" cy="0.3" r="0.75"><stop offset="0" stop-color="#fff" stop-opacity="0.7"/><stop offset="0.45" stop-color="#fff" stop-opacity="0"/></radialGradient>
<linearGradient id="name" x1="0" y1="0" x2="0" y2="1"><stop offset="0" stop-color="#fff4e0"/><stop offset="1" stop-color="#ffd9a0"/></linearGradient>
<linearGradient id="wild" x1="0" y1="0" x2="1" y2="1"><stop offset="0" stop-color="#8cffb3"/><stop offset="0.5" stop-color="#fff"/><stop offset="1" stop-color="#ff80bf"/></linearGradient>
</defs>
<g stroke="#140b26" stroke-width="2">
<circle cx="106" cy="66" r="18" fill="#ff6b6b"/><circle cx="168" cy="66" r="18" fill="#2ec4b6"/>
<circle cx="292" cy="66" r="18" fill="#ffc857"/><circle cx="354" cy="66" r="18" fill="#7044b0"/>
<path d="M230 30 C233 56 240 63 266 66 C240 69 233 76 230 102 C227 76 220 69 194 66 C220 63 227 56 230 30Z" fill="url(#wild)"/>
</g>
<g fill="url(#shine)"><circle cx="106" cy="66" r="18"/><circle cx="168" cy="66" r="18"/><circle cx="292" cy="66" r="18"/><circle cx="354" cy="66" r="18"/></g>
<g font-family="Liberation Sans, Arial, Helvetica, sans-serif" font-size="72" font-weight="bold" text-anchor="middle">
<text x="230" y="177" fill="#26050a" fill-opacity="0.8">Morphella</text>
<text x="230" y="172" fill="url(#name)">Morphella</text>
</g>
</svg>
)svg";

const std::string_view kBuiltinIcon =
    R"svg(<svg xmlns="http://www.w3.org/2000/svg" width="64" height="64" viewBox="0 0 64 64">
<defs>
<linearGradient id="tile" x1="0" y1="0" x2="0" y2="1"><stop offset="0" stop-color="#8763c0"/><stop offset="1" stop-color="#3a1f5d"/></linearGradient>
<linearGradient id="wild" x1="0" y1="0" x2="1" y2="1"><stop offset="0" stop-color="#8cffb3"/><stop offset="0.5" stop-color="#fff"/><stop offset="1" stop-color="#ff80bf"/></linearGradient>
</defs>
<rect x="2" y="2" width="60" height="60" rx="14" fill="url(#tile)" stroke="#140b26" stroke-width="2"/>
<path d="M32 7 C34 25 39 30 57 32 C39 34 34 39 32 57 C30 39 25 34 7 32 C25 30 30 25 32 7Z" fill="url(#wild)" stroke="#140b26" stroke-width="1.5"/>
</svg>
)svg";

} // namespace mph::service
