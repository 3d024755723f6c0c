// BitmapScaler: nearest-pixel and area-average resizing in 16.16 fixed point.
#include "gfx/BitmapScaler.h"

#include <algorithm>
#include <vector>

namespace mph {

namespace {

// The source pixels one target column (or row) covers, with the covered length of each in 1/65536 units.
struct Span {
    int64_t first = 0;
    size_t weightOffset = 0;
    size_t count = 0;
    int64_t total = 0;
};

// Splits [start, start + sourceLength) into targetLength footprints with exact fixed-point edges.
std::vector<Span> makeSpans(int64_t start, int64_t sourceLength, int32_t targetLength,
                            std::vector<int64_t>& weights) {
    std::vector<Span> spans(static_cast<size_t>(targetLength));
    for (int32_t k = 0; k < targetLength; ++k) {
        const int64_t from = (start << 16) + k * (sourceLength << 16) / targetLength;
        const int64_t to = (start << 16) + (k + 1) * (sourceLength << 16) / targetLength;
        Span& span = spans[static_cast<size_t>(k)];
        span.first = from >> 16;
        span.weightOffset = weights.size();
        for (int64_t cell = span.first; (cell << 16) < to; ++cell) {
            const int64_t weight = std::min(to, (cell + 1) << 16) - std::max(from, cell << 16);
            weights.push_back(weight);
            span.total += weight;
            ++span.count;
        }
    }
    return spans;
}

} // namespace

BitmapScaler::BitmapScaler(Image* source) : m_source(lang::retain(source)) {}

uint32_t BitmapScaler::sourcePixel(int64_t x, int64_t y) const {
    const Image& source = *m_source;
    if (x < 0 || y < 0 || x >= source.getWidth() || y >= source.getHeight()) return 0;
    return source.getPixels()[static_cast<size_t>(y) * static_cast<size_t>(source.getWidth()) +
                              static_cast<size_t>(x)];
}

lang::Ref<Image> BitmapScaler::scale(int32_t newWidth, int32_t newHeight, const lang::Rectangle* sourceRect,
                                     int mode) {
    if (!m_source || !m_source->hasPixels() || !Image::sizeAcceptable(newWidth, newHeight)) return nullptr;
    if (sourceRect != nullptr)
        m_rect = *sourceRect;
    else
        m_rect.setBounds(0, 0, m_source->getWidth(), m_source->getHeight());
    if (m_rect.isEmpty()) return nullptr;
    auto target = lang::make<Image>(newWidth, newHeight, 1, false);
    if (!target->hasPixels()) return nullptr;
    target->setAlphaFlag(true);
    m_newWidth = newWidth;
    m_newHeight = newHeight;
    if (mode == kAreaAverage)
        scaleAverage(*target);
    else
        scaleNearest(*target);
    m_target = target;
    return target;
}

void BitmapScaler::scaleNearest(Image& target) const {
    const int64_t stepX = static_cast<int64_t>(m_rect.width) * 65536 / m_newWidth;
    const int64_t stepY = static_cast<int64_t>(m_rect.height) * 65536 / m_newHeight;
    uint32_t* out = target.getPixels();
    for (int32_t i = 0; i < m_newHeight; ++i) {
        const int64_t row = (static_cast<int64_t>(m_rect.y) * 65536 + i * stepY) >> 16;
        for (int32_t j = 0; j < m_newWidth; ++j)
            *out++ = sourcePixel(m_rect.x + ((j * stepX) >> 16), row);
    }
}

void BitmapScaler::scaleAverage(Image& target) const {
    std::vector<int64_t> columnWeights, rowWeights;
    const std::vector<Span> columns = makeSpans(m_rect.x, m_rect.width, m_newWidth, columnWeights);
    const std::vector<Span> rows = makeSpans(m_rect.y, m_rect.height, m_newHeight, rowWeights);
    // Per target row: each source row's horizontal average (8 extra fraction bits, at most 2^16) is
    // weighted by the row's covered height. This keeps every sum well inside 64 bits.
    std::vector<int64_t> sums(static_cast<size_t>(m_newWidth) * 4);
    uint32_t* out = target.getPixels();
    for (const Span& rowSpan : rows) {
        std::fill(sums.begin(), sums.end(), 0);
        for (size_t r = 0; r < rowSpan.count; ++r) {
            const int64_t y = rowSpan.first + static_cast<int64_t>(r);
            const int64_t rowWeight = rowWeights[rowSpan.weightOffset + r];
            for (size_t j = 0; j < columns.size(); ++j) {
                const Span& span = columns[j];
                int64_t channel[4] = {0, 0, 0, 0};
                for (size_t c = 0; c < span.count; ++c) {
                    const uint32_t pixel = sourcePixel(span.first + static_cast<int64_t>(c), y);
                    const int64_t weight = columnWeights[span.weightOffset + c];
                    for (int k = 0; k < 4; ++k)
                        channel[k] += weight * ((pixel >> (8 * k)) & 0xFF);
                }
                for (int k = 0; k < 4; ++k)
                    sums[j * 4 + k] += rowWeight * ((channel[k] << 8) / span.total);
            }
        }
        const int64_t divisor = rowSpan.total << 8;
        for (size_t j = 0; j < columns.size(); ++j) {
            uint32_t pixel = 0;
            for (int k = 0; k < 4; ++k) {
                const int64_t value = (sums[j * 4 + k] + divisor / 2) / divisor;
                pixel |= static_cast<uint32_t>(std::min<int64_t>(value, 255)) << (8 * k);
            }
            *out++ = pixel;
        }
    }
}

} // namespace mph
