// ButtonSprite: an animated sprite whose cells show five states: disabled, normal, hover, selected and
// selected with hover.
#pragma once

#include "sprites/AnimateSprite.h"

namespace mph {

// Buttons do not handle the mouse themselves: the owner calls track() as the pointer moves, and a press
// is resolved by the dialog to the name under which the button was defined.
class ButtonSprite : public AnimateSprite {
    LANG_CLASS(ButtonSprite, AnimateSprite)

public:
    enum State { Disabled = 0, Normal = 1, Hover = 2, Selected = 3, SelectedHover = 4 };

    ButtonSprite() = default;

    bool initFromDefinition(const lang::ObjectArray& images, const lang::IntArray& params) override;
    // Does not free the picture: it returns a hovered button to rest, so a hidden dialog never comes back
    // with a stale hover.
    void unloadImage() override;

    virtual bool isClickable(int32_t x, int32_t y);

    void setState(int32_t state);
    int32_t getState() const { return m_state; }
    void setEnabled(bool on);
    // Stores the cell of each state (-1 hides the button in that state); the shown cell changes at the
    // next setState.
    void setStateCells(int32_t hover, int32_t normal, int32_t disabled, int32_t selected, int32_t selectedHover);
    int32_t getStateCell(int32_t state) const { return state >= 0 && state < 5 ? m_cells[state] : -1; }
    // Updates hover for a pointer at (x, y) in the holder's coordinates; true when the pointer is over an
    // enabled button.
    bool track(int32_t x, int32_t y);

protected:
    int32_t m_cells[5] = {0, 0, 0, -1, -1};
    int32_t m_state = Disabled;
};

} // namespace mph
