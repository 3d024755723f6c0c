// BitmapScaler: resized copies of an image, by nearest pixel or by area average.
#pragma once

#include "gfx/Image.h"
#include "runtime/Rectangle.h"
#include "runtime/Ref.h"

namespace mph {

class BitmapScaler : public lang::Object {
    LANG_CLASS(BitmapScaler, Object)

public:
    static constexpr int kNearest = 0;
    static constexpr int kAreaAverage = 1;

    // Keeps a reference to the source image.
    explicit BitmapScaler(Image* source);

    // A new newWidth x newHeight image (heap pixels, alpha flag set) made from sourceRect of the source
    // (the whole source when null). Mode 0 picks the nearest pixel in 16.16 fixed point; mode 1 averages
    // each target pixel's footprint, all four channels, weighting partly covered source pixels by the
    // covered area. Parts of the rectangle outside the source read as transparent black. Null when the
    // source has no pixels or the sizes are not acceptable. The scaler keeps the last result too.
    lang::Ref<Image> scale(int32_t newWidth, int32_t newHeight, const lang::Rectangle* sourceRect, int mode);

    // The result of the last scale, borrowed.
    Image* getTarget() const { return m_target.get(); }

private:
    void scaleNearest(Image& target) const;
    void scaleAverage(Image& target) const;
    uint32_t sourcePixel(int64_t x, int64_t y) const;

    lang::Ref<Image> m_source;
    lang::Ref<Image> m_target;
    lang::Rectangle m_rect;
    int32_t m_newWidth = 0;
    int32_t m_newHeight = 0;
};

} // namespace mph
