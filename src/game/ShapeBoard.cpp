// ShapeCanvas: the board: building a level's rows and slots, row motion, the tray and its deck, and rows
// filled, cleared and brought in.
#include "game/ShapeParts.h"

#include "gfx/Image.h"
#include "rules/BoardRules.h"

using namespace lang;

namespace mph {

namespace {
constexpr int32_t kTraySlideStep = 15;
constexpr int32_t kRowGlideStep = 5;
} // namespace

// ---- Level building ----

void ShapeCanvas::buildBoard() {
    m_placedCount = 0;
    m_totalSlots = 0;
    for (int32_t i = 0; i < kMaxSlots; ++i) {
        m_slots[i]->setVisible(false);
        m_slots[i]->setHighlighted(false);
        m_placed[i]->setVisible(false);
        m_placed[i]->reset();
        m_placed[i]->setCarriesPowerUp(false);
    }
    m_decoyFrame = -1;

    const bool bonus = m_mode == kBonusRound;
    BoardRules::FrameChoice choice = BoardRules::chooseFrames(*m_random, m_layout, m_params, m_level);
    m_chosenKinds = std::move(choice.kinds);
    m_chosenFrames = std::move(choice.frames);
    m_decoyFrame = choice.decoyFrame;
    if (m_chosenFrames.empty()) m_chosenFrames.push_back(0);

    m_rowCount = std::clamp(m_params.rowCount, 1, static_cast<int32_t>(kRows));
    m_slotsPerRow = std::clamp(m_params.slotsPerRow, 1, kMaxSlots / m_rowCount);
    std::array<int32_t, kRows> offsets{};
    for (int32_t r = 0; r < m_rowCount; ++r) {
        RowState& row = m_rows[r];
        row.rowNumber = r;
        row.firstSlot = row.headSlot = r * m_slotsPerRow;
        row.tailSlot = row.firstSlot + m_slotsPerRow - 1;
        row.targetY = row.currentY = m_layout.boardTop + m_layout.rowPitch * r;
        m_totalSlots += m_slotsPerRow;
        offsets[r] = BoardRules::rowOffset(*m_random, m_layout, m_slotsPerRow, bonus);
        row.reversed = bonus ? false : r % 2 == 0;
    }
    const std::vector<int32_t> frames = BoardRules::slotFrames(*m_random, m_chosenFrames, m_totalSlots);
    // The slots' backgrounds are cut from the template's picture, which is needed only now.
    m_slotBg->reloadImage();
    for (int32_t r = 0; r < m_rowCount; ++r) {
        RowState& row = m_rows[r];
        for (int32_t j = 0; j < m_slotsPerRow; ++j) {
            const int32_t s = row.firstSlot + j;
            SlotSprite* slot = m_slots[s].get();
            slot->setLocation(m_layout.boardLeft + m_layout.slotPitch * j - offsets[r], row.currentY);
            slot->setFrame(frames[s]);
            buildSlotPicture(slot);
            slot->setVisible(true);
            m_placed[s]->setLocation(slot->getX(), slot->getY());
        }
    }
    if (!keepsPictures()) m_slotBg->unloadImage();
    for (int32_t r = 0; r < m_rowCount; ++r) {
        RowState& row = m_rows[r];
        row.cleared = false;
    }
    if (m_mode == kRisingRows) {
        // The rising-rows game begins with three rows in play.
        for (int32_t r = 0; r < std::min(2, m_rowCount); ++r) {
            m_rows[r].cleared = true;
            for (int32_t j = 0; j < m_slotsPerRow; ++j)
                m_slots[m_rows[r].firstSlot + j]->setVisible(false);
        }
    }

    m_deck.assign(bonus ? m_totalSlots : 2 * static_cast<int32_t>(m_chosenFrames.size()), 0);
    buildDeck();
    for (int32_t i = 0; i < kTraySize; ++i) {
        m_trayMorphing[i] = false;
        ShapeSprite* shape = m_tray[i].get();
        shape->setFrame(m_deck[m_deckIndex]);
        shape->setCarriesPowerUp(false);
        shape->setLocation(m_layout.trayLeft + m_layout.shapeWidth * i, m_layout.trayTop);
        shape->setVisible(true);
        m_trayArrived[i] = getFrameCounter();
        if (++m_deckIndex >= static_cast<int32_t>(m_deck.size())) buildDeck();
    }
    m_held->setVisible(false);
    m_dealtCount = kTraySize;
    m_morphTimer = 15;
}

void ShapeCanvas::buildSlotPicture(SlotSprite* slot) {
    const int32_t w = m_layout.slotPitch;
    const int32_t h = m_layout.rowPitch;
    Image* picture = slot->getImage();
    if (picture == nullptr || !picture->hasPixels() || picture->getWidth() != w ||
        picture->getHeight() != h) {
        Ref<Image> fresh = make<Image>(w, h, 1, false);
        fresh->setAlphaFlag(true);
        slot->setImage(fresh.get());
        picture = fresh.get();
    }
    uint32_t* out = picture->getPixels();
    if (out == nullptr) return;
    const int32_t frame = slot->getFrame();
    // The background cell of the slot's frame, then a hole where the shape's cell is opaque. A cell's row
    // outside its grid reads as transparent black, and so do its columns past the grid's right edge.
    struct CellRow {
        const uint32_t* pixels = nullptr;
        int32_t inside = 0; // how many of the cell row's w pixels lie inside the grid
    };
    auto cellRow = [frame, w, h](const Image* grid, int32_t columns, int32_t y) {
        CellRow row;
        if (grid == nullptr || !grid->hasPixels() || columns < 1 || frame < 0) return row;
        const int32_t cx = (frame % columns) * w;
        const int32_t cy = (frame / columns) * h + y;
        if (cy >= grid->getHeight() || cx >= grid->getWidth()) return row;
        row.pixels = grid->getPixels() + static_cast<size_t>(cy) * grid->getWidth() + cx;
        row.inside = std::min(w, grid->getWidth() - cx);
        return row;
    };
    const Image* background = m_slotBg->getImage();
    const Image* shapes = m_shapeTemplate->getImage();
    const int32_t bgColumns = m_slotBg->getColumns();
    const int32_t shapeColumns = m_shapeTemplate->getColumns();
    for (int32_t y = 0; y < h; ++y) {
        const CellRow bg = cellRow(background, bgColumns, y);
        const CellRow shape = cellRow(shapes, shapeColumns, y);
        uint32_t* line = out + static_cast<size_t>(y) * w;
        for (int32_t x = 0; x < w; ++x) {
            const uint32_t b = x < bg.inside ? bg.pixels[x] : 0;
            const uint32_t shapeAlpha = x < shape.inside ? shape.pixels[x] >> 24 : 0;
            line[x] = (b & 0x00FFFFFFu) | ((255u - shapeAlpha) << 24);
        }
    }
    slot->invalidate();
}

void ShapeCanvas::buildDeck() {
    m_deckIndex = 0;
    if (m_deck.empty()) m_deck.assign(1, m_chosenFrames.empty() ? 0 : m_chosenFrames[0]);
    if (m_mode == kBonusRound) {
        std::vector<std::vector<int32_t>> tails(m_rowCount, std::vector<int32_t>(m_slotsPerRow, 0));
        for (int32_t r = 0; r < m_rowCount; ++r)
            for (int32_t c = 0; c < m_slotsPerRow; ++c) {
                const int32_t s = m_rows[r].tailSlot - c;
                tails[r][c] = s >= m_rows[r].firstSlot ? m_slots[s]->getFrame()
                                                       : m_slots[m_rows[r].firstSlot]->getFrame();
            }
        BoardRules::fillBonusDeck(*m_random, m_deck, tails);
    } else {
        BoardRules::fillDeck(*m_random, m_deck, m_chosenFrames, m_decoyFrame);
    }
}

// ---- Row motion ----

void ShapeCanvas::moveRows(int32_t speed) {
    for (int32_t r = 0; r < m_rowCount; ++r) {
        RowState& row = m_rows[r];
        int32_t dy = 0;
        if (row.currentY != row.targetY) {
            dy = std::clamp(row.targetY - row.currentY, -kRowGlideStep, kRowGlideStep);
            row.currentY += dy;
        }
        const int32_t dx = row.reversed ? -speed : speed;
        for (int32_t j = 0; j < m_slotsPerRow; ++j) {
            const int32_t s = row.firstSlot + j;
            m_slots[s]->moveBy(dx, dy);
            m_placed[s]->setLocation(m_slots[s]->getX(), m_slots[s]->getY());
        }
    }
}

void ShapeCanvas::wrapRows() {
    for (int32_t r = 0; r < m_rowCount; ++r) {
        RowState& row = m_rows[r];
        const int32_t last = row.firstSlot + m_slotsPerRow - 1;
        if (!row.reversed) {
            SlotSprite* head = m_slots[row.headSlot].get();
            if (head->getX() > m_layout.boardLeft) {
                const int32_t moved = row.tailSlot;
                m_slots[moved]->setLocation(head->getX() - m_layout.slotPitch, head->getY());
                m_placed[moved]->setLocation(m_slots[moved]->getX(), m_slots[moved]->getY());
                row.headSlot = moved;
                row.tailSlot = moved - 1 < row.firstSlot ? last : moved - 1;
            }
        } else {
            SlotSprite* tail = m_slots[row.tailSlot].get();
            if (tail->getX() + m_layout.slotPitch <= m_layout.boardRight()) {
                const int32_t moved = row.headSlot;
                m_slots[moved]->setLocation(tail->getX() + m_layout.slotPitch, tail->getY());
                m_placed[moved]->setLocation(m_slots[moved]->getX(), m_slots[moved]->getY());
                row.tailSlot = moved;
                row.headSlot = moved + 1 > last ? row.firstSlot : moved + 1;
            }
        }
    }
}

bool ShapeCanvas::noEmptySlotInView() {
    const int32_t left = m_layout.boardLeft - m_layout.slotPitch - 15;
    const int32_t right = m_layout.boardRight() + 15;
    for (int32_t s = 0; s < m_totalSlots; ++s) {
        const int32_t x = m_slots[s]->getX();
        if (x > left && x < right && m_slots[s]->isVisible() && !m_placed[s]->isVisible()) return false;
    }
    return true;
}

void ShapeCanvas::stepTraySlide() {
    for (int32_t i = 0; i < kTraySize; ++i) {
        ShapeSprite* shape = m_tray[i].get();
        const int32_t home = m_layout.trayLeft + m_layout.slotPitch * i;
        if (shape->isVisible() && shape->getX() > home)
            shape->setLocation(std::max(shape->getX() - kTraySlideStep, home), m_layout.trayTop);
        if (shape->isVisible() && m_trayArrived[i] < 0 && shape->getX() < m_layout.boardRight())
            m_trayArrived[i] = getFrameCounter();
    }
}

// ---- The tray and its deck ----

bool ShapeCanvas::trayHoldsSpecial() const {
    for (int32_t i = 0; i < kTraySize; ++i)
        if (m_tray[i]->isVisible() && (m_trayMorphing[i] || isWildcard(m_tray[i]->getFrame()))) return true;
    return false;
}

void ShapeCanvas::dealToTray() {
    int32_t i = 0;
    while (i < kTraySize && m_tray[i]->isVisible())
        ++i;
    if (i == kTraySize) return;
    ShapeSprite* shape = m_tray[i].get();
    m_trayMorphing[i] = false;
    shape->setCarriesPowerUp(false);
    switch (BoardRules::nextDeal(m_params, m_dealtCount, trayHoldsSpecial())) {
    case BoardRules::Wildcard:
        shape->setFrame(m_layout.wildcardFrame());
        break;
    case BoardRules::Morphing:
        shape->setFrame(m_chosenFrames[0]);
        m_trayMorphing[i] = true;
        break;
    case BoardRules::FromDeck:
        shape->setFrame(m_deck[m_deckIndex]);
        shape->setCarriesPowerUp(m_carrierPending);
        m_carrierPending = false;
        ++m_deckIndex;
        break;
    }
    if (m_deckIndex >= static_cast<int32_t>(m_deck.size())) buildDeck();
    shape->setVisible(true);
    ++m_dealtCount;
    const int32_t right = m_layout.trayRight();
    int32_t x = right;
    if (i > 0 && m_tray[i - 1]->getX() >= right - m_layout.shapeWidth)
        x = m_tray[i - 1]->getX() + m_layout.shapeWidth;
    shape->setLocation(x, m_layout.trayTop);
    m_trayArrived[i] = x < m_layout.boardRight() ? getFrameCounter() : -1;
}

void ShapeCanvas::closeTrayGap(int32_t from) {
    for (int32_t i = std::max(from, 0); i < kTraySize - 1; ++i) {
        ShapeSprite* next = m_tray[i + 1].get();
        if (!next->isVisible()) continue;
        ShapeSprite* shape = m_tray[i].get();
        shape->setLocation(next->getX(), next->getY());
        shape->setFrame(next->getFrame());
        shape->setCarriesPowerUp(next->carriesPowerUp());
        m_trayMorphing[i] = m_trayMorphing[i + 1];
        m_trayArrived[i] = m_trayArrived[i + 1];
        shape->setVisible(true);
        next->setVisible(false);
    }
}

// ---- Rows filled, cleared and brought in ----

bool ShapeCanvas::isRowFull(int32_t position) {
    SyncGuard guard(this);
    if (position < 0 || position >= m_rowCount) return false;
    const RowState& row = m_rows[position];
    for (int32_t s = row.firstSlot; s < row.firstSlot + m_slotsPerRow; ++s)
        if (!m_placed[s]->isVisible()) return false;
    for (int32_t s = row.firstSlot; s < row.firstSlot + m_slotsPerRow; ++s)
        m_placed[s]->setRevealHalfHeight(0);
    return true;
}

bool ShapeCanvas::clearRow(int32_t p) {
    SyncGuard guard(this);
    if (p < 0 || p >= m_rowCount) return false;
    {
        const RowState& row = m_rows[p];
        for (int32_t s = row.firstSlot; s < row.firstSlot + m_slotsPerRow; ++s)
            if (!m_placed[s]->isVisible()) return false;
    }
    RowState taken = m_rows[p];
    int32_t q = p;
    while (q >= 1 && !m_rows[q - 1].cleared) {
        m_rows[q] = m_rows[q - 1];
        m_rows[q].targetY += m_layout.rowPitch;
        --q;
    }
    taken.cleared = true;
    m_rows[q] = taken;

    int32_t cleared = 0;
    for (int32_t r = 0; r < m_rowCount; ++r)
        if (m_rows[r].cleared) ++cleared;
    if (m_mode == kTimedGame) {
        if (cleared == 2) m_rowSpeed = 3;
        if (cleared == 4) m_rowSpeed = 6;
    }
    scoreRowClear(p);

    // The row as last drawn melts away.
    const int32_t top = m_layout.boardTop + m_layout.rowPitch * p;
    const int32_t width = 6 * m_layout.slotPitch;
    const int32_t height = m_layout.rowPitch;
    Ref<Image> picture = make<Image>(width, height, 1, false);
    picture->setAlphaFlag(true);
    if (Image* frame = getOffscreenImage(); frame != nullptr && frame->hasPixels() && picture->hasPixels()) {
        for (int32_t y = 0; y < height; ++y) {
            const int32_t sy = top + y;
            if (sy < 0 || sy >= frame->getHeight()) continue;
            for (int32_t x = 0; x < width; ++x) {
                const int32_t sx = m_layout.boardLeft + x;
                if (sx < 0 || sx >= frame->getWidth()) continue;
                picture->getPixels()[static_cast<size_t>(y) * width + x] =
                    frame->getPixels()[static_cast<size_t>(sy) * frame->getWidth() + sx] | 0xFF000000u;
            }
        }
    }
    MeltSprite* melter = m_melters[0].get();
    melter->setLocation(m_layout.boardLeft, top);
    melter->meltPicture(picture.get());
    melter->setVisible(true);
    playSoundAt(kSoundMelt);

    for (int32_t s = taken.firstSlot; s < taken.firstSlot + m_slotsPerRow; ++s) {
        m_slots[s]->setVisible(false);
        m_placed[s]->setVisible(false);
    }
    return true;
}

void ShapeCanvas::bringInRow() {
    RowState taken = m_rows[0];
    for (int32_t n = 0; n < 25; ++n) {
        const int32_t a = taken.firstSlot + m_random->nextInt(m_slotsPerRow - 1);
        const int32_t b = taken.firstSlot + m_random->nextInt(m_slotsPerRow - 1);
        std::swap(m_slots[a], m_slots[b]);
    }
    const int32_t offset = m_random->nextInt(m_layout.slotPitch - 1);
    const int32_t below = m_layout.boardTop + m_rowCount * m_layout.rowPitch;
    for (int32_t j = 0; j < m_slotsPerRow; ++j) {
        const int32_t s = taken.firstSlot + j;
        m_slots[s]->setLocation(m_layout.boardLeft + m_layout.slotPitch * j - offset, below);
        m_slots[s]->setHighlighted(false);
        m_slots[s]->setVisible(true);
        m_placed[s]->setLocation(m_slots[s]->getX(), m_slots[s]->getY());
    }
    for (int32_t r = 1; r < m_rowCount; ++r) {
        m_rows[r - 1] = m_rows[r];
        m_rows[r - 1].targetY -= m_layout.rowPitch;
    }
    taken.currentY = below;
    taken.targetY = below - m_layout.rowPitch;
    taken.headSlot = taken.firstSlot;
    taken.tailSlot = taken.firstSlot + m_slotsPerRow - 1;
    taken.cleared = false;
    m_rows[m_rowCount - 1] = taken;
    if (m_revealerTimer > 0 && m_held->isVisible()) highlightMatchingSlots(m_held->getFrame(), true);
}

} // namespace mph
