// FocusNavigator: reading order, stepping and moving by direction over rectangles.
#include "sprites/FocusNavigator.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

using lang::Rectangle;

namespace mph {

namespace {
int32_t middleX(const Rectangle& r) {
    return r.x + r.width / 2;
}
int32_t middleY(const Rectangle& r) {
    return r.y + r.height / 2;
}
} // namespace

std::vector<std::vector<int32_t>> FocusNavigator::rows(const std::vector<Rectangle>& items) {
    std::vector<int32_t> byHeight(items.size());
    for (size_t i = 0; i < items.size(); ++i)
        byHeight[i] = static_cast<int32_t>(i);
    std::stable_sort(byHeight.begin(), byHeight.end(),
                     [&items](int32_t a, int32_t b) { return middleY(items[a]) < middleY(items[b]); });
    std::vector<std::vector<int32_t>> result;
    for (int32_t i : byHeight) {
        if (!result.empty()) {
            const Rectangle& first = items[result.back().front()];
            const int32_t reach = std::min(first.height, items[i].height) / 2;
            if (middleY(items[i]) - middleY(first) <= reach) {
                result.back().push_back(i);
                continue;
            }
        }
        result.push_back({i});
    }
    for (auto& row : result)
        std::stable_sort(row.begin(), row.end(),
                         [&items](int32_t a, int32_t b) { return items[a].x < items[b].x; });
    return result;
}

std::vector<int32_t> FocusNavigator::readingOrder(const std::vector<Rectangle>& items) {
    std::vector<int32_t> order;
    for (const auto& row : rows(items))
        order.insert(order.end(), row.begin(), row.end());
    return order;
}

int32_t FocusNavigator::step(const std::vector<Rectangle>& items, int32_t current, int32_t delta) {
    const std::vector<int32_t> order = readingOrder(items);
    if (order.empty()) return -1;
    const auto at = std::find(order.begin(), order.end(), current);
    if (at == order.end()) return order.front();
    const int32_t n = static_cast<int32_t>(order.size());
    const int32_t position = static_cast<int32_t>(at - order.begin());
    return order[((position + delta) % n + n) % n];
}

int32_t FocusNavigator::move(const std::vector<Rectangle>& items, int32_t current, FocusAction direction) {
    const std::vector<std::vector<int32_t>> lines = rows(items);
    int32_t line = -1;
    int32_t column = -1;
    for (size_t r = 0; r < lines.size() && line < 0; ++r)
        for (size_t c = 0; c < lines[r].size(); ++c)
            if (lines[r][c] == current) {
                line = static_cast<int32_t>(r);
                column = static_cast<int32_t>(c);
            }
    if (line < 0) return -1;
    switch (direction) {
    case FocusAction::Left:
    case FocusAction::Right: {
        const std::vector<int32_t> order = readingOrder(items);
        const auto at = std::find(order.begin(), order.end(), current) - order.begin();
        const auto next = at + (direction == FocusAction::Right ? 1 : -1);
        return next >= 0 && next < static_cast<int64_t>(order.size()) ? order[static_cast<size_t>(next)] : -1;
    }
    case FocusAction::Up:
    case FocusAction::Down: {
        const int32_t other = line + (direction == FocusAction::Down ? 1 : -1);
        if (other < 0 || other >= static_cast<int32_t>(lines.size())) return -1;
        const int32_t x = middleX(items[lines[line][column]]);
        int32_t best = -1;
        int32_t bestDistance = std::numeric_limits<int32_t>::max();
        for (int32_t i : lines[other]) {
            const int32_t distance = std::abs(middleX(items[i]) - x);
            if (distance < bestDistance) {
                best = i;
                bestDistance = distance;
            }
        }
        return best;
    }
    default:
        return -1;
    }
}

int32_t FocusNavigator::nearest(const std::vector<Rectangle>& items, int32_t x, int32_t y) {
    int32_t best = -1;
    int64_t bestDistance = std::numeric_limits<int64_t>::max();
    for (size_t i = 0; i < items.size(); ++i) {
        const int64_t dx = middleX(items[i]) - x;
        const int64_t dy = middleY(items[i]) - y;
        if (dx * dx + dy * dy < bestDistance) {
            best = static_cast<int32_t>(i);
            bestDistance = dx * dx + dy * dy;
        }
    }
    return best;
}

} // namespace mph
