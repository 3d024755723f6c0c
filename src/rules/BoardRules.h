// BoardRules: the random choices that build a level's board and deck, and the tray's deal rule, as
// plain arithmetic over frame numbers.
#pragma once

#include "rules/LevelTable.h"

#include <cstdint>
#include <vector>

namespace mph {

class Random;
struct Layout;

class BoardRules {
public:
    // The frames of a level: distinct ordinary kinds, with neighbouring variants of one kind for each
    // triple and pair. In levels above 15 the variant after the last triple becomes the decoy, which no
    // slot accepts. The layout must have passed validate(); otherwise the choice stops early rather than
    // looping for ever.
    struct FrameChoice {
        std::vector<int32_t> kinds;
        std::vector<int32_t> frames;
        int32_t decoyFrame = -1;
    };
    static FrameChoice chooseFrames(Random& random, const Layout& layout, const LevelParams& params,
                                    int32_t level);

    // A row's start offset in pixels: how far left of the board its first slot starts.
    static int32_t rowOffset(Random& random, const Layout& layout, int32_t slotsPerRow, bool bonusRound);

    // The frame of every slot of the level: the chosen frames in turn, then shuffled by 100 swaps.
    static std::vector<int32_t> slotFrames(Random& random, const std::vector<int32_t>& chosenFrames,
                                           int32_t totalSlots);

    // A timed or rising-rows deck: two decoys first when there is one, then the chosen frames in turn,
    // shuffled by 100 swaps; deck.size() is its length.
    static void fillDeck(Random& random, std::vector<int32_t>& deck, const std::vector<int32_t>& chosenFrames,
                         int32_t decoyFrame);
    // A bonus round's deck, in the order the slots arrive: column by column from each row's tail
    // (tailFrames[r][c] is the frame of the slot c places left of row r's tail), each column shuffled
    // by 10 swaps.
    static void fillBonusDeck(Random& random, std::vector<int32_t>& deck,
                              const std::vector<std::vector<int32_t>>& tailFrames);

    // What the tray deals next.
    enum Deal { FromDeck, Wildcard, Morphing };
    static Deal nextDeal(const LevelParams& params, int32_t dealtCount, bool trayHoldsSpecial);
};

} // namespace mph
