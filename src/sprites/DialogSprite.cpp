// DialogSprite: named children, presses, hover routing and freeing pictures while hidden.
#include "sprites/DialogSprite.h"

#include "runtime/Cast.h"
#include "runtime/Enumeration.h"
#include "runtime/SyncGuard.h"
#include "sprites/ButtonSprite.h"
#include "sprites/SpriteClasses.h"

using namespace lang;

namespace mph {

namespace {
ClassRecord<DialogSprite> dialogRecord("DialogSprite");
} // namespace

const Class& SpriteClasses::dialogSprite() {
    return dialogRecord;
}

bool DialogSprite::initFromDefinition(const ObjectArray& images, const IntArray& params) {
    if (!FancyContainer::initFromDefinition(images, params)) return false;
    if (params.length >= 5) m_modal = params[4] == 1;
    return true;
}

void DialogSprite::onLoaded(Hashtable* spritesByName) {
    m_names = retain(spritesByName);
}

Sprite* DialogSprite::findChild(const char* name) {
    if (!m_names) return nullptr;
    Object* found = m_names->get(name);
    return found != nullptr && found->instanceOf("Sprite") ? static_cast<Sprite*>(found) : nullptr;
}

bool DialogSprite::update(int32_t tick, Rectangle& rect, Region* region) {
    if (!isVisible() && m_prepared) {
        {
            SyncGuard guard(&m_children);
            for (int32_t i = 0; i < m_children.size(); ++i) {
                Object* child = m_children.elementAt(i);
                if (child->instanceOf("Sprite")) static_cast<Sprite*>(child)->unloadImage();
            }
        }
        m_image = nullptr; // the off-screen copy used while fading
        m_prepared = false;
    }
    const bool result = FancyContainer::update(tick, rect, region);
    if (m_paintVisible && !m_prepared) {
        SyncGuard guard(&m_children);
        for (int32_t i = 0; i < m_children.size(); ++i)
            m_children.elementAtAs<Sprite>(i)->reloadImage();
        m_prepared = true;
    }
    return result;
}

int32_t DialogSprite::mouseDown(int32_t x, int32_t y) {
    m_lastClicked = "";
    if (!isVisible()) return NotHandled;
    if (!contains(x, y)) return m_modal ? Consumed : NotHandled;
    if (!m_names) return Consumed;
    const int32_t rx = x - m_x;
    const int32_t ry = y - m_y;
    Ref<Enumeration> keys = adopt(m_names->keys());
    while (keys->hasMoreElements()) {
        Object* key = keys->nextElement();
        Object* value = m_names->get(key);
        if (value == nullptr || !value->instanceOf("ButtonSprite")) continue;
        auto* button = static_cast<ButtonSprite*>(value);
        if (button->getState() != ButtonSprite::Disabled && button->contains(rx, ry)) {
            m_lastClicked = key->toString();
            return ButtonPressed;
        }
    }
    return Consumed;
}

int32_t DialogSprite::mouseUp(int32_t, int32_t) {
    return NotHandled;
}

void DialogSprite::focusItems(std::vector<FocusItem>& out) {
    if (!m_names) return;
    Ref<Enumeration> keys = adopt(m_names->keys());
    while (keys->hasMoreElements()) {
        Object* key = keys->nextElement();
        auto* button = as<ButtonSprite>(m_names->get(key));
        if (button == nullptr || !button->isVisible() || button->getState() == ButtonSprite::Disabled ||
            button->getStateCell(button->getState()) < 0)
            continue;
        out.push_back(FocusItem{key->toString(), button->getBounds(), false});
    }
}

DialogSprite* DialogSprite::focusedChild() {
    SyncGuard guard(&m_children);
    // The topmost visible nested dialog, as the pointer finds it.
    for (int32_t i = m_children.size() - 1; i >= 0; --i) {
        auto* dialog = as<DialogSprite>(m_children.elementAt(i));
        if (dialog != nullptr && dialog->isVisible()) return dialog;
    }
    return nullptr;
}

bool DialogSprite::mouseMove(int32_t x, int32_t y) {
    const int32_t ex = x - m_x;
    const int32_t ey = y - m_y;
    bool blocked = false;
    bool result = false;
    SyncGuard guard(&m_children);
    for (int32_t i = m_children.size() - 1; i >= 0; --i) {
        Object* child = m_children.elementAt(i);
        if (child->instanceOf("ButtonSprite")) {
            // Every button is tracked, even under a nested dialog, so stale hover is cleared.
            if (static_cast<ButtonSprite*>(child)->track(ex, ey) && !blocked) result = true;
        } else if (child->instanceOf("DialogSprite") && !blocked) {
            auto* dialog = static_cast<DialogSprite*>(child);
            if (!dialog->isVisible()) continue;
            if (dialog->contains(ex, ey) || dialog->isModal()) {
                if (dialog->mouseMove(ex, ey)) result = true;
            }
            if (dialog->isModal()) break;
            blocked = true;
        }
    }
    return result;
}

} // namespace mph
