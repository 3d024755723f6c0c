// FrameDisplay: a top-level frame's SDL window, renderer and streaming texture, and its pending dirty areas.
#pragma once

#include "platform/WindowScale.h"
#include "runtime/Object.h"
#include "runtime/Point.h"
#include "runtime/Rectangle.h"

#include <mutex>
#include <vector>

struct SDL_Window;
struct SDL_Renderer;
struct SDL_Surface;
struct SDL_Texture;

namespace mph {

class Frame;
class Component;

// The display of one frame. The frame's picture (width x height) is shown scaled to fit the window,
// letterboxed, as WindowScale describes: at a whole-number scale enlarged with nearest neighbour; at any
// other enlarged by the next whole number into a second picture and smoothed down to the final size.
// Areas reported from any thread collect here; the main thread copies only those areas and presents.
// With software drawing (the program's choice, unless the environment picks an SDL renderer) the
// pictures are copied straight into the window's own buffer and only the changed areas are sent to the
// display; otherwise they go through a texture of the renderer.
class FrameDisplay : public lang::Object {
    LANG_CLASS(FrameDisplay, Object)

public:
    explicit FrameDisplay(Frame* frame);
    ~FrameDisplay() override;

    // Main thread: creates the window (hidden) with a client area of windowWidth x windowHeight at (x, y),
    // showing a picture of width x height.
    bool open(int32_t x, int32_t y, int32_t windowWidth, int32_t windowHeight, int32_t width, int32_t height,
              bool resizable, bool fullScreen);
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
    // Main thread: where the picture sits in the window's output now.
    PictureFit currentFit() const;
    // Main thread: a point in window coordinates (as SDL reports the mouse) in picture coordinates.
    lang::Point toPicture(int32_t windowX, int32_t windowY) const;

    SDL_Window* window() const { return m_window; }
    // Null when the pictures go straight into the window's buffer.
    SDL_Renderer* renderer() const { return m_renderer; }
    bool drawsIntoWindowBuffer() const { return m_direct; }
    // Main thread: the colour (0xFFRRGGBB) shown at an output pixel, as last presented; 0 outside.
    uint32_t shownPixel(int32_t x, int32_t y) const;
    // Whether displays opened from now on may draw into the window's buffer (true by default; tests of
    // the renderer's way turn it off).
    static void allowWindowBuffer(bool allowed);
    uint32_t windowId() const;
    Frame* frame() const { return m_frame; }

    // The most rectangles kept apart before they are merged into one bounding rectangle.
    static constexpr size_t kMaxDirty = 16;

private:
    void upload(Component* component, const lang::Rectangle& area);
    static bool coveredByChild(Component* component, const lang::Rectangle& area);
    // Copies the picture to the output as fit says: only the given areas when partial.
    void draw(const PictureFit& fit, const std::vector<lang::Rectangle>& dirty, bool partial);
    // The texture holding the picture enlarged by fit.whole, made when missing or of another size.
    bool prepareEnlarged(const PictureFit& fit);
    // The window buffer's way (FrameDisplayDirect.cpp): whether it can be used for this window; one
    // present; one picture's area copied into the target, enlarged by m_targetScale.
    bool openDirect();
    void presentDirect(std::vector<lang::Rectangle>& dirty, bool full);
    void putDirect(const uint32_t* source, int32_t strideBytes, const lang::Rectangle& area);
    // The size of the window's output in pixels.
    void outputSize(int32_t& width, int32_t& height) const;

    Frame* m_frame;
    SDL_Window* m_window = nullptr;
    SDL_Renderer* m_renderer = nullptr;
    SDL_Texture* m_texture = nullptr;
    // The picture enlarged by a whole number, for scales that are not whole; its factor and whether it
    // holds the whole picture yet.
    SDL_Texture* m_enlarged = nullptr;
    int32_t m_enlargedBy = 0;
    bool m_enlargedComplete = false;
    PictureFit m_lastFit;
    // The window buffer's way: whether in use; the enlarged picture for scales that are not whole; where
    // a present's copies go (the window's buffer or the enlarged picture), their scale and offset; the
    // buffer last drawn into and its size (a new one holds nothing yet).
    bool m_direct = false;
    SDL_Surface* m_enlargedSurface = nullptr;
    SDL_Surface* m_target = nullptr;
    int32_t m_targetScale = 1;
    int32_t m_targetX = 0;
    int32_t m_targetY = 0;
    SDL_Surface* m_lastSurface = nullptr;
    int32_t m_lastSurfaceWidth = 0;
    int32_t m_lastSurfaceHeight = 0;
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
