// WebPage: opening a web address in the desktop's browser, and the address the game's link button opens.
#pragma once

#include "runtime/String.h"

namespace mph {

// The setting that holds the link button's address, and its default: the game's home page.
inline constexpr const char* kVisitUrlSetting = "VISITURL";
inline constexpr const char* kHomePage = "https://quillory.net/morphella/";

// Whether url may be handed to the browser: an http or https address with a host and no control
// characters or spaces.
bool isWebAddress(const lang::String& url);

// Runs "xdg-open" with url as its one argument (no shell) and returns at once; false when url is not a
// web address or the program could not be started, in which case a message box (or, without a display,
// standard error) says so. The opener is reaped by a background thread.
bool openWebPage(const lang::String& url);
// The same with another opener program (looked up in PATH); for tests.
bool openWebPageWith(const char* program, const lang::String& url);

} // namespace mph
