// ReplayFrame: the main frame when the program shows a recorded game (morphella --replay FILE).
#pragma once

#include "game/GameFrame.h"
#include "replay/ReplayFile.h"

#include <string>

namespace mph {

// The frame runs on a copy of the player's settings (volumes, full screen) in a temporary folder, so
// nothing the recorded game does is written to the real ones, and without the score service's address.
class ReplayFrame : public GameFrame {
    LANG_CLASS(ReplayFrame, GameFrame)

public:
    explicit ReplayFrame(ReplayFile file) : m_file(std::move(file)) {}
    ~ReplayFrame() override;

protected:
    GameCanvas* createCanvas() override;
    void openSettings(User& settings, const char* productName) override;

private:
    ReplayFile m_file;
    std::string m_folder;
};

} // namespace mph
