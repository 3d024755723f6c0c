// ShapeCanvas: binding the game to the data's named sprites and building the board's sprites once.
#include "game/ShapeParts.h"

#include "audio/AudioSystem.h"
#include "gfx/Font.h"
#include "gfx/Image.h"
#include "io/Resources.h"
#include "io/User.h"
#include "sprites/DataLoader.h"
#include "sprites/KeyboardSprite.h"

using namespace lang;

namespace mph {

namespace {
constexpr uint32_t kBlacknessColour = 0x80000000u;
// The sample the options dialog plays while the effects knob is dragged.
constexpr int32_t kPreviewSound = 1;
constexpr int32_t kNameFontSize = 16;
constexpr uint32_t kNameColour = 0xFF2B1B4Eu;
constexpr int32_t kNameLimitFontSize = 14;
constexpr uint32_t kNameLimitColour = 0xFFC8323Cu;

std::string indexed(const char* prefix, int32_t i) {
    return std::string(prefix) + std::to_string(i);
}
} // namespace

template <class T> T* ShapeCanvas::bind(const char* name) {
    Sprite* sprite = findSprite(name);
    T* typed = as<T>(sprite);
    if (typed == nullptr && m_bindError.empty()) {
        m_bindError = sprite == nullptr ? std::string("the data has no sprite named \"") + name + "\""
                                        : std::string("the sprite \"") + name + "\" is a " +
                                              sprite->getClassName() + ", which the game cannot use there";
    }
    return typed;
}

void ShapeCanvas::onDataLoaded(DataLoader* loader) {
    {
        SyncGuard guard(this);
        m_bindError.clear();
        m_bound = bindSprites(loader);
        if (m_bound) {
            makeBoardSprites();
            readSettings();
        }
    }
    if (!m_bound) {
        DataLoader::reportError(String("The game's data cannot be used: ") + m_bindError.c_str() + ".");
        GameCanvas2::onDataLoaded(loader);
        refuseStart();
        requestQuit();
        return;
    }
    setState(kStart);
    GameCanvas2::onDataLoaded(loader);
}

bool ShapeCanvas::bindSprites(DataLoader*) {
    if (!m_layout.read(m_data, m_bindError)) return false;
    m_pauseButton = retain(bind<ButtonSprite>("pauseButton"));
    m_resumeButton = retain(bind<ButtonSprite>("resumeButton"));
    m_continueButton = retain(bind<ButtonSprite>("continueButton"));
    m_menuButton = retain(bind<ButtonSprite>("menuButton"));
    m_exitButton = retain(bind<ButtonSprite>("exitButton"));
    m_trash = retain(bind<AnimateSprite>("trash"));
    m_trashRect = retain(bind<Sprite>("trashrect"));
    m_trashShape = retain(bind<AnimateSprite>("trashshape2"));
    m_trashSquish = retain(bind<SquishSprite>("trashsquish"));
    m_slotBg = retain(bind<AnimateSprite>("slotbg"));
    m_scoreNumbers = retain(bind<NumberSprite>("scoreNumbers"));
    m_levelNumbers = retain(bind<NumberSprite>("levelNumbers"));
    m_timerNum = retain(bind<NumberSprite>("timerNum"));
    m_hourglass = retain(bind<HourGlass>("hourglass"));
    m_revealerBar = retain(bind<Sprite>("revealerbar"));
    for (int32_t i = 0; i < kMelters; ++i)
        m_melters[i] = retain(bind<MeltSprite>(indexed("melter", i).c_str()));
    for (int32_t i = 0; i < kPowerUpIcons; ++i)
        m_specials[i] = retain(bind<AnimateSprite>(indexed("special", i).c_str()));
    m_powerUpBanner = retain(bind<AnimateSprite>("PowerUps"));
    m_curtain1 = retain(bind<Sprite>("curtain1"));
    m_curtain2 = retain(bind<Sprite>("curtain2"));
    m_bg = retain(bind<Sprite>("bg"));
    m_levelBg = retain(bind<AnimateSprite>("levelbg"));
    m_levelComplete = retain(bind<Sprite>("levelcomplete"));
    m_paused = retain(bind<Sprite>("paused"));
    m_gameOver = retain(bind<Sprite>("gameover"));
    m_modes = retain(bind<AnimateSprite>("modes"));
    m_rowsTxt = retain(bind<Sprite>("rowstxt"));
    m_slotTemplate = retain(bind<SlotSprite>("slot"));
    m_shapeTemplate = retain(bind<ShapeSprite>("shape"));
    m_startDialog = retain(bind<DialogSprite>("startdialog"));
    m_bonusDialog = retain(bind<DialogSprite>("bonusdlg"));
    m_namePrompt = retain(bind<DialogSprite>("hsprompt"));
    m_highScores = retain(bind<HighScoreSprite>("hsdlg"));
    m_options = retain(bind<OptionsSprite>("optdlg"));
    m_instructions = retain(bind<InstructDialog>("instdlg"));
    for (const char* name : {"menudlg", "exitdlg", "globalask"})
        bind<DialogSprite>(name);
    bind<AnimateSprite>("bonusText");
    bind<NumberSprite>("bonusNumbers");
    if (!m_bindError.empty()) return false;

    m_chooser1 = retain(as<NumberSprite>(m_startDialog->findChild("level1")));
    m_chooser2 = retain(as<NumberSprite>(m_startDialog->findChild("level2")));
    m_nameField = retain(as<TextSprite>(m_namePrompt->findChild("name")));
    if (!m_chooser1 || !m_chooser2) {
        m_bindError = "the start dialog needs the level choosers \"level1\" and \"level2\" (number sprites)";
        return false;
    }
    if (!m_nameField) {
        m_bindError = "the name prompt \"hsprompt\" needs a text sprite \"name\"";
        return false;
    }

    m_layout.slotPitch = m_slotTemplate->getWidth();
    m_layout.rowPitch = m_slotTemplate->getHeight();
    m_layout.shapeWidth = m_shapeTemplate->getWidth();
    m_layout.shapeHeight = m_shapeTemplate->getHeight();
    return m_layout.validate(m_shapeTemplate->getFrameCount(), m_bindError);
}

void ShapeCanvas::makeBoardSprites() {
    m_slotTemplate->setVisible(false);
    m_shapeTemplate->setVisible(false);
    m_slotBg->setVisible(false);
    // The template is only copied from, when a level's board is built; the curtains are drawn only when
    // a game starts (resetCurtains brings their pixels back).
    if (!keepsPictures()) {
        m_slotBg->unloadImage();
        m_curtain1->unloadImage();
        m_curtain2->unloadImage();
    }

    // Slots, then the shapes that fill them, then the tray, all where the templates stand in the list.
    int32_t at = indexOfSprite(m_slotTemplate.get()) + 1;
    for (int32_t i = 0; i < kMaxSlots; ++i) {
        m_slots[i] = adopt(as<SlotSprite>(m_slotTemplate->clone()));
        m_slots[i]->setVisible(false);
        addSprite(m_slots[i].get(), at++, String());
    }
    at = std::max(at, indexOfSprite(m_shapeTemplate.get()) + 1);
    for (int32_t i = 0; i < kMaxSlots; ++i) {
        m_placed[i] = adopt(as<ShapeSprite>(m_shapeTemplate->clone()));
        m_placed[i]->setVisible(false);
        addSprite(m_placed[i].get(), at++, String());
    }
    for (int32_t i = 0; i < kTraySize; ++i) {
        m_tray[i] = adopt(as<ShapeSprite>(m_shapeTemplate->clone()));
        m_tray[i]->setVisible(false);
        addSprite(m_tray[i].get(), at++, String());
    }

    // The power-up marker rides on carriers; it is stepped by the tick, outside the list.
    m_marker = adopt(as<AnimateSprite>(m_specials[0]->clone()));
    m_marker->setTint(100, 128, 128, 128);
    m_marker->setStep(1, true);
    m_marker->setVisible(true);
    for (auto& shape : m_placed)
        shape->setMarkerSprite(m_marker.get());
    for (auto& shape : m_tray)
        shape->setMarkerSprite(m_marker.get());

    // The held shape and the pop-ups sit above the board and the side panel, below the dialogs.
    m_held = adopt(as<ShapeSprite>(m_shapeTemplate->clone()));
    m_held->setVisible(false);
    m_held->setMarkerSprite(m_marker.get());
    auto* bonusText = as<AnimateSprite>(findSprite("bonusText"));
    auto* bonusNumber = as<NumberSprite>(findSprite("bonusNumbers"));
    bonusText->setVisible(false);
    bonusNumber->setVisible(false);
    at = indexOfSprite(bonusText) + 1;
    for (auto& popup : m_popups) {
        popup.text = adopt(as<AnimateSprite>(bonusText->clone()));
        popup.number = adopt(as<NumberSprite>(bonusNumber->clone()));
        popup.text->setVisible(false);
        popup.number->setVisible(false);
        addSprite(popup.text.get(), at++, String());
        addSprite(popup.number.get(), at++, String());
    }
    addSprite(m_held.get(), indexOfSprite(m_startDialog.get()), String("heldshape"));

    // The dimming backdrop of every dialog, just above the start dialog.
    m_blackness = make<RectSprite>(0, 0, kScreenWidth, kScreenHeight, kBlacknessColour);
    m_blackness->setVisible(false);
    addSprite(m_blackness.get(), indexOfSprite(m_startDialog.get()) + 1, String("blackness"));

    // The focus rings are drawn over everything, dialogs included.
    m_targetRing = make<FocusRingSprite>(FocusRingSprite::Target);
    m_focusRing = make<FocusRingSprite>(FocusRingSprite::Focus);
    // The on-screen keyboard lies under the rings (one marks its focused key); the stick's pointer is
    // drawn above everything, as the game's own cursor.
    m_keyboard = make<KeyboardSprite>();
    addSprite(m_keyboard.get(), -1, String("keyboard"));
    addSprite(m_targetRing.get(), -1, String());
    addSprite(m_focusRing.get(), -1, String());
    Ref<Image> cursor = make<Image>(String("+cursor"));
    if (cursor->getWidth() > 0) {
        m_pointer = make<Sprite>();
        m_pointer->setImage(cursor.get());
        m_pointer->setVisible(false);
        addSprite(m_pointer.get(), -1, String("pointer"));
    }

    // Every dialog waits hidden until the game shows it; the start dialog is shown by the start state.
    for (const char* name :
         {"menudlg", "exitdlg", "instdlg", "optdlg", "hsprompt", "globalask", "hsdlg", "bonusdlg"})
        if (DialogSprite* d = dialog(name)) d->setVisible(false);
    m_curtain1Y = m_curtain1->getY();
    m_curtain2Y = m_curtain2->getY();
    for (auto& melter : m_melters)
        melter->setVisible(false);
    for (auto& icon : m_specials)
        icon->setVisible(false);
    m_powerUpBanner->setVisible(false);
    m_trashShape->setVisible(false);
    m_trashSquish->setVisible(false);
    m_revealerWidth = m_revealerBar->getWidth();
    // The rows label belongs to the rising-rows game only.
    m_rowsTxt->setVisible(false);
    // The name the player types: Arial bold 16, dark on the field, with a blinking caret.
    Ref<Font> nameFont = adopt(new Font(String("Arial"), Font::kBold, kNameFontSize));
    m_nameField->setFont(nameFont.get());
    m_nameField->setColors(kNameColour, 0xFFFFFFFFu);
    m_nameField->setCaret(true);
    // The note that a name is full, when the data has a place for it; its words are a text item.
    m_nameLimit = retain(as<TextSprite>(m_namePrompt->findChild("limit")));
    if (m_nameLimit) {
        Ref<Font> limitFont = adopt(new Font(String("Arial"), Font::kBold, kNameLimitFontSize));
        m_nameLimit->setFont(limitFont.get());
        m_nameLimit->setColors(kNameLimitColour, 0xFFFFFFFFu);
        m_nameLimit->setText(getResourceString("namelimit"));
        m_nameLimit->setVisible(false);
    }
    m_chooser1->setValue(1);
    m_chooser2->setValue(1);
    refreshChoosers();
}

void ShapeCanvas::readSettings() {
    User* settings = getSettings();
    // The options dialog shows the same defaults, so opening and closing it changes nothing.
    const int32_t music = OptionsSprite::kDefaultMusicVolume, effects = OptionsSprite::kDefaultEffectsVolume;
    const int32_t musicVolume = settings ? settings->getInt("VOLUMEMUSIC", music) : music;
    const int32_t effectsVolume = settings ? settings->getInt("VOLUMEFX", effects) : effects;
    m_music = make<AudioClip>(String("+smusic"), AudioClip::Stream);
    m_music->setVolume(musicVolume);
    setEffectsVolume(effectsVolume);

    m_highScores->setStore(settings);
    m_highScores->setLock(this);
    m_highScores->setViewer(m_watch);
    m_options->setSettings(settings);
    m_options->setMusicClip(m_music.get());
    m_options->addMusicClip(m_music.get());
    if (kPreviewSound < m_sounds.length)
        m_options->setEffectClip(static_cast<AudioClip*>(m_sounds.data[kPreviewSound]));

    // The link button shows when the settings ask for it; otherwise it keeps the look the data gives it.
    if (settings != nullptr && settings->getInt("SHOWLINK", 1) == 0) {
        if (auto* link = as<ButtonSprite>(m_startDialog->findChild("blink"))) {
            link->setVisible(true);
            link->setState(ButtonSprite::Normal);
        }
    }
}

} // namespace mph
