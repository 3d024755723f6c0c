// Plausibility: whether a recorded game's inputs lie within what a person can do. A replay proves that a
// game is possible; these limits tell a person's game from a program's. Each is set well beyond what the
// fastest players reach, so a human game is never held back, and the reasons name the limit passed.
#pragma once

#include "replay/ReplayFile.h"
#include "service/HandTimes.h"

#include <cstdint>
#include <string>
#include <vector>

namespace mph::service {

class Plausibility {
public:
    // Actions (presses and keys) within any ten seconds: eight a second, sustained. The game asks for a
    // look at a moving hole before each drop; even a quick player keeps to two or three a second.
    static constexpr int32_t kMaxActionsPer10s = 80;
    // Presses 150 pixels or more from the previous press and less than 100 ms after it (a reaction and an
    // aimed movement in that time is beyond a hand): at most a tenth of the presses.
    static constexpr int32_t kAimDistance = 150;
    static constexpr int32_t kAimMs = 100;
    static constexpr double kMaxFastAimedShare = 0.10;
    // Presses at a place the pointer never moved towards (it jumped there 40 pixels or more without a
    // single move in the two ticks before): at most half. A mouse reports its way; a program need not.
    static constexpr int32_t kJumpDistance = 40;
    static constexpr double kMaxJumpShare = 0.5;
    // The time between presses varies from one to the next for a person: with 30 presses or more, its
    // coefficient of variation (deviation over mean) is at least 0.15.
    static constexpr int32_t kRegularityMinPresses = 30;
    static constexpr double kMinVariation = 0.15;
    // From a replay: a pick-up less than 100 ms after the shape could be taken (it was in reach and the hand
    // empty), and a drop into a hole less than 100 ms after its pick-up, on more than half of 20 or more.
    // The fastest people react to a sight in about 150 ms (athletics takes a start sooner than 100 ms
    // after the gun for a guess), and the hand must also travel the 80 pixels or more between the tray
    // and the lowest holes; a person beats both now and then by anticipating, never on most moves.
    static constexpr int32_t kMinReactionMs = 100;
    static constexpr int32_t kMinCarryMs = 100;
    static constexpr int32_t kHandMinCount = 20;
    static constexpr double kMaxFastHandShare = 0.5;

    struct Verdict {
        bool human = true;
        std::vector<std::string> reasons;
        int32_t peakActionsPer10s = 0;
        int32_t presses = 0;
        double fastAimedShare = 0;
        double jumpShare = 0;
        double variation = 0;
        int32_t reactions = 0, carries = 0; // measured in the replay
        double fastReactionShare = 0, fastCarryShare = 0;
        int32_t medianReactionMs = 0, medianCarryMs = 0;
        // The reasons joined with "; ".
        std::string summary() const;
        void fail(std::string reason);
    };

    // hand: what a replay of the game measured (empty: those limits are not applied).
    static Verdict judge(const ReplayFile& file, const HandTimes& hand = {});

private:
    static void judgeHand(const HandTimes& hand, Verdict& v);
};

} // namespace mph::service
