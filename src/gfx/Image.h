// Image: the program's one picture type, 32-bit ARGB pixels in top-down rows.
#pragma once

#include "runtime/String.h"

#include <cstddef>
#include <cstdint>
#include <memory>

namespace mph {

class GraphicsI;

class Image : public lang::Object {
    LANG_CLASS(Image, Object)

public:
    // An empty image: no pixels, 0 by 0.
    Image() = default;
    // width x height pixels; clearMode 1 clears them to 0 (transparent black). withBitmap marks the image
    // as backed by a device bitmap from the start (its pixels then start at zero).
    Image(int32_t width, int32_t height, int clearMode, bool withBitmap);
    // Loads a disk file or, for a name starting with "+", a container item; empty when that fails.
    explicit Image(const lang::String& name);
    // Decodes a GIF, PNG or JPEG picture from memory; empty when that fails.
    Image(const uint8_t* buffer, size_t length);
    Image(const Image&) = delete;
    Image& operator=(const Image&) = delete;
    ~Image() override;

    // A new drawing surface over this image; the caller releases it.
    virtual GraphicsI* getGraphics();
    virtual int32_t getStride() const { return m_width * 4; }
    // The pixels to write (or read). Pixels shared with other images are first copied, so what is
    // written here changes this image only; code that only reads asks through a const image.
    virtual uint32_t* getPixels() {
        if (m_shared) unshare();
        return m_pixels;
    }
    const uint32_t* getPixels() const { return m_pixels; }
    // Shows pixels that other images show too, read-only, until one of them asks to write (see
    // getPixels); block holds width x height pixels and outlives every image that shares it.
    void sharePixels(std::shared_ptr<const uint32_t[]> block, int32_t width, int32_t height, bool alpha,
                     bool bitmap);
    bool sharesPixels() const { return m_shared != nullptr; }

    int32_t getWidth() const { return m_width; }
    int32_t getHeight() const { return m_height; }
    bool hasPixels() const { return m_pixels != nullptr; }
    bool getAlphaFlag() const { return m_alphaFlag; }
    // Only an image with pixels can carry transparency.
    void setAlphaFlag(bool flag) {
        if (m_pixels) m_alphaFlag = flag;
    }
    const lang::String& getName() const { return m_name; }
    void setName(const lang::String& name) { m_name = name; }

    // Whether the pixels live in a device bitmap. Opaque pictures that do are copied straight through,
    // without blending (the fast opaque copy).
    bool hasBitmap() const { return m_bitmap; }
    // Moves the pixels into a device bitmap if they are not in one yet.
    void ensureBitmap();

    // Replaces the pixels by the picture in the buffer, recognised by its first bytes: GIF, PNG, else
    // JPEG. Returns whether a picture was decoded; on failure the image is left empty.
    bool decode(const uint8_t* buffer, size_t length);
    // Replaces the pixels by the picture a disk file or container item holds (see the name constructor).
    bool load(const lang::String& name);

    // Frees the pixels; the image becomes empty (0 by 0) and loses its alpha flag.
    void free();
    // Clears the rectangle to 0, cut at the right and bottom edges.
    void clearRect(int32_t x, int32_t y, int32_t w, int32_t h);
    // Takes over a malloc'ed pixel block of width x height words (used by the decoders).
    void adoptPixels(uint32_t* pixels, int32_t width, int32_t height, bool alpha, bool bitmap);

    // Largest picture the program accepts: 16384 pixels a side and 64 million pixels in all.
    static constexpr int64_t kMaxSide = 16384;
    static constexpr int64_t kMaxPixels = 64ll * 1024 * 1024;
    static bool sizeAcceptable(int64_t width, int64_t height);
    // Lowers the number of pixels a picture may have, process-wide (fuzzing keeps forged headers from
    // making every input a decode of millions of pixels); never above kMaxPixels.
    static void limitPixels(int64_t pixels);

private:
    // Gives the image pixels of its own, a copy of the shared ones.
    void unshare();

    int32_t m_width = 0;
    int32_t m_height = 0;
    uint32_t* m_pixels = nullptr;
    // Set while m_pixels points into a block other images share; it is never written through.
    std::shared_ptr<const uint32_t[]> m_shared;
    bool m_bitmap = false;
    bool m_alphaFlag = false;
    lang::String m_name;
};

} // namespace mph
