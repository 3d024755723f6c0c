// Plausibility: the measures of a game's inputs and their limits.
#include "service/Plausibility.h"

#include "platform/Event.h"
#include "platform/PadButton.h"

#include <cmath>
#include <cstdlib>
#include <deque>

namespace mph::service {

namespace {

constexpr int32_t kTickMs = 40;
constexpr int32_t kWindowTicks = 10000 / kTickMs;
constexpr int32_t kJumpTicks = 2;

} // namespace

void Plausibility::Verdict::fail(std::string reason) {
    human = false;
    reasons.push_back(std::move(reason));
}

void Plausibility::judgeHand(const HandTimes& hand, Verdict& v) {
    const auto reactions = static_cast<int32_t>(hand.reactions().size());
    const auto carries = static_cast<int32_t>(hand.carries().size());
    // A time in whole ticks is below a limit in milliseconds when it is below the limit's ticks rounded up.
    const int32_t fastReactions =
        HandTimes::countBelow(hand.reactions(), (kMinReactionMs + kTickMs - 1) / kTickMs);
    const int32_t fastCarries = HandTimes::countBelow(hand.carries(), (kMinCarryMs + kTickMs - 1) / kTickMs);
    v.reactions = reactions;
    v.carries = carries;
    v.fastReactionShare = reactions > 0 ? static_cast<double>(fastReactions) / reactions : 0;
    v.fastCarryShare = carries > 0 ? static_cast<double>(fastCarries) / carries : 0;
    v.medianReactionMs = HandTimes::median(hand.reactions()) * kTickMs;
    v.medianCarryMs = HandTimes::median(hand.carries()) * kTickMs;
    if (reactions >= kHandMinCount && v.fastReactionShare > kMaxFastHandShare)
        v.fail(std::to_string(fastReactions) + " of " + std::to_string(reactions) + " pick-ups less than " +
               std::to_string(kMinReactionMs) + " ms after the shape could be taken");
    if (carries >= kHandMinCount && v.fastCarryShare > kMaxFastHandShare)
        v.fail(std::to_string(fastCarries) + " of " + std::to_string(carries) +
               " shapes dropped into their hole less than " + std::to_string(kMinCarryMs) +
               " ms after their pick-up");
}

std::string Plausibility::Verdict::summary() const {
    std::string out;
    for (const std::string& r : reasons)
        out += (out.empty() ? "" : "; ") + r;
    return out;
}

Plausibility::Verdict Plausibility::judge(const ReplayFile& file, const HandTimes& hand) {
    Verdict v;
    std::deque<int32_t> window; // ticks of the actions within the last ten seconds
    bool havePress = false, havePointer = false;
    int32_t lastPressTick = 0, lastPressX = 0, lastPressY = 0;
    int32_t pointerX = 0, pointerY = 0, lastMoveTick = INT32_MIN / 2;
    int32_t fastAimed = 0, jumps = 0;
    double sum = 0, sumSquares = 0;
    int32_t intervals = 0;
    for (const ReplayEvent& e : file.events) {
        if (e.resume) continue;
        const GameInput& in = e.input;
        // A finger lands where it is put down without a way there, so its presses never count as jumps.
        const bool touch = in.kind == GameInput::kTouch;
        const bool press = (in.kind == GameInput::kMouse || touch) && in.id == Event::kMouseDown;
        // Arrow keys steer a cursor and repeat while held; they are no actions of their own.
        const bool steering = in.kind == GameInput::kKey && in.x >= Event::kLeft && in.x <= Event::kDown;
        // A gamepad's buttons are actions; its D-pad steers as the arrow keys do.
        const bool padAction = in.kind == GameInput::kPad && in.id == Event::kPadDown && in.x < kPadUp;
        const bool action = press || padAction || (in.kind == GameInput::kKey && !steering);
        if ((in.kind == GameInput::kMouse || touch) && !press && in.id != Event::kMouseUp) {
            pointerX = in.x;
            pointerY = in.y;
            lastMoveTick = in.tick;
            havePointer = true;
        }
        if (action) {
            window.push_back(in.tick);
            while (!window.empty() && window.front() <= in.tick - kWindowTicks)
                window.pop_front();
            if (static_cast<int32_t>(window.size()) > v.peakActionsPer10s)
                v.peakActionsPer10s = static_cast<int32_t>(window.size());
        }
        if (!press) {
            if (in.kind == GameInput::kMouse || touch) {
                pointerX = in.x;
                pointerY = in.y;
                havePointer = true;
            }
            continue;
        }
        ++v.presses;
        const int32_t jump = std::abs(in.x - pointerX) + std::abs(in.y - pointerY);
        if (!touch && (!havePointer || jump >= kJumpDistance) && in.tick - lastMoveTick > kJumpTicks) ++jumps;
        if (havePress) {
            const int32_t ms = (in.tick - lastPressTick) * kTickMs;
            const int32_t distance = std::abs(in.x - lastPressX) + std::abs(in.y - lastPressY);
            if (distance >= kAimDistance && ms < kAimMs) ++fastAimed;
            sum += ms;
            sumSquares += static_cast<double>(ms) * ms;
            ++intervals;
        }
        havePress = true;
        lastPressTick = in.tick;
        lastPressX = pointerX = in.x;
        lastPressY = pointerY = in.y;
        havePointer = true;
    }
    if (v.presses > 0) {
        v.fastAimedShare = static_cast<double>(fastAimed) / v.presses;
        v.jumpShare = static_cast<double>(jumps) / v.presses;
    }
    if (intervals > 0) {
        const double mean = sum / intervals;
        const double variance = std::max(0.0, sumSquares / intervals - mean * mean);
        v.variation = mean > 0 ? std::sqrt(variance) / mean : 0;
    }
    auto fail = [&v](std::string reason) {
        v.human = false;
        v.reasons.push_back(std::move(reason));
    };
    if (v.peakActionsPer10s > kMaxActionsPer10s)
        fail(std::to_string(v.peakActionsPer10s) + " actions within ten seconds (a person makes at most " +
             std::to_string(kMaxActionsPer10s) + ")");
    if (v.presses >= 10 && v.fastAimedShare > kMaxFastAimedShare)
        fail(std::to_string(fastAimed) + " of " + std::to_string(v.presses) +
             " presses aimed far in less than " + std::to_string(kAimMs) + " ms");
    if (v.presses >= 10 && v.jumpShare > kMaxJumpShare)
        fail(std::to_string(jumps) + " of " + std::to_string(v.presses) +
             " presses where the pointer never moved to");
    if (v.presses >= kRegularityMinPresses && v.variation < kMinVariation)
        fail("presses as regular as a clock");
    judgeHand(hand, v);
    return v;
}

} // namespace mph::service
