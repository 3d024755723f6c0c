// ShapeCanvas: construction, the state machine's entry actions, pause, new games and the tick.
#include "game/ShapeParts.h"

#include <cstring>

#include "platform/Component.h"
#include "runtime/CRandom.h"

using namespace lang;

namespace mph {

namespace {
constexpr int32_t kCurtainStep = 20;
constexpr int32_t kGameOverTicks = 150;
// Dialogs that a change of state closes, each together with the backdrop.
constexpr const char* kClosedOnStart[] = {"exitdlg", "menudlg", "instdlg", "optdlg", "hsprompt", "globalask"};
constexpr const char* kClosedOnPlay[] = {"exitdlg", "menudlg", "instdlg", "optdlg", "hsdlg"};
} // namespace

ShapeCanvas::ShapeCanvas(uint32_t seed) : m_random(make<Random>(seed)) {}

ShapeCanvas::~ShapeCanvas() = default;

uint32_t ShapeCanvas::currentMillis() {
    return tickCount();
}

void ShapeCanvas::playSoundAt(int32_t index) {
    if (m_observer != nullptr) m_observer->onSound(index);
    GameCanvas2::playSoundAt(index);
}

void ShapeCanvas::setSoundEnabled(bool on) {
    GameCanvas2::setSoundEnabled(on);
    SyncGuard guard(this);
    if (!m_music) return;
    const bool musicState = m_state == kPlaying || m_state == kCurtainsClosing || m_state == kCurtainsOpening;
    if (on && musicState)
        loopSound(m_music.get());
    else if (!on)
        stopSound(m_music.get());
}

void ShapeCanvas::pauseHook() {
    SyncGuard guard(this);
    if (!m_bound) return;
    GameInput input;
    input.kind = GameInput::kFocusLost;
    beginInput(input);
    m_pausePending = true;
    // A key held down when the window lost the keyboard is never released there.
    m_heldKey = 0;
    releaseFocusPress();
}

void ShapeCanvas::setWatch(GameWatch* watch) {
    SyncGuard guard(this);
    if (m_watch != nullptr && m_watch != watch) m_watch->attach(nullptr);
    m_watch = watch;
    if (m_watch != nullptr) m_watch->attach(this);
    if (m_highScores) m_highScores->setViewer(watch);
}

void ShapeCanvas::shutdown() {
    GameCanvas2::shutdown();
    SyncGuard guard(this);
    // A recorded game still shown goes with the canvas.
    if (m_watch != nullptr) m_watch->attach(nullptr);
    m_watch = nullptr;
    if (m_highScores) m_highScores->setViewer(nullptr);
    if (m_music) {
        m_music->stop();
        m_music->unloadClip();
    }
    m_music = nullptr;
}

// ---- State machine ----

void ShapeCanvas::setButtonEnabled(ButtonSprite* button, bool on) {
    if (button == nullptr) return;
    const int32_t s = button->getState();
    // A button in a checked look keeps it.
    if (s == ButtonSprite::Selected || s == ButtonSprite::SelectedHover) return;
    button->setState(on ? ButtonSprite::Normal : ButtonSprite::Disabled);
}

void ShapeCanvas::showNumber(NumberSprite* number, int32_t value) {
    if (number == nullptr) return;
    number->setValue(value);
    number->setVisible(true);
}

void ShapeCanvas::setState(int32_t n) {
    SyncGuard guard(this);
    switch (n) {
    case kStart:
        m_levelBg->setVisible(false);
        if (!keepsPictures()) m_levelBg->unloadImage();
        m_levelComplete->setVisible(false);
        for (const char* name : kClosedOnStart)
            hideDialog(name);
        m_bg->setVisible(false);
        m_paused->setVisible(false);
        m_gameOver->setVisible(false);
        m_bonusDialog->setVisible(false);
        m_pauseButton->setState(ButtonSprite::Disabled);
        m_resumeButton->setState(ButtonSprite::Disabled);
        m_startDialog->setVisible(true);
        stopSound(m_music.get());
        requestFocus();
        break;
    case kPlaying:
        for (const char* name : kClosedOnPlay)
            hideDialog(name);
        m_levelComplete->setVisible(false);
        m_startDialog->setVisible(false);
        m_gameOver->setVisible(false);
        m_paused->setVisible(false);
        setButtonEnabled(m_pauseButton.get(), true);
        setButtonEnabled(m_resumeButton.get(), false);
        m_scoreNumbers->setVisible(true);
        m_levelNumbers->setVisible(true);
        m_timerNum->setVisible(true);
        m_hourglass->setVisible(true);
        setButtonEnabled(m_continueButton.get(), false);
        loopSound(m_music.get());
        break;
    case kLevelComplete:
        hidePowerUpIcons();
        setLevelBackground(m_level, true);
        addScore(Scoring::levelComplete(m_level, m_timeLeft));
        m_pauseButton->setState(ButtonSprite::Disabled);
        m_resumeButton->setState(ButtonSprite::Disabled);
        m_held->setVisible(false);
        m_levelComplete->setTint(0, 128, 128, 128);
        m_levelComplete->setVisible(true);
        for (auto& shape : m_tray)
            shape->setVisible(false);
        m_levelEndCountdown = 50;
        break;
    case kBonusLost:
    case kBonusWon: {
        hidePowerUpIcons();
        if (n == kBonusLost) {
            m_scoreNumbers->setValue(m_score);
        } else {
            for (int32_t r = 0; r < m_rowCount; ++r)
                m_rows[r].reversed = true;
            const int32_t bonus = Scoring::bonusRound(m_slotsPerRow, m_params.frameCount);
            addScore(bonus);
            if (auto* number = as<NumberSprite>(m_bonusDialog->findChild("bonus"))) showNumber(number, bonus);
        }
        m_pauseButton->setState(ButtonSprite::Disabled);
        m_resumeButton->setState(ButtonSprite::Disabled);
        m_levelEndCountdown = 25;
        auto child = [this](const char* name, bool on) {
            if (Sprite* s = m_bonusDialog->findChild(name)) s->setVisible(on);
        };
        child("intro", false);
        child("congrats", n == kBonusWon);
        child("sorry", n == kBonusLost);
        if (n == kBonusLost) child("bonus", false);
        m_bonusDialog->setVisible(true);
        m_held->setVisible(false);
        setButtonEnabled(m_continueButton.get(), true);
        for (auto& shape : m_tray)
            shape->setVisible(false);
        break;
    }
    case kCurtainsClosing:
        resetCurtains();
        loopSound(m_music.get());
        break;
    case kGameOver:
        hidePowerUpIcons();
        startGameOverFall();
        m_held->setVisible(false);
        m_pauseButton->setState(ButtonSprite::Disabled);
        stopSound(m_music.get());
        m_gameOverCountdown = kGameOverTicks;
        break;
    case kPaused:
        m_paused->setVisible(true);
        m_pauseButton->setState(ButtonSprite::Disabled);
        setButtonEnabled(m_resumeButton.get(), true);
        stopSound(m_music.get());
        break;
    default:
        break;
    }
    m_state = n;
    if (m_observer != nullptr) m_observer->onState(n);
}

void ShapeCanvas::togglePause() {
    SyncGuard guard(this);
    if (m_state == kPlaying) {
        // A paused board cannot be studied: everything on it is hidden and remembered.
        for (int32_t i = 0; i < kMaxSlots; ++i) {
            m_pausedSlotVisible[i] = m_slots[i]->isVisible();
            m_pausedShapeVisible[i] = m_placed[i]->isVisible();
            m_slots[i]->setVisible(false);
            m_placed[i]->setVisible(false);
        }
        setState(kPaused);
    } else if (m_state == kPaused) {
        for (int32_t i = 0; i < kMaxSlots; ++i) {
            m_slots[i]->setVisible(m_pausedSlotVisible[i]);
            m_placed[i]->setVisible(m_pausedShapeVisible[i]);
        }
        setState(kPlaying);
    }
}

void ShapeCanvas::newGame(int32_t startLevel) {
    SyncGuard guard(this);
    if (m_observer != nullptr) {
        GameStart start;
        start.randomSeed = m_random->getSeed();
        start.randomDraws = m_random->getDraws();
        start.tick = getFrameCounter();
        std::memcpy(start.typedKeys, m_typedKeys, 4);
        start.mode = m_mode;
        start.level = startLevel + 1;
        start.focusShown = m_focusShown;
        start.stickX = m_stickX;
        start.stickY = m_stickY;
        start.pointerX = m_pointerX;
        start.pointerY = m_pointerY;
        start.pointerLast = m_pointerLast;
        m_observer->onGameStart(start);
    }
    // Where the focus was before the game is no part of it: every game starts from the same focus.
    resetFocus();
    // Power-up icons of a game ended from the menu would otherwise still arrive in this one.
    hidePowerUpIcons();
    setState(kCurtainsClosing);
    m_level = startLevel;
    m_cheatUsed = false;
    m_popupIndex = 0;
    m_score = 0;
}

void ShapeCanvas::beginRecordedGame(const GameStart& start) {
    SyncGuard guard(this);
    m_random = make<Random>(start.randomSeed);
    m_random->skip(start.randomDraws);
    std::memcpy(m_typedKeys, start.typedKeys, 4);
    displayList().setFrameCounter(start.tick);
    m_mode = start.mode == kRisingRows ? kRisingRows : kTimedGame;
    m_focusShown = start.focusShown;
    m_stickX = start.stickX;
    m_stickY = start.stickY;
    m_pointerX = std::clamp(start.pointerX, 0, (kScreenWidth - 1) * 256);
    m_pointerY = std::clamp(start.pointerY, 0, (kScreenHeight - 1) * 256);
    m_pointerLast = start.pointerLast;
    newGame(std::max(start.level, 1) - 1);
}

void ShapeCanvas::endGame() {
    if (m_observer != nullptr) m_observer->onGameEnd(m_score, m_level);
}

// ---- Curtains ----

void ShapeCanvas::resetCurtains() {
    m_curtain1->reloadImage();
    m_curtain2->reloadImage();
    m_curtain1->setLocation(m_curtain1->getX(), m_curtain1Y);
    m_curtain2->setLocation(m_curtain2->getX(), m_curtain2Y);
    m_curtain1->setVisible(true);
    m_curtain2->setVisible(true);
}

void ShapeCanvas::hideCurtains() {
    m_curtain1->setVisible(false);
    m_curtain2->setVisible(false);
    m_curtain1->setLocation(m_curtain1->getX(), m_curtain1Y);
    m_curtain2->setLocation(m_curtain2->getX(), m_curtain2Y);
    // Their pixels are not needed until the next game.
    m_curtain1->unloadImage();
    m_curtain2->unloadImage();
}

void ShapeCanvas::stepCurtains(int32_t dy) {
    m_curtain1->moveBy(0, dy);
    m_curtain2->moveBy(0, dy);
}

// ---- Tick ----

void ShapeCanvas::tick() {
    SyncGuard guard(this);
    if (!m_bound) {
        GameCanvas2::tick();
        return;
    }
    if (m_redrawRequested) {
        m_redrawRequested = false;
        notifyAll();
    }
    stepScoreDisplay();
    hideFadedOut();
    stepTrash();
    stepSpecialPieces();
    if (m_pausePending) {
        if (m_state == kPlaying) togglePause();
        stopSound(m_music.get());
        m_pausePending = false;
    }
    stepPointer();
    if (keyboardShown() && !m_namePrompt->isVisible()) showKeyboard(false);
    const int32_t curtainBottom = m_curtain2->getY() + m_curtain2->getHeight();
    bool fastForwardStarted = false;
    switch (m_state) {
    case kStart:
        if (curtainBottom > 0 && m_curtain2->isVisible()) {
            stepCurtains(-kCurtainStep);
            if (m_curtain2->getY() + m_curtain2->getHeight() <= 0) hideCurtains();
        }
        if (m_chooserRepeat > 0 && --m_chooserRepeat == 0) chooserStep(m_pressedChooserButton, true);
        stepNameLimit();
        break;
    case kPlaying:
        stepPlaying(fastForwardStarted);
        break;
    case kLevelComplete:
        stepLevelEnd();
        break;
    case kBonusLost:
    case kBonusWon:
        stepFinishedRows();
        stepLevelEnd();
        break;
    case kCurtainsClosing:
        if (curtainBottom < kScreenHeight) {
            stepCurtains(kCurtainStep);
        } else {
            m_bg->setVisible(true);
            m_startDialog->setVisible(false);
            m_modes->setFrame(m_mode == kTimedGame ? 1 : 0);
            startLevel(m_level);
            showNumber(m_scoreNumbers.get(), m_score);
            showNumber(m_levelNumbers.get(), m_level);
            setState(kCurtainsOpening);
        }
        break;
    case kCurtainsOpening:
        stepCurtains(-kCurtainStep);
        if (m_curtain2->getY() + m_curtain2->getHeight() < 1) {
            hideCurtains();
            setHourglass(m_timeLeft, true);
            setState(kPlaying);
        }
        break;
    case kGameOver:
        stepGameOver();
        break;
    default:
        break;
    }
    if (fastForwardStarted && m_state == kPlaying) playSoundAt(kSoundPowerUp);
    // The rings follow what moved: a hole on its row, a dialog that opened or closed.
    if (m_focusShown) updateFocusRings();
    // A recorded game shown over this one moves on with it.
    if (m_watch != nullptr) m_watch->step();
    GameCanvas2::tick();
}

void ShapeCanvas::stepPlaying(bool& fastForwardStarted) {
    applyArrivedPowerUps();
    if (m_speedBonus > 0) --m_speedBonus;
    stepRevealer();
    if (m_marker) {
        Rectangle scratch;
        m_marker->step(getFrameCounter(), scratch);
    }
    stepTraySlide();
    int32_t speed = m_rowSpeed;
    const bool fast = noEmptySlotInView();
    if (fast) speed *= 2;
    fastForwardStarted = fast && !m_fastForward;
    m_fastForward = fast;
    if (m_mode != kBonusRound) {
        moveRows(speed);
        wrapRows();
    } else if (getFrameCounter() % 4 != 0 && m_bonusIntroCountdown == 0) {
        moveRows(speed);
    }
    levelTimerTick();
}

void ShapeCanvas::hideFadedOut() {
    // A picture faded to nothing is hidden, so it costs nothing to compose while rows move over it.
    for (AnimateSprite* sprite : {m_levelBg.get(), m_powerUpBanner.get()}) {
        if (sprite->isVisible() && !sprite->isBusy() && sprite->hasFancyHelper() &&
            sprite->getOpacity() == 0) {
            sprite->setVisible(false);
            // The level picture comes back only as a new one, when the level is complete.
            if (sprite == m_levelBg.get() && !keepsPictures()) sprite->unloadImage();
        }
    }
}

void ShapeCanvas::stepFinishedRows() {
    moveRows(1);
    const RowState& row0 = m_rows[0];
    if (m_slots[row0.tailSlot]->getX() + m_layout.slotPitch <= m_layout.boardLeft) {
        for (int32_t r = 0; r < m_rowCount; ++r)
            m_rows[r].reversed = false;
    } else if (m_slots[row0.headSlot]->getX() > m_layout.boardRight()) {
        for (int32_t r = 0; r < m_rowCount; ++r)
            m_rows[r].reversed = true;
    }
}

void ShapeCanvas::stepLevelEnd() {
    --m_levelEndCountdown;
    if (m_levelEndCountdown == 20) {
        setButtonEnabled(m_continueButton.get(), true);
        playSoundAt(kSoundContinue);
    }
    if (m_state == kLevelComplete) {
        const int32_t opacity = Scoring::levelCompleteOpacity(m_levelEndCountdown);
        if (opacity >= 0) m_levelComplete->setTint(opacity, 128, 128, 128);
    }
}

void ShapeCanvas::setHourglass(int32_t amount, bool turn) {
    m_hourglass->setAmount(amount);
    if (turn) m_hourglass->startTurning();
}

} // namespace mph
