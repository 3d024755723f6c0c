// GameFrame: the game's canvas, seeded from the clock at its creation.
#include "game/GameFrame.h"

#include "game/ShapeCanvas.h"
#include "runtime/CRandom.h"

namespace mph {

GameCanvas* GameFrame::createCanvas() {
    auto* canvas = new ShapeCanvas(lang::tickCount());
    canvas->setObserver(m_observer);
    canvas->setWatch(m_watch);
    return canvas;
}

} // namespace mph
