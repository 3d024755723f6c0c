// HighScoreSprite: the marks beside table rows (a play mark on rows whose recorded game can be watched, a
// check mark on world rows whose recording the service verified), the world table's legend, and playing a
// row's recording when its mark is pressed.
#include "scores/HighScoreSprite.h"

#include "gfx/Font.h"
#include "gfx/Image.h"
#include "io/Resources.h"
#include "runtime/SyncGuard.h"
#include "scores/RecordedGames.h"
#include "scores/RecordingViewer.h"
#include "scores/ScoreServer.h"
#include "sprites/RichTTYSprite.h"
#include "sprites/TextSprite.h"

#include <atomic>
#include <cstdlib>

using namespace lang;

namespace mph {

namespace {

std::atomic<RecordedGames*> g_recordedGames{nullptr};

constexpr int32_t kLegendFontHeight = 13;
constexpr int32_t kLegendGap = 5;
// How far below the last row's line the legend's line is: clear of the box the rows sit in.
constexpr int32_t kLegendDrop = 16;
// The dialog's own dark violet, on the light panel under the table's box.
constexpr uint32_t kLegendColour = 0xFF4A2C80u;
constexpr uint32_t kBlack = 0xFF000000u;
constexpr const char* kPlayName = "play";

// The play mark's picture: a triangle pointing right, opaque inside, transparent around it.
Ref<Image> playMarkPicture() {
    constexpr int32_t w = HighScoreSprite::kMarkWidth, h = HighScoreSprite::kMarkHeight;
    Ref<Image> picture = make<Image>(w, h, 1, false);
    if (!picture->hasPixels()) return picture;
    const int32_t middle = h / 2;
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x)
            picture->getPixels()[y * w + x] =
                x * middle <= (middle - std::abs(y - middle)) * (w - 1) ? HighScoreSprite::kMarkColour : 0u;
    picture->setAlphaFlag(true);
    return picture;
}

// The check mark's picture: a short stroke down to the right, then a long one up, three pixels thick.
Ref<Image> checkMarkPicture() {
    constexpr int32_t w = HighScoreSprite::kCheckWidth, h = HighScoreSprite::kCheckHeight;
    constexpr int32_t turn = 4; // the column where the stroke turns upwards, at the bottom
    Ref<Image> picture = make<Image>(w, h, 1, false);
    if (!picture->hasPixels()) return picture;
    for (int32_t x = 0; x < w; ++x) {
        const int32_t y = x <= turn ? h - 1 - (turn - x) : h - 1 - (x - turn) * (h - 1) / (w - 1 - turn);
        for (const int32_t v : {y - 2, y - 1, y})
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

void HighScoreSprite::setViewer(RecordingViewer* viewer) {
    SyncGuard guard(lockObject());
    m_viewer = viewer;
}

void HighScoreSprite::makeRowMarks() {
    if (!m_playPicture) m_playPicture = playMarkPicture();
    if (!m_checkPicture) m_checkPicture = checkMarkPicture();
    auto mark = [this](Ref<Sprite>& m, Image* picture) {
        if (m) return;
        m = make<Sprite>();
        m->setImage(picture);
        m->setVisible(false);
        addChild(m.get());
    };
    for (int32_t r = 0; r < kShownRows; ++r) {
        mark(m_checks[r], m_checkPicture.get());
        mark(m_marks[r], m_playPicture.get());
        // Known by name, so the focus and the driver can reach them.
        if (m_names) m_names->put((std::string(kPlayName) + std::to_string(r)).c_str(), m_marks[r].get());
    }
    mark(m_legendMark, m_checkPicture.get());
    if (!m_legendFont) m_legendFont = adopt(new Font(String("Arial"), 0, kLegendFontHeight));
    if (!m_legendText) {
        m_legendText = adopt(new TextSprite(m_legendFont.get(), kLegendColour, kBlack, false, false));
        m_legendText->setVisible(false);
        addChild(m_legendText.get());
    }
}

Sprite* HighScoreSprite::getPlayMark(int32_t row) const {
    return row >= 0 && row < kShownRows ? m_marks[row].get() : nullptr;
}

Sprite* HighScoreSprite::getCheckMark(int32_t row) const {
    return row >= 0 && row < kShownRows ? m_checks[row].get() : nullptr;
}

void HighScoreSprite::placeRowMarks(int32_t shown) {
    RecordedGames* games = recordedGames();
    for (int32_t r = 0; r < kShownRows; ++r) {
        if (!m_marks[r] || !m_checks[r]) continue;
        bool play = false;
        bool check = false;
        if (r < shown) {
            const ScoreRow& row = m_list[static_cast<size_t>(m_firstRow + r)];
            if (m_globalView) {
                check = row.verified;
                play = row.verified && !row.replay.empty();
            } else {
                play = games != nullptr && games->has(m_mode.view(), row.name.view(), row.level, row.score);
            }
        }
        // Left of the rank, centred on the text's cell (which ends two pixels below its y).
        const TextSprite* rank = m_rows[kRowTexts - kShownRows + r].get(); // the ranks are the last column
        int32_t right = rank->getX() - rank->getWidth() - 3;
        const int32_t middle = rank->getY() + 2 - kFontHeight / 2;
        if (check) {
            m_checks[r]->setLocation(right - kCheckWidth, middle - kCheckHeight / 2);
            right -= kCheckWidth + 3;
        }
        if (play) m_marks[r]->setLocation(right - kMarkWidth, middle - kMarkHeight / 2);
        m_checks[r]->setVisible(check);
        m_marks[r]->setVisible(play);
    }
    placeLegend(shown);
}

void HighScoreSprite::placeLegend(int32_t shown) {
    if (!m_legendMark || !m_legendText) return;
    const bool on = m_globalView && shown > 0;
    if (on) {
        m_legendText->setText(getResourceString(kLegendItem));
        // One line under the table's box, the mark and the words centred in the dialog together.
        const int32_t width = kCheckWidth + kLegendGap + m_legendText->getWidth();
        const int32_t left = (m_width - width) / 2;
        const int32_t baseline = m_top + kShownRows * kRowHeight + kLegendDrop;
        m_legendMark->setLocation(left, baseline - kLegendFontHeight / 2 - kCheckHeight / 2);
        m_legendText->setLocation(left + kCheckWidth + kLegendGap, baseline);
    }
    m_legendMark->setVisible(on);
    m_legendText->setVisible(on);
}

int32_t HighScoreSprite::markAt(int32_t x, int32_t y) {
    for (int32_t r = 0; r < kShownRows; ++r) {
        const Sprite* m = m_marks[r].get();
        if (m == nullptr || !m->isVisible()) continue;
        if (x >= m->getX() - kMarkReach && x < m->getX() + m->getWidth() + kMarkReach &&
            y >= m->getY() - kMarkReach && y < m->getY() + m->getHeight() + kMarkReach)
            return r;
    }
    return -1;
}

void HighScoreSprite::focusItems(std::vector<FocusItem>& out) {
    DialogSprite::focusItems(out);
    SyncGuard guard(lockObject());
    for (int32_t r = 0; r < kShownRows; ++r) {
        const Sprite* m = m_marks[r].get();
        if (m == nullptr || !m->isVisible()) continue;
        out.push_back(FocusItem{String((std::string(kPlayName) + std::to_string(r)).c_str()),
                                Rectangle(m->getX() - kMarkReach, m->getY() - kMarkReach,
                                          m->getWidth() + 2 * kMarkReach, m->getHeight() + 2 * kMarkReach),
                                false});
    }
}

void HighScoreSprite::showNotice(const char* key) {
    hideRows();
    say(key);
    showMessage(true);
    m_noticeTicks = kNoticeTicks;
}

void HighScoreSprite::endNotice() {
    if (m_noticeTicks == 0) return;
    m_noticeTicks = 0;
    showMessage(false);
    refresh(false);
}

void HighScoreSprite::watchRow(const ScoreRow& row, bool global, const String& mode) {
    RecordingViewer* viewer = nullptr;
    std::string base;
    {
        SyncGuard guard(lockObject());
        viewer = m_viewer;
        if (viewer == nullptr || viewer->isWatching()) return;
        if (global) {
            base = ScoreServer::baseAddress(m_store.get());
            if (!ScoreServer::isConnected(base)) {
                showNotice(offlineText(base));
                return;
            }
            hideRows();
            say("replayget");
            showMessage(true);
        }
    }
    std::string bytes;
    const char* problem = nullptr;
    if (global) {
        // The same time-outs and size limit as the table's requests; any failure is one message.
        bytes = ScoreServer::get(base + kReplayPath + row.replay, ScoreServer::kFetchTimeoutMs);
        if (bytes.empty()) problem = "replayfailed";
    } else {
        RecordedGames* games = recordedGames();
        if (games != nullptr) bytes = games->bytes(mode.view(), row.name.view(), row.level, row.score);
        if (bytes.empty()) problem = "replaygone";
    }
    if (problem == nullptr && viewer->watch(bytes, problem)) {
        SyncGuard guard(lockObject());
        // The table is back as it was, under the recording that now plays over it.
        showMessage(false);
        refresh(false);
        return;
    }
    SyncGuard guard(lockObject());
    showNotice(problem != nullptr ? problem : "replaybad");
}

} // namespace mph
