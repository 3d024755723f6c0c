// ShapeCanvas: starting levels, the level backgrounds, the timer of each game, scores and pop-ups.
#include "game/ShapeParts.h"

#include "gfx/Image.h"

#include <limits>
#include <utility>

using namespace lang;

namespace mph {

namespace {
constexpr int32_t kLevelPictures = 6;
constexpr int32_t kBackgroundFadeTicks = 20;
constexpr int32_t kPopupLife = 50;
constexpr int32_t kTimedLevelTime = 100;
constexpr int32_t kRoundTime = 20;
constexpr int32_t kMaxRounds = 15;
constexpr int32_t kBonusIntroTicks = 100;
constexpr int32_t kRevealerAtLevelOne = 500;
} // namespace

void ShapeCanvas::startLevel(int32_t previous) {
    SyncGuard guard(this);
    m_level = previous + 1;
    m_heldIsMorphing = false;
    m_lastPlacedFrame = -1;
    m_combo = 1;
    m_fastForward = false;
    m_hourglassAwarded = false;
    m_carrierPending = false;
    m_pickupTime = 0;
    m_revealerTimer = m_level == 1 ? kRevealerAtLevelOne : 0;
    highlightMatchingSlots(0, false);

    m_rowsTxt->setVisible(m_mode == kRisingRows);
    m_levelNumbers->setValue(m_level);
    setLevelBackground(m_level, false);

    m_mode = LevelTable::modeFor(static_cast<GameMode>(m_mode), m_level);
    m_params = LevelTable::params(m_level, static_cast<GameMode>(m_mode));

    switch (m_mode) {
    case kTimedGame:
        m_timeLeft = kTimedLevelTime;
        m_timerNum->setValue(m_timeLeft);
        break;
    case kRisingRows:
        m_roundsLeft = std::min(m_level + 5, kMaxRounds);
        m_roundTime = kRoundTime;
        m_timeLeft = kRoundTime;
        m_timerNum->setValue(m_roundsLeft);
        break;
    default:
        m_timeLeft = 0;
        m_timerNum->setValue(0);
        break;
    }
    m_hourglass->setFullAmount(m_timeLeft);
    m_hourglass->setAmount(0);
    m_tickCountdown = kTicksPerTimeUnit;
    m_speedBonus = Scoring::kFullSpeedBonus;
    m_rowSpeed = m_mode == kBonusRound ? 1 : 2;

    buildBoard();

    if (m_mode == kBonusRound) {
        for (const char* name : {"congrats", "sorry", "bonus"})
            if (Sprite* s = m_bonusDialog->findChild(name)) s->setVisible(false);
        if (Sprite* intro = m_bonusDialog->findChild("intro")) intro->setVisible(true);
        m_bonusDialog->setVisible(true);
        m_bonusIntroCountdown = kBonusIntroTicks;
    } else {
        m_bonusDialog->setVisible(false);
        m_bonusIntroCountdown = 0;
    }
    if (m_observer != nullptr) m_observer->onLevel(m_level, m_mode);
}

Ref<Image> ShapeCanvas::levelPicture(const String& name) {
    return make<Image>(name);
}

void ShapeCanvas::setLevelBackground(int32_t level, bool complete) {
    const String name = String("+ilevelbg") + String(static_cast<int32_t>(level % kLevelPictures + 1));
    Ref<Image> picture = levelPicture(name);
    if (!picture || !picture->hasPixels()) return;
    if (complete) {
        m_levelBg->setImage(picture.get());
        m_levelBg->setTint(0, 128, 128, 128);
        m_levelBg->fadeTo(128, kBackgroundFadeTicks);
        m_levelBg->setVisible(true);
        return;
    }
    m_levelBg->fadeTo(0, kBackgroundFadeTicks);
    // The board's backdrop: the level's picture at a quarter of its brightness.
    Image* backdrop = m_bg->getImage();
    if (backdrop == nullptr || !backdrop->hasPixels()) return;
    const int32_t left = m_levelBg->getX() - m_bg->getX();
    const int32_t top = m_levelBg->getY() - m_bg->getY();
    const int32_t bw = backdrop->getWidth();
    const int32_t bh = backdrop->getHeight();
    const bool alpha = picture->getAlphaFlag();
    for (int32_t y = 0; y < picture->getHeight(); ++y) {
        const int32_t dy = top + y;
        if (dy < 0 || dy >= bh) continue;
        const uint32_t* src = std::as_const(*picture).getPixels() + static_cast<size_t>(y) * picture->getWidth();
        uint32_t* dst = backdrop->getPixels() + static_cast<size_t>(dy) * bw;
        for (int32_t x = 0; x < picture->getWidth(); ++x) {
            const int32_t dx = left + x;
            if (dx < 0 || dx >= bw) continue;
            const uint32_t s = src[x];
            const uint32_t a = alpha ? s >> 24 : 255u;
            // The two common cases of the blend below, worked out: a clear pixel leaves the backdrop as it
            // is, an opaque one gives its colour at a quarter.
            if (a == 0) continue;
            if (a == 255) {
                dst[dx] = 0xFF000000u | ((s >> 2) & 0x003F3F3Fu);
                continue;
            }
            const uint32_t d = dst[dx];
            uint32_t out = d & 0xFF000000u;
            for (int32_t shift = 0; shift < 24; shift += 8) {
                const uint32_t sc = ((s >> shift) & 0xFFu) * 32 / 128;
                const uint32_t dc = (d >> shift) & 0xFFu;
                out |= ((sc * a + dc * (255 - a)) / 255) << shift;
            }
            dst[dx] = out | (a == 255 ? 0xFF000000u : 0u);
        }
    }
    invalidate(Rectangle(m_levelBg->getX(), m_levelBg->getY(), picture->getWidth(), picture->getHeight()));
    m_bg->invalidate();
}

// ---- Timers ----

void ShapeCanvas::levelTimerTick() {
    switch (m_mode) {
    case kBonusRound:
        bonusTimerTick();
        break;
    case kRisingRows:
        risingRowsTimerTick();
        break;
    default:
        timedTimerTick();
        break;
    }
}

void ShapeCanvas::bonusTimerTick() {
    if (m_placedCount == m_totalSlots) {
        setState(kBonusWon);
    } else {
        bool allPassed = true;
        for (int32_t r = 0; r < m_rowCount; ++r)
            if (m_slots[m_rows[r].headSlot]->getX() <= m_layout.boardRight()) allPassed = false;
        if (allPassed) setState(kBonusLost);
    }
    if (m_bonusIntroCountdown > 0 && --m_bonusIntroCountdown == 0) m_bonusDialog->setVisible(false);
}

void ShapeCanvas::timedTimerTick() {
    if (m_timerNum->getValue() < m_timeLeft) {
        // Added time counts up on the timer first; no time passes meanwhile.
        m_timerNum->setValue(m_timerNum->getValue() + 1);
        m_hourglass->setAmount(m_timeLeft);
    } else if (--m_tickCountdown < 1) {
        --m_timeLeft;
        playSoundAt(m_timeLeft >= 1 && m_timeLeft <= 10 ? kSoundWarning : kSoundTick);
        m_timerNum->setValue(m_timeLeft);
        m_hourglass->setAmount(m_timeLeft);
        m_tickCountdown = kTicksPerTimeUnit;
        // Time running out in the very tick the last hole is filled still completes the level.
        if (m_timeLeft <= 0) {
            m_timeLeft = 0;
            if (m_placedCount < m_totalSlots) {
                setState(kGameOver);
                return;
            }
        }
    }
    if (m_placedCount >= m_totalSlots) setState(kLevelComplete);
}

void ShapeCanvas::risingRowsTimerTick() {
    const int32_t bottom = m_rowCount - 1;
    if (m_roundsLeft > 0) {
        if (--m_tickCountdown < 1) {
            --m_timeLeft;
            m_tickCountdown = kTicksPerTimeUnit;
            playSoundAt(m_rows[0].cleared ? kSoundTick : kSoundWarning);
        }
        // With every row cleared the next row comes at once.
        if (m_rows[bottom].cleared) m_timeLeft = 0;
        if (m_timeLeft <= 0) {
            m_timeLeft = 0;
            if (!m_rows[0].cleared) {
                setState(kGameOver);
                return;
            }
            bringInRow();
            --m_roundsLeft;
            if (m_roundsLeft > 0) {
                if (m_roundsLeft == 5) m_roundTime = m_roundTime * 3 / 4;
                m_timeLeft = m_roundTime;
                setHourglass(m_timeLeft, true);
            }
            m_timerNum->setValue(m_roundsLeft);
        }
        m_hourglass->setAmount(m_timeLeft);
    }
    if (m_roundsLeft == 0 && m_rows[bottom].cleared) setState(kLevelComplete);
}

// ---- Scores ----

void ShapeCanvas::addScore(int64_t points) {
    m_score = static_cast<int32_t>(
        std::clamp<int64_t>(int64_t{m_score} + points, 0, std::numeric_limits<int32_t>::max()));
}

void ShapeCanvas::scorePlacement(int32_t slot, bool wasMorphing, bool& popupShown) {
    addScore(Scoring::placement(m_level, m_speedBonus));
    m_speedBonus = Scoring::kFullSpeedBonus;
    const int32_t frame = m_slots[slot]->getFrame();
    const int32_t x = m_slots[slot]->getX();
    const int32_t y = m_slots[slot]->getY();
    int32_t dx = m_rowSpeed;
    for (int32_t r = 0; r < m_rowCount; ++r) {
        const RowState& row = m_rows[r];
        if (slot >= row.firstSlot && slot < row.firstSlot + m_slotsPerRow && row.reversed) dx = -m_rowSpeed;
    }
    if (frame == m_lastPlacedFrame) {
        showPopup(Scoring::combo(m_level, m_combo), x, y, dx, 0);
        m_combo *= 2;
        popupShown = true;
    } else {
        m_lastPlacedFrame = frame;
        m_combo = 1;
    }
    if (wasMorphing) {
        showPopup(Scoring::morphBonus(m_level), x, y, dx, 0);
        popupShown = true;
    }
}

void ShapeCanvas::scoreRowClear(int32_t position) {
    showPopup(Scoring::rowClear(position, m_level, m_timeLeft), m_layout.boardLeft + 3 * m_layout.slotPitch,
              m_layout.boardTop + m_layout.rowPitch * position + m_layout.rowPitch / 2, 0, -5);
}

void ShapeCanvas::showPopup(int32_t points, int32_t x, int32_t y, int32_t dx, int32_t dy) {
    addScore(points);
    Popup& popup = m_popups[m_popupIndex];
    m_popupIndex = (m_popupIndex + 1) % kPopups;
    popup.text->setTint(128, 128, 128, 128);
    popup.text->setLocation(x, y);
    popup.text->fadeTo(0, kPopupLife);
    popup.text->setVisible(true);
    popup.number->setTint(128, 128, 128, 128);
    popup.number->setValue(points);
    popup.number->setVisible(true);
    popup.number->setLocation(x + popup.text->getWidth() / 2, y + popup.text->getHeight());
    popup.life = kPopupLife;
    popup.dx = dx;
    popup.dy = dy;
    if (m_observer != nullptr) m_observer->onPopup(points);
}

void ShapeCanvas::stepScoreDisplay() {
    const int32_t shown = m_scoreNumbers->getValue();
    if (shown < m_score) m_scoreNumbers->setValue(Scoring::displayStep(shown, m_score));
    for (Popup& popup : m_popups) {
        if (!popup.text->isVisible() && !popup.number->isVisible()) continue;
        --popup.life;
        popup.text->moveBy(popup.dx, popup.dy);
        popup.number->moveBy(popup.dx, popup.dy);
        popup.number->setTint(std::max(popup.life, 0) * 128 / kPopupLife, 128, 128, 128);
        if (popup.life < 1) {
            popup.text->setVisible(false);
            popup.number->setVisible(false);
        }
    }
}

} // namespace mph
