// ReplayCaption: the banner and the end card, their texts from the container's text items.
#include "replay/ReplayCaption.h"

#include "app/GameCanvas2.h"
#include "game/RectSprite.h"
#include "gfx/Font.h"
#include "io/Resources.h"
#include "runtime/SyncGuard.h"
#include "sprites/TextSprite.h"

#include <string>

using namespace lang;

namespace mph {

namespace {

constexpr int32_t kScreenWidth = 800;
constexpr int32_t kScreenHeight = 600;
constexpr int32_t kMargin = 12;
constexpr uint32_t kBannerColour = 0xB8000000u;
constexpr uint32_t kCardColour = 0xF0141020u;
constexpr int32_t kRim = 2;
constexpr uint32_t kGold = 0xFFFFCC33u;
constexpr uint32_t kWhite = 0xFFFFFFFFu;
constexpr uint32_t kGrey = 0xFFC8C8C8u;
constexpr uint32_t kBlack = 0xFF000000u;

Ref<TextSprite> text(Font* font, uint32_t colour, int32_t alignment, int32_t x, int32_t y) {
    Ref<TextSprite> t = adopt(new TextSprite(font, colour, kBlack, false, false));
    t->setAlignment(alignment);
    t->setLocation(x, y);
    return t;
}

} // namespace

ReplayCaption::ReplayCaption() = default;
ReplayCaption::~ReplayCaption() = default;

void ReplayCaption::attach(GameCanvas2& canvas) {
    if (!m_titleFont) {
        m_titleFont = adopt(new Font(String("Arial"), Font::kBold, 18));
        m_textFont = adopt(new Font(String("Arial"), 0, 13));
        m_endFont = adopt(new Font(String("Arial"), Font::kBold, 16));
        m_banner = make<RectSprite>(0, 0, kScreenWidth, kBannerHeight, kBannerColour);
        m_title = text(m_titleFont.get(), kGold, 0, kMargin, kBannerHeight - 7);
        m_keys = text(m_textFont.get(), kWhite, 2, kScreenWidth - kMargin, kBannerHeight - 8);
        const int32_t left = (kScreenWidth - kCardWidth) / 2;
        const int32_t top = (kScreenHeight - kCardHeight) / 2;
        m_rim = make<RectSprite>(left - kRim, top - kRim, kCardWidth + 2 * kRim, kCardHeight + 2 * kRim, kGold);
        m_card = make<RectSprite>(left, top, kCardWidth, kCardHeight, kCardColour);
        m_endTitle = text(m_titleFont.get(), kGold, 1, kScreenWidth / 2, top + 38);
        m_endScore = text(m_endFont.get(), kWhite, 1, kScreenWidth / 2, top + 74);
        m_endHint = text(m_textFont.get(), kGrey, 1, kScreenWidth / 2, top + 108);
    }
    m_keys->setText(getResourceString("replaykeys"));
    m_endTitle->setText(getResourceString("replayend"));
    m_endHint->setText(getResourceString("replaydone"));
    m_paused = true; // so that the status below always sets the title
    setStatus(false, 1);
    for (Sprite* s : {static_cast<Sprite*>(m_banner.get()), static_cast<Sprite*>(m_title.get()),
                      static_cast<Sprite*>(m_keys.get())}) {
        s->setVisible(true);
        canvas.addSprite(s, -1, String());
    }
    for (Sprite* s : cardSprites()) {
        s->setVisible(false);
        canvas.addSprite(s, -1, String());
    }
}

void ReplayCaption::detach(GameCanvas2& canvas) {
    if (!m_banner) return;
    Vector& list = canvas.sprites();
    SyncGuard guard(&list);
    for (Sprite* s : {static_cast<Sprite*>(m_banner.get()), static_cast<Sprite*>(m_title.get()),
                      static_cast<Sprite*>(m_keys.get())})
        list.removeElement(s);
    for (Sprite* s : cardSprites())
        list.removeElement(s);
    canvas.invalidate();
}

void ReplayCaption::setStatus(bool paused, int32_t speed) {
    if (!m_title || (paused == m_paused && speed == m_speed)) return;
    m_paused = paused;
    m_speed = speed;
    std::string title = getResourceString("replaytitle").str();
    if (paused)
        title += "   ||";
    else if (speed > 1)
        title += "   x" + std::to_string(speed);
    m_title->setText(String(std::string_view(title)));
}

void ReplayCaption::showEnd(int32_t score, int32_t level) {
    if (!m_card) return;
    // The score grouped as the side panel shows it.
    String points;
    points.formatThousands(score);
    const std::string line = getResourceString("replayscore").str() + " " + points.str() + "     " +
                             getResourceString("replaylevel").str() + " " + std::to_string(level);
    m_endScore->setText(String(std::string_view(line)));
    for (Sprite* s : cardSprites())
        s->setVisible(true);
}

std::array<Sprite*, 5> ReplayCaption::cardSprites() const {
    return {m_rim.get(), m_card.get(), m_endTitle.get(), m_endScore.get(), m_endHint.get()};
}

Rectangle ReplayCaption::area() const {
    Rectangle covered(0, 0, kScreenWidth, kBannerHeight);
    if (isEndShown())
        covered.unionWith(Rectangle(m_rim->getX(), m_rim->getY(), kCardWidth + 2 * kRim, kCardHeight + 2 * kRim));
    return covered;
}

bool ReplayCaption::isEndShown() const {
    return m_card && m_card->isVisible();
}

} // namespace mph
