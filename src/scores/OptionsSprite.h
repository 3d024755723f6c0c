// OptionsSprite: the options dialog, with an effects volume knob, a music volume knob and a full-screen
// switch.
#pragma once

#include "runtime/Ref.h"
#include "runtime/Vector.h"
#include "scores/LanguageButton.h"
#include "sprites/DialogSprite.h"

namespace mph {

class AudioClip;
class Frame;
class ScreenMode;
class User;

// Built from a nested script: children "butfxknob" and "butmuknob" (the knobs), "bfullscreen" (the mark,
// shown while full screen), "bclose", optionally a button "fullscreenhotspot" and optionally the language
// button "blanguage" with its note "langnote" (LanguageButton); the script's numbers 0
// to 3 are fxMinX, fxY, musicMinX and musicY: each knob's x at volume 0 and its fixed y. A knob's volume
// is its x less its minimum, 0 to 255. Volumes are stored ("VOLUMEFX", "VOLUMEMUSIC") only when the dialog
// is closed with "bclose". Call everything from one thread (the canvas's input thread, under the canvas
// lock, as the other dialogs).
class OptionsSprite : public DialogSprite {
    LANG_CLASS(OptionsSprite, DialogSprite)

public:
    static constexpr int32_t Closed = 2;
    static constexpr int32_t kMaxVolume = 255;
    // The volumes the game plays at before the player has chosen any.
    static constexpr int32_t kDefaultMusicVolume = 128;
    static constexpr int32_t kDefaultEffectsVolume = 255;
    static constexpr int32_t kMaxMusicClips = 10;

    OptionsSprite();
    ~OptionsSprite() override;

    using DialogSprite::onLoaded;
    void onLoaded(DataLoader* loader) override;
    // 2 after "bclose" (volumes applied, fading out); 1 for the full-screen switch or a knob; else as
    // DialogSprite.
    int32_t mouseDown(int32_t x, int32_t y) override;
    // Moves a dragged knob; true while dragging or over the mark or a knob.
    bool mouseMove(int32_t x, int32_t y) override;
    // Ends a drag; returns 0.
    int32_t mouseUp(int32_t x, int32_t y) override;
    // The buttons and the two knobs, which Left and Right move.
    void focusItems(std::vector<FocusItem>& out) override;
    // Moves a knob by delta volume steps, with the preview a drag gives: the effects sample at the new
    // volume, the music clip's volume.
    bool adjustItem(const lang::String& name, int32_t delta) override;

    // What the game hands over before it opens the dialog. The settings object (kept with a reference).
    void setSettings(User* settings);
    // The window's full-screen state and switch (kept with a reference); setFrame wraps the main frame.
    void setScreenMode(ScreenMode* screen);
    void setFrame(Frame* frame);
    // The clip looped while the music knob is held (and stopped on release); its volume follows the knob.
    void setMusicClip(AudioClip* clip);
    // The sample looped while the effects knob is held, as a preview of the effects volume.
    void setEffectClip(AudioClip* clip);
    // A clip whose volume follows the music knob when the dialog is closed with "bclose" (at most ten;
    // a clip added twice counts once).
    void addMusicClip(AudioClip* clip);
    void clearMusicClips();

    // Places the knobs from the stored volumes (defaults 128 and 255) and the mark from the screen mode;
    // the game calls it each time it opens the dialog.
    void prepareOptions();
    // Stores both knobs' volumes and applies them to the effects and to every music clip.
    void applyVolumes();

    // The language button; its choice is stored at each press.
    const LanguageButton& languageButton() const { return m_language; }

    int32_t effectsVolume() const;
    int32_t musicVolume() const;
    bool isDragging() const { return m_dragged != nullptr; }

private:
    Sprite* child(const char* name);
    void toggleFullScreen();
    void startDrag(Sprite* knob, int32_t dx, int32_t minX, AudioClip* clip);
    int32_t dragX(int32_t x) const;

    lang::Ref<User> m_settings;
    lang::Ref<ScreenMode> m_screen;
    lang::Ref<Sprite> m_effectKnob;
    lang::Ref<Sprite> m_musicKnob;
    lang::Ref<Sprite> m_closeButton;
    lang::Ref<Sprite> m_fullScreenMark;
    lang::Ref<AudioClip> m_musicClip;
    lang::Ref<AudioClip> m_effectClip;
    lang::Vector m_musicClips{kMaxMusicClips};
    LanguageButton m_language;
    int32_t m_fxMinX = 0;
    int32_t m_fxY = 0;
    int32_t m_musicMinX = 0;
    int32_t m_musicY = 0;
    Sprite* m_dragged = nullptr; // one of the two knobs, or null
    int32_t m_dragOffset = 0;
    int32_t m_dragMin = 0;
    int32_t m_dragMax = 0;
};

} // namespace mph
