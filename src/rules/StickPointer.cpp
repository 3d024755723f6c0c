// StickPointer: the dead zone and the speed curve, in integers so every run moves alike.
#include "rules/StickPointer.h"

#include <algorithm>
#include <cmath>

namespace mph {

void StickPointer::step(int32_t axisX, int32_t axisY, int32_t& dx, int32_t& dy) {
    dx = 0;
    dy = 0;
    const int64_t x = std::clamp(axisX, -kAxisMax, kAxisMax);
    const int64_t y = std::clamp(axisY, -kAxisMax, kAxisMax);
    const int64_t squared = x * x + y * y;
    if (squared <= static_cast<int64_t>(kDeadZone) * kDeadZone) return;
    // The whole-number square root, exact for every value a stick gives.
    int64_t length = static_cast<int64_t>(std::sqrt(static_cast<double>(squared)));
    while (length * length > squared)
        --length;
    while ((length + 1) * (length + 1) <= squared)
        ++length;
    // How far past the dead zone, 0 to 1024; a diagonal beyond the rim counts as the rim.
    constexpr int64_t kScale = 1024;
    const int64_t past = std::min<int64_t>(length, kAxisMax) - kDeadZone;
    const int64_t u = past * kScale / (kAxisMax - kDeadZone);
    const int64_t speed = kMinSpeed + (kMaxSpeed - kMinSpeed) * u * u / (kScale * kScale);
    dx = static_cast<int32_t>(x * speed / length);
    dy = static_cast<int32_t>(y * speed / length);
}

} // namespace mph
