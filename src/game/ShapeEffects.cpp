// ShapeCanvas: the trash can's lid and squish, and the game-over sequence of falling, bouncing and
// melting shapes.
#include "game/ShapeParts.h"

#include "io/User.h"
#include "runtime/CRandom.h"

using namespace lang;

namespace mph {

namespace {
constexpr double kSquishStep = 0.06;
constexpr int32_t kCurtainFallStep = 10;
} // namespace

void ShapeCanvas::stepTrash() {
    if (!m_trashAnimating) return;
    m_trashAnimating = false;
    const int32_t f = m_trash->getFrame();
    const int32_t last = m_trash->getFrameCount() - 1;
    if (m_trashOpening) {
        if (f >= last) {
            // Open: the discarded shape is crushed into the can, and the lid starts closing.
            m_trashSquish->start(*m_trashShape, kSquishStep, kSquishStep, 0);
            m_trash->setFrame(std::max(last - 1, 0));
            m_trashShape->setVisible(false);
            m_trashOpening = false;
        } else {
            m_trash->setFrame(f + 1);
        }
        m_trashAnimating = true;
    } else if (f < 1) {
        m_trashSquish->setVisible(false);
    } else {
        m_trash->setFrame(f - 1);
        m_trashAnimating = true;
    }
}

void ShapeCanvas::startGameOverFall() {
    for (auto& shape : m_tray)
        shape->setVisible(false);
    const int32_t floor = m_layout.trayBottom() - m_layout.shapeHeight;
    bool started = false;
    for (int32_t i = 0; i < m_totalSlots; ++i) {
        ShapeSprite* shape = m_placed[i].get();
        if (!shape->isVisible()) continue;
        const int32_t x = shape->getX();
        if (x > m_layout.boardLeft - m_layout.slotPitch && x < m_layout.boardRight()) {
            shape->startFall(floor);
            started = true;
        } else {
            shape->setVisible(false);
        }
    }
    if (started) playSoundAt(kSoundTrash);
}

void ShapeCanvas::stepGameOver() {
    const int32_t floor = m_layout.trayBottom() - m_layout.shapeHeight;
    bool anyFalling = false;
    for (int32_t i = 0; i < m_totalSlots; ++i) {
        ShapeSprite* shape = m_placed[i].get();
        if (shape->isBusy()) {
            anyFalling = true;
            continue;
        }
        if (!shape->isVisible() || shape->getY() < floor) continue;
        const bool melt = shape->getBounceCount() > 1 || CRandom::next() / 32768.0 > 0.5;
        MeltSprite* melter = nullptr;
        int32_t number = 0;
        if (melt) {
            for (; number < kMelters; ++number)
                if (!m_melters[number]->isVisible()) {
                    melter = m_melters[number].get();
                    break;
                }
        }
        if (melter != nullptr) {
            melter->meltShape(*shape);
            playSoundAt(kSoundFirstMelter + number);
            shape->setVisible(false);
        } else {
            shape->startFall(floor);
        }
    }
    if (anyFalling) return;
    startGameOverFall();
    --m_gameOverCountdown;
    if (m_gameOverCountdown == 100) {
        playSoundAt(kSoundGameOver);
        m_gameOver->setVisible(true);
        resetCurtains();
    } else if (m_gameOverCountdown < 95 && m_gameOverCountdown > 0) {
        if (m_curtain2->getY() + m_curtain2->getHeight() < kScreenHeight) stepCurtains(kCurtainFallStep);
    } else if (m_gameOverCountdown <= 0) {
        m_gameOver->setVisible(false);
        endGame();
        setState(kStart);
        if (m_score > 0) showNamePrompt();
    }
}

} // namespace mph
