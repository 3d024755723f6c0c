// Keys and mouse input reaching the components of a frame.
#include "WindowFixture.h"

using namespace mphtest;

TEST_F(WindowTest, KeysGoToTheFocusAndUnconsumedPressesOnToTheFrame) {
    pushKey(true, SDLK_LEFT, KMOD_LCTRL);
    pushKey(false, SDLK_LEFT, KMOD_LCTRL);
    pump();
    ASSERT_EQ(canvas->calls.size(), 2u);
    const Call& down = canvas->calls[0];
    EXPECT_EQ(down.handler, "keyDown");
    EXPECT_EQ(down.id, mph::Event::kKeyDown);
    EXPECT_EQ(down.key, 1037);
    EXPECT_EQ(down.modifiers, 1);
    EXPECT_EQ(down.x, 37);
    EXPECT_EQ(canvas->calls[1].id, mph::Event::kKeyUp);
    // The press was not consumed, so the frame saw it; the release stays with the focus.
    ASSERT_EQ(frame->calls.size(), 1u);
    EXPECT_EQ(frame->calls[0].key, 1037);

    canvas->consumeKeys = true;
    pushKey(true, SDLK_s, KMOD_NONE);
    pump();
    EXPECT_EQ(canvas->calls.back().key, 's');
    EXPECT_EQ(frame->calls.size(), 1u);
}

TEST_F(WindowTest, ClicksAreCountedAndPositionsAreTheComponentsOwn) {
    canvas->setLocation(10, 20);
    for (int i = 0; i < 3; ++i) {
        pushButton(true, 110, 120);
        pushButton(false, 110, 120);
    }
    pump();
    ASSERT_EQ(canvas->calls.size(), 6u);
    for (int i = 0; i < 3; ++i) {
        const Call& down = canvas->calls[2 * i];
        EXPECT_EQ(down.handler, "down");
        EXPECT_EQ(down.id, mph::Event::kMouseDown);
        EXPECT_EQ(down.clickCount, i + 1);
        EXPECT_EQ(down.x, 100);
        EXPECT_EQ(down.y, 100);
        EXPECT_EQ(canvas->calls[2 * i + 1].id, mph::Event::kMouseUp);
    }
    EXPECT_TRUE(frame->calls.empty());
    // Above and left of the canvas the frame itself is hit.
    pushButton(true, 5, 5, SDL_BUTTON_RIGHT);
    pushButton(false, 5, 5, SDL_BUTTON_RIGHT);
    pump();
    ASSERT_EQ(frame->calls.size(), 2u);
    EXPECT_EQ(frame->calls[0].modifiers, 1);
    EXPECT_EQ(frame->calls[0].clickCount, 1);
}

TEST_F(WindowTest, TheCaptureDeliversDragAndReleaseOutsideTheWindow) {
    pushButton(true, 100, 100);
    pushMotion(-40, 700, SDL_BUTTON_LMASK);
    pushButton(false, -40, 700);
    pushMotion(50, 50, 0);
    pump();
    ASSERT_EQ(canvas->calls.size(), 4u);
    EXPECT_EQ(canvas->calls[1].id, mph::Event::kMouseDrag);
    EXPECT_EQ(canvas->calls[1].x, -40);
    EXPECT_EQ(canvas->calls[2].handler, "up");
    EXPECT_EQ(canvas->calls[2].y, 700);
    EXPECT_EQ(canvas->calls[3].id, mph::Event::kMouseMove);
    EXPECT_TRUE(frame->calls.empty());
    EXPECT_FALSE(canvas->isCapturing());
}

TEST_F(WindowTest, LosingTheFocusWhilePressedEndsThePress) {
    pushMotion(30, 40, 0);
    pushButton(true, 30, 40);
    pushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
    pump();
    ASSERT_EQ(canvas->calls.size(), 3u);
    EXPECT_EQ(canvas->calls[2].handler, "up");
    EXPECT_EQ(canvas->calls[2].x, 30);
    ASSERT_EQ(frame->activations.size(), 1u);
    EXPECT_FALSE(frame->activations[0]);
    // A later release without a press is an ordinary release where the pointer is.
    pushButton(false, 30, 40);
    pump();
    EXPECT_EQ(canvas->calls.size(), 4u);
}

TEST_F(WindowTest, AHiddenChildGetsNoMouseInput) {
    canvas->setVisible(false);
    pump();
    pushButton(true, 100, 100);
    pushButton(false, 100, 100);
    pump();
    EXPECT_TRUE(canvas->calls.empty());
    EXPECT_EQ(frame->calls.size(), 2u);
    EXPECT_EQ(canvas->getMousePosition().x, 100);
}
