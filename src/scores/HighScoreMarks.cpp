// HighScoreSprite: the marks beside table rows: a play mark on personal rows that have a recorded game, a
// check mark on global rows whose recording the service verified.
#include "scores/HighScoreSprite.h"

#include "gfx/Image.h"
#include "scores/RecordedGames.h"
#include "sprites/TextSprite.h"

#include <atomic>
#include <cstdlib>

using namespace lang;

namespace mph {

namespace {

std::atomic<RecordedGames*> g_recordedGames{nullptr};

// The play mark's picture: a triangle pointing right, opaque inside, transparent around it.
Ref<Image> playMarkPicture() {
    Ref<Image> picture = make<Image>(HighScoreSprite::kMarkWidth, HighScoreSprite::kMarkHeight, 1, false);
    if (!picture->hasPixels()) return picture;
    const int32_t middle = HighScoreSprite::kMarkHeight / 2;
    for (int32_t y = 0; y < HighScoreSprite::kMarkHeight; ++y)
        for (int32_t x = 0; x < HighScoreSprite::kMarkWidth; ++x)
            picture->getPixels()[y * HighScoreSprite::kMarkWidth + x] =
                x <= middle - std::abs(y - middle) ? HighScoreSprite::kMarkColour : 0u;
    picture->setAlphaFlag(true);
    return picture;
}

// The check mark's picture: a short stroke down to the right, then a long one up, two pixels thick.
Ref<Image> checkMarkPicture() {
    constexpr int32_t w = HighScoreSprite::kCheckWidth, h = HighScoreSprite::kCheckHeight;
    Ref<Image> picture = make<Image>(w, h, 1, false);
    if (!picture->hasPixels()) return picture;
    for (int32_t x = 0; x < w; ++x) {
        const int32_t y = x <= 3 ? 4 + x : h - 1 - (x - 3) * (h - 1) / (w - 4);
        for (const int32_t v : {y - 1, y})
            if (v >= 0 && v < h) picture->getPixels()[v * w + x] = HighScoreSprite::kMarkColour;
    }
    picture->setAlphaFlag(true);
    return picture;
}

} // namespace

void HighScoreSprite::setRecordedGames(RecordedGames* games) {
    g_recordedGames.store(games);
}

RecordedGames* HighScoreSprite::recordedGames() {
    return g_recordedGames.load();
}

void HighScoreSprite::makeRowMarks() {
    if (!m_playPicture) m_playPicture = playMarkPicture();
    if (!m_checkPicture) m_checkPicture = checkMarkPicture();
    for (Ref<Sprite>& m : m_marks) {
        if (m) continue;
        m = make<Sprite>();
        m->setImage(m_playPicture.get());
        m->setVisible(false);
        addChild(m.get());
    }
}

Sprite* HighScoreSprite::getPlayMark(int32_t row) const {
    return row >= 0 && row < kShownRows ? m_marks[row].get() : nullptr;
}

void HighScoreSprite::placeRowMarks(int32_t shown) {
    RecordedGames* games = recordedGames();
    Image* picture = m_globalView ? m_checkPicture.get() : m_playPicture.get();
    for (int32_t r = 0; r < kShownRows; ++r) {
        if (!m_marks[r]) continue;
        bool marked = false;
        if (r < shown) {
            const ScoreRow& row = m_list[static_cast<size_t>(m_firstRow + r)];
            marked = m_globalView ? row.verified
                                  : games != nullptr &&
                                        games->has(m_mode.view(), row.name.view(), row.level, row.score);
        }
        if (marked) {
            // Left of the rank, centred on the text's cell (which ends two pixels below its y).
            const TextSprite* rank =
                m_rows[kRowTexts - kShownRows + r].get(); // the ranks are the last column
            if (m_marks[r]->getImage() != picture) m_marks[r]->setImage(picture);
            m_marks[r]->setLocation(rank->getX() - rank->getWidth() - 3 - m_marks[r]->getWidth(),
                                    rank->getY() + 2 - kFontHeight / 2 - m_marks[r]->getHeight() / 2);
        }
        m_marks[r]->setVisible(marked);
    }
}

} // namespace mph
