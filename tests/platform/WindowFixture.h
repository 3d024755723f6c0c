// A frame with a child canvas under SDL's dummy driver, components that record their calls, and helpers
// that push SDL events and run the message loop.
#pragma once

#include "platform/Application.h"
#include "platform/Component.h"
#include "platform/Event.h"
#include "platform/Frame.h"
#include "platform/FrameDisplay.h"
#include "platform/MessageLoop.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace mphtest {

struct Call {
    std::string handler;
    int id = 0;
    int x = 0;
    int y = 0;
    int key = 0;
    int modifiers = 0;
    int clickCount = 0;
};

// Records every input handler call; consumes keys only when told to.
template <class Base> class Recorder : public Base {
public:
    bool consumeKeys = false;
    std::vector<Call> calls;

    bool mouseDown(mph::Event* e, int32_t x, int32_t y) override { return note("down", e, x, y); }
    bool mouseUp(mph::Event* e, int32_t x, int32_t y) override { return note("up", e, x, y); }
    bool mouseMove(mph::Event* e, int32_t x, int32_t y) override { return note("move", e, x, y); }
    bool mouseDrag(mph::Event* e, int32_t x, int32_t y) override { return note("drag", e, x, y); }
    bool keyDown(mph::Event* e, int32_t key) override {
        note("keyDown", e, e->x, e->y);
        return consumeKeys || Base::keyDown(e, key);
    }
    bool keyUp(mph::Event* e, int32_t) override { return note("keyUp", e, e->x, e->y); }
    bool padInput(mph::Event* e) override { return note("pad", e, e->x, e->y); }
    void padLost() override { ++padLosses; }
    int padLosses = 0;

private:
    bool note(const char* handler, mph::Event* e, int32_t x, int32_t y) {
        calls.push_back(Call{handler, e->id, x, y, e->key, e->modifiers, e->clickCount});
        return true;
    }
};

class TestFrame : public Recorder<mph::Frame> {
public:
    int closes = 0;
    int destroys = 0;
    std::vector<bool> activations;
    void onClose() override {
        ++closes;
        mph::Frame::onClose();
    }
    void onDestroy() override { ++destroys; }
    void activate(bool active) override {
        activations.push_back(active);
        mph::Frame::activate(active);
    }
};

using TestCanvas = Recorder<mph::Component>;

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(mph::Application::init());
        frame = new TestFrame;
        ASSERT_TRUE(frame->create(nullptr, lang::Rectangle(0, 0, 800, 600)));
        canvas = new TestCanvas;
        ASSERT_TRUE(canvas->create(frame, lang::Rectangle(0, 0, 800, 600)));
        frame->setVisible(true);
        canvas->setVisible(true);
        canvas->requestFocus();
        pump();
    }
    void TearDown() override {
        if (frame->hasWindow()) frame->destroy();
        canvas->release();
        frame->release();
        mph::Application::shutdown();
    }

    // Runs the message loop until nothing is waiting.
    static void pump() {
        for (int i = 0; i < 1000; ++i)
            if (mph::MessageLoop::peekMessage() == mph::MessageLoop::PeekResult::kNone) return;
    }
    uint32_t windowId() const { return SDL_GetWindowID(frame->getDisplay()->window()); }

    void pushKey(bool down, SDL_Keycode sym, uint16_t mod) {
        SDL_Event e{};
        e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
        e.key.windowID = windowId();
        e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
        e.key.keysym.sym = sym;
        e.key.keysym.mod = mod;
        SDL_PushEvent(&e);
    }
    void pushButton(bool down, int x, int y, uint8_t button = SDL_BUTTON_LEFT) {
        SDL_Event e{};
        e.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
        e.button.windowID = windowId();
        e.button.button = button;
        e.button.state = down ? SDL_PRESSED : SDL_RELEASED;
        e.button.clicks = 1;
        e.button.x = x;
        e.button.y = y;
        SDL_PushEvent(&e);
    }
    void pushMotion(int x, int y, uint32_t state) {
        SDL_Event e{};
        e.type = SDL_MOUSEMOTION;
        e.motion.windowID = windowId();
        e.motion.state = state;
        e.motion.x = x;
        e.motion.y = y;
        SDL_PushEvent(&e);
    }
    void pushWindowEvent(uint8_t what) {
        SDL_Event e{};
        e.type = SDL_WINDOWEVENT;
        e.window.windowID = windowId();
        e.window.event = what;
        SDL_PushEvent(&e);
    }

    TestFrame* frame = nullptr;
    TestCanvas* canvas = nullptr;
};

} // namespace mphtest
