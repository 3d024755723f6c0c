// HandTimes: how quickly a player's hand moves the shapes, from a replay of the game. The reaction of a
// pick-up runs from the moment the shape could be taken (it had come within reach in the tray and the
// hand was empty after the last drop) to the pick-up; the carry runs from the pick-up to the drop into a
// hole. Both are counted in ticks; whoever judges them sets the limits.
#pragma once

#include "game/GameObserver.h"

#include <cstdint>
#include <vector>

namespace mph::service {

class HandTimes {
public:
    void pickedUp(int32_t arrived, int32_t tick);
    void placed(int32_t tick);

    // Every measured reaction and carry, in ticks, in the order they happened.
    const std::vector<int32_t>& reactions() const { return m_reactions; }
    const std::vector<int32_t>& carries() const { return m_carries; }
    // How many of them lasted fewer than ticks.
    static int32_t countBelow(const std::vector<int32_t>& times, int32_t ticks);
    // The middle value (the lower of the two middle ones), 0 when there is none.
    static int32_t median(std::vector<int32_t> times);

private:
    std::vector<int32_t> m_reactions;
    std::vector<int32_t> m_carries;
    int32_t m_lastPlace = -1; // -1: no drop yet
    int32_t m_pickTick = -1;  // -1: nothing held since the last drop
};

// Feeds a HandTimes from a game's reports.
class HandWatch : public GameObserver {
public:
    explicit HandWatch(HandTimes& times) : m_times(times) {}
    void onPickUp(int32_t arrived, int32_t tick) override { m_times.pickedUp(arrived, tick); }
    void onPlace(int32_t tick) override { m_times.placed(tick); }

private:
    HandTimes& m_times;
};

} // namespace mph::service
