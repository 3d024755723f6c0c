// DialogSprite: a container built from a nested data script whose children are known by name, turning
// pointer movement into hover feedback and presses into the name of the pressed button.
#pragma once

#include "runtime/String.h"
#include "sprites/FancyContainer.h"

#include <vector>

namespace mph {

class DialogSprite : public FancyContainer {
    LANG_CLASS(DialogSprite, FancyContainer)

public:
    // Something a keyboard's or gamepad's focus can rest on: its name in the script and its place in the
    // dialog's coordinates. An adjustable item (a knob) moves with Left and Right instead of giving the
    // focus away.
    struct FocusItem {
        lang::String name;
        lang::Rectangle bounds;
        bool adjustable = false;
    };

    // What a press did: not handled (offer it to others), a button was pressed (read getLastClicked), or
    // consumed without a button.
    enum PressResult { NotHandled = 0, ButtonPressed = 1, Consumed = 3 };

    DialogSprite() = default;

    bool initFromDefinition(const lang::ObjectArray& images, const lang::IntArray& params) override;
    bool update(int32_t tick, lang::Rectangle& rect, Region* region) override;
    using FancyContainer::onLoaded;
    void onLoaded(lang::Hashtable* spritesByName) override;

    // Whether the dialog's own pointer handling is in use; every toolkit dialog answers true.
    virtual bool handlesPointer() const { return true; }
    // Positions are in the coordinates of whatever holds the dialog.
    virtual int32_t mouseDown(int32_t x, int32_t y);
    virtual int32_t mouseUp(int32_t x, int32_t y);
    virtual bool mouseMove(int32_t x, int32_t y);

    // The items a focus can rest on: every visible, enabled button (in no particular order). Dialogs
    // whose children do more under the pointer add those.
    virtual void focusItems(std::vector<FocusItem>& out);
    // Moves an adjustable item by delta steps, as dragging it would; false when nothing moved.
    virtual bool adjustItem(const lang::String& /*name*/, int32_t /*delta*/) { return false; }
    // The visible nested dialog that has the focus inside this one, or null.
    DialogSprite* focusedChild();

    // The sprite defined under name in the nested script, borrowed, or null.
    Sprite* findChild(const char* name);
    const lang::String& getLastClicked() const { return m_lastClicked; }
    bool isModal() const { return m_modal; }
    void setModal(bool modal) { m_modal = modal; }
    bool isPrepared() const { return m_prepared; }
    lang::Hashtable* getNames() const { return m_names.get(); }

protected:
    lang::String m_lastClicked;
    lang::Ref<lang::Hashtable> m_names;
    bool m_prepared = true;
    bool m_modal = false;
};

} // namespace mph
