// Blit benchmark: composing an 800x600 frame from sprite pictures, ours against pixman's OVER composite.
#include "gfx/Blitter.h"
#include "gfx/FancyHelper.h"
#include "gfx/GraphicsI.h"
#include "gfx/Image.h"
#include "runtime/Ref.h"

#include <cairo.h>
#include <pixman.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

constexpr int kW = 800;
constexpr int kH = 600;
constexpr int kTrials = 21;

struct Sprite {
    lang::Ref<mph::Image> image;  // straight alpha, ours
    std::vector<uint32_t> premul; // premultiplied copy for pixman
    pixman_image_t* pix = nullptr;
};

// Anti-aliased shapes on a transparent ground, drawn with cairo (premultiplied), then kept in both forms.
Sprite makeSprite(int w, int h, int kind) {
    Sprite s;
    s.premul.assign(size_t(w) * h, 0);
    cairo_surface_t* surf = cairo_image_surface_create_for_data(
        reinterpret_cast<unsigned char*>(s.premul.data()), CAIRO_FORMAT_ARGB32, w, h, w * 4);
    cairo_t* cr = cairo_create(surf);
    cairo_pattern_t* grad =
        cairo_pattern_create_radial(w * 0.4, h * 0.4, 2, w * 0.5, h * 0.5, std::max(w, h) * 0.6);
    cairo_pattern_add_color_stop_rgba(grad, 0, 1.0, 0.9, 0.3 + 0.1 * kind, 1);
    cairo_pattern_add_color_stop_rgba(grad, 1, 0.2, 0.3 + 0.1 * kind, 0.8, 1);
    cairo_set_source(cr, grad);
    switch (kind % 4) {
    case 0:
        cairo_arc(cr, w / 2.0, h / 2.0, std::min(w, h) / 2.0 - 1, 0, 2 * M_PI);
        break;
    case 1: {
        const double r = std::min(w, h) / 5.0;
        cairo_new_sub_path(cr);
        cairo_arc(cr, w - r - 1, r + 1, r, -M_PI / 2, 0);
        cairo_arc(cr, w - r - 1, h - r - 1, r, 0, M_PI / 2);
        cairo_arc(cr, r + 1, h - r - 1, r, M_PI / 2, M_PI);
        cairo_arc(cr, r + 1, r + 1, r, M_PI, 3 * M_PI / 2);
        cairo_close_path(cr);
        break;
    }
    case 2:
        for (int i = 0; i < 10; ++i) {
            const double a = i * M_PI / 5 - M_PI / 2;
            const double rr = (i % 2 ? 0.45 : 1.0) * (std::min(w, h) / 2.0 - 1);
            cairo_line_to(cr, w / 2.0 + rr * std::cos(a), h / 2.0 + rr * std::sin(a));
        }
        cairo_close_path(cr);
        break;
    default:
        cairo_arc(cr, w / 2.0, h / 2.0, std::min(w, h) / 2.0 - 1, 0, 2 * M_PI);
        cairo_fill(cr);
        cairo_set_source_rgba(cr, 0.1, 0.1, 0.1, 0.5); // a translucent ring: soft shadow-like pixels
        cairo_set_line_width(cr, std::min(w, h) / 8.0);
        cairo_arc(cr, w / 2.0, h / 2.0, std::min(w, h) / 3.0, 0, 2 * M_PI);
        cairo_stroke(cr);
        break;
    }
    if (kind % 4 != 3) cairo_fill(cr);
    cairo_pattern_destroy(grad);
    cairo_destroy(cr);
    cairo_surface_destroy(surf);
    s.image = lang::make<mph::Image>(w, h, 1, false);
    s.image->setAlphaFlag(true);
    uint32_t* px = s.image->getPixels();
    for (size_t i = 0; i < s.premul.size(); ++i) {
        const uint32_t p = s.premul[i];
        const uint32_t a = p >> 24;
        if (a == 0 || a == 255) {
            px[i] = a == 0 ? 0 : p;
            continue;
        }
        auto ch = [a](uint32_t c) { return std::min<uint32_t>(255, (c * 255 + a / 2) / a); };
        px[i] = (a << 24) | (ch((p >> 16) & 0xFF) << 16) | (ch((p >> 8) & 0xFF) << 8) | ch(p & 0xFF);
    }
    s.pix = pixman_image_create_bits(PIXMAN_a8r8g8b8, w, h, s.premul.data(), w * 4);
    return s;
}

struct Placement {
    int sprite;
    int x, y;
    int opacity;
    int scales[3];
};

struct Case {
    const char* name;
    std::vector<Placement> layers;
};

double msSince(std::chrono::steady_clock::time_point t0) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

// An optional argument limits the vector unit: "scalar", "sse2" (the default picks the best one).
int main(int argc, char** argv) {
    if (argc > 1)
        mph::Blitter::setSimdLevel(std::strcmp(argv[1], "scalar") == 0 ? 0
                                   : std::strcmp(argv[1], "sse2") == 0 ? 1
                                                                       : 2);
    std::vector<Sprite> sprites;
    const int sizes[][2] = {{64, 64}, {96, 80},   {128, 128}, {200, 150},
                            {48, 48}, {160, 220}, {256, 256}, {32, 40}};
    for (int i = 0; i < 8; ++i)
        sprites.push_back(makeSprite(sizes[i][0], sizes[i][1], i));

    // The opaque background every frame starts from.
    std::vector<uint32_t> background(size_t(kW) * kH);
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x)
            background[size_t(y) * kW + x] =
                0xFF000000u | uint32_t(x * 255 / kW) << 16 | uint32_t(y * 255 / kH) << 8 | 0x40;

    // Several layers of sprites spread over the frame, placed by a fixed sequence.
    uint32_t seed = 12345;
    auto next = [&seed](int n) {
        seed = seed * 1103515245u + 12345u;
        return int((seed >> 16) % uint32_t(n));
    };
    std::vector<Placement> base;
    for (int i = 0; i < 120; ++i) {
        const int s = next(8);
        base.push_back({s, next(kW + 60) - 60, next(kH + 60) - 60, 128, {128, 128, 128}});
    }
    std::vector<Case> cases;
    cases.push_back({"sprites", base});
    Case faded{"opacity64", base};
    for (auto& p : faded.layers)
        p.opacity = 64;
    cases.push_back(faded);
    Case faded2{"opacity100", base};
    for (auto& p : faded2.layers)
        p.opacity = 100;
    cases.push_back(faded2);
    Case tinted{"tint", base};
    for (auto& p : tinted.layers)
        p.scales[0] = 100, p.scales[2] = 80;
    cases.push_back(tinted);
    Case mixed{"mixed", base};
    for (size_t i = 0; i < mixed.layers.size(); ++i) {
        if (i % 3 == 1) mixed.layers[i].opacity = 90;
        if (i % 3 == 2) mixed.layers[i].scales[1] = 110;
    }
    cases.push_back(mixed);

    lang::Ref<mph::Image> frame = lang::make<mph::Image>(kW, kH, 1, true);
    std::vector<uint32_t> pixFrame(size_t(kW) * kH);
    pixman_image_t* pixDst = pixman_image_create_bits(PIXMAN_a8r8g8b8, kW, kH, pixFrame.data(), kW * 4);
    lang::Ref<mph::GraphicsI> g = lang::adopt(frame->getGraphics());
    mph::FancyHelper* fh = g->getFancyHelper();

    for (const Case& c : cases) {
        std::vector<double> ours, theirs;
        for (int trial = 0; trial < kTrials; ++trial) {
            std::memcpy(frame->getPixels(), background.data(), background.size() * 4);
            auto t0 = std::chrono::steady_clock::now();
            for (const Placement& p : c.layers) {
                fh->opacity = p.opacity;
                fh->redScale = p.scales[0];
                fh->greenScale = p.scales[1];
                fh->blueScale = p.scales[2];
                g->drawImage(sprites[p.sprite].image.get(), p.x, p.y);
            }
            ours.push_back(msSince(t0));
            fh->reset();

            std::memcpy(pixFrame.data(), background.data(), background.size() * 4);
            t0 = std::chrono::steady_clock::now();
            for (const Placement& p : c.layers) {
                const Sprite& s = sprites[p.sprite];
                pixman_image_t* mask = nullptr;
                const bool tint = p.scales[0] != 128 || p.scales[1] != 128 || p.scales[2] != 128;
                if (p.opacity != 128 || tint) {
                    // Opacity is a solid mask; a tint is a component-alpha solid mask, which scales each
                    // channel of the source in the same pass, as ours does.
                    auto f = [](int v) { return uint16_t(std::min(65535, v * 65535 / 128)); };
                    const int op = p.opacity;
                    pixman_color_t col{uint16_t(f(p.scales[0] * op / 128)),
                                       uint16_t(f(p.scales[1] * op / 128)),
                                       uint16_t(f(p.scales[2] * op / 128)), f(op)};
                    mask = pixman_image_create_solid_fill(&col);
                    if (tint) pixman_image_set_component_alpha(mask, 1);
                }
                pixman_image_composite32(PIXMAN_OP_OVER, s.pix, mask, pixDst, 0, 0, 0, 0, p.x, p.y,
                                         s.image->getWidth(), s.image->getHeight());
                if (mask) pixman_image_unref(mask);
            }
            theirs.push_back(msSince(t0));
        }
        const double a = median(ours), b = median(theirs);
        std::printf("blit %s ours_ms=%.3f pixman_ms=%.3f ratio=%.2f\n", c.name, a, b, a / b);
    }

    std::vector<double> copies;
    std::vector<uint32_t> scratch(background.size());
    for (int trial = 0; trial < kTrials; ++trial) {
        const auto t0 = std::chrono::steady_clock::now();
        std::memcpy(scratch.data(), background.data(), background.size() * 4);
        copies.push_back(msSince(t0));
        background[size_t(trial)] ^= scratch[size_t(trial) + 1] & 1; // keeps the copy observable
    }
    std::printf("floor memcpy_ms=%.3f\n", median(copies));
    pixman_image_unref(pixDst);
    for (auto& s : sprites)
        pixman_image_unref(s.pix);
    return 0;
}
