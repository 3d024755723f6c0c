// KeyboardSprite: a keyboard drawn on the screen for a player with only a gamepad in hand: letters, digits,
// the accented letters names are written with, a case key, space, Backspace and OK, on a panel in the
// game's colours.
#pragma once

#include "runtime/Rectangle.h"
#include "sprites/Sprite.h"

#include <string>

namespace mph {

class KeyboardSprite : public Sprite {
    LANG_CLASS(KeyboardSprite, Sprite)

public:
    static constexpr int32_t kColumns = 10;
    static constexpr int32_t kRows = 6;
    static constexpr int32_t kKeySize = 30;
    static constexpr int32_t kPitch = 34;
    static constexpr int32_t kMargin = 12;
    static constexpr int32_t kKeyRound = 6;
    // Codes of the keys that type no character.
    enum Special : int32_t { kShift = -1, kSpace = -2, kBackspace = -3, kOk = -4 };

    KeyboardSprite();

    // Back to the first key, in capitals.
    void reset();
    // Moves the focus by columns (dx) or rows (dy), wrapping round at the edges.
    void move(int32_t dx, int32_t dy);
    void toggleCase();
    bool isLowerCase() const { return m_lower; }
    // The focused key: the character it types (Latin-1, in the case shown) or a Special code; its label
    // ("A", "\xe9", "Space", "Backspace", "OK", "Shift"); its place in the picture.
    int32_t focusedCode() const;
    std::string focusedLabel() const;
    lang::Rectangle focusedBounds() const;
    Sprite* clone() const override;

private:
    struct Key {
        int32_t code;
        int32_t column, row, span;
    };
    static const Key* keyAt(int32_t column, int32_t row);
    static int32_t caseOf(int32_t code, bool lower);
    void redraw();

    int32_t m_column = 0;
    int32_t m_row = 0;
    bool m_lower = false;
};

} // namespace mph
