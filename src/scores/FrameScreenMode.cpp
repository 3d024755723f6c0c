// FrameScreenMode: the main frame's full-screen state and its switch, posted to the main thread.
#include "scores/FrameScreenMode.h"

#include "platform/Application.h"
#include "platform/Frame.h"

namespace mph {

bool FrameScreenMode::isFullScreen() {
    return m_frame != nullptr && m_frame->isFullScreen();
}

void FrameScreenMode::setFullScreen(bool on) {
    if (m_frame == nullptr) return;
    if (Application::isMainThread()) {
        m_frame->setFullScreen(on, false);
        return;
    }
    Frame* frame = m_frame;
    Application::post(frame, [frame, on] { frame->setFullScreen(on, false); });
}

} // namespace mph
