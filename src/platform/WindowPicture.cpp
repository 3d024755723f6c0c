// WindowPicture: a component's client-area picture and the reporting of its changed areas.
#include "platform/WindowPicture.h"

#include "platform/FrameDisplay.h"
#include "runtime/SyncGuard.h"

#include <cstdlib>

namespace mph {

WindowPicture::WindowPicture(int32_t width, int32_t height)
    : m_image(lang::make<Image>(width, height, 1, false)), m_width(width), m_height(height) {}

void WindowPicture::pictureChanged(const lang::Rectangle& area) {
    if (!m_shown.load()) return;
    lang::Rectangle r(area);
    r.intersectWith(lang::Rectangle(0, 0, m_width.load(), m_height.load()));
    if (r.isEmpty()) return;
    r.x += m_offsetX.load();
    r.y += m_offsetY.load();
    lang::Ref<FrameDisplay> display;
    {
        std::lock_guard<std::mutex> guard(m_displayMutex);
        display = m_display;
    }
    if (display) display->addDirty(r);
}

void WindowPicture::resize(int32_t width, int32_t height) {
    if (width < 0) width = 0;
    if (height < 0) height = 0;
    if (!Image::sizeAcceptable(width, height)) return;
    lang::SyncGuard guard(this);
    if (width == m_width.load() && height == m_height.load()) return;
    auto* pixels = static_cast<uint32_t*>(std::calloc(static_cast<size_t>(width) * height + 1, 4));
    if (pixels == nullptr) return;
    m_image->adoptPixels(pixels, width, height, false, m_bitmap);
    m_width.store(width);
    m_height.store(height);
}

void WindowPicture::releasePixels() {
    lang::SyncGuard guard(this);
    m_image->free();
}

void WindowPicture::keepAsBitmap() {
    lang::SyncGuard guard(this);
    m_bitmap = true;
    m_image->ensureBitmap();
}

void WindowPicture::place(int32_t offsetX, int32_t offsetY, bool shown) {
    m_offsetX.store(offsetX);
    m_offsetY.store(offsetY);
    m_shown.store(shown);
}

void WindowPicture::setDisplay(FrameDisplay* display) {
    lang::Ref<FrameDisplay> old;
    std::lock_guard<std::mutex> guard(m_displayMutex);
    old = std::move(m_display);
    m_display = lang::retain(display);
}

} // namespace mph
