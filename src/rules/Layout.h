// Layout: where the board and the tray are, and the table of shape kinds, as the data file gives them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace lang {
class IntArray;
}

namespace mph {

struct Layout {
    // Integers 0 to 7 of the data section, then the kind count and each kind's number of frames.
    int32_t boardLeft = 0, boardTop = 0, boardWidth = 0, boardHeight = 0;
    int32_t trayLeft = 0, trayTop = 0, trayWidth = 0, trayHeight = 0;
    std::vector<int32_t> framesPerKind;
    std::vector<int32_t> firstFrameOfKind;
    // From the sizes of the "slot" and "shape" sprites.
    int32_t slotPitch = 0, rowPitch = 0, shapeWidth = 0, shapeHeight = 0;

    int32_t boardRight() const { return boardLeft + boardWidth - 1; }
    int32_t boardBottom() const { return boardTop + boardHeight - 1; }
    int32_t trayRight() const { return trayLeft + trayWidth - 1; }
    int32_t trayBottom() const { return trayTop + trayHeight - 1; }
    int32_t kindCount() const { return static_cast<int32_t>(framesPerKind.size()); }
    int32_t frameTotal() const;
    // The wildcard kind is the last; its first frame is what a wildcard is dealt with.
    int32_t wildcardFrame() const { return firstFrameOfKind.empty() ? 0 : firstFrameOfKind.back(); }
    bool isWildcard(int32_t frame) const { return !firstFrameOfKind.empty() && frame >= wildcardFrame(); }

    // Reads the board and kind table from the data section's integers; false with a message naming
    // what is missing or wrong. Sizes are set separately.
    bool read(const lang::IntArray& data, std::string& error);
    // Checks the sizes and that the kinds can serve every level of the table (enough distinct kinds,
    // enough kinds with four variants for triples and two for pairs); false with a message naming what
    // is missing. frameCells is the number of cells of the shape picture.
    bool validate(int32_t frameCells, std::string& error) const;
};

} // namespace mph
