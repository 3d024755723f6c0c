// GameFrame: the main frame of the game, which shows the game's canvas.
#pragma once

#include "app/MyFrame.h"

namespace mph {

class GameFrame : public MyFrame {
    LANG_CLASS(GameFrame, MyFrame)

protected:
    GameCanvas* createCanvas() override;
};

} // namespace mph
