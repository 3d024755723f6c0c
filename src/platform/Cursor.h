// Cursor: a mouse pointer shape, either one of the system's or a picture of the program's own.
#pragma once

#include "runtime/Object.h"

#include <cstdint>
#include <vector>

struct SDL_Cursor;

namespace mph {

class Image;

class Cursor : public lang::Object {
    LANG_CLASS(Cursor, Object)

public:
    enum class Shape { kArrow, kHand, kPicture };

    // One of the system's cursors (not kPicture).
    explicit Cursor(Shape shape);
    // A cursor made from a copy of picture (ARGB, its alpha as the cursor's transparency) whose hot spot
    // is (hotX, hotY). Any thread may make one.
    Cursor(const Image* picture, int32_t hotX, int32_t hotY);
    Cursor(const Cursor&) = delete;
    Cursor& operator=(const Cursor&) = delete;
    ~Cursor() override;

    // The shared standard arrow and pointing hand; they live as long as the program.
    static Cursor* getArrow();
    static Cursor* getHand();

    // Main thread: shows this cursor. False when SDL could not make it (the arrow is shown instead).
    bool apply();
    Shape getShape() const { return m_shape; }
    int32_t getHotX() const { return m_hotX; }
    int32_t getHotY() const { return m_hotY; }

private:
    SDL_Cursor* native();

    Shape m_shape;
    std::vector<uint32_t> m_pixels;
    int32_t m_width = 0;
    int32_t m_height = 0;
    int32_t m_hotX = 0;
    int32_t m_hotY = 0;
    SDL_Cursor* m_native = nullptr;
    uint32_t m_generation = 0;
};

} // namespace mph
