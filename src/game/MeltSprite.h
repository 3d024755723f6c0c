// MeltSprite: a picture broken into square pieces that run down or fly apart and fade out of existence.
#pragma once

#include "runtime/Class.h"
#include "sprites/Sprite.h"

#include <array>

namespace mph {

class ShapeSprite;

// Pieces are numbered from 1, so at most 499 are live; larger pictures get larger pieces. Positions,
// velocities and accelerations are 16.16 fixed-point offsets from the sprite's corner.
class MeltSprite : public Sprite {
    LANG_CLASS(MeltSprite, Sprite)

public:
    static constexpr int32_t kPieceSlots = 500;
    static constexpr int32_t kMaxPieces = kPieceSlots - 1;
    // Piece flags: velocity times 0.95 each tick; the velocity turning one way (k = -0.1) or the other
    // (k = +0.1); acceleration added each tick; a piece of a fallen shape; a second phase when life runs out.
    static constexpr uint8_t kDamping = 0x01;
    static constexpr uint8_t kSwirlBack = 0x02;
    static constexpr uint8_t kAccelerate = 0x04;
    static constexpr uint8_t kSwirlOn = 0x08;
    static constexpr uint8_t kFallen = 0x10;
    static constexpr uint8_t kSecondPhase = 0x20;

    struct Piece {
        int16_t life = 0;
        int16_t srcX = 0;
        int16_t srcY = 0;
        int16_t width = 0;
        int16_t height = 0;
        uint8_t flags = 0;
        uint8_t decrement = 0;
        int32_t posX = 0;
        int32_t posY = 0;
        int32_t velX = 0;
        int32_t velY = 0;
        int32_t accX = 0;
        int32_t accY = 0;
        bool live = false;
    };

    // Starts hidden, with no pieces.
    MeltSprite();

    // Numbers: x y. No picture: the melt gets one when it starts.
    bool initFromDefinition(const lang::ObjectArray& images, const lang::IntArray& params) override;
    // Every live piece's part of the picture at its place.
    void paint(Graphics* surface) override;
    // Moves the pieces one tick; once none is live the sprite hides itself.
    bool step(int32_t tick, lang::Rectangle& rect) override;
    // The box around the live pieces (empty when there are none), cut to the clip.
    lang::Rectangle& getBounds() override;
    Sprite* clone() const override;

    // The row melt: the whole picture in pieces that run down, the top row first. Shows the sprite; place
    // it first.
    void meltPicture(Image* picture);
    // The melt of a fallen shape: one cell of a grid picture in pieces of at least minPieceSize that keep
    // the shape's velocity, the lowest row breaking away first, then fly apart. Shows the sprite.
    void meltCell(Image* picture, const lang::Rectangle& cell, float velX, float velY, int32_t minPieceSize);
    // Melts a fallen shape where it stands: its current frame, its velocity and a minimum piece size of 6,
    // 7 or 8 drawn from the runtime generator.
    void meltShape(const ShapeSprite& shape);

    int32_t getLiveCount() const { return m_liveCount; }
    // How many pieces the last start laid out (the highest piece number in use).
    int32_t getPieceCount() const { return m_pieceCount; }
    int32_t getPieceSize() const { return m_pieceSize; }
    // Piece n, 1 to getPieceCount().
    const Piece& getPiece(int32_t n) const { return m_pieces[static_cast<size_t>(n)]; }
    Image* getPicture() const { return m_picture.get(); }

    static const lang::Class& classRecord();

private:
    // Lays s x s pieces over the width x height area at (originX, originY) of the picture, row by row,
    // until it is covered or the pieces run out; returns how many.
    int32_t layOut(int32_t originX, int32_t originY, int32_t width, int32_t height, int32_t s);
    // Takes the picture and shows the sprite once the pieces are laid out.
    void begin(Image* picture, int32_t pieces, int32_t s);
    void movePiece(Piece& p);
    void startSecondPhase(Piece& p);
    // The box around the live pieces and the extent (width, height) the sprite reports.
    void measure();

    lang::Ref<Image> m_picture;
    std::array<Piece, kPieceSlots> m_pieces{};
    int32_t m_pieceCount = 0;
    int32_t m_liveCount = 0;
    int32_t m_pieceSize = 0;
    // Offsets of the box around the live pieces.
    lang::Rectangle m_box;
};

} // namespace mph
