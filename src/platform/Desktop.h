// Desktop: questions about the desktop and the system (colour depth, work area, network) and opening web
// pages.
#pragma once

#include "runtime/Rectangle.h"
#include "runtime/String.h"

namespace mph {

class Desktop {
public:
    // The desktop mode's bytes per pixel times 8; 32 when no display answers.
    static int32_t getColorDepth();
    // The part of the first display not taken by panels; 800 x 600 at the origin when no display answers.
    static lang::Rectangle getWorkArea();
    // Opens an http or https address in the user's browser (xdg-open, given the address as its one
    // argument). False for any other address, one with spaces or control characters, or when the
    // browser could not be started.
    static bool openWebPage(const lang::String& url);
    // Whether an address is one openWebPage accepts.
    static bool isWebAddress(const lang::String& url);
    // Whether some network interface other than loopback is up and has an address.
    static bool isInternetConnected();
};

} // namespace mph
