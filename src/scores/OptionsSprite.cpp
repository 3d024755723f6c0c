// OptionsSprite: knob dragging with the effect preview, storing and applying the volumes, and the
// full-screen switch.
#include "scores/OptionsSprite.h"

#include "audio/AudioClip.h"
#include "audio/AudioSystem.h"
#include "io/User.h"
#include "runtime/SyncGuard.h"
#include "scores/FrameScreenMode.h"
#include "scores/ScoreClasses.h"
#include "sprites/DataLoader.h"

#include <algorithm>

using namespace lang;

namespace mph {

namespace {
ClassRecord<OptionsSprite> optionsRecord("OptionsSprite");

int32_t clampVolume(int32_t v) {
    return std::clamp(v, 0, OptionsSprite::kMaxVolume);
}
} // namespace

const Class& ScoreClasses::optionsSprite() {
    return optionsRecord;
}

OptionsSprite::OptionsSprite() = default;
OptionsSprite::~OptionsSprite() = default;

Sprite* OptionsSprite::child(const char* name) {
    return findChild(name);
}

void OptionsSprite::onLoaded(DataLoader* loader) {
    if (loader == nullptr) return;
    DialogSprite::onLoaded(loader->getSpritesByName());
    const IntArray& data = loader->getData();
    if (data.length < 4) return;
    m_fxMinX = data[0];
    m_fxY = data[1];
    m_musicMinX = data[2];
    m_musicY = data[3];
    m_fullScreenMark = retain(child("bfullscreen"));
    m_effectKnob = retain(child("butfxknob"));
    m_musicKnob = retain(child("butmuknob"));
    m_closeButton = retain(child("bclose"));
    m_language.bind(this);
}

void OptionsSprite::setSettings(User* settings) {
    m_settings = retain(settings);
}
void OptionsSprite::setScreenMode(ScreenMode* screen) {
    m_screen = retain(screen);
}
void OptionsSprite::setFrame(Frame* frame) {
    m_screen = frame != nullptr ? adopt<ScreenMode>(new FrameScreenMode(frame)) : nullptr;
}
void OptionsSprite::setMusicClip(AudioClip* clip) {
    m_musicClip = retain(clip);
}
void OptionsSprite::setEffectClip(AudioClip* clip) {
    m_effectClip = retain(clip);
}

void OptionsSprite::addMusicClip(AudioClip* clip) {
    if (clip == nullptr || m_musicClips.indexOf(clip) >= 0 || m_musicClips.size() >= kMaxMusicClips) return;
    m_musicClips.addElement(clip);
}

void OptionsSprite::clearMusicClips() {
    m_musicClips.removeAllElements();
}

void OptionsSprite::prepareOptions() {
    m_dragged = nullptr;
    if (m_settings) {
        if (m_musicKnob)
            m_musicKnob->setLocation(
                clampVolume(m_settings->getInt("VOLUMEMUSIC", kDefaultMusicVolume)) + m_musicMinX, m_musicY);
        if (m_effectKnob)
            m_effectKnob->setLocation(
                clampVolume(m_settings->getInt("VOLUMEFX", kDefaultEffectsVolume)) + m_fxMinX, m_fxY);
    }
    if (m_screen && m_fullScreenMark) m_fullScreenMark->setVisible(m_screen->isFullScreen());
    m_language.prepare(m_settings.get());
}

int32_t OptionsSprite::effectsVolume() const {
    return m_effectKnob ? clampVolume(m_effectKnob->getX() - m_fxMinX) : 0;
}

int32_t OptionsSprite::musicVolume() const {
    return m_musicKnob ? clampVolume(m_musicKnob->getX() - m_musicMinX) : 0;
}

void OptionsSprite::applyVolumes() {
    if (m_effectKnob) {
        const int32_t fx = effectsVolume();
        if (m_settings) m_settings->setInt("VOLUMEFX", fx);
        setEffectsVolume(fx);
    }
    if (m_musicKnob) {
        const int32_t music = musicVolume();
        if (m_settings) m_settings->setInt("VOLUMEMUSIC", music);
        SyncGuard guard(&m_musicClips);
        for (int32_t i = 0; i < m_musicClips.size(); ++i)
            m_musicClips.elementAtAs<AudioClip>(i)->setVolume(music);
    }
}

void OptionsSprite::toggleFullScreen() {
    const bool on = m_fullScreenMark ? m_fullScreenMark->isVisible() : m_screen && m_screen->isFullScreen();
    if (m_settings) m_settings->setInt("FULLSCREEN", on ? 0 : 1);
    if (m_fullScreenMark) m_fullScreenMark->setVisible(!on);
    if (m_screen && m_screen->isFullScreen() == on) m_screen->setFullScreen(!on);
}

void OptionsSprite::startDrag(Sprite* knob, int32_t dx, int32_t minX, AudioClip* clip) {
    m_dragged = knob;
    m_dragOffset = dx - knob->getX();
    m_dragMin = minX;
    m_dragMax = minX + kMaxVolume;
    if (clip != nullptr) clip->loop();
}

int32_t OptionsSprite::dragX(int32_t x) const {
    return std::clamp(x - m_x - m_dragOffset, m_dragMin, m_dragMax);
}

int32_t OptionsSprite::mouseDown(int32_t x, int32_t y) {
    const int32_t result = DialogSprite::mouseDown(x, y);
    if (!isVisible() || !contains(x, y)) return result;
    const int32_t dx = x - m_x;
    const int32_t dy = y - m_y;
    if (m_lastClicked.equalsIgnoreCase("bclose")) {
        m_dragged = nullptr;
        applyVolumes();
        hideWithFade();
        return Closed;
    }
    if (m_lastClicked == "blanguage" && m_language.isBound()) {
        m_language.step(m_settings.get());
        return ButtonPressed;
    }
    if ((m_fullScreenMark && m_fullScreenMark->contains(dx, dy)) || m_lastClicked == "fullscreenhotspot") {
        toggleFullScreen();
        return ButtonPressed;
    }
    if (m_effectKnob && m_effectKnob->isVisible() && m_effectKnob->contains(dx, dy)) {
        startDrag(m_effectKnob.get(), dx, m_fxMinX, m_effectClip.get());
        return ButtonPressed;
    }
    if (m_musicKnob && m_musicKnob->isVisible() && m_musicKnob->contains(dx, dy)) {
        startDrag(m_musicKnob.get(), dx, m_musicMinX, m_musicClip.get());
        return ButtonPressed;
    }
    return result;
}

bool OptionsSprite::mouseMove(int32_t x, int32_t y) {
    bool handled = false;
    if (m_dragged != nullptr) {
        const int32_t nx = dragX(x);
        m_dragged->setLocation(nx, m_dragged->getY());
        if (m_dragged == m_effectKnob.get() && m_effectClip) {
            setEffectsVolume(nx - m_dragMin);
            if (!m_effectClip->isPlaying()) m_effectClip->play();
        } else if (m_dragged == m_musicKnob.get() && m_musicClip) {
            m_musicClip->setVolume(nx - m_dragMin);
        }
        handled = true;
    }
    const int32_t dx = x - m_x;
    const int32_t dy = y - m_y;
    if ((m_fullScreenMark && m_fullScreenMark->contains(dx, dy)) ||
        (m_effectKnob && m_effectKnob->contains(dx, dy)) ||
        (m_musicKnob && m_musicKnob->isVisible() && m_musicKnob->contains(dx, dy)))
        handled = true;
    const bool hover = DialogSprite::mouseMove(x, y);
    return handled || hover;
}

int32_t OptionsSprite::mouseUp(int32_t x, int32_t) {
    if (m_dragged == nullptr) return NotHandled;
    const int32_t nx = dragX(x);
    if (m_dragged == m_effectKnob.get()) {
        m_effectKnob->setLocation(nx, m_fxY);
        setEffectsVolume(nx - m_dragMin);
        if (m_effectClip) m_effectClip->stop();
    } else {
        m_musicKnob->setLocation(nx, m_musicY);
        if (m_musicClip) {
            m_musicClip->stop();
            m_musicClip->setVolume(nx - m_dragMin);
        }
    }
    m_dragged = nullptr;
    return NotHandled;
}

void OptionsSprite::focusItems(std::vector<FocusItem>& out) {
    DialogSprite::focusItems(out);
    for (const char* name : {"butfxknob", "butmuknob"}) {
        Sprite* knob = child(name);
        if (knob != nullptr && knob->isVisible())
            out.push_back(FocusItem{String(name), knob->getBounds(), true});
    }
}

bool OptionsSprite::adjustItem(const String& name, int32_t delta) {
    const bool effects = m_effectKnob && name == "butfxknob";
    if (!effects && !(m_musicKnob && name == "butmuknob")) return false;
    Sprite* knob = effects ? m_effectKnob.get() : m_musicKnob.get();
    const int32_t minX = effects ? m_fxMinX : m_musicMinX;
    const int32_t x = std::clamp(knob->getX() + delta, minX, minX + kMaxVolume);
    if (x == knob->getX()) return false;
    knob->setLocation(x, knob->getY());
    if (effects) {
        setEffectsVolume(x - minX);
        if (m_effectClip) m_effectClip->play();
    } else if (m_musicClip) {
        m_musicClip->setVolume(x - minX);
    }
    return true;
}

} // namespace mph
