// ReplayCaption: what the replay viewer puts over a recorded game: a banner naming it a replay with the
// viewer's keys, and at the end a card with the final score and level.
#pragma once

#include "runtime/Rectangle.h"
#include "runtime/Ref.h"

#include <array>
#include <cstdint>

namespace mph {

class Font;
class GameCanvas2;
class RectSprite;
class Sprite;
class TextSprite;

// Every call is made with the canvas locked (the render thread's tick, or the input thread's handling).
class ReplayCaption {
public:
    static constexpr int32_t kBannerHeight = 28;
    static constexpr int32_t kCardWidth = 440;
    static constexpr int32_t kCardHeight = 132;

    ReplayCaption();
    ~ReplayCaption();
    ReplayCaption(const ReplayCaption&) = delete;
    ReplayCaption& operator=(const ReplayCaption&) = delete;

    // Puts the banner on top of the canvas's sprites, the end card hidden above it.
    void attach(GameCanvas2& canvas);
    // Takes them off again.
    void detach(GameCanvas2& canvas);
    // The banner's title: the word alone while playing at the recorded pace, with the speed when faster,
    // with a pause sign while paused.
    void setStatus(bool paused, int32_t speed);
    void showEnd(int32_t score, int32_t level);
    bool isEndShown() const;
    // What the banner and, while shown, the card cover.
    lang::Rectangle area() const;

    // The texts, for the driver and the tests (borrowed; null before attach).
    TextSprite* title() const { return m_title.get(); }
    TextSprite* keys() const { return m_keys.get(); }
    TextSprite* endScore() const { return m_endScore.get(); }

private:
    lang::Ref<Font> m_titleFont, m_textFont, m_endFont;
    // The end card's sprites, bottom first.
    std::array<Sprite*, 5> cardSprites() const;

    lang::Ref<RectSprite> m_banner, m_rim, m_card;
    lang::Ref<TextSprite> m_title, m_keys, m_endTitle, m_endScore, m_endHint;
    bool m_paused = false;
    int32_t m_speed = 1;
};

} // namespace mph
