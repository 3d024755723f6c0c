// Starting the sound engine at program start, with the retries that ride out a device that is busy.
#pragma once

#include <cstdint>
#include <functional>

namespace mph {

// How long the second attempt waits after the first failed.
inline constexpr uint32_t kSoundRetryWaitMs = 3000;

// The operations initSound uses; tests replace them to count attempts without a device or a real wait.
struct SoundStartHooks {
    std::function<bool(void* window, int mixBuffer, bool useWaveOut)> start;
    std::function<void(uint32_t milliseconds)> wait;
};

// Starts the sound engine with the stored options: once as asked; when that fails, again after waiting
// kSoundRetryWaitMs; when that fails too, once more with the alternative output. True when one attempt
// succeeded; the game runs silently otherwise.
bool initSound(void* window, int mixBuffer, bool useWaveOut);
bool initSound(void* window, int mixBuffer, bool useWaveOut, const SoundStartHooks& hooks);

} // namespace mph
