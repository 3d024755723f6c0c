// AutoPlayer: reading the game's state and choosing a move.
#include "headless/AutoPlayer.h"

#include "game/ShapeCanvas.h"
#include "headless/GameDump.h"
#include "headless/HeadlessGame.h"
#include "platform/Event.h"

namespace mph {

namespace {

bool isWildcard(const GameView& v, int32_t frame) {
    int32_t first = 0;
    for (size_t k = 0; k + 1 < v.framesPerKind.size(); ++k)
        first += v.framesPerKind[k];
    return frame >= first;
}

// An empty slot the shape fits that a drop can reach now; -1 when there is none.
int32_t reachableSlot(const GameView& v, int32_t frame) {
    const bool wild = isWildcard(v, frame);
    for (const GameView::Row& row : v.rows) {
        if (row.cleared) continue;
        for (int32_t s = row.first; s < row.first + v.slotsPerRow; ++s) {
            const GameView::Slot& slot = v.slots[s];
            if (!slot.visible || slot.filled || (slot.frame != frame && !wild)) continue;
            // Keep clear of the board's edges, where a drop is refused.
            if (slot.x <= v.boardLeft - v.slotPitch + 20 || slot.x >= v.boardLeft + v.boardWidth - 20)
                continue;
            if (slot.x + v.slotPitch / 2 <= v.boardLeft ||
                slot.x + v.slotPitch / 2 >= v.boardLeft + v.boardWidth)
                continue;
            return s;
        }
    }
    return -1;
}

// Whether any empty slot of the level takes the frame, in view or not.
bool fitsAnywhere(const GameView& v, int32_t frame) {
    if (isWildcard(v, frame)) return true;
    for (const GameView::Row& row : v.rows) {
        if (row.cleared) continue;
        for (int32_t s = row.first; s < row.first + v.slotsPerRow; ++s)
            if (v.slots[s].visible && !v.slots[s].filled && v.slots[s].frame == frame) return true;
    }
    return false;
}

} // namespace

bool AutoPlayer::tryPlacement(const GameView& v, Move& move) {
    // Only shapes wholly inside the tray can be taken: one still sliding in may lie under the panel.
    const int32_t trayEnd = v.trayLeft + v.trayWidth;
    for (size_t i = 0; i < v.tray.size(); ++i) {
        const GameView::Tray& shape = v.tray[i];
        if (!shape.visible || shape.x >= v.boardLeft + v.boardWidth - 1 || shape.x + v.shapeWidth > trayEnd)
            continue;
        const int32_t slot = reachableSlot(v, shape.frame);
        if (slot < 0) continue;
        // A quick click takes the shape into the hand; a press over the slot drops it there.
        const int32_t px = shape.x + v.shapeWidth / 2;
        const int32_t py = shape.y + v.shapeHeight / 2;
        const GameView::Slot& target = v.slots[slot];
        const int32_t sx = target.x + v.slotPitch / 2;
        const int32_t sy = target.y + v.rowPitch / 2;
        move.mouse = {{Event::kMouseDown, px, py},
                      {Event::kMouseUp, px, py},
                      {Event::kMouseDown, sx, sy},
                      {Event::kMouseUp, sx, sy}};
        ++m_placements;
        return true;
    }
    return false;
}

bool AutoPlayer::tryDiscard(const GameView& v, Move& move) {
    if (v.tray.empty() || !v.tray[0].visible || v.tray[0].x - v.trayLeft >= 250) return false;
    if (fitsAnywhere(v, v.tray[0].frame)) return false;
    move.virtualKey = move.character = 32;
    ++m_discards;
    return true;
}

bool AutoPlayer::choose(const GameView& v, Move& move) {
    move = Move();
    if (v.state != ShapeCanvas::kPlaying) return false;
    if (v.held >= 0) {
        // Something is in the hand (a drop missed): throw it away.
        move.virtualKey = move.character = 32;
        ++m_discards;
        return true;
    }
    return tryPlacement(v, move) || tryDiscard(v, move);
}

bool AutoPlayer::step() {
    // A move the game ignores would be chosen again and again; time goes on after enough of them.
    if (m_movesSinceTick >= kMaxMovesPerTick) {
        m_movesSinceTick = 0;
        m_game->tick();
        return true;
    }
    const GameView v = m_game->view();
    Move move;
    switch (v.state) {
    case ShapeCanvas::kStart:
        return false;
    case ShapeCanvas::kPlaying:
        if (choose(v, move)) {
            m_game->canvas().markCheatUsed();
            for (const auto& m : move.mouse)
                m_game->mouse(m[0], m[1], m[2]);
            if (move.mouse.empty()) m_game->key(move.virtualKey, move.character);
            ++m_movesSinceTick;
            return true;
        }
        break;
    case ShapeCanvas::kLevelComplete:
    case ShapeCanvas::kBonusLost:
    case ShapeCanvas::kBonusWon: {
        std::string error;
        const std::string button = m_game->spriteJson("continueButton", error);
        if (button.find("\"enabled\":true") != std::string::npos && m_game->click("continueButton", error)) {
            ++m_movesSinceTick;
            return true;
        }
        break;
    }
    default:
        break;
    }
    m_movesSinceTick = 0;
    m_game->tick();
    return true;
}

} // namespace mph
