// FrameDisplay: window and renderer creation, dirty-area collection and the upload of changed areas.
#include "platform/FrameDisplay.h"

#include "platform/Application.h"
#include "platform/Frame.h"
#include "platform/WindowPicture.h"
#include "runtime/Ref.h"
#include "runtime/SyncGuard.h"

#include <SDL.h>

namespace mph {

namespace {

bool touches(const lang::Rectangle& a, const lang::Rectangle& b) {
    return a.x <= b.x + b.width && b.x <= a.x + a.width && a.y <= b.y + b.height && b.y <= a.y + a.height;
}

// The picture is uploaded as it is: its alpha byte never reaches the window (nothing is blended), so when
// the window's own pixels are 32-bit colours without alpha the texture takes that format, and showing it
// is a plain copy instead of a conversion of every pixel.
Uint32 pictureFormat(SDL_Window* window, SDL_Renderer* renderer) {
    const Uint32 own = SDL_GetWindowPixelFormat(window);
    SDL_RendererInfo info;
    if (own != SDL_PIXELFORMAT_RGB888 || SDL_GetRendererInfo(renderer, &info) != 0)
        return SDL_PIXELFORMAT_ARGB8888;
    // A software renderer takes every format; others list theirs.
    if ((info.flags & SDL_RENDERER_SOFTWARE) != 0) return own;
    for (Uint32 i = 0; i < info.num_texture_formats; ++i)
        if (info.texture_formats[i] == own) return own;
    return SDL_PIXELFORMAT_ARGB8888;
}

bool s_allowWindowBuffer = true;

} // namespace

void FrameDisplay::allowWindowBuffer(bool allowed) {
    s_allowWindowBuffer = allowed;
}

FrameDisplay::FrameDisplay(Frame* frame) : m_frame(frame) {}

FrameDisplay::~FrameDisplay() {
    // The window must be closed on the main thread before the last reference goes; this only guards
    // against a display that was never closed while SDL is still up on this thread.
    if (m_window != nullptr && Application::isInitialized() && Application::isMainThread()) close();
}

bool FrameDisplay::open(int32_t x, int32_t y, int32_t windowWidth, int32_t windowHeight, int32_t width,
                        int32_t height, bool resizable, bool fullScreen) {
    if (m_window != nullptr) return true;
    Uint32 flags = SDL_WINDOW_HIDDEN;
    if (resizable) flags |= SDL_WINDOW_RESIZABLE;
    if (fullScreen) flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
    m_window = SDL_CreateWindow("", x, y, windowWidth, windowHeight, flags);
    if (m_window == nullptr) return false;
    m_width = width;
    m_height = height;
    m_direct = s_allowWindowBuffer && openDirect();
    if (m_direct) {
        // The window's buffer keeps its contents between presents: only the changed areas are copied.
        m_partialPresent = true;
    } else {
        m_renderer = SDL_CreateRenderer(m_window, -1, 0);
        if (m_renderer == nullptr) m_renderer = SDL_CreateRenderer(m_window, -1, SDL_RENDERER_SOFTWARE);
        if (m_renderer == nullptr) {
            SDL_DestroyWindow(m_window);
            m_window = nullptr;
            return false;
        }
        // A software renderer draws into the window's own buffer, which keeps its contents between
        // presents, so only the changed areas need copying; other renderers leave the back buffer undefined.
        SDL_RendererInfo info;
        m_partialPresent =
            SDL_GetRendererInfo(m_renderer, &info) == 0 && (info.flags & SDL_RENDERER_SOFTWARE) != 0;
    }
    resetTexture();
    std::lock_guard<std::mutex> guard(m_mutex);
    m_open = true;
    return true;
}

void FrameDisplay::close() {
    {
        std::lock_guard<std::mutex> guard(m_mutex);
        m_open = false;
        m_dirty.clear();
    }
    if (m_enlarged != nullptr) SDL_DestroyTexture(m_enlarged);
    if (m_texture != nullptr) SDL_DestroyTexture(m_texture);
    if (m_renderer != nullptr) SDL_DestroyRenderer(m_renderer);
    if (m_enlargedSurface != nullptr) SDL_FreeSurface(m_enlargedSurface);
    m_enlargedSurface = nullptr;
    m_target = nullptr;
    m_lastSurface = nullptr;
    m_direct = false;
    m_enlarged = nullptr;
    m_enlargedBy = 0;
    if (m_window != nullptr) SDL_DestroyWindow(m_window);
    m_texture = nullptr;
    m_renderer = nullptr;
    m_window = nullptr;
    m_frame = nullptr;
}

bool FrameDisplay::isOpen() const {
    std::lock_guard<std::mutex> guard(m_mutex);
    return m_open;
}

uint32_t FrameDisplay::windowId() const {
    return m_window != nullptr ? SDL_GetWindowID(m_window) : 0;
}

void FrameDisplay::resetTexture() {
    if (m_direct) {
        // The enlarged picture is made again at the next present, at the size it then needs.
        if (m_enlargedSurface != nullptr) SDL_FreeSurface(m_enlargedSurface);
        m_enlargedSurface = nullptr;
        std::lock_guard<std::mutex> guard(m_mutex);
        m_dirty.assign(1, lang::Rectangle(0, 0, m_width, m_height));
        m_fullPresent = true;
        return;
    }
    if (m_renderer == nullptr) return;
    if (m_texture != nullptr) SDL_DestroyTexture(m_texture);
    m_texture = SDL_CreateTexture(m_renderer, pictureFormat(m_window, m_renderer), SDL_TEXTUREACCESS_STREAMING,
                                  m_width > 0 ? m_width : 1, m_height > 0 ? m_height : 1);
    // The picture's alpha is not a transparency of the window: copy the colours as they are.
    if (m_texture != nullptr) {
        SDL_SetTextureBlendMode(m_texture, SDL_BLENDMODE_NONE);
        SDL_SetTextureScaleMode(m_texture, SDL_ScaleModeNearest);
    }
    // A renderer that lost its textures lost the enlarged picture too.
    if (m_enlarged != nullptr) SDL_DestroyTexture(m_enlarged);
    m_enlarged = nullptr;
    m_enlargedBy = 0;
    std::lock_guard<std::mutex> guard(m_mutex);
    m_dirty.assign(1, lang::Rectangle(0, 0, m_width, m_height));
    m_fullPresent = true;
}

void FrameDisplay::resize(int32_t width, int32_t height) {
    if ((m_renderer == nullptr && !m_direct) || (width == m_width && height == m_height)) return;
    m_width = width;
    m_height = height;
    resetTexture();
}

void FrameDisplay::outputSize(int32_t& width, int32_t& height) const {
    width = 0;
    height = 0;
    if (m_direct && m_window != nullptr) {
        SDL_GetWindowSizeInPixels(m_window, &width, &height);
    } else if (m_renderer != nullptr && SDL_GetRendererOutputSize(m_renderer, &width, &height) != 0) {
        width = 0;
        height = 0;
    }
    if (width <= 0 || height <= 0) {
        width = m_width;
        height = m_height;
    }
}

PictureFit FrameDisplay::currentFit() const {
    int32_t w = 0;
    int32_t h = 0;
    outputSize(w, h);
    return WindowScale::fit(m_width, m_height, w, h);
}

lang::Point FrameDisplay::toPicture(int32_t windowX, int32_t windowY) const {
    if (m_window == nullptr || (m_renderer == nullptr && !m_direct)) return lang::Point(windowX, windowY);
    int32_t ww = 0, wh = 0, ow = 0, oh = 0;
    SDL_GetWindowSize(m_window, &ww, &wh);
    outputSize(ow, oh);
    if (ww <= 0 || wh <= 0) {
        ow = ww;
        oh = wh;
    }
    // The mouse comes in window units, which differ from output pixels on a scaled desktop.
    const double ox = ww > 0 ? windowX * static_cast<double>(ow) / ww : windowX;
    const double oy = wh > 0 ? windowY * static_cast<double>(oh) / wh : windowY;
    lang::Point p;
    WindowScale::toPicture(WindowScale::fit(m_width, m_height, ow, oh), ox, oy, p.x, p.y);
    return p;
}

void FrameDisplay::addAll() {
    {
        std::lock_guard<std::mutex> guard(m_mutex);
        m_fullPresent = true; // the window was exposed or resized: its whole buffer needs drawing
    }
    addDirty(lang::Rectangle(0, 0, m_width, m_height));
}

void FrameDisplay::addDirty(const lang::Rectangle& area) {
    if (area.isEmpty()) return;
    bool needPresent = false;
    {
        std::lock_guard<std::mutex> guard(m_mutex);
        if (!m_open) return;
        bool merged = false;
        for (lang::Rectangle& d : m_dirty) {
            if (touches(d, area)) {
                d.unionWith(area);
                merged = true;
                break;
            }
        }
        if (!merged) m_dirty.push_back(area);
        if (m_dirty.size() > kMaxDirty) {
            lang::Rectangle all(m_dirty[0]);
            for (const lang::Rectangle& d : m_dirty)
                all.unionWith(d);
            m_dirty.assign(1, all);
        }
        if (!m_presentPending) {
            m_presentPending = true;
            needPresent = true;
        }
    }
    if (needPresent) {
        lang::Ref<FrameDisplay> self = lang::retain(this);
        Application::post(nullptr, [self] { self->present(); });
    }
}

bool FrameDisplay::coveredByChild(Component* component, const lang::Rectangle& area) {
    // A shown child is uploaded after its parent and overwrites it wherever it lies, so a parent's area that
    // one child covers whole need not be uploaded at all (the game's canvas covers the frame).
    for (Component* child : component->getChildren()) {
        WindowPicture* picture = child->getSurface();
        if (picture == nullptr || !picture->isShown()) continue;
        const lang::Rectangle c(picture->offsetX(), picture->offsetY(), picture->width(), picture->height());
        if (c.x > area.x || c.y > area.y || c.x + c.width < area.x + area.width ||
            c.y + c.height < area.y + area.height)
            continue;
        // Only a child that really uploads its pixels hides its parent.
        lang::SyncGuard guard(picture);
        const Image* image = picture->picture();
        if (image != nullptr && image->hasPixels() && image->getWidth() == picture->width()) return true;
    }
    return false;
}

void FrameDisplay::upload(Component* component, const lang::Rectangle& area) {
    WindowPicture* picture = component->getSurface();
    if (picture == nullptr) return;
    if (component != m_frame && !picture->isShown()) return;
    lang::Rectangle r(picture->offsetX(), picture->offsetY(), picture->width(), picture->height());
    r.intersectWith(area);
    r.intersectWith(lang::Rectangle(0, 0, m_width, m_height));
    if (!r.isEmpty() && !coveredByChild(component, r)) {
        lang::SyncGuard guard(picture);
        Image* image = picture->picture();
        if (image != nullptr && image->hasPixels() && image->getWidth() == picture->width()) {
            const SDL_Rect target{r.x, r.y, r.width, r.height};
            const uint32_t* source = image->getPixels() +
                                     static_cast<size_t>(r.y - picture->offsetY()) * image->getWidth() +
                                     (r.x - picture->offsetX());
            if (m_direct)
                putDirect(source, image->getStride(), r);
            else
                SDL_UpdateTexture(m_texture, &target, source, image->getStride());
        }
    }
    // Children are drawn after their parent, so they cover it where they are shown.
    for (Component* child : component->getChildren())
        upload(child, area);
}

void FrameDisplay::present() {
    std::vector<lang::Rectangle> dirty;
    bool full = true;
    {
        std::lock_guard<std::mutex> guard(m_mutex);
        dirty.swap(m_dirty);
        m_presentPending = false;
        full = m_fullPresent || !m_partialPresent;
        m_fullPresent = false;
        if (!m_open) return;
    }
    if (m_frame == nullptr) return;
    if (m_direct) {
        presentDirect(dirty, full);
        return;
    }
    if (m_texture == nullptr) return;
    for (lang::Rectangle& r : dirty) {
        upload(m_frame, r);
        r.intersectWith(lang::Rectangle(0, 0, m_width, m_height));
    }
    const PictureFit fit = currentFit();
    if (fit.x != m_lastFit.x || fit.y != m_lastFit.y || fit.width != m_lastFit.width ||
        fit.height != m_lastFit.height)
        full = true;
    m_lastFit = fit;
    // Smoothing spreads each area over its neighbours, so those presents always redraw everything.
    draw(fit, dirty, !full && fit.isWhole());
    SDL_RenderPresent(m_renderer);
}

bool FrameDisplay::prepareEnlarged(const PictureFit& fit) {
    if (m_enlarged != nullptr && m_enlargedBy == fit.whole) return true;
    if (m_enlarged != nullptr) SDL_DestroyTexture(m_enlarged);
    m_enlarged = SDL_CreateTexture(m_renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_TARGET,
                                   m_width * fit.whole, m_height * fit.whole);
    m_enlargedBy = m_enlarged != nullptr ? fit.whole : 0;
    m_enlargedComplete = false;
    if (m_enlarged == nullptr) return false;
    SDL_SetTextureBlendMode(m_enlarged, SDL_BLENDMODE_NONE);
    SDL_SetTextureScaleMode(m_enlarged, SDL_ScaleModeLinear);
    return true;
}

void FrameDisplay::draw(const PictureFit& fit, const std::vector<lang::Rectangle>& dirty, bool partial) {
    const SDL_Rect whole{fit.x, fit.y, fit.width, fit.height};
    if (fit.isWhole()) {
        const int32_t k = fit.whole;
        if (partial) {
            for (const lang::Rectangle& r : dirty) {
                if (r.isEmpty()) continue;
                const SDL_Rect from{r.x, r.y, r.width, r.height};
                const SDL_Rect to{fit.x + r.x * k, fit.y + r.y * k, r.width * k, r.height * k};
                SDL_RenderCopy(m_renderer, m_texture, &from, &to);
            }
            return;
        }
        SDL_SetRenderDrawColor(m_renderer, 0, 0, 0, 255);
        SDL_RenderClear(m_renderer);
        SDL_RenderCopy(m_renderer, m_texture, nullptr, &whole);
        return;
    }
    SDL_SetRenderDrawColor(m_renderer, 0, 0, 0, 255);
    SDL_RenderClear(m_renderer);
    if (!prepareEnlarged(fit) || SDL_SetRenderTarget(m_renderer, m_enlarged) != 0) {
        // Without a texture to enlarge into, the renderer smooths the picture directly.
        SDL_RenderCopy(m_renderer, m_texture, nullptr, &whole);
        return;
    }
    // Only the changed areas need enlarging again; the rest of the enlarged picture is still right.
    const int32_t k = fit.whole;
    if (!m_enlargedComplete) {
        SDL_RenderCopy(m_renderer, m_texture, nullptr, nullptr);
        m_enlargedComplete = true;
    } else {
        for (const lang::Rectangle& r : dirty) {
            if (r.isEmpty()) continue;
            const SDL_Rect from{r.x, r.y, r.width, r.height};
            const SDL_Rect to{r.x * k, r.y * k, r.width * k, r.height * k};
            SDL_RenderCopy(m_renderer, m_texture, &from, &to);
        }
    }
    SDL_SetRenderTarget(m_renderer, nullptr);
    SDL_RenderCopy(m_renderer, m_enlarged, nullptr, &whole);
}

} // namespace mph
