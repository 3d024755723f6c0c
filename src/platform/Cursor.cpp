// Cursor: SDL system cursors and colour cursors from pictures, made and freed on the main thread.
#include "platform/Cursor.h"

#include "gfx/Image.h"
#include "platform/Application.h"

#include <SDL.h>

#include <algorithm>

namespace mph {

Cursor::Cursor(Shape shape) : m_shape(shape == Shape::kPicture ? Shape::kArrow : shape) {}

Cursor::Cursor(const Image* picture, int32_t hotX, int32_t hotY) : m_shape(Shape::kPicture) {
    if (picture != nullptr && picture->hasPixels()) {
        m_width = picture->getWidth();
        m_height = picture->getHeight();
        m_pixels.assign(picture->getPixels(), picture->getPixels() + static_cast<size_t>(m_width) * m_height);
    }
    m_hotX = std::clamp(hotX, 0, std::max(m_width - 1, 0));
    m_hotY = std::clamp(hotY, 0, std::max(m_height - 1, 0));
}

Cursor::~Cursor() {
    // A cursor made under an earlier start of SDL was freed by SDL when it stopped.
    if (m_native == nullptr || !Application::isInitialized() || m_generation != Application::generation())
        return;
    SDL_Cursor* native = m_native;
    if (Application::isMainThread())
        SDL_FreeCursor(native);
    else
        Application::post(nullptr, [native] { SDL_FreeCursor(native); });
}

Cursor* Cursor::getArrow() {
    static Cursor* arrow = new Cursor(Shape::kArrow);
    return arrow;
}

Cursor* Cursor::getHand() {
    static Cursor* hand = new Cursor(Shape::kHand);
    return hand;
}

SDL_Cursor* Cursor::native() {
    if (m_native != nullptr && m_generation == Application::generation()) return m_native;
    m_native = nullptr;
    m_generation = Application::generation();
    switch (m_shape) {
    case Shape::kArrow:
        m_native = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_ARROW);
        break;
    case Shape::kHand:
        m_native = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_HAND);
        break;
    case Shape::kPicture:
        if (!m_pixels.empty()) {
            SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(m_pixels.data(), m_width, m_height, 32,
                                                                      m_width * 4, SDL_PIXELFORMAT_ARGB8888);
            if (surface != nullptr) {
                m_native = SDL_CreateColorCursor(surface, m_hotX, m_hotY);
                SDL_FreeSurface(surface);
            }
        }
        break;
    }
    return m_native;
}

bool Cursor::apply() {
    if (!Application::isInitialized()) return false;
    SDL_Cursor* cursor = native();
    if (cursor == nullptr) {
        if (this != getArrow()) getArrow()->apply();
        return false;
    }
    if (SDL_GetCursor() != cursor) SDL_SetCursor(cursor);
    return true;
}

} // namespace mph
