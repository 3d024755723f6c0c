// AudioClip: one sound of the game (a sample, a music stream or a tracker module) and its playback.
#pragma once

#include "runtime/Object.h"
#include "runtime/String.h"

#include <cstdint>
#include <vector>

struct Mix_Chunk;
struct _Mix_Music;

namespace mph {

class AudioClip : public lang::Object {
    LANG_CLASS(AudioClip, Object)

public:
    // The kinds of sound; the numbers are the ones the data script's loader uses.
    enum Type { Sample = 0, Stream = 1, Module = 2 };
    // The channel number a clip holds while its sound is in the engine's single music channel.
    static constexpr int kMusicChannel = 0x10000;

    // An empty clip; loadClip gives it a sound.
    AudioClip();
    // A clip that loads name as type at once. It exists even when the load fails (and is then silent).
    AudioClip(const lang::String& name, int type);
    AudioClip(const AudioClip&) = delete;
    AudioClip& operator=(const AudioClip&) = delete;
    ~AudioClip() override;

    // A clip for one entry of the data script's sound list, or null for an entry shorter than 3
    // characters. Entries ending in ".s3m", ".mod" or ".xm" are modules, entries written with a leading
    // "*" streams (the "*" is not part of the file name), the rest samples. A name starting with "+" is a
    // container item; any other is a file in baseDirectory. The caller owns the new clip.
    static AudioClip* createClip(const lang::String& entry, const lang::String& baseDirectory);

    // Starts the sound from its beginning, once (a sound already playing restarts).
    void play() { playImpl(); }
    // Plays the sound over and over; resumes it when paused; a clip already playing is left as it is.
    void loop() { loopImpl(); }
    void pause() { pauseImpl(); }
    void stop() { stopImpl(); }
    // 0 to 255 (clamped); applies now when the sound is playing and to every later start.
    virtual void setVolume(int volume);

    // Loads name (a file, or "+item" from the container) as type, replacing any sound held before.
    // True when the sound loaded.
    bool loadClip(const lang::String& name, int type);
    // Frees the sound; the next play or loop loads it again from its name unless the last load failed.
    void unloadClip();
    // True while the sound plays (also while paused); false once another clip took its channel.
    bool isPlaying();

    const lang::String& getName() const { return m_name; }
    int getType() const { return m_type; }
    // -1 when never set.
    int getVolume() const { return m_volume; }
    bool isLoaded() const { return m_chunk != nullptr || m_music != nullptr; }
    bool hasLoadFailed() const { return m_loadFailed; }

protected:
    virtual void loopImpl();
    virtual void pauseImpl();
    virtual void playImpl();
    virtual void stopImpl();

private:
    // Loads the sound on demand before play or loop; true when there is a sound to play.
    bool ensureLoaded();
    void applyVolume();
    bool ownsChannel() const;
    bool isPaused() const;
    void startSample(int loops);
    void startMusic(int loops);

    uint64_t m_id;
    Mix_Chunk* m_chunk = nullptr;
    _Mix_Music* m_music = nullptr;
    // The bytes a music object reads from while it plays; freed only after the music object.
    std::vector<uint8_t> m_streamCopy;
    int m_channel = -1;
    int m_volume = -1;
    int m_type = Sample;
    lang::String m_name;
    bool m_loadFailed = false;
};

} // namespace mph
