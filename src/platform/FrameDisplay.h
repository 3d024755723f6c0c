// FrameDisplay: a top-level frame's SDL window, renderer and streaming texture, and its pending dirty areas.
#pragma once

#include "runtime/Object.h"
#include "runtime/Rectangle.h"

#include <mutex>
#include <vector>

struct SDL_Window;
struct SDL_Renderer;
struct SDL_Texture;

namespace mph {

class Frame;
class Component;

// The display of one frame. The frame's picture (width x height) is shown through a renderer whose
// logical size is that picture size, so SDL scales and letterboxes it and reports the mouse in picture
// coordinates. Areas reported from any thread collect here; the main thread uploads only those areas
// into the texture and presents.
class FrameDisplay : public lang::Object {
    LANG_CLASS(FrameDisplay, Object)

public:
    explicit FrameDisplay(Frame* frame);
    ~FrameDisplay() override;

    // Main thread: creates the window (hidden) with a client area of width x height at (x, y).
    bool open(int32_t x, int32_t y, int32_t width, int32_t height, bool resizable, bool fullScreen);
    // Main thread: destroys the window; later reports are ignored.
    void close();
    bool isOpen() const;

    // Any thread: the area (in frame coordinates) must reach the screen; the main thread is woken once.
    void addDirty(const lang::Rectangle& area);
    // Main thread: the whole picture must reach the screen.
    void addAll();
    // Main thread: uploads the collected areas from the pictures of the frame and its shown children and
    // presents the result.
    void present();
    // Main thread: a new picture size (the logical size of the renderer and the texture's size).
    void resize(int32_t width, int32_t height);
    // Main thread: after the renderer lost its textures, makes a new one and uploads everything.
    void resetTexture();

    SDL_Window* window() const { return m_window; }
    SDL_Renderer* renderer() const { return m_renderer; }
    uint32_t windowId() const;
    Frame* frame() const { return m_frame; }

    // The most rectangles kept apart before they are merged into one bounding rectangle.
    static constexpr size_t kMaxDirty = 16;

private:
    void upload(Component* component, const lang::Rectangle& area);

    Frame* m_frame;
    SDL_Window* m_window = nullptr;
    SDL_Renderer* m_renderer = nullptr;
    SDL_Texture* m_texture = nullptr;
    int32_t m_width = 0;
    int32_t m_height = 0;

    mutable std::mutex m_mutex;
    std::vector<lang::Rectangle> m_dirty;
    bool m_presentPending = false;
    // Whether presents may copy only the changed areas, and whether the next one must copy everything.
    bool m_partialPresent = false;
    bool m_fullPresent = true;
    bool m_open = false;
};

} // namespace mph
