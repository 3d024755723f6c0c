// InstructDialog: the instructions dialog, paging through numbered pages with cross-fades.
#pragma once

#include "sprites/DialogSprite.h"

namespace mph {

class AnimateSprite;

// Built from a nested script: pages "pg1", "pg2", ... (animated sprites; the first missing number ends
// the series), buttons "bnext", "bback" and "bclose", and a text sprite "version" that shows the game's
// version. The dialog keeps its page between openings.
class InstructDialog : public DialogSprite {
    LANG_CLASS(InstructDialog, DialogSprite)

public:
    static constexpr int32_t Closed = 2;
    // The ticks a cross-fade between two pages takes.
    static constexpr int32_t kFadeTicks = 10;
    static constexpr uint32_t kVersionColour = 0xFF191900u;

    InstructDialog() = default;

    using DialogSprite::onLoaded;
    void onLoaded(lang::Hashtable* spritesByName) override;
    // As DialogSprite, handling "bnext", "bback" and "bclose" (which answers 2).
    int32_t mouseDown(int32_t x, int32_t y) override;

    int32_t getCurrentPage() const { return m_currentPage; }
    int32_t getPageCount() const { return m_pageCount; }

private:
    // Page n, borrowed, or null when there is none.
    AnimateSprite* page(int32_t n);
    void enableButton(const char* name, bool on);
    void turnTo(int32_t n);

    int32_t m_currentPage = 1;
    int32_t m_pageCount = 0;
};

} // namespace mph
