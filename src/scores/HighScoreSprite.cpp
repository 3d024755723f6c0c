// HighScoreSprite: building from the nested script, the personal table, row layout, highlight colours,
// scrolling and the clear confirmation.
#include "scores/HighScoreSprite.h"

#include "gfx/Font.h"
#include "io/User.h"
#include "runtime/SyncGuard.h"
#include "scores/ScoreClasses.h"
#include "sprites/AnimateSprite.h"
#include "sprites/ButtonSprite.h"
#include "sprites/DataLoader.h"
#include "sprites/RichTTYSprite.h"
#include "sprites/TextSprite.h"

#include <algorithm>

using namespace lang;

namespace mph {

namespace {
ClassRecord<HighScoreSprite> highScoreRecord("HighScoreSprite");

constexpr uint32_t kOpaque = 0xFF000000u;
constexpr uint32_t kWhite = 0xFFFFFFFFu;
constexpr uint32_t kYellow = 0xFFFFFF00u;
constexpr uint32_t kBlack = 0xFF000000u;
// Column offsets of a row's texts in the order the highlight colours them: name, level, score, rank.
constexpr int32_t kNames = 0;
constexpr int32_t kLevels = 10;
constexpr int32_t kScores = 20;
constexpr int32_t kRanks = 30;

} // namespace

const Class& ScoreClasses::highScoreSprite() {
    return highScoreRecord;
}

const uint32_t HighScoreSprite::kPalette[kPaletteSize] = {
    0xee0000, 0xee2200, 0xee4400, 0xee6600, 0xee8800, 0xeeaa00, 0xeecc00, 0xeeee00, 0xccee00, 0xaaee00,
    0x88dd00, 0x66cc00, 0x44cc00, 0x44aa00, 0x668800, 0x886600, 0xaa4400, 0xcc2200, 0xee0000,
};

HighScoreSprite::HighScoreSprite() = default;
HighScoreSprite::~HighScoreSprite() = default;

void HighScoreSprite::onLoaded(DataLoader* loader) {
    if (loader == nullptr) return;
    SyncGuard guard(lockObject());
    DialogSprite::onLoaded(loader->getSpritesByName());
    m_clearButton = retain(button("clear"));
    m_closeButton = retain(button("close"));
    Sprite* prompt = findChild("prompt");
    m_prompt = prompt != nullptr && prompt->instanceOf("DialogSprite")
                   ? retain(static_cast<DialogSprite*>(prompt))
                   : nullptr;
    const IntArray& data = loader->getData();
    if (data.length >= 4) {
        m_top = data[0];
        m_nameX = data[1];
        m_levelX = data[2];
        m_scoreX = data[3];
    }
    if (!m_font) m_font = adopt(new Font(String("Arial"), Font::kBold, kFontHeight));
    for (int32_t i = 0; i < kRowTexts; ++i) {
        if (m_rows[i]) continue;
        const int32_t column = i / kShownRows;
        const int32_t x = column == 1 ? m_levelX : column == 2 ? m_scoreX : m_nameX;
        m_rows[i] = adopt(new TextSprite(m_font.get(), kWhite, kBlack, false, false));
        m_rows[i]->setAlignment(column == 0 ? 0 : 2);
        m_rows[i]->setVisible(false);
        m_rows[i]->setLocation(x, m_top + (i % kShownRows) * kRowHeight);
        addChild(m_rows[i].get());
    }
    makeRowMarks();
    if (m_prompt) {
        addChild(m_prompt.get());
        m_prompt->setVisible(false);
    }
    m_prepared = true;
}

ButtonSprite* HighScoreSprite::button(const char* name) {
    Sprite* s = findChild(name);
    return s != nullptr && s->instanceOf("ButtonSprite") ? static_cast<ButtonSprite*>(s) : nullptr;
}

RichTTYSprite* HighScoreSprite::console() {
    Sprite* s = findChild("message");
    return s != nullptr && s->instanceOf("RichTTYSprite") ? static_cast<RichTTYSprite*>(s) : nullptr;
}

void HighScoreSprite::enableButton(const char* name, bool on) {
    if (ButtonSprite* b = button(name)) b->setEnabled(on);
}

void HighScoreSprite::showChild(const char* name, bool on) {
    if (Sprite* s = findChild(name)) s->setVisible(on);
}

TextSprite* HighScoreSprite::getRowText(int32_t index) const {
    return index >= 0 && index < kRowTexts ? m_rows[index].get() : nullptr;
}

void HighScoreSprite::setStore(User* store) {
    SyncGuard guard(lockObject());
    m_store = retain(store);
}

void HighScoreSprite::setLock(Object* lock) {
    m_lock = lock;
}

void HighScoreSprite::setMode(const String& mode) {
    SyncGuard guard(lockObject());
    m_mode = mode;
}

String HighScoreSprite::getMode() {
    SyncGuard guard(lockObject());
    return m_mode;
}

bool HighScoreSprite::qualifies(User* store, const String& mode, int32_t score) {
    if (store == nullptr || score == 0) return false;
    for (int32_t i = 0; i < User::kSavedScoresPerMode; ++i) {
        if (store->getScore(mode, i) < score) return true;
    }
    return false;
}

void HighScoreSprite::recordScore(const String& name, const String& mode, int32_t level, int32_t score) {
    SyncGuard guard(lockObject());
    m_mode = mode;
    m_highlightRow = -1;
    m_highlightRank = -1;
    if (score != 0 && m_store) {
        for (int32_t i = 0; i < User::kSavedScoresPerMode; ++i) {
            if (m_store->getScore(mode, i) < score) {
                m_store->insertScore(name, mode, level, score, 0);
                m_store->setString("MRUHSNAME", name);
                m_highlightRank = i + 1;
                m_firstRow = 0;
                break;
            }
        }
    }
    // The rank just reached belongs to the personal table, so that is the view shown with it.
    m_globalView = false;
    m_noticeTicks = 0;
    enableButton("bretry", false);
    showMessage(false);
    refresh(true);
}

void HighScoreSprite::buildPersonalList() {
    m_list.clear();
    m_firstRow = 0;
    if (!m_store) return;
    for (int32_t i = 0; i < User::kSavedScoresPerMode; ++i) {
        const int32_t score = m_store->getScore(m_mode, i);
        if (score <= 0) continue;
        ScoreRow row;
        row.name = m_store->getName(m_mode, i);
        row.score = score;
        row.level = m_store->getLevel(m_mode, i);
        row.rank = i + 1;
        m_list.push_back(row);
    }
}

void HighScoreSprite::refresh(bool reload) {
    SyncGuard guard(lockObject());
    if (Sprite* modeSprite = findChild("mode");
        modeSprite != nullptr && modeSprite->instanceOf("AnimateSprite"))
        static_cast<AnimateSprite*>(modeSprite)->setFrame(m_mode == "S" ? 0 : 1);
    if (reload) {
        if (m_globalView) {
            buildGlobalList();
        } else {
            buildPersonalList();
        }
    }
    const int32_t count = static_cast<int32_t>(m_list.size());
    m_firstRow = std::max(0, std::min(m_firstRow, count - kShownRows));
    showChild("global", m_globalView);
    showChild("personal", !m_globalView);
    enableButton("bglobals", !m_globalView);
    enableButton("bpersonal", m_globalView);
    enableButton("bsup", m_firstRow > 0);
    enableButton("bsdown", m_firstRow < count - kShownRows);
    layoutRows();
    const bool anyShown = m_firstRow < count;
    if (m_clearButton) m_clearButton->setEnabled(anyShown && !m_globalView);
    if (m_closeButton) m_closeButton->setEnabled(true);
}

void HighScoreSprite::layoutRows() {
    if (!m_rows[0]) return;
    m_highlightRow = -1;
    int32_t shown = 0;
    int32_t widestName = 0;
    for (int32_t r = 0; r < kShownRows; ++r) {
        const size_t index = static_cast<size_t>(m_firstRow + r);
        if (index >= m_list.size()) {
            for (int32_t column = 0; column < kRowTexts; column += kShownRows)
                m_rows[column + r]->setVisible(false);
            continue;
        }
        const ScoreRow& row = m_list[index];
        const int32_t y = m_top + r * kRowHeight;
        TextSprite* rank = m_rows[kRanks + r].get();
        rank->setText(String(row.rank) + ".");
        rank->setLocation(m_nameX - 3, y);
        rank->setVisible(true);
        if (m_highlightRank != -1 && row.rank == m_highlightRank) m_highlightRow = r;
        TextSprite* name = m_rows[kNames + r].get();
        name->setText(row.name);
        name->setLocation(m_nameX, y);
        name->setVisible(true);
        widestName = std::max(widestName, name->getWidth());
        ++shown;
    }
    // The name column is centred on nameX + 6, the ranks moving with it.
    for (int32_t r = 0; r < shown; ++r) {
        m_rows[kRanks + r]->moveBy(6 - widestName / 2, 0);
        m_rows[kNames + r]->moveBy(6 - widestName / 2, 0);
    }
    // Levels and scores are right-aligned on their x, then the column is moved right by half its width.
    for (const int32_t column : {kLevels, kScores}) {
        const int32_t x = column == kLevels ? m_levelX : m_scoreX;
        int32_t widest = 0;
        for (int32_t r = 0; r < shown; ++r) {
            const ScoreRow& row = m_list[static_cast<size_t>(m_firstRow + r)];
            const int32_t value = column == kLevels ? row.level : row.score;
            TextSprite* text = m_rows[column + r].get();
            if (column == kLevels ? value > 0 : value >= 0) {
                text->setText(String(value));
                text->setLocation(x, m_top + r * kRowHeight);
                text->setVisible(true);
                widest = std::max(widest, text->getWidth());
            } else {
                text->setVisible(false);
            }
        }
        for (int32_t r = 0; r < shown && m_rows[column + r]->isVisible(); ++r)
            m_rows[column + r]->moveBy(widest / 2, 0);
    }
    for (int32_t r = 0; r < shown; ++r) {
        const uint32_t colour = r == m_highlightRow ? kYellow : kWhite;
        for (int32_t column = 0; column < kRowTexts; column += kShownRows)
            m_rows[column + r]->setColors(colour, kBlack);
    }
    placeRowMarks(shown);
}

void HighScoreSprite::hideRows() {
    for (const Ref<TextSprite>& text : m_rows) {
        if (text) text->setVisible(false);
    }
    for (const Ref<Sprite>& mark : m_marks) {
        if (mark) mark->setVisible(false);
    }
    for (const Ref<Sprite>& mark : m_checks) {
        if (mark) mark->setVisible(false);
    }
    if (m_legendMark) m_legendMark->setVisible(false);
    if (m_legendText) m_legendText->setVisible(false);
}

void HighScoreSprite::colourHighlight(int32_t tick) {
    if (!isVisible() || m_highlightRow < 0 || !m_rows[0]) return;
    const int32_t start = ((tick % kPaletteSize) + kPaletteSize) % kPaletteSize;
    const int32_t columns[] = {kNames, kLevels, kScores, kRanks};
    for (int32_t k = 0; k < 4; ++k) {
        m_rows[columns[k] + m_highlightRow]->setColors(kOpaque | kPalette[(start + k) % kPaletteSize],
                                                       kBlack);
    }
}

bool HighScoreSprite::repeatScroll() {
    const int32_t count = static_cast<int32_t>(m_list.size());
    if (m_lastClicked == "bsup" && m_firstRow > 0) {
        --m_firstRow;
        return true;
    }
    if (m_lastClicked == "bsdown" && m_firstRow < count - kShownRows) {
        ++m_firstRow;
        return true;
    }
    return false;
}

bool HighScoreSprite::update(int32_t tick, Rectangle& rect, Region* region) {
    SyncGuard guard(lockObject());
    colourHighlight(tick);
    if (m_noticeTicks > 1)
        --m_noticeTicks;
    else if (m_noticeTicks == 1)
        endNotice();
    if (m_repeating) {
        if (m_repeatDelay <= 0) {
            if (repeatScroll()) refresh(false);
        } else {
            --m_repeatDelay;
        }
    }
    return DialogSprite::update(tick, rect, region);
}

int32_t HighScoreSprite::pressPrompt(int32_t x, int32_t y) {
    if (m_prompt && m_prompt->mouseDown(x - m_x, y - m_y) == ButtonPressed) {
        const String& pressed = m_prompt->getLastClicked();
        if (pressed == "bclear") {
            if (m_store) m_store->clearScores(m_mode);
            refresh(true);
        }
        if (pressed == "bclear" || pressed == "bnoclear") {
            m_prompt->setVisible(false);
            m_confirming = false;
        }
    }
    return Consumed;
}

int32_t HighScoreSprite::mouseDown(int32_t x, int32_t y) {
    int32_t result;
    bool global = false;
    bool watching = false;
    ScoreRow watched;
    String watchMode;
    {
        SyncGuard guard(lockObject());
        m_lastClicked = "";
        if (!isVisible()) return NotHandled;
        if (!contains(x, y)) return Consumed;
        if (m_confirming) return pressPrompt(x, y);
        // A press ends a notice over the table at once.
        endNotice();
        if (const int32_t r = markAt(x - m_x, y - m_y); r >= 0) {
            watched = m_list[static_cast<size_t>(m_firstRow + r)];
            global = m_globalView;
            watchMode = m_mode;
            watching = true;
        }
    }
    if (watching) {
        // Outside the lock: a world row's recording comes from the score service.
        watchRow(watched, global, watchMode);
        return Consumed;
    }
    {
        SyncGuard guard(lockObject());
        result = DialogSprite::mouseDown(x, y);
        if (result != ButtonPressed) return result;
        const String& pressed = m_lastClicked;
        if (pressed == "clear") {
            if (m_prompt) m_prompt->setVisible(true);
            m_confirming = true;
            return result;
        }
        if (pressed == "close") {
            m_repeating = false;
            hideWithFade();
            return Closed;
        }
        if (pressed == "bsup" || pressed == "bsdown") {
            if (pressed == "bsdown") {
                ++m_firstRow;
            } else if (m_firstRow > 0) {
                --m_firstRow;
            }
            m_repeatDelay = kRepeatDelay;
            m_repeating = true;
            refresh(false);
            return result;
        }
        if (pressed == "bmode") {
            m_mode = m_mode.equalsIgnoreCase("S") ? "N" : "S";
            global = m_globalView;
        } else if (pressed == "bglobals" || pressed == "bretry") {
            global = true;
        } else if (pressed != "bpersonal") {
            return result;
        }
        if (pressed != "bretry") m_highlightRank = -1;
    }
    // Outside the lock: the global view may have to wait for the score service.
    showView(global);
    return result;
}

int32_t HighScoreSprite::mouseUp(int32_t, int32_t) {
    SyncGuard guard(lockObject());
    m_repeating = false;
    m_lastClicked = "";
    return NotHandled;
}

bool HighScoreSprite::isGlobalView() {
    SyncGuard guard(lockObject());
    return m_globalView;
}

bool HighScoreSprite::isConfirming() {
    SyncGuard guard(lockObject());
    return m_confirming;
}

bool HighScoreSprite::isRepeating() {
    SyncGuard guard(lockObject());
    return m_repeating;
}

int32_t HighScoreSprite::getFirstRow() {
    SyncGuard guard(lockObject());
    return m_firstRow;
}

int32_t HighScoreSprite::getHighlightRow() {
    SyncGuard guard(lockObject());
    return m_highlightRow;
}

int32_t HighScoreSprite::getHighlightRank() {
    SyncGuard guard(lockObject());
    return m_highlightRank;
}

std::vector<ScoreRow> HighScoreSprite::getList() {
    SyncGuard guard(lockObject());
    return m_list;
}

} // namespace mph
