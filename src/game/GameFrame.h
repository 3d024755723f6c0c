// GameFrame: the main frame of the game, which shows the game's canvas.
#pragma once

#include "app/MyFrame.h"

namespace mph {

class GameObserver;
class GameWatch;

class GameFrame : public MyFrame {
    LANG_CLASS(GameFrame, MyFrame)

public:
    // Who watches the canvas the frame makes (the recorder of games); borrowed, it must outlive the frame.
    void setObserver(GameObserver* observer) { m_observer = observer; }
    // What shows recorded games over the canvas the frame makes; borrowed, it must outlive the frame.
    void setWatch(GameWatch* watch) { m_watch = watch; }

protected:
    GameCanvas* createCanvas() override;

private:
    GameObserver* m_observer = nullptr;
    GameWatch* m_watch = nullptr;
};

} // namespace mph
