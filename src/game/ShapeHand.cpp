// ShapeCanvas: the player's hand: picking a shape up from the tray, dropping it into a hole or back, and
// throwing shapes away.
#include "game/ShapeParts.h"

using namespace lang;

namespace mph {

namespace {
constexpr int32_t kTrashReach = 250;
constexpr int32_t kMissDelayMs = 300;
constexpr int32_t kCarrierEvery = 20;

bool inRect(int32_t x, int32_t y, int32_t left, int32_t top, int32_t width, int32_t height) {
    return x >= left && y >= top && x < left + width && y < top + height;
}
} // namespace

void ShapeCanvas::pickUp(int32_t x, int32_t y) {
    SyncGuard guard(this);
    for (int32_t i = 0; i < kTraySize; ++i) {
        ShapeSprite* shape = m_tray[i].get();
        if (!shape->isVisible() || shape->getX() >= m_layout.boardRight() || !shape->contains(x, y)) continue;
        shape->setVisible(false);
        m_held->setFrame(shape->getFrame());
        m_held->setCarriesPowerUp(shape->carriesPowerUp());
        m_held->setLocation(x - m_layout.shapeWidth / 2, y - m_layout.shapeHeight / 2);
        m_held->setVisible(true);
        if (m_revealerTimer > 0) highlightMatchingSlots(m_held->getFrame(), true);
        m_heldIsMorphing = m_trayMorphing[i];
        if (m_observer != nullptr) m_observer->onPickUp(m_trayArrived[i], getFrameCounter());
        m_pickupTime = std::max<uint32_t>(m_inputClock, 1);
        if (m_bonusIntroCountdown > 0) m_bonusIntroCountdown = 1;
        playSoundAt(kSoundPickUp);
        closeTrayGap(i);
        dealToTray();
        return;
    }
}

void ShapeCanvas::dropHeldShape(int32_t x, int32_t y) {
    int32_t placedRow = -1; // the placed row's first slot, which stays with the row when rows move
    {
        SyncGuard guard(this);
        if (!m_held->isVisible()) return;
        const int32_t heldFrame = m_held->getFrame();
        const bool wild = isWildcard(heldFrame);
        int32_t hit = -1;
        for (int32_t r = 0; r < m_rowCount && hit < 0; ++r) {
            const RowState& row = m_rows[r];
            if (row.cleared) continue;
            for (int32_t s = row.firstSlot; s < row.firstSlot + m_slotsPerRow; ++s) {
                SlotSprite* slot = m_slots[s].get();
                if (slot->getFrame() != heldFrame && !wild) continue;
                if (m_placed[s]->isVisible() || !slot->isVisible()) continue;
                if (slot->getX() <= m_layout.boardLeft - m_layout.slotPitch + 10) continue;
                if (slot->getX() >= m_layout.boardRight() - 10) continue;
                const int32_t w = slot->getWidth();
                const int32_t h = slot->getHeight();
                if (inRect(x, y, slot->getX(), slot->getY(), w, h) ||
                    (wild && inRect(x - m_layout.shapeWidth / 2, y - m_layout.shapeHeight / 2, slot->getX(),
                                    slot->getY(), w, h))) {
                    hit = s;
                    placedRow = row.firstSlot;
                    break;
                }
            }
        }
        if (hit >= 0) {
            if (++m_placedCount % kCarrierEvery == 0) m_carrierPending = true;
            bool popupShown = false;
            scorePlacement(hit, m_heldIsMorphing, popupShown);
            ShapeSprite* placed = m_placed[hit].get();
            placed->setRevealHalfHeight(wild ? 1 : -1);
            placed->setFrame(m_slots[hit]->getFrame());
            placed->setCarriesPowerUp(false);
            placed->setLocation(m_slots[hit]->getX(), m_slots[hit]->getY());
            placed->setVisible(true);
            m_held->setVisible(false);
            m_heldIsMorphing = false;
            m_pickupTime = 0;
            if (m_observer != nullptr) m_observer->onPlace(getFrameCounter());
            if (m_held->carriesPowerUp()) {
                m_held->setCarriesPowerUp(false);
                awardPowerUp(hit);
            } else if (popupShown) {
                playSoundAt(Scoring::comboSound(m_combo));
            } else {
                playSoundAt(wild ? kSoundWildcard : kSoundPlace);
            }
            highlightMatchingSlots(0, false);
            dealToTray();
        } else {
            placedRow = -1;
        }
    }
    if (placedRow >= 0 && m_mode != kBonusRound) {
        const int32_t position = rowPositionOf(placedRow);
        if (position >= 0 && isRowFull(position)) {
            // The full row must have been drawn before it is captured for its melt.
            waitForFrame();
            waitForFrame();
            SyncGuard guard(this);
            const int32_t now = rowPositionOf(placedRow);
            if (now >= 0) clearRow(now);
        }
    }
    SyncGuard guard(this);
    if (m_held->isVisible() && (m_trash->contains(x, y) || m_trashRect->contains(x, y))) discardHeldShape();
    if (m_held->isVisible() && m_pickupTime != 0 && m_inputClock - m_pickupTime > kMissDelayMs)
        playSoundAt(kSoundMiss);
}

int32_t ShapeCanvas::rowPositionOf(int32_t firstSlot) const {
    for (int32_t r = 0; r < m_rowCount; ++r)
        if (m_rows[r].firstSlot == firstSlot) return r;
    return -1;
}

void ShapeCanvas::discardTrayHead() {
    SyncGuard guard(this);
    ShapeSprite* head = m_tray[0].get();
    if (!head->isVisible() || head->getX() - m_layout.trayLeft >= kTrashReach) return;
    m_lastPlacedFrame = -1;
    m_trashShape->setFrame(head->getFrame());
    m_trashShape->setVisible(true);
    head->setVisible(false);
    closeTrayGap(0);
    startTrashAnimation();
    dealToTray();
}

void ShapeCanvas::discardHeldShape() {
    SyncGuard guard(this);
    if (!m_held->isVisible()) return;
    m_lastPlacedFrame = -1;
    m_trashShape->setFrame(m_held->getFrame());
    m_trashShape->setVisible(true);
    m_held->setVisible(false);
    m_held->setCarriesPowerUp(false);
    m_heldIsMorphing = false;
    highlightMatchingSlots(0, false);
    startTrashAnimation();
    dealToTray();
}

void ShapeCanvas::startTrashAnimation() {
    m_trashAnimating = true;
    m_trashOpening = true;
    m_trash->setFrame(std::min(m_trash->getFrame() + 1, m_trash->getFrameCount() - 1));
    m_pickupTime = 0;
    if (m_mode == kRisingRows) m_tickCountdown = 1;
    playSoundAt(kSoundTrash);
}

void ShapeCanvas::highlightMatchingSlots(int32_t frame, bool on) {
    for (int32_t s = 0; s < m_totalSlots; ++s) {
        SlotSprite* slot = m_slots[s].get();
        slot->setHighlighted(on && slot->getFrame() == frame && !m_placed[s]->isVisible());
    }
}

} // namespace mph
