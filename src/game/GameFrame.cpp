// GameFrame: the game's canvas, seeded from the clock at its creation.
#include "game/GameFrame.h"

#include "game/ShapeCanvas.h"
#include "runtime/CRandom.h"

namespace mph {

GameCanvas* GameFrame::createCanvas() { return new ShapeCanvas(lang::tickCount()); }

} // namespace mph
