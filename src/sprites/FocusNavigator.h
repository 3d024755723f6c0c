// FocusNavigator: how a focus moves over items on the screen when a player has no pointer: the keyboard's
// Tab, arrows and Enter, and a gamepad's shoulders, D-pad and buttons all come down to these actions.
#pragma once

#include "runtime/Rectangle.h"

#include <cstdint>
#include <vector>

namespace mph {

// What a focus key or button asks for. Next and Previous step through the items in reading order (Tab,
// Shift+Tab; shoulder buttons); the four directions move by position (arrows; D-pad); Press and Release
// act on the focused item as a pointer's press and release would (Enter or space; the pad's A).
enum class FocusAction { Next, Previous, Left, Right, Up, Down, Press, Release };

class FocusNavigator {
public:
    // The items' indices in reading order: rows from top to bottom, where items whose vertical middles
    // lie within half the smaller height of each other share a row, and left to right within a row.
    static std::vector<int32_t> readingOrder(const std::vector<lang::Rectangle>& items);
    // The item delta places after current in reading order, wrapping around; the first item when current
    // is not one of them; -1 when there are none.
    static int32_t step(const std::vector<lang::Rectangle>& items, int32_t current, int32_t delta);
    // The item a direction reaches from current: Left and Right the one before or after it in reading
    // order (along a row, then on to the next row), Up and Down the one nearest across in the nearest row
    // above or below. -1 when there is none that way.
    static int32_t move(const std::vector<lang::Rectangle>& items, int32_t current, FocusAction direction);
    // The item whose middle is nearest to (x, y); -1 when there are none.
    static int32_t nearest(const std::vector<lang::Rectangle>& items, int32_t x, int32_t y);

private:
    // The rows of reading order, each a list of indices from left to right.
    static std::vector<std::vector<int32_t>> rows(const std::vector<lang::Rectangle>& items);
};

} // namespace mph
