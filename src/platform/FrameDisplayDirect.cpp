// FrameDisplay: presenting by copying the pictures straight into the window's own buffer.
#include "platform/FrameDisplay.h"

#include "platform/Frame.h"

#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace mph {

namespace {

bool sameFit(const PictureFit& a, const PictureFit& b) {
    return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height && a.whole == b.whole &&
           a.smoothed == b.smoothed;
}

// The window's buffer holds the picture's pixels as they are when it stores 32-bit colours in the same
// places (its fourth byte is never shown).
bool takesPicturePixels(const SDL_Surface* surface) {
    const SDL_PixelFormat* f = surface->format;
    return f->BytesPerPixel == 4 && f->Rmask == 0x00FF0000u && f->Gmask == 0x0000FF00u && f->Bmask == 0x000000FFu;
}

void reportOnce(bool& reported, const char* what) {
    if (reported) return;
    reported = true;
    std::fprintf(stderr, "morphella: %s: %s\n", what, SDL_GetError());
}

} // namespace

bool FrameDisplay::openDirect() {
    // Only when the program draws in software anyway: a renderer the environment asked for is used as
    // such, and a window buffer backed by one would bring the same GL libraries in.
    const char* driver = SDL_GetHint(SDL_HINT_RENDER_DRIVER);
    if (driver == nullptr || SDL_strcasecmp(driver, "software") != 0) return false;
    if (SDL_GetHintBoolean(SDL_HINT_FRAMEBUFFER_ACCELERATION, SDL_FALSE)) return false;
    SDL_Surface* out = SDL_GetWindowSurface(m_window);
    return out != nullptr && takesPicturePixels(out);
}

void FrameDisplay::putDirect(const uint32_t* source, int32_t strideBytes, const lang::Rectangle& area) {
    SDL_Surface* target = m_target;
    if (target == nullptr || target->pixels == nullptr) return;
    const int32_t k = m_targetScale;
    // Cut to the target, which a present sizes to hold the whole enlarged picture.
    const int32_t columns = std::min(area.width, (target->w - m_targetX) / k - area.x);
    const int32_t rows = std::min(area.height, (target->h - m_targetY) / k - area.y);
    if (columns <= 0 || rows <= 0 || area.x < 0 || area.y < 0) return;
    auto* base = static_cast<uint8_t*>(target->pixels);
    const size_t rowBytes = static_cast<size_t>(columns) * k * 4;
    for (int32_t y = 0; y < rows; ++y) {
        const uint32_t* from =
            reinterpret_cast<const uint32_t*>(reinterpret_cast<const uint8_t*>(source) + size_t(y) * strideBytes);
        uint8_t* line = base + size_t(m_targetY + (area.y + y) * k) * target->pitch;
        auto* to = reinterpret_cast<uint32_t*>(line) + m_targetX + area.x * k;
        if (k == 1) {
            std::memcpy(to, from, rowBytes);
            continue;
        }
        // Nearest neighbour: each pixel k times along the row, then the row k times.
        for (int32_t x = 0; x < columns; ++x)
            std::fill_n(to + x * k, k, from[x]);
        for (int32_t again = 1; again < k; ++again)
            std::memcpy(line + size_t(again) * target->pitch + (m_targetX + area.x * k) * 4, to, rowBytes);
    }
}

void FrameDisplay::presentDirect(std::vector<lang::Rectangle>& dirty, bool full) {
    static bool surfaceReported = false;
    static bool stretchReported = false;
    SDL_Surface* out = SDL_GetWindowSurface(m_window);
    if (out == nullptr) {
        reportOnce(surfaceReported, "the window's buffer is not available");
        return;
    }
    // A new buffer (the window changed size) holds nothing yet.
    if (out != m_lastSurface || out->w != m_lastSurfaceWidth || out->h != m_lastSurfaceHeight) full = true;
    m_lastSurface = out;
    m_lastSurfaceWidth = out->w;
    m_lastSurfaceHeight = out->h;
    const PictureFit fit = WindowScale::fit(m_width, m_height, out->w, out->h);
    if (!sameFit(fit, m_lastFit)) full = true;
    m_lastFit = fit;
    const lang::Rectangle all(0, 0, m_width, m_height);
    for (lang::Rectangle& r : dirty)
        r.intersectWith(all);
    const int32_t k = fit.whole;
    const Uint32 black = SDL_MapRGB(out->format, 0, 0, 0);

    if (fit.isWhole()) {
        if (SDL_MUSTLOCK(out)) SDL_LockSurface(out);
        m_target = out;
        m_targetScale = k;
        m_targetX = fit.x;
        m_targetY = fit.y;
        if (full) {
            SDL_FillRect(out, nullptr, black);
            upload(m_frame, all);
        } else {
            for (const lang::Rectangle& r : dirty)
                if (!r.isEmpty()) upload(m_frame, r);
        }
        m_target = nullptr;
        if (SDL_MUSTLOCK(out)) SDL_UnlockSurface(out);
        if (full) {
            SDL_UpdateWindowSurface(m_window);
            return;
        }
        // Only the changed areas travel to the display.
        std::vector<SDL_Rect> shown;
        for (const lang::Rectangle& r : dirty)
            if (!r.isEmpty()) shown.push_back(SDL_Rect{fit.x + r.x * k, fit.y + r.y * k, r.width * k, r.height * k});
        if (!shown.empty()) SDL_UpdateWindowSurfaceRects(m_window, shown.data(), static_cast<int>(shown.size()));
        return;
    }

    // Other scales: the changed areas are enlarged by the next whole number into a picture of its own,
    // which is smoothed down into the buffer whole (smoothing spreads each area over its neighbours).
    bool complete = true;
    if (m_enlargedSurface == nullptr || m_enlargedSurface->w != m_width * k || m_enlargedSurface->h != m_height * k ||
        m_enlargedSurface->format->format != out->format->format) {
        if (m_enlargedSurface != nullptr) SDL_FreeSurface(m_enlargedSurface);
        m_enlargedSurface = SDL_CreateRGBSurfaceWithFormat(0, m_width * k, m_height * k, 32, out->format->format);
        complete = false;
    }
    if (m_enlargedSurface == nullptr) {
        reportOnce(stretchReported, "the enlarged picture could not be made");
        return;
    }
    m_target = m_enlargedSurface;
    m_targetScale = k;
    m_targetX = 0;
    m_targetY = 0;
    if (!complete) {
        upload(m_frame, all);
    } else {
        for (const lang::Rectangle& r : dirty)
            if (!r.isEmpty()) upload(m_frame, r);
    }
    m_target = nullptr;
    SDL_FillRect(out, nullptr, black);
    SDL_Rect to{fit.x, fit.y, fit.width, fit.height};
    if (SDL_SoftStretchLinear(m_enlargedSurface, nullptr, out, &to) != 0)
        reportOnce(stretchReported, "the picture could not be smoothed to the window's size");
    SDL_UpdateWindowSurface(m_window);
}

uint32_t FrameDisplay::shownPixel(int32_t x, int32_t y) const {
    if (m_direct) {
        SDL_Surface* out = m_window != nullptr ? SDL_GetWindowSurface(m_window) : nullptr;
        if (out == nullptr || x < 0 || y < 0 || x >= out->w || y >= out->h) return 0;
        if (SDL_MUSTLOCK(out)) SDL_LockSurface(out);
        const uint32_t p = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(out->pixels) +
                                                             size_t(y) * out->pitch)[x];
        if (SDL_MUSTLOCK(out)) SDL_UnlockSurface(out);
        return p | 0xFF000000u;
    }
    if (m_renderer == nullptr) return 0;
    uint32_t pixel = 0;
    const SDL_Rect r{x, y, 1, 1};
    if (SDL_RenderReadPixels(m_renderer, &r, SDL_PIXELFORMAT_ARGB8888, &pixel, 4) != 0) return 0;
    return pixel | 0xFF000000u;
}

} // namespace mph
