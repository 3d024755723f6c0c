// BoardRules: frame choice, row offsets, slot frames, decks and the deal rule.
#include "rules/BoardRules.h"

#include "rules/Layout.h"
#include "rules/Random.h"

#include <algorithm>
#include <utility>

namespace mph {

BoardRules::FrameChoice BoardRules::chooseFrames(Random& random, const Layout& layout,
                                                 const LevelParams& params, int32_t level) {
    FrameChoice choice;
    const int32_t count = std::max(params.frameCount, 0);
    choice.kinds.assign(count, -1);
    choice.frames.assign(count, 0);
    int32_t triples = params.tripleCount;
    int32_t pairs = params.pairCount;
    const int32_t kinds = layout.kindCount();
    // A bound on the draws: far more than any valid layout needs, so bad data cannot hang the game.
    int64_t budget = 1'000'000;
    int32_t i = 0;
    while (i < count) {
        int32_t k = -1;
        while (budget-- > 0) {
            const int32_t candidate = random.nextInt(kinds - 2);
            const auto chosenEnd = choice.kinds.begin() + i;
            if (std::find(choice.kinds.begin(), chosenEnd, candidate) != chosenEnd) continue;
            if (triples > 0 && layout.framesPerKind[candidate] < 4) continue;
            if (pairs > 0 && layout.framesPerKind[candidate] < 2) continue;
            k = candidate;
            break;
        }
        if (k < 0) {
            // Only data that failed validation gets here; the level keeps the frames chosen so far.
            choice.kinds.resize(i);
            choice.frames.resize(i);
            break;
        }
        const int32_t n = layout.framesPerKind[k];
        const int32_t first = layout.firstFrameOfKind[k];
        const int32_t v = random.nextInt(n - 1);
        choice.kinds[i] = k;
        choice.frames[i] = first + v;
        if (triples > 0 && i + 2 < count) {
            choice.kinds[i + 1] = choice.kinds[i + 2] = k;
            choice.frames[i + 1] = first + (v + 1) % n;
            choice.frames[i + 2] = first + (v + 2) % n;
            --triples;
            i += 2;
            if (triples == 0 && level > 15) choice.decoyFrame = first + (v + 3) % n;
        } else if (pairs > 0 && i + 1 < count) {
            choice.kinds[i + 1] = k;
            choice.frames[i + 1] = first + (v + 1) % n;
            --pairs;
            i += 1;
        }
        i += 1;
    }
    return choice;
}

int32_t BoardRules::rowOffset(Random& random, const Layout& layout, int32_t slotsPerRow, bool bonusRound) {
    if (bonusRound) return slotsPerRow * layout.slotPitch - layout.slotPitch;
    return random.nextInt(slotsPerRow * layout.slotPitch - layout.boardWidth - 1);
}

std::vector<int32_t> BoardRules::slotFrames(Random& random, const std::vector<int32_t>& chosenFrames,
                                            int32_t totalSlots) {
    std::vector<int32_t> list(std::max(totalSlots, 0), 0);
    if (chosenFrames.empty() || list.empty()) return list;
    for (size_t j = 0; j < list.size(); ++j)
        list[j] = chosenFrames[j % chosenFrames.size()];
    for (int32_t s = 0; s < 100; ++s) {
        const int32_t a = random.nextInt(totalSlots - 1);
        const int32_t b = random.nextInt(totalSlots - 1);
        std::swap(list[a], list[b]);
    }
    return list;
}

void BoardRules::fillDeck(Random& random, std::vector<int32_t>& deck,
                          const std::vector<int32_t>& chosenFrames, int32_t decoyFrame) {
    const int32_t length = static_cast<int32_t>(deck.size());
    if (length == 0) return;
    size_t start = 0;
    if (decoyFrame != -1 && length >= 2) {
        deck[0] = deck[1] = decoyFrame;
        start = 2;
    }
    for (size_t j = start, c = 0; j < deck.size(); ++j, ++c)
        deck[j] = chosenFrames.empty() ? 0 : chosenFrames[c % chosenFrames.size()];
    for (int32_t s = 0; s < 100; ++s) {
        const int32_t a = random.nextInt(length - 1);
        const int32_t b = random.nextInt(length - 1);
        std::swap(deck[a], deck[b]);
    }
}

void BoardRules::fillBonusDeck(Random& random, std::vector<int32_t>& deck,
                               const std::vector<std::vector<int32_t>>& tailFrames) {
    const int32_t rows = static_cast<int32_t>(tailFrames.size());
    if (rows == 0) return;
    const int32_t columns = static_cast<int32_t>(tailFrames[0].size());
    for (int32_t c = 0; c < columns; ++c)
        for (int32_t r = 0; r < rows; ++r) {
            const size_t at = static_cast<size_t>(rows) * c + r;
            if (at < deck.size() && c < static_cast<int32_t>(tailFrames[r].size()))
                deck[at] = tailFrames[r][c];
        }
    for (int32_t c = 0; c < columns; ++c) {
        const size_t group = static_cast<size_t>(rows) * c;
        for (int32_t s = 0; s < 10; ++s) {
            const int32_t a = random.nextInt(rows - 1);
            const int32_t b = random.nextInt(rows - 1);
            if (group + a < deck.size() && group + b < deck.size())
                std::swap(deck[group + a], deck[group + b]);
        }
    }
}

BoardRules::Deal BoardRules::nextDeal(const LevelParams& params, int32_t dealtCount, bool trayHoldsSpecial) {
    if (params.wildcardEvery > 0 && !trayHoldsSpecial && dealtCount % params.wildcardEvery == 0)
        return Wildcard;
    if (params.morphEvery > 0 && !trayHoldsSpecial && dealtCount % params.morphEvery == 0) return Morphing;
    return FromDeck;
}

} // namespace mph
