// Starting the sound engine at program start, with the retries that ride out a device that is busy.
#include "audio/SoundStartup.h"

#include "audio/AudioSystem.h"

#include <chrono>
#include <thread>

namespace mph {

bool initSound(void* window, int mixBuffer, bool useWaveOut) {
    SoundStartHooks hooks{startAudio,
                          [](uint32_t ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }};
    return initSound(window, mixBuffer, useWaveOut, hooks);
}

bool initSound(void* window, int mixBuffer, bool useWaveOut, const SoundStartHooks& hooks) {
    if (hooks.start(window, mixBuffer, useWaveOut)) return true;
    // A device held by another program is often free again a moment later.
    if (hooks.wait) hooks.wait(kSoundRetryWaitMs);
    if (hooks.start(window, mixBuffer, useWaveOut)) return true;
    return hooks.start(window, mixBuffer, true);
}

} // namespace mph
