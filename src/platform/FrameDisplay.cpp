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

} // namespace

FrameDisplay::FrameDisplay(Frame* frame) : m_frame(frame) {}

FrameDisplay::~FrameDisplay() {
    // The window must be closed on the main thread before the last reference goes; this only guards
    // against a display that was never closed while SDL is still up on this thread.
    if (m_window != nullptr && Application::isInitialized() && Application::isMainThread()) close();
}

bool FrameDisplay::open(int32_t x, int32_t y, int32_t width, int32_t height, bool resizable,
                        bool fullScreen) {
    if (m_window != nullptr) return true;
    Uint32 flags = SDL_WINDOW_HIDDEN;
    if (resizable) flags |= SDL_WINDOW_RESIZABLE;
    if (fullScreen) flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
    m_window = SDL_CreateWindow("", x, y, width, height, flags);
    if (m_window == nullptr) return false;
    m_renderer = SDL_CreateRenderer(m_window, -1, 0);
    if (m_renderer == nullptr) m_renderer = SDL_CreateRenderer(m_window, -1, SDL_RENDERER_SOFTWARE);
    if (m_renderer == nullptr) {
        SDL_DestroyWindow(m_window);
        m_window = nullptr;
        return false;
    }
    // A software renderer draws into the window's own buffer, which keeps its contents between presents,
    // so only the changed areas need copying; other renderers leave the back buffer undefined.
    SDL_RendererInfo info;
    m_partialPresent = SDL_GetRendererInfo(m_renderer, &info) == 0 && (info.flags & SDL_RENDERER_SOFTWARE) != 0;
    m_width = width;
    m_height = height;
    // The picture keeps its size whatever the window's size; SDL scales it and fills the rest black.
    SDL_RenderSetLogicalSize(m_renderer, width, height);
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
    if (m_texture != nullptr) SDL_DestroyTexture(m_texture);
    if (m_renderer != nullptr) SDL_DestroyRenderer(m_renderer);
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
    if (m_renderer == nullptr) return;
    if (m_texture != nullptr) SDL_DestroyTexture(m_texture);
    m_texture = SDL_CreateTexture(m_renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING,
                                  m_width > 0 ? m_width : 1, m_height > 0 ? m_height : 1);
    // The picture's alpha is not a transparency of the window: copy the colours as they are.
    if (m_texture != nullptr) SDL_SetTextureBlendMode(m_texture, SDL_BLENDMODE_NONE);
    std::lock_guard<std::mutex> guard(m_mutex);
    m_dirty.assign(1, lang::Rectangle(0, 0, m_width, m_height));
    m_fullPresent = true;
}

void FrameDisplay::resize(int32_t width, int32_t height) {
    if (m_renderer == nullptr || (width == m_width && height == m_height)) return;
    m_width = width;
    m_height = height;
    SDL_RenderSetLogicalSize(m_renderer, width, height);
    resetTexture();
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

void FrameDisplay::upload(Component* component, const lang::Rectangle& area) {
    WindowPicture* picture = component->getSurface();
    if (picture == nullptr) return;
    if (component != m_frame && !picture->isShown()) return;
    lang::Rectangle r(picture->offsetX(), picture->offsetY(), picture->width(), picture->height());
    r.intersectWith(area);
    r.intersectWith(lang::Rectangle(0, 0, m_width, m_height));
    if (!r.isEmpty()) {
        lang::SyncGuard guard(picture);
        Image* image = picture->picture();
        if (image != nullptr && image->hasPixels() && image->getWidth() == picture->width()) {
            const SDL_Rect target{r.x, r.y, r.width, r.height};
            const uint32_t* source = image->getPixels() +
                                     static_cast<size_t>(r.y - picture->offsetY()) * image->getWidth() +
                                     (r.x - picture->offsetX());
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
    if (m_texture == nullptr || m_frame == nullptr) return;
    for (const lang::Rectangle& r : dirty)
        upload(m_frame, r);
    if (full) {
        SDL_SetRenderDrawColor(m_renderer, 0, 0, 0, 255);
        SDL_RenderClear(m_renderer);
        SDL_RenderCopy(m_renderer, m_texture, nullptr, nullptr);
    } else {
        for (const lang::Rectangle& r : dirty) {
            lang::Rectangle cut(r);
            cut.intersectWith(lang::Rectangle(0, 0, m_width, m_height));
            if (cut.isEmpty()) continue;
            const SDL_Rect area{cut.x, cut.y, cut.width, cut.height};
            SDL_RenderCopy(m_renderer, m_texture, &area, &area);
        }
    }
    SDL_RenderPresent(m_renderer);
}

} // namespace mph
