// DemoCanvas: the counter, the dialog's hover and presses, and the music of the demonstration scene.
#include "app/DemoCanvas.h"

#include "audio/AudioClip.h"
#include "audio/AudioSystem.h"
#include "io/User.h"
#include "platform/Event.h"
#include "runtime/SyncGuard.h"
#include "sprites/DialogSprite.h"
#include "sprites/NumberSprite.h"

using namespace lang;

namespace mph {

DemoCanvas::DemoCanvas() = default;

DemoCanvas::~DemoCanvas() = default;

void DemoCanvas::onDataLoaded(DataLoader* loader) {
    {
        SyncGuard guard(this);
        Sprite* counter = findSprite("counter");
        m_counter = counter != nullptr && counter->instanceOf("NumberSprite")
                        ? static_cast<NumberSprite*>(counter)
                        : nullptr;
        Sprite* dialog = findSprite("demodlg");
        m_dialog = dialog != nullptr && dialog->instanceOf("DialogSprite")
                       ? static_cast<DialogSprite*>(dialog)
                       : nullptr;
        if (m_data.length >= 2 && m_data[0] > 0 && m_data[1] > 0) {
            m_counterTarget = m_data[0];
            m_counterStep = m_data[1];
        }
        const int32_t musicVolume = m_settings ? m_settings->getInt("VOLUMEMUSIC", 128) : 128;
        const int32_t effectsVolume = m_settings ? m_settings->getInt("VOLUMEFX", 255) : 255;
        m_music = make<AudioClip>(String("+smusic"), AudioClip::Stream);
        m_music->setVolume(musicVolume);
        setEffectsVolume(effectsVolume);
    }
    loopSound(m_music.get());
    GameCanvas2::onDataLoaded(loader);
}

void DemoCanvas::tick() {
    SyncGuard guard(this);
    if (m_counter != nullptr) {
        const int32_t next = m_counter->getValue() + m_counterStep;
        m_counter->setValue(next > m_counterTarget ? 0 : next);
    }
    GameCanvas2::tick();
}

void DemoCanvas::handleEvent() {
    Event* event = getCurrentEvent();
    if (event == nullptr || m_dialog == nullptr) return;
    // The dialog is shared with the tick, so the canvas is locked around every change.
    SyncGuard guard(this);
    switch (event->id) {
    case Event::kMouseMove:
    case Event::kMouseDrag:
        if (m_dialog->isVisible() && !m_dialog->isFadingOut()) m_dialog->mouseMove(event->x, event->y);
        break;
    case Event::kMouseDown:
        if (!m_dialog->isVisible()) {
            // The fade left the dialog almost transparent; it comes back whole.
            m_dialog->fancyHelper().opacity = 128;
            m_dialog->setVisible(true);
            m_dialog->repaintAll();
            playSoundAt(kSoundPop);
            break;
        }
        if (m_dialog->isFadingOut()) break;
        if (m_dialog->mouseDown(event->x, event->y) == DialogSprite::ButtonPressed) {
            const String& name = m_dialog->getLastClicked();
            if (name == "bplay") {
                playSoundAt(kSoundChime);
            } else if (name == "bclose") {
                playSoundAt(kSoundClick);
                m_dialog->hideWithFade();
            }
        }
        break;
    default:
        break;
    }
}

void DemoCanvas::setSoundEnabled(bool on) {
    GameCanvas2::setSoundEnabled(on);
    if (!m_music) return;
    if (on)
        loopSound(m_music.get());
    else
        stopSound(m_music.get());
}

void DemoCanvas::shutdown() {
    GameCanvas2::shutdown();
    SyncGuard guard(this);
    if (m_music) {
        m_music->stop();
        m_music->unloadClip();
    }
    m_music = nullptr;
    m_counter = nullptr;
    m_dialog = nullptr;
}

} // namespace mph
