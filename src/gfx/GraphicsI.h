// GraphicsI: a drawing surface over an Image, with the software blitters for images, fills and pixels.
#pragma once

#include "gfx/GraphicsW.h"

namespace mph {

class GraphicsI : public GraphicsW {
    LANG_CLASS(GraphicsI, GraphicsW)

public:
    // A surface over the whole image (retained), clip = the image's bounds.
    explicit GraphicsI(Image* image);
    ~GraphicsI() override;

    // Blends the image in with the blend parameters (opacity, scales, shadow) and the paint mode. An
    // opaque device-bitmap picture onto a device-bitmap target in normal mode is copied as it is.
    bool drawImage(Image* image, int32_t x, int32_t y) override;
    // The image's shadow alone at (x, y).
    bool drawShadow(Image* image, int32_t x, int32_t y) override;
    // Stores the current colour unblended.
    void drawPixel(int32_t x, int32_t y) override;
    void blendPixel(int32_t x, int32_t y, uint32_t argb) override;
    // The pixel, 0 outside the image.
    uint32_t getPixel(int32_t x, int32_t y) override;
    // An opaque fill in the tinted current colour; its alpha is not used.
    void fillRect(int32_t x, int32_t y, int32_t w, int32_t h) override;
    // Sets the clip region; the software clip rectangle stays and both limit every operation.
    void setClip(const Region* region) override;
    // A sub-surface over the same image sharing these blend parameters, with a copy of translation and clip.
    Graphics* create() override;
    void dispose() override;
    // The shared blend parameters, created on first use (borrowed).
    FancyHelper* getFancyHelper() override;
    Image* getImage() const { return m_image; }

protected:
    Image* lockTarget() override { return m_image; }
    void unlockTarget(const lang::Rectangle&) override {}

private:
    // Runs fn once per rectangle of the clip, as a clip rectangle on a prepared blitter.
    template <class Fn> void forEachClipRect(Fn fn);

    Image* m_image = nullptr;        // retained
    FancyHelper* m_blend = nullptr;  // retained, shared with sub-surfaces
};

} // namespace mph
