// HourGlass: the glass that shows the time left as sand running from its upper to its lower bulb.
#pragma once

#include "runtime/Class.h"
#include "sprites/AnimateSprite.h"

namespace mph {

// Frame 0 of the grid is the upright glass, the later frames its turning over. The sand pictures are drawn
// at fixed offsets from the glass's corner, so the glass art is made to fit them.
class HourGlass : public AnimateSprite {
    LANG_CLASS(HourGlass, AnimateSprite)

public:
    static constexpr int32_t kTopSandX = 36;
    static constexpr int32_t kTopSandY = 48;
    static constexpr int32_t kBottomSandX = 34;
    static constexpr int32_t kBottomSandY = 106;

    HourGlass() = default;

    // Pictures: the glass grid, the upper sand, the lower sand; AnimateSprite's numbers.
    bool initFromDefinition(const lang::ObjectArray& images, const lang::IntArray& params) override;
    // The glass, then, while it stands upright and has a full amount, the two sand heaps for the amount.
    void paint(Graphics* surface) override;
    // While turning, one frame per tick until the frames run out; then upright again at frame 0.
    bool step(int32_t tick, lang::Rectangle& rect) override;
    Sprite* clone() const override;

    int32_t getAmount() const { return m_amount; }
    // The sand left in the upper bulb, out of the full amount; records the glass's area.
    void setAmount(int32_t amount);
    int32_t getFullAmount() const { return m_fullAmount; }
    // 0 shows no sand at all.
    void setFullAmount(int32_t fullAmount);
    bool isTurning() const { return m_turning; }
    // Turns the glass over once.
    void startTurning() { m_turning = true; }
    Image* getTopSand() const { return m_topSand.get(); }
    Image* getBottomSand() const { return m_bottomSand.get(); }

    // How many rows of the upper and the lower sand show for the current amounts.
    int32_t topSandRows() const;
    int32_t bottomSandRows() const;

    static const lang::Class& classRecord();

private:
    lang::Ref<Image> m_topSand;
    lang::Ref<Image> m_bottomSand;
    int32_t m_amount = 50;
    int32_t m_fullAmount = 100;
    bool m_turning = false;
};

} // namespace mph
