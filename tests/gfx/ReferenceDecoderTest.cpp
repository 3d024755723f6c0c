// Our decoders against an independent image library's decoders (through its pixel-dump program).
#include "TestPictures.h"

#include "gfx/Image.h"
#include "runtime/Ref.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

namespace {

constexpr const char* kDumpProgram = "/usr/bin/gdk-pixbuf-pixdata";

uint32_t bigEndian(const testpics::Bytes& b, size_t at) {
    return static_cast<uint32_t>(b[at]) << 24 | b[at + 1] << 16 | b[at + 2] << 8 | b[at + 3];
}

// Decodes the file with the reference library; the pixels as 0xAARRGGBB, empty when it failed.
std::vector<uint32_t> referencePixels(const std::string& path, int& width, int& height) {
    const std::string dump = path + ".pixdata";
    const std::string command = std::string(kDumpProgram) + " '" + path + "' '" + dump + "' 2>/dev/null";
    if (std::system(command.c_str()) != 0) return {};
    std::ifstream in(dump, std::ios::binary);
    const testpics::Bytes b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::remove(dump.c_str());
    // Header: magic, length, type (channels in the low byte, raw encoding), row stride, width, height.
    if (b.size() < 24 || bigEndian(b, 0) != 0x47646b50) return {};
    const uint32_t type = bigEndian(b, 8);
    const size_t channels = (type & 0xFF) == 2 ? 4 : 3;
    const size_t stride = bigEndian(b, 12);
    width = static_cast<int>(bigEndian(b, 16));
    height = static_cast<int>(bigEndian(b, 20));
    if ((type >> 24) != 1 || b.size() < 24 + stride * height) return {};
    std::vector<uint32_t> pixels;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const uint8_t* p = b.data() + 24 + y * stride + x * channels;
            const uint32_t alpha = channels == 4 ? p[3] : 255;
            pixels.push_back(alpha << 24 | p[0] << 16 | p[1] << 8 | p[2]);
        }
    return pixels;
}

// Both decoders must agree on the size and on every channel of every pixel within the tolerance.
void compareWithReference(const std::string& name, const testpics::Bytes& file, int tolerance) {
    SCOPED_TRACE(name);
    const std::string path = testpics::tempPath(name);
    ASSERT_TRUE(testpics::saveFile(path, file));
    int width = 0, height = 0;
    const auto expected = referencePixels(path, width, height);
    std::remove(path.c_str());
    ASSERT_FALSE(expected.empty()) << "the reference could not decode it";
    auto image = lang::make<mph::Image>(file.data(), file.size());
    ASSERT_TRUE(image->hasPixels());
    ASSERT_EQ(image->getWidth(), width);
    ASSERT_EQ(image->getHeight(), height);
    int worst = 0;
    for (size_t i = 0; i < expected.size(); ++i)
        for (int shift = 0; shift < 32; shift += 8) {
            const int ours = static_cast<int>(image->getPixels()[i] >> shift & 0xFF);
            const int theirs = static_cast<int>(expected[i] >> shift & 0xFF);
            worst = std::max(worst, std::abs(ours - theirs));
        }
    EXPECT_LE(worst, tolerance);
}

std::vector<uint16_t> noise(size_t count, uint32_t seed) {
    std::vector<uint16_t> v(count);
    for (auto& s : v)
        s = static_cast<uint16_t>((seed = seed * 1103515245 + 12345) >> 16);
    return v;
}

} // namespace

TEST(ReferenceDecoders, AgreeOnPngGifAndJpegPictures) {
    if (std::FILE* f = std::fopen(kDumpProgram, "rb"))
        std::fclose(f);
    else
        GTEST_SKIP() << "no reference decoder installed";

    auto bytes8 = [](std::vector<uint16_t> v) {
        for (auto& s : v)
            s &= 0xFF;
        return v;
    };
    compareWithReference("rgb.png",
                         testpics::writePng(33, 17, PNG_COLOR_TYPE_RGB, 8, bytes8(noise(33 * 17 * 3, 1))), 0);
    compareWithReference(
        "rgba.png", testpics::writePng(20, 21, PNG_COLOR_TYPE_RGB_ALPHA, 8, bytes8(noise(20 * 21 * 4, 2))),
        0);
    compareWithReference("rgba16.png",
                         testpics::writePng(7, 9, PNG_COLOR_TYPE_RGB_ALPHA, 16, noise(7 * 9 * 4, 3)), 1);
    compareWithReference("grey.png", testpics::writePng(12, 5, PNG_COLOR_TYPE_GRAY, 8, bytes8(noise(60, 4))),
                         0);
    std::vector<uint32_t> palette;
    for (int i = 0; i < 16; ++i)
        palette.push_back(static_cast<uint32_t>(i) * 0x0B1D2F);
    std::vector<uint16_t> indices = noise(25 * 4, 5);
    for (auto& s : indices)
        s &= 15;
    compareWithReference("palette.png",
                         testpics::writePng(25, 4, PNG_COLOR_TYPE_PALETTE, 4, indices, palette, {0, 60, 200}),
                         0);

    testpics::GifPicture gif;
    gif.screenWidth = gif.width = 61;
    gif.screenHeight = gif.height = 43;
    for (int i = 0; i < 256; ++i)
        gif.colours.push_back(static_cast<uint32_t>(i) * 0x3C5A17 & 0xFFFFFF);
    for (uint16_t v : noise(61 * 43, 6))
        gif.indices.push_back(static_cast<uint8_t>(v % 97 < 40 ? v & 3 : v));
    compareWithReference("noisy.gif", testpics::writeGif(gif), 0);
    gif.interlaced = true;
    gif.transparentIndex = 2;
    gif.clearWhenFull = false;
    compareWithReference("interlaced.gif", testpics::writeGif(gif), 0);

    // Independent JPEG decoders may round the colour conversion and upsampling differently.
    std::vector<uint8_t> photo;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 48; ++x)
            photo.insert(photo.end(), {static_cast<uint8_t>(x * 5), static_cast<uint8_t>(y * 6),
                                       static_cast<uint8_t>(128 + x - y)});
    compareWithReference("photo.jpg", testpics::writeJpeg(48, 40, 3, photo, 90), 3);
    std::vector<uint8_t> grey(48 * 40);
    for (size_t i = 0; i < grey.size(); ++i)
        grey[i] = static_cast<uint8_t>(i * 3);
    compareWithReference("grey.jpg", testpics::writeJpeg(48, 40, 1, grey, 90), 3);
    std::vector<uint8_t> cmyk;
    for (int i = 0; i < 16 * 16; ++i)
        cmyk.insert(cmyk.end(), {static_cast<uint8_t>(i), 200, static_cast<uint8_t>(255 - i), 180});
    compareWithReference("cmyk.jpg", testpics::writeJpeg(16, 16, 4, cmyk, 90), 3);
}
