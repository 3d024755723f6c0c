// Frame: top-level window creation, full screen, activation and the close and destroy messages.
#include "platform/Frame.h"

#include "gfx/Image.h"
#include "platform/Application.h"
#include "platform/Desktop.h"
#include "platform/Event.h"
#include "platform/FrameDisplay.h"
#include "platform/MessageBox.h"
#include "platform/TextEncoding.h"
#include "platform/UnmanagedFullScreen.h"
#include "platform/WindowEvents.h"
#include "platform/WindowPicture.h"

#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace mph {

namespace {

std::vector<Frame*> g_frames;
constexpr int32_t kKeyEscape = 27;
constexpr int32_t kKeyF11 = 122;

} // namespace

Frame::Frame() = default;

Frame::~Frame() = default;

bool Frame::create(Component* /*parent*/, const lang::Rectangle& bounds) {
    if (hasWindow()) return true;
    if (!Application::init()) return false;
    m_width = std::abs(bounds.width);
    m_height = std::abs(bounds.height);
    const lang::Rectangle work = Desktop::getWorkArea();
    if (bounds.width < 0) {
        m_width = std::min(m_width, work.width);
        m_height = std::min(m_height, work.height);
    }
    const int32_t depth = Desktop::getColorDepth();
    if (depth != 16 && depth != 24 && depth != 32) m_depthSupported = false;
    m_windowWidth = m_width;
    m_windowHeight = m_height;
    if (m_resizable) WindowScale::firstSize(m_width, m_height, work, m_windowWidth, m_windowHeight);
    const lang::Point position = m_fullScreen ? lang::Point(work.x, work.y) : centredPosition();
    m_display = lang::make<FrameDisplay>(this);
    if (!m_display->open(position.x, position.y, m_windowWidth, m_windowHeight, m_width, m_height,
                         m_resizable, m_fullScreen)) {
        m_display = nullptr;
        return false;
    }
    SDL_SetWindowTitle(m_display->window(), TextEncoding::latin1ToUtf8(m_title.view()).c_str());
    if (m_resizable) SDL_SetWindowMinimumSize(m_display->window(), m_width / 2, m_height / 2);
    g_frames.push_back(this);
    attach(nullptr, lang::Rectangle(position.x, position.y, m_width, m_height));
    return true;
}

void Frame::destroy() {
    if (!hasWindow()) return;
    lang::Ref<Component> keep = lang::retain(this);
    onDestroy();
    if (!hasWindow()) return;
    g_frames.erase(std::remove(g_frames.begin(), g_frames.end(), this), g_frames.end());
    Component::destroy();
    if (m_display) m_display->close();
    m_display = nullptr;
}

void Frame::setVisible(bool on) {
    m_visible.store(on);
    if (!Application::isMainThread()) {
        lang::Ref<Component> self = lang::retain(this);
        Application::post(this, [self, on] { self->setVisible(on); });
        return;
    }
    if (!hasWindow()) return;
    if (on) {
        SDL_ShowWindow(m_display->window());
        if (m_fullScreen) coverUnmanaged();
    } else {
        SDL_HideWindow(m_display->window());
    }
    placePictures();
    if (!on) return;
    // A window that appears is painted whole, its shown children included.
    m_display->addAll();
    repaint();
    std::vector<Component*> pending(m_children);
    while (!pending.empty()) {
        Component* c = pending.back();
        pending.pop_back();
        if (!c->isVisible()) continue;
        c->repaint();
        pending.insert(pending.end(), c->getChildren().begin(), c->getChildren().end());
    }
}

void Frame::setSize(int32_t width, int32_t height) {
    if (width <= 0 || height <= 0) return;
    m_width = width;
    m_height = height;
    if (!m_resizable) {
        m_windowWidth = width;
        m_windowHeight = height;
    }
    if (hasWindow()) {
        m_display->resize(width, height);
        if (!m_fullScreen && !m_resizable) SDL_SetWindowSize(m_display->window(), width, height);
    }
    Component::setSize(width, height);
}

void Frame::setWindowSize(int32_t width, int32_t height) {
    if (width <= 0 || height <= 0) return;
    m_windowWidth = width;
    m_windowHeight = height;
    if (!hasWindow() || m_fullScreen) return;
    SDL_Window* window = m_display->window();
    if (m_maximized) SDL_RestoreWindow(window);
    SDL_SetWindowSize(window, width, height);
    const lang::Point p = centredPosition();
    SDL_SetWindowPosition(window, p.x, p.y);
    m_bounds.x = p.x;
    m_bounds.y = p.y;
    m_display->addAll();
}

void Frame::setMaximized(bool on) {
    if (!m_resizable) return;
    m_maximized = on;
    if (!hasWindow() || m_fullScreen) return;
    if (on)
        SDL_MaximizeWindow(m_display->window());
    else
        SDL_RestoreWindow(m_display->window());
}

void Frame::windowResized(int32_t width, int32_t height) {
    // Full screen and maximised sizes are the desktop's; the window's own size is what it returns to.
    if (m_fullScreen || m_maximized || width <= 0 || height <= 0) return;
    m_windowWidth = width;
    m_windowHeight = height;
}

void Frame::windowMaximized(bool on) {
    if (!m_fullScreen) m_maximized = on;
}

WindowView Frame::windowView() const {
    WindowView view;
    view.fullScreen = m_fullScreen;
    view.width = m_windowWidth;
    view.height = m_windowHeight;
    if (hasWindow()) SDL_GetWindowSize(m_display->window(), &view.width, &view.height);
    view.scale = m_display ? m_display->currentFit().scale
                           : WindowScale::fit(m_width, m_height, view.width, view.height).scale;
    return view;
}

bool Frame::handleMessage(int32_t message) {
    if (message == kMessageClose) {
        onClose();
        return true;
    }
    return Component::handleMessage(message);
}

bool Frame::keyDown(Event* event, int32_t key) {
    if (key == kKeyEscape && m_fullScreen) {
        setFullScreen(false, false);
        return true;
    }
    if (event != nullptr && event->x == kKeyF11) {
        toggleFullScreen();
        return true;
    }
    return false;
}

void Frame::onPositionChanged() {
    if (!isMinimized() && m_restoreFullScreenPending) {
        m_restoreFullScreenPending = false;
        setFullScreen(true, false);
    }
}

void Frame::setFullScreen(bool on, bool force) {
    if (on == m_fullScreen) return;
    SDL_Window* window = hasWindow() ? m_display->window() : nullptr;
    if (on) {
        if (window != nullptr && SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN_DESKTOP) != 0) {
            MessageBox::show("Unable to switch to Fullscreen mode.", "Error");
            return;
        }
        m_fullScreen = true;
        if (window != nullptr && (SDL_GetWindowFlags(window) & SDL_WINDOW_SHOWN) != 0 && !coverUnmanaged())
            return;
    } else {
        if (!m_depthSupported && !force) return;
        if (window != nullptr) {
            SDL_SetWindowFullscreen(window, 0);
            if (m_maximized) {
                SDL_MaximizeWindow(window);
            } else {
                SDL_SetWindowSize(window, m_windowWidth, m_windowHeight);
                const lang::Point p = centredPosition();
                SDL_SetWindowPosition(window, p.x, p.y);
                m_bounds.x = p.x;
                m_bounds.y = p.y;
            }
        }
        m_fullScreen = false;
    }
    // The renderer's output size changed: the whole picture is shown again.
    if (window != nullptr) m_display->addAll();
}

bool Frame::coverUnmanaged() {
    SDL_Window* window = m_display->window();
    if (!UnmanagedFullScreen::applies(window) || UnmanagedFullScreen::cover(window)) return true;
    std::fprintf(stderr, "morphella: the window could not be made full screen here; it stays a window\n");
    setFullScreen(false, true);
    return false;
}

void Frame::quit() {
    if (m_fullScreen) setFullScreen(false, true);
    postMessage(kMessageDestroy);
}

void Frame::onDestroy() {}

void Frame::onClose() {
    quit();
}

void Frame::activate(bool active) {
    if (!active && m_fullScreen) {
        setFullScreen(false, true);
        minimize();
        m_restoreFullScreenPending = true;
    }
    if (active) {
        Component* focus = WindowEvents::focus();
        if (focus != nullptr && focus != this && focus->getFrame() == this)
            focus->postMessage(kMessageTakeFocus);
    }
}

void Frame::setLocation(int32_t x, int32_t y) {
    m_bounds.x = x;
    m_bounds.y = y;
    if (hasWindow() && !m_fullScreen) SDL_SetWindowPosition(m_display->window(), x, y);
}

void Frame::setTitle(const lang::String& title) {
    if (!Application::isMainThread()) {
        lang::Ref<Component> self = lang::retain(this);
        Application::post(this, [self, title] { static_cast<Frame*>(self.get())->setTitle(title); });
        return;
    }
    m_title = title;
    if (hasWindow())
        SDL_SetWindowTitle(m_display->window(), TextEncoding::latin1ToUtf8(m_title.view()).c_str());
}

void Frame::setIcon(Image* icon) {
    if (!hasWindow() || icon == nullptr || !icon->hasPixels()) return;
    SDL_Surface* surface =
        SDL_CreateRGBSurfaceWithFormatFrom(icon->getPixels(), icon->getWidth(), icon->getHeight(), 32,
                                           icon->getStride(), SDL_PIXELFORMAT_ARGB8888);
    if (surface == nullptr) return;
    SDL_SetWindowIcon(m_display->window(), surface);
    SDL_FreeSurface(surface);
}

void Frame::windowMoved(int32_t x, int32_t y) {
    if (m_fullScreen) return;
    m_bounds.x = x;
    m_bounds.y = y;
}

void Frame::minimize() {
    if (hasWindow()) SDL_MinimizeWindow(m_display->window());
}

bool Frame::isMinimized() const {
    return hasWindow() && (SDL_GetWindowFlags(m_display->window()) & SDL_WINDOW_MINIMIZED) != 0;
}

lang::Point Frame::centredPosition() const {
    const lang::Rectangle work = Desktop::getWorkArea();
    return lang::Point(std::max(work.x, work.x + (work.width - m_windowWidth) / 2),
                       std::max(work.y, work.y + (work.height - m_windowHeight) / 2));
}

Frame* Frame::fromWindowId(uint32_t windowId) {
    for (Frame* f : g_frames)
        if (f->m_display && f->m_display->windowId() == windowId) return f;
    return nullptr;
}

const std::vector<Frame*>& Frame::frames() {
    return g_frames;
}

} // namespace mph
