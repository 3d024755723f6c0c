// The process-wide sound engine: device start-up with driver fallback, shutdown, volumes and channel owners.
#include "audio/AudioSystem.h"

#include "runtime/SyncGuard.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <array>
#include <cstring>

using namespace lang;

namespace mph {

namespace {

// Guarded by audioLock.
bool g_started = false;
std::array<uint64_t, kAudioChannels> g_channelOwner{};
uint64_t g_musicOwner = 0;

// The mix buffer handed to the engine: our default for -1 or nonsense, otherwise kept within what the
// device layer accepts (a 16-bit count of sample frames).
int chunkSize(int mixBuffer) {
    if (mixBuffer <= 0) return kDefaultMixBuffer;
    return std::clamp(mixBuffer, 256, 32768);
}

// One attempt with whatever driver the device layer picks (or the hint names). Leaves nothing
// initialised when it fails.
bool openDevice(int mixBuffer) {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
    // No changes allowed: the device layer converts to the device's real format if it must, so every
    // sound is mixed at exactly 22050 Hz.
    if (Mix_OpenAudioDevice(kAudioFrequency, AUDIO_S16SYS, 2, chunkSize(mixBuffer), nullptr, 0) != 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    return true;
}

// The alternative output: every driver the device layer offers, in its own order of preference. The
// dummy and file-writing drivers are left out because they make no sound. A driver the user named in the
// environment overrides hints, so then there is only the one attempt.
bool openAlternativeDevice(int mixBuffer) {
    const char* chosen = SDL_getenv("SDL_AUDIODRIVER");
    if (chosen && *chosen) return openDevice(mixBuffer);
    bool opened = false;
    for (int i = 0; i < SDL_GetNumAudioDrivers() && !opened; ++i) {
        const char* driver = SDL_GetAudioDriver(i);
        if (!driver || std::strcmp(driver, "dummy") == 0 || std::strcmp(driver, "disk") == 0) continue;
        SDL_SetHint(SDL_HINT_AUDIODRIVER, driver);
        opened = openDevice(mixBuffer);
    }
    SDL_ResetHint(SDL_HINT_AUDIODRIVER);
    return opened;
}

} // namespace

Object& audioLock() {
    // Never destroyed: clips released during static destruction may still take it.
    static Object* lock = new Object();
    return *lock;
}

bool startAudio(void* /*window*/, int mixBuffer, bool useWaveOut) {
    SyncGuard guard(&audioLock());
    if (g_started) return true;
    bool opened = useWaveOut ? openAlternativeDevice(mixBuffer) : openDevice(mixBuffer);
    if (opened) {
        // Decoders for modules and compressed streams; a missing one only means those files fail to load.
        Mix_Init(MIX_INIT_MOD | MIX_INIT_OGG | MIX_INIT_MP3);
        Mix_AllocateChannels(kAudioChannels);
        Mix_MasterVolume(MIX_MAX_VOLUME);
        Mix_VolumeMusic(MIX_MAX_VOLUME);
        channelOwners::clear();
    }
    g_started = opened;
    return opened;
}

void stopAudio() {
    SyncGuard guard(&audioLock());
    if (!g_started) return;
    Mix_HaltMusic();
    Mix_HaltChannel(-1);
    Mix_CloseAudio();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    channelOwners::clear();
    g_started = false;
}

bool isAudioStarted() {
    SyncGuard guard(&audioLock());
    return g_started;
}

void releaseAudioThreadState() {
    SDL_TLSCleanup();
}

int engineVolume(int volume) {
    return (std::clamp(volume, 0, 255) * MIX_MAX_VOLUME + 127) / 255;
}

void setEffectsVolume(int volume) {
    SyncGuard guard(&audioLock());
    if (g_started) Mix_MasterVolume(engineVolume(volume));
}

namespace channelOwners {

void claimChannel(int channel, uint64_t owner) {
    if (channel < 0 || channel >= kAudioChannels) return;
    g_channelOwner[static_cast<size_t>(channel)] = owner;
}

bool ownsChannel(int channel, uint64_t owner) {
    if (channel < 0 || channel >= kAudioChannels || owner == 0) return false;
    return g_channelOwner[static_cast<size_t>(channel)] == owner;
}

void claimMusic(uint64_t owner) {
    g_musicOwner = owner;
}

bool ownsMusic(uint64_t owner) {
    return owner != 0 && g_musicOwner == owner;
}

void forget(uint64_t owner) {
    for (auto& o : g_channelOwner)
        if (o == owner) o = 0;
    if (g_musicOwner == owner) g_musicOwner = 0;
}

void clear() {
    g_channelOwner.fill(0);
    g_musicOwner = 0;
}

} // namespace channelOwners

} // namespace mph
