// DemoCanvas: drives the demonstration scene of the data file until the game takes its place.
#pragma once

#include "app/GameCanvas2.h"

namespace mph {

class AudioClip;
class DialogSprite;
class NumberSprite;

// The counter counts up to the script's target by its step each tick and starts again; the dialog's
// buttons answer the pointer; "bplay" plays the chime and "bclose" fades the dialog out, and a press
// anywhere brings it back. The music loops while sound is on.
class DemoCanvas : public GameCanvas2 {
    LANG_CLASS(DemoCanvas, GameCanvas2)

public:
    DemoCanvas();
    ~DemoCanvas() override;

    void onDataLoaded(DataLoader* loader) override;
    void tick() override;
    void handleEvent() override;
    void setSoundEnabled(bool on) override;
    void shutdown() override;

    NumberSprite* getCounter() const { return m_counter; }
    DialogSprite* getDialog() const { return m_dialog; }
    AudioClip* getMusic() const { return m_music.get(); }

    // Sound list entries the demonstration uses.
    static constexpr int32_t kSoundClick = 0;
    static constexpr int32_t kSoundPop = 1;
    static constexpr int32_t kSoundChime = 2;

private:
    NumberSprite* m_counter = nullptr; // borrowed from the display list
    DialogSprite* m_dialog = nullptr;  // borrowed from the display list
    lang::Ref<AudioClip> m_music;
    int32_t m_counterTarget = 9999;
    int32_t m_counterStep = 1;
};

} // namespace mph
