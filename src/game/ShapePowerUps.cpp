// ShapeCanvas: special pieces (the held wildcard's shimmer, morphing shapes), the four power-ups and the
// typed codes.
#include "game/ShapeParts.h"

#include "runtime/Ascii.h"

using namespace lang;

namespace mph {

namespace {
constexpr int32_t kMorphTicks = 15;
constexpr int32_t kRevealerTicks = 400;
constexpr int32_t kRevealerStep = 10;
constexpr int32_t kGlideTicks = 20;
constexpr int32_t kWildcardStepTicks = 10;
constexpr int32_t kExtraTime = 10;

enum PowerUp : int32_t {
    kRevealer = 0,
    kExtraTimeKind = 1,
    kWildcards = 2,
    kPoints = 3,
    kLastWildcardStage = 8
};
// The icon frame of each kind.
constexpr int32_t kIconFrame[] = {0, 2, 1, 3};
} // namespace

void ShapeCanvas::stepSpecialPieces() {
    // A held wildcard shimmers through its kind's frames.
    if (m_held->isVisible() && isWildcard(m_held->getFrame())) {
        const int32_t first = m_layout.wildcardFrame();
        const int32_t next = m_held->getFrame() + 1;
        m_held->setFrame(next >= first + m_layout.framesPerKind.back() ? first : next);
    }
    if (--m_morphTimer > 0) return;
    m_morphTimer = kMorphTicks;
    for (int32_t i = 0; i < kTraySize; ++i) {
        if (!m_trayMorphing[i] || !m_tray[i]->isVisible()) continue;
        const auto found = std::find(m_chosenFrames.begin(), m_chosenFrames.end(), m_tray[i]->getFrame());
        if (found == m_chosenFrames.end()) continue;
        const auto next = found + 1 == m_chosenFrames.end() ? m_chosenFrames.begin() : found + 1;
        m_tray[i]->setFrame(*next);
    }
}

void ShapeCanvas::awardPowerUp(int32_t slot) {
    int32_t icon = 0;
    while (icon < kPowerUpIcons && m_specials[icon]->isVisible())
        ++icon;
    if (icon == kPowerUpIcons) icon = 0;
    int32_t kind = 0;
    for (;;) {
        kind = m_random->nextTwoBits();
        if (kind == kRevealer && m_level == 1) continue; // the revealer is always on there
        if (kind == kExtraTimeKind && m_hourglassAwarded) continue;
        if ((kind == kExtraTimeKind || kind == kWildcards) && m_mode == kBonusRound) continue;
        break;
    }
    const int32_t x = m_slots[slot]->getX();
    const int32_t y = m_slots[slot]->getY();
    AnimateSprite* sprite = m_specials[icon].get();
    sprite->setLocation(x + 30, y + 30);
    sprite->setFrame(kIconFrame[kind]);
    sprite->setVisible(true);
    m_powerUpBanner->setLocation(x, y + 60);
    m_powerUpBanner->setTint(128, 128, 128, 128);
    m_powerUpBanner->setVisible(true);
    m_powerUpBanner->moveTo(x, y + 80, kGlideTicks);
    m_powerUpBanner->fadeTo(0, kGlideTicks);
    m_powerUpKind[icon] = kind;
    int32_t tx = 0;
    int32_t ty = 0;
    switch (kind) {
    case kRevealer:
        tx = m_revealerBar->getX();
        ty = m_revealerBar->getY();
        break;
    case kExtraTimeKind:
        tx = m_hourglass->getX() + 10;
        ty = m_hourglass->getY() + 15;
        m_hourglassAwarded = true;
        break;
    case kWildcards:
        tx = m_layout.trayLeft;
        ty = m_layout.trayTop;
        break;
    default:
        tx = m_scoreNumbers->getX();
        ty = m_scoreNumbers->getY();
        break;
    }
    playSoundAt(kSoundPowerUp);
    sprite->moveTo(tx, ty, kGlideTicks);
}

void ShapeCanvas::applyArrivedPowerUps() {
    for (int32_t i = 0; i < kPowerUpIcons; ++i) {
        AnimateSprite* icon = m_specials[i].get();
        if (!icon->isVisible() || icon->isBusy()) continue;
        const int32_t kind = m_powerUpKind[i];
        switch (kind) {
        case kRevealer:
            m_revealerTimer = kRevealerTicks;
            icon->setVisible(false);
            break;
        case kExtraTimeKind:
            m_timeLeft += kExtraTime;
            icon->setVisible(false);
            break;
        case kPoints:
            addScore(Scoring::kPowerUpPoints);
            icon->setVisible(false);
            break;
        default: {
            // Kinds 2 and 4 to 8: the tray turns into wildcards one shape at a time. Only the frame
            // changes: a carrier still awards its power-up, and a morphing shape still pays its bonus (it
            // stops changing, since the wildcard frame is none of the level's chosen frames).
            const int32_t position = kind == kWildcards ? 0 : kind - 3;
            if (position >= 0 && position < kTraySize) m_tray[position]->setFrame(m_layout.wildcardFrame());
            playSoundAt(kSoundWildcard);
            if (kind >= kLastWildcardStage) {
                icon->setVisible(false);
            } else {
                icon->moveTo(icon->getX() + m_layout.slotPitch, icon->getY(), kWildcardStepTicks);
                m_powerUpKind[i] = kind == kWildcards ? 4 : kind + 1;
            }
            break;
        }
        }
    }
}

void ShapeCanvas::hidePowerUpIcons() {
    for (auto& icon : m_specials)
        icon->setVisible(false);
}

void ShapeCanvas::stepRevealer() {
    if (m_revealerTimer > 0 && m_level > 1 && --m_revealerTimer == 0) {
        playSoundAt(kSoundWarning);
        highlightMatchingSlots(0, false);
    }
    // The bar's visible width follows the time left, 10 pixels a tick.
    const int32_t full = m_revealerBar->getWidth();
    const int32_t target = full * std::min(m_revealerTimer, kRevealerTicks) / kRevealerTicks;
    const int32_t width = m_revealerWidth < target ? std::min(m_revealerWidth + kRevealerStep, target)
                                                   : std::max(m_revealerWidth - kRevealerStep, target);
    if (width != m_revealerWidth) {
        m_revealerWidth = width;
        const Rectangle clip(m_revealerBar->getX(), m_revealerBar->getY(), width, m_revealerBar->getHeight());
        m_revealerBar->setClip(&clip);
        m_revealerBar->invalidate();
    }
}

void ShapeCanvas::checkTypedCodes() {
    auto typed = [this](const char* code, bool ignoreCase) {
        for (int32_t i = 0; i < 4; ++i) {
            const char a = m_typedKeys[i];
            const char b = code[i];
            if (ignoreCase
                    ? foldCase(static_cast<unsigned char>(a)) != foldCase(static_cast<unsigned char>(b))
                    : a != b)
                return false;
        }
        return true;
    };
    if (typed("K7QZ", true)) {
        m_placedCount = m_totalSlots;
    } else if (typed("B2VX", true)) {
        m_timeLeft = 1;
    } else if (typed("J9RM", true)) {
        m_cheatUsed = true;
        m_timeLeft = 300;
    } else if (typed("T4WY", true)) {
        m_cheatUsed = true;
        m_carrierPending = true;
    } else if (typed("H6CF", false)) {
        playSoundAt(kSoundMelt);
    }
}

} // namespace mph
