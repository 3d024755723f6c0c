// WindowScale: the picture's place and enlargement in a window, and the window sizes to open with.
#include "platform/WindowScale.h"

#include <algorithm>
#include <cmath>

namespace mph {

namespace {
// Scales this close to a whole number count as whole (the sizes come from integers).
constexpr double kWholeTolerance = 1e-9;
} // namespace

PictureFit WindowScale::fit(int32_t pictureWidth, int32_t pictureHeight, int32_t outputWidth,
                            int32_t outputHeight) {
    PictureFit f;
    if (pictureWidth <= 0 || pictureHeight <= 0 || outputWidth <= 0 || outputHeight <= 0) {
        f.width = std::max(pictureWidth, 0);
        f.height = std::max(pictureHeight, 0);
        return f;
    }
    f.scale = std::min(static_cast<double>(outputWidth) / pictureWidth,
                       static_cast<double>(outputHeight) / pictureHeight);
    const double rounded = std::round(f.scale);
    if (rounded >= 1 && std::fabs(f.scale - rounded) < kWholeTolerance) {
        f.scale = rounded;
        f.whole = static_cast<int32_t>(rounded);
        f.width = pictureWidth * f.whole;
        f.height = pictureHeight * f.whole;
    } else {
        f.whole = std::max(1, static_cast<int32_t>(std::ceil(f.scale)));
        f.smoothed = true;
        f.width = std::min(outputWidth, static_cast<int32_t>(std::lround(pictureWidth * f.scale)));
        f.height = std::min(outputHeight, static_cast<int32_t>(std::lround(pictureHeight * f.scale)));
    }
    f.x = (outputWidth - f.width) / 2;
    f.y = (outputHeight - f.height) / 2;
    return f;
}

void WindowScale::toPicture(const PictureFit& f, double outputX, double outputY, int32_t& x, int32_t& y) {
    x = static_cast<int32_t>(std::floor((outputX - f.x) / f.scale));
    y = static_cast<int32_t>(std::floor((outputY - f.y) / f.scale));
}

void WindowScale::firstSize(int32_t pictureWidth, int32_t pictureHeight, const lang::Rectangle& usable,
                            int32_t& width, int32_t& height) {
    int32_t k = 1;
    while (pictureWidth * (k + 1) <= usable.width && pictureHeight * (k + 1) + kTitleRoom <= usable.height &&
           pictureWidth * (k + 1) <= kLargest && pictureHeight * (k + 1) <= kLargest)
        ++k;
    width = pictureWidth * k;
    height = pictureHeight * k;
}

bool WindowScale::isSensible(int32_t width, int32_t height, int32_t pictureWidth, int32_t pictureHeight,
                             const lang::Rectangle& usable) {
    if (width < pictureWidth / 2 || height < pictureHeight / 2) return false;
    if (width > kLargest || height > kLargest) return false;
    return width <= usable.width && height <= usable.height;
}

} // namespace mph
