// Desktop: SDL display queries, the network interface check and starting the browser.
#include "platform/Desktop.h"

#include <SDL.h>

#include <ifaddrs.h>
#include <net/if.h>
#include <spawn.h>
#include <sys/wait.h>

#include <thread>

extern char** environ;

namespace mph {

int32_t Desktop::getColorDepth() {
    SDL_DisplayMode mode;
    if (SDL_WasInit(SDL_INIT_VIDEO) == 0 || SDL_GetDesktopDisplayMode(0, &mode) != 0) return 32;
    const int32_t bytes = SDL_BYTESPERPIXEL(mode.format);
    return bytes > 0 ? bytes * 8 : 32;
}

lang::Rectangle Desktop::getWorkArea() {
    SDL_Rect r;
    if (SDL_WasInit(SDL_INIT_VIDEO) != 0 &&
        (SDL_GetDisplayUsableBounds(0, &r) == 0 || SDL_GetDisplayBounds(0, &r) == 0) && r.w > 0 && r.h > 0)
        return lang::Rectangle(r.x, r.y, r.w, r.h);
    return lang::Rectangle(0, 0, 800, 600);
}

bool Desktop::isWebAddress(const lang::String& url) {
    const std::string_view v = url.view();
    const bool http = v.size() > 7 && lang::String(url.substring(0, 7)).equalsIgnoreCase("http://");
    const bool https = v.size() > 8 && lang::String(url.substring(0, 8)).equalsIgnoreCase("https://");
    if (!http && !https) return false;
    for (char ch : v) {
        const auto c = static_cast<unsigned char>(ch);
        if (c <= 0x20 || c == 0x7F) return false;
    }
    return true;
}

bool Desktop::openWebPage(const lang::String& url) {
    if (!isWebAddress(url)) return false;
    std::string address = url.str();
    char program[] = "xdg-open";
    char* argv[] = {program, address.data(), nullptr};
    pid_t pid = 0;
    if (posix_spawnp(&pid, program, nullptr, nullptr, argv, environ) != 0) return false;
    // The browser outlives the request; a helper thread collects the launcher's exit status.
    std::thread([pid] {
        int status = 0;
        waitpid(pid, &status, 0);
    }).detach();
    return true;
}

bool Desktop::isInternetConnected() {
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0) return false;
    bool up = false;
    for (ifaddrs* a = list; a != nullptr && !up; a = a->ifa_next) {
        if (a->ifa_addr == nullptr) continue;
        const int family = a->ifa_addr->sa_family;
        if (family != AF_INET && family != AF_INET6) continue;
        if ((a->ifa_flags & IFF_UP) == 0 || (a->ifa_flags & IFF_LOOPBACK) != 0) continue;
        up = true;
    }
    freeifaddrs(list);
    return up;
}

} // namespace mph
