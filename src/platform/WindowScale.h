// WindowScale: how the fixed-size picture sits in a window of any size, and which window sizes the game
// opens with.
#pragma once

#include "runtime/Rectangle.h"

#include <cstdint>

namespace mph {

// The picture keeps its aspect and is centred with black bars. At a whole-number scale every picture
// pixel becomes a square block of output pixels (nearest neighbour). At any other scale the picture is
// first enlarged by the whole number at or above the scale (nearest neighbour) and then smoothed down to
// its final size, so the smoothing only ever shrinks and each picture pixel keeps a solid core.
struct PictureFit {
    double scale = 1.0;            // output pixels per picture pixel
    int32_t x = 0, y = 0;          // the picture's top-left corner in the output
    int32_t width = 0, height = 0; // the picture's size in the output
    int32_t whole = 1;             // the nearest-neighbour enlargement done first
    bool smoothed = false;         // whether a smoothing step follows it

    bool isWhole() const { return !smoothed; }
};

// What a window shows, as the game reports it: its size, the picture's scale in it, full screen or not.
struct WindowView {
    int32_t width = 0, height = 0;
    double scale = 1.0;
    bool fullScreen = false;
};

class WindowScale {
public:
    // Room left above a window for its title bar and frame when its first size is chosen.
    static constexpr int32_t kTitleRoom = 48;
    // No window is made smaller than half the picture, nor larger than this on either side.
    static constexpr int32_t kLargest = 16384;

    static PictureFit fit(int32_t pictureWidth, int32_t pictureHeight, int32_t outputWidth,
                          int32_t outputHeight);

    // An output point (in output pixels) in picture coordinates; points on the bars lie outside the
    // picture.
    static void toPicture(const PictureFit& fit, double outputX, double outputY, int32_t& x, int32_t& y);

    // The first size of a window: the largest whole-number multiple of the picture that fits the usable
    // area with room for a title bar, and never less than the picture itself.
    static void firstSize(int32_t pictureWidth, int32_t pictureHeight, const lang::Rectangle& usable,
                          int32_t& width, int32_t& height);

    // Whether a stored window size can be used again: at least half the picture, and fitting the usable
    // area it was chosen on.
    static bool isSensible(int32_t width, int32_t height, int32_t pictureWidth, int32_t pictureHeight,
                           const lang::Rectangle& usable);
};

} // namespace mph
