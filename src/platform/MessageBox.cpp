// MessageBox: SDL's simple message box with the standard-error fallback.
#include "platform/MessageBox.h"

#include "platform/Application.h"
#include "platform/TextEncoding.h"

#include <SDL.h>

#include <cstdlib>
#include <cstring>

namespace mph {

bool MessageBox::displayAvailable() {
    const char* driver = SDL_WasInit(SDL_INIT_VIDEO) != 0 ? SDL_GetCurrentVideoDriver() : nullptr;
    if (driver == nullptr) driver = std::getenv("SDL_VIDEODRIVER");
    if (driver != nullptr && (std::strcmp(driver, "dummy") == 0 || std::strcmp(driver, "offscreen") == 0))
        return false;
    const char* x11 = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return (x11 != nullptr && *x11 != '\0') || (wayland != nullptr && *wayland != '\0');
}

void MessageBox::writeFallback(std::FILE* out, const lang::String& text, const lang::String& caption) {
    std::fprintf(out, "%s: %s\n", caption.c_str(), text.c_str());
    std::fflush(out);
}

void MessageBox::show(const lang::String& text, const lang::String& caption) {
    if (!Application::isMainThread()) {
        Application::post(nullptr, [text, caption] { show(text, caption); });
        return;
    }
    if (displayAvailable() &&
        SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, TextEncoding::latin1ToUtf8(caption.view()).c_str(),
                                 TextEncoding::latin1ToUtf8(text.view()).c_str(), nullptr) == 0)
        return;
    writeFallback(stderr, text, caption);
}

} // namespace mph
