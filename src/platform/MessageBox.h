// MessageBox: a modal message with a caption, or a line on standard error when no display can show one.
#pragma once

#include "runtime/String.h"

#include <cstdio>

namespace mph {

class MessageBox {
public:
    // Shows text with caption and an OK button. On the main thread it waits until dismissed; another
    // thread has the main thread show it in order with its other posted requests. Without a display
    // (none configured, or SDL's dummy or offscreen driver) the text goes to standard error instead.
    static void show(const lang::String& text, const lang::String& caption);
    // Whether a display could show a message box at all.
    static bool displayAvailable();
    // Writes "caption: text" and a line end to out (the fallback form).
    static void writeFallback(std::FILE* out, const lang::String& text, const lang::String& caption);
};

} // namespace mph
