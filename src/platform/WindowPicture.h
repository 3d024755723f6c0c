// WindowPicture: the picture of one component's window, the surface drawing surfaces over that window use.
#pragma once

#include "gfx/Image.h"
#include "gfx/WindowSurface.h"
#include "runtime/Ref.h"

#include <atomic>
#include <mutex>

namespace mph {

class FrameDisplay;

// Every component keeps its own picture of its client size. A top-level frame shows its picture on the
// display; a child's picture is shown over the frame's at the child's position while the child is shown,
// so drawing into a hidden child never reaches the screen. Drawing happens under this object's lock.
class WindowPicture : public WindowSurface {
    LANG_CLASS(WindowPicture, WindowSurface)

public:
    WindowPicture(int32_t width, int32_t height);

    Image* picture() override { return m_image.get(); }
    // Any thread: passes the area, cut to the picture and moved to the frame's coordinates, on to the
    // display, unless the picture is not shown at present.
    void pictureChanged(const lang::Rectangle& area) override;

    // Main thread: a new size clears the picture.
    void resize(int32_t width, int32_t height);
    // Frees the pixels of a picture that will not be seen again (a frame its child covers for good); the
    // size stays, nothing of it is uploaded any more, and a later resize to another size brings pixels back.
    void releasePixels();
    // Marks the pixels as a device bitmap, now and after every resize: a picture composed in place, which
    // must blend exactly as an off-screen bitmap would.
    void keepAsBitmap();
    int32_t width() const { return m_width.load(); }
    int32_t height() const { return m_height.load(); }
    // Main thread: where the picture sits in the frame and whether it is on screen, and the display it
    // reports to (null once the window is gone).
    void place(int32_t offsetX, int32_t offsetY, bool shown);
    void setDisplay(FrameDisplay* display);
    int32_t offsetX() const { return m_offsetX.load(); }
    int32_t offsetY() const { return m_offsetY.load(); }
    bool isShown() const { return m_shown.load(); }

private:
    lang::Ref<Image> m_image;
    std::atomic<int32_t> m_width;
    std::atomic<int32_t> m_height;
    std::atomic<int32_t> m_offsetX{0};
    std::atomic<int32_t> m_offsetY{0};
    std::atomic<bool> m_shown{false};
    bool m_bitmap = false;
    std::mutex m_displayMutex;
    lang::Ref<FrameDisplay> m_display;
};

} // namespace mph
