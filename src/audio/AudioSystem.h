// The process-wide sound engine: start and stop, the effects volume, the audio lock and channel ownership.
#pragma once

#include "runtime/Object.h"

#include <cstdint>

namespace mph {

// The mixing rate every sound is converted to; the engine is opened at exactly this rate.
inline constexpr int kAudioFrequency = 22050;
// The number of sample channels the engine mixes at once.
inline constexpr int kAudioChannels = 32;
// The mix buffer, in sample frames, used when the settings leave it to us.
inline constexpr int kDefaultMixBuffer = 1024;

// The one lock held around every call into the sound engine. It is a leaf lock: nothing else is locked
// while it is held, so it may be taken under any other lock of the program.
lang::Object& audioLock();

// Opens the sound device at 22050 Hz with 32 channels. window is not needed by the engine on this
// platform and is accepted so callers need not care. mixBuffer is the mix buffer in sample frames, -1 for
// our default. useWaveOut asks for the alternative output: every other audio driver is tried in turn
// (unless the user named a driver in the environment, which is always honoured). True when started or
// already running.
bool startAudio(void* window, int mixBuffer, bool useWaveOut);
// Closes the sound device; clips keep their data and reload nothing, they simply stay silent.
void stopAudio();
bool isAudioStarted();
// The master volume of sound effects (samples), 0 to 255; values outside are clamped. Music is not
// affected. Does nothing when the engine is not running.
void setEffectsVolume(int volume);

// Frees what the engine keeps for the calling thread (its error text). Threads not started by the engine
// call this when they end if they used sound; the main thread need not.
void releaseAudioThreadState();

// Scales a volume of 0 to 255 (clamped) to the engine's 0 to 128.
int engineVolume(int volume);

// Who owns which engine channel. The engine reuses a finished channel for the next sound and has a single
// music channel, so a clip remembers its channel and asks here whether it still owns it before it touches
// it. Owners are clip serial numbers (0 = nobody). Every call needs audioLock held.
namespace channelOwners {
void claimChannel(int channel, uint64_t owner);
bool ownsChannel(int channel, uint64_t owner);
void claimMusic(uint64_t owner);
bool ownsMusic(uint64_t owner);
// Forgets owner everywhere (the clip is going away or its sound was freed).
void forget(uint64_t owner);
void clear();
} // namespace channelOwners

} // namespace mph
