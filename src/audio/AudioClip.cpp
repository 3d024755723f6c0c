// AudioClip: loading a sound into the engine and playing, looping, pausing and stopping it.
#include "audio/AudioClip.h"

#include "audio/AudioSystem.h"
#include "audio/SoundData.h"
#include "runtime/SyncGuard.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <atomic>

using namespace lang;

namespace mph {

namespace {

uint64_t nextClipId() {
    static std::atomic<uint64_t> next{1};
    return next.fetch_add(1, std::memory_order_relaxed);
}

// The engine converts a sample to the device's format in a buffer sized for the widest step of the
// conversion (four times a mono 16-bit sample's size for stereo output) and keeps that buffer; the sound
// itself fills half of it. The rest is handed back.
void shrinkToSize(Mix_Chunk* chunk) {
    if (chunk == nullptr || chunk->allocated != 1 || chunk->abuf == nullptr || chunk->alen == 0) return;
    if (void* fitted = SDL_realloc(chunk->abuf, chunk->alen)) chunk->abuf = static_cast<Uint8*>(fitted);
}

} // namespace

AudioClip::AudioClip() : m_id(nextClipId()) {}

AudioClip::AudioClip(const String& name, int type) : m_id(nextClipId()) {
    loadClip(name, type);
}

AudioClip::~AudioClip() {
    SyncGuard guard(&audioLock());
    unloadClip();
    channelOwners::forget(m_id);
}

AudioClip* AudioClip::createClip(const String& entry, const String& baseDirectory) {
    if (entry.length() < 3) return nullptr;
    String name = entry.charAt(0) == '*' ? entry.substring(1) : entry;
    int type = Sample;
    if (entry.endsWith(".s3m") || entry.endsWith(".mod") || entry.endsWith(".xm"))
        type = Module;
    else if (entry.charAt(0) == '*')
        type = Stream;
    if (name.charAt(0) != '+') name = baseDirectory + "\\" + name;
    return new AudioClip(name, type);
}

bool AudioClip::loadClip(const String& name, int type) {
    SyncGuard guard(&audioLock());
    m_name = name;
    unloadClip();
    m_type = type == Stream || type == Module ? type : Sample;
    if (isAudioStarted()) {
        std::vector<uint8_t> bytes;
        if (readSoundData(name, bytes)) {
            if (m_type == Sample) {
                // The engine decodes the whole sample into its own buffer, so the bytes may go afterwards.
                m_chunk = Mix_LoadWAV_RW(SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size())), 1);
                shrinkToSize(m_chunk);
            } else {
                // Music decoders read from the bytes while playing: they live as long as the music object.
                m_streamCopy = std::move(bytes);
                m_music = Mix_LoadMUS_RW(
                    SDL_RWFromConstMem(m_streamCopy.data(), static_cast<int>(m_streamCopy.size())), 1);
                if (!m_music) std::vector<uint8_t>().swap(m_streamCopy);
            }
        }
    }
    m_loadFailed = !isLoaded();
    return !m_loadFailed;
}

void AudioClip::unloadClip() {
    SyncGuard guard(&audioLock());
    // Freeing a sound also silences it; the engine allows this after the device closed, so memory is
    // never kept for a stopped engine.
    if (m_chunk) Mix_FreeChunk(m_chunk);
    if (m_music) Mix_FreeMusic(m_music);
    m_chunk = nullptr;
    m_music = nullptr;
    std::vector<uint8_t>().swap(m_streamCopy);
    channelOwners::forget(m_id);
    m_channel = -1;
}

bool AudioClip::ensureLoaded() {
    if (!isLoaded() && !m_name.isEmpty() && !m_loadFailed) loadClip(m_name, m_type);
    return isLoaded();
}

bool AudioClip::ownsChannel() const {
    if (m_channel == kMusicChannel) return channelOwners::ownsMusic(m_id);
    return channelOwners::ownsChannel(m_channel, m_id);
}

bool AudioClip::isPaused() const {
    if (!ownsChannel()) return false;
    return m_channel == kMusicChannel ? Mix_PausedMusic() != 0 : Mix_Paused(m_channel) != 0;
}

bool AudioClip::isPlaying() {
    SyncGuard guard(&audioLock());
    if (!isAudioStarted() || !ownsChannel()) return false;
    return m_channel == kMusicChannel ? Mix_PlayingMusic() != 0 : Mix_Playing(m_channel) != 0;
}

void AudioClip::applyVolume() {
    if (!ownsChannel()) return;
    // A clip whose volume was never set plays at full volume, whatever the previous user of the channel
    // left behind.
    int volume = m_volume < 0 ? MIX_MAX_VOLUME : engineVolume(m_volume);
    if (m_channel == kMusicChannel)
        Mix_VolumeMusic(volume);
    else
        Mix_Volume(m_channel, volume);
}

void AudioClip::startSample(int loops) {
    m_channel = Mix_PlayChannel(-1, m_chunk, loops);
    if (m_channel < 0) return; // every channel is busy: this sound is dropped
    channelOwners::claimChannel(m_channel, m_id);
    applyVolume();
}

void AudioClip::startMusic(int loops) {
    // The engine has a single music channel: starting this clip ends whatever other clip held it, and that
    // clip then reports itself as not playing.
    if (Mix_PlayMusic(m_music, loops) != 0) {
        m_channel = -1;
        return;
    }
    // A pause left behind by the previous music would otherwise hold the new music too.
    Mix_ResumeMusic();
    m_channel = kMusicChannel;
    channelOwners::claimMusic(m_id);
    applyVolume();
}

void AudioClip::playImpl() {
    SyncGuard guard(&audioLock());
    if (!isAudioStarted() || !ensureLoaded()) return;
    stopImpl();
    if (m_chunk)
        startSample(0);
    else
        startMusic(1);
}

void AudioClip::loopImpl() {
    SyncGuard guard(&audioLock());
    if (!isAudioStarted() || !ensureLoaded()) return;
    if (isPaused()) {
        if (m_channel == kMusicChannel)
            Mix_ResumeMusic();
        else
            Mix_Resume(m_channel);
    } else if (!isPlaying()) {
        // A finished channel may already carry another clip's sound; it is forgotten, never stopped.
        channelOwners::forget(m_id);
        m_channel = -1;
        if (m_chunk)
            startSample(-1);
        else
            startMusic(-1);
        return;
    }
    applyVolume();
}

void AudioClip::pauseImpl() {
    SyncGuard guard(&audioLock());
    if (!isAudioStarted() || !ownsChannel()) return;
    if (m_channel == kMusicChannel) {
        if (Mix_PlayingMusic()) Mix_PauseMusic();
    } else {
        Mix_Pause(m_channel);
    }
}

void AudioClip::stopImpl() {
    SyncGuard guard(&audioLock());
    if (isAudioStarted() && ownsChannel()) {
        if (m_channel == kMusicChannel)
            Mix_HaltMusic();
        else
            Mix_HaltChannel(m_channel);
    }
    channelOwners::forget(m_id);
    m_channel = -1;
}

void AudioClip::setVolume(int volume) {
    SyncGuard guard(&audioLock());
    m_volume = volume < 0 ? 0 : (volume > 255 ? 255 : volume);
    if (isAudioStarted()) applyVolume();
}

} // namespace mph
