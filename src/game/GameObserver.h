// GameObserver: what the game tells whoever watches it (the headless driver, a recorder): state
// changes, sounds, level starts and score pop-ups, as they happen.
#pragma once

#include <cstdint>

namespace mph {

// Called with the canvas locked, on whichever thread made the change; an observer must not call back
// into the canvas.
class GameObserver {
public:
    virtual ~GameObserver() = default;
    virtual void onState(int32_t /*to*/) {}
    virtual void onSound(int32_t /*index*/) {}
    virtual void onLevel(int32_t /*level*/, int32_t /*mode*/) {}
    virtual void onPopup(int32_t /*points*/) {}
};

} // namespace mph
