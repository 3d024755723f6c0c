// ButtonSprite: state cells, enabling and pointer tracking.
#include "sprites/ButtonSprite.h"

#include "gfx/Image.h"
#include "sprites/SpriteClasses.h"

using namespace lang;

namespace mph {

namespace {
ClassRecord<ButtonSprite> buttonRecord("ButtonSprite");
} // namespace

const Class& SpriteClasses::buttonSprite() { return buttonRecord; }

bool ButtonSprite::initFromDefinition(const ObjectArray& images, const IntArray& params) {
    if (params.length < 7) return false;
    setImage(definitionImage(images, 0));
    setLocation(params[0], params[1]);
    applyGrid(params[2], params[3]);
    setStateCells(params[4], params[5], params[6], -1, -1);
    if (params.length >= 8) setState(params[7]);
    return true;
}

void ButtonSprite::setStateCells(int32_t hover, int32_t normal, int32_t disabled, int32_t selected,
                                 int32_t selectedHover) {
    m_cells[Disabled] = disabled;
    m_cells[Normal] = normal;
    m_cells[Hover] = hover;
    m_cells[Selected] = selected;
    m_cells[SelectedHover] = selectedHover;
}

void ButtonSprite::setState(int32_t state) {
    // A state outside the five would read outside the cell table; it is ignored.
    if (state < 0 || state > 4) return;
    const int32_t cell = m_cells[state];
    if (cell == -1) {
        setVisible(false);
    } else {
        setFrame(cell);
        if (!isVisible()) setVisible(true);
    }
    m_state = state;
}

void ButtonSprite::setEnabled(bool on) {
    if (on) {
        if (m_state != Selected && m_state != SelectedHover) setState(Normal);
    } else {
        setState(Disabled);
    }
}

bool ButtonSprite::track(int32_t x, int32_t y) {
    if (m_state == Disabled) return false;
    if (!contains(x, y)) {
        setState(m_state == Selected || m_state == SelectedHover ? Selected : Normal);
        return false;
    }
    if (m_state != Selected && m_state != SelectedHover) {
        setState(Hover);
    } else if (m_cells[SelectedHover] != -1) {
        setState(SelectedHover);
    }
    return true;
}

bool ButtonSprite::isClickable(int32_t x, int32_t y) { return contains(x, y) && m_state != Disabled; }

void ButtonSprite::unloadImage() {
    if (m_state == Hover) {
        setState(Normal);
    } else if (m_state == SelectedHover) {
        setState(Selected);
    }
}

} // namespace mph
