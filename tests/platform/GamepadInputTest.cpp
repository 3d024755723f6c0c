// Virtual game controllers plugged into the window (the dummy video driver here, a real X window under
// Xvfb in the real-window tests) reach the component with the keyboard through SDL's own event path: their
// buttons and left stick, a second controller beside the first, and the one in use pulled out.
#include "WindowFixture.h"

#include "platform/Gamepads.h"
#include "platform/PadButton.h"

#include <algorithm>
#include <thread>

using namespace mphtest;

namespace {

class GamepadInput : public WindowTest {
protected:
    // SDL holds a controller's input back while no window of the program has the keyboard, which no
    // window has under the dummy driver or on a bare X server.
    void SetUp() override {
        SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
        WindowTest::SetUp();
    }
    // Plugs in a controller SDL maps by itself and opens a handle of the test's own on it.
    SDL_Joystick* plug(const char* name) {
        SDL_VirtualJoystickDesc desc;
        SDL_zero(desc);
        desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
        desc.naxes = SDL_CONTROLLER_AXIS_MAX;
        desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
        desc.name = name;
        const int index = SDL_JoystickAttachVirtualEx(&desc);
        EXPECT_GE(index, 0) << SDL_GetError();
        SDL_Joystick* joystick = SDL_JoystickOpen(index);
        EXPECT_NE(joystick, nullptr) << SDL_GetError();
        settle();
        return joystick;
    }
    void unplug(SDL_Joystick* joystick) {
        const SDL_JoystickID id = SDL_JoystickInstanceID(joystick);
        SDL_JoystickClose(joystick);
        for (int i = 0; i < SDL_NumJoysticks(); ++i)
            if (SDL_JoystickGetDeviceInstanceID(i) == id) SDL_JoystickDetachVirtual(i);
        settle();
    }
    // Virtual devices report on SDL's next update of its joysticks, which the event pump runs.
    void settle() {
        for (int i = 0; i < 5; ++i) {
            SDL_PumpEvents();
            pump();
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }
    std::vector<Call> pads() {
        std::vector<Call> out;
        for (const Call& c : canvas->calls)
            if (c.handler == "pad") out.push_back(c);
        canvas->calls.clear();
        return out;
    }
};

} // namespace

TEST_F(GamepadInput, ButtonsAndTheStickOfTwoControllersAndTheOneInUsePulledOut) {
    SDL_Joystick* first = plug("first pad");
    ASSERT_EQ(mph::Gamepads::openCount(), 1);
    SDL_JoystickSetVirtualButton(first, SDL_CONTROLLER_BUTTON_A, 1);
    settle();
    SDL_JoystickSetVirtualButton(first, SDL_CONTROLLER_BUTTON_A, 0);
    SDL_JoystickSetVirtualButton(first, SDL_CONTROLLER_BUTTON_DPAD_LEFT, 1);
    settle();
    std::vector<Call> got = pads();
    ASSERT_EQ(got.size(), 3u);
    EXPECT_EQ(got[0].id, mph::Event::kPadDown);
    EXPECT_EQ(got[0].x, mph::kPadA);
    EXPECT_EQ(got[1].id, mph::Event::kPadUp);
    EXPECT_EQ(got[2].x, mph::kPadLeft);

    // The stick: a resting wobble sends nothing, a deflection its axes.
    SDL_JoystickSetVirtualAxis(first, SDL_CONTROLLER_AXIS_LEFTX, 900);
    settle();
    EXPECT_TRUE(pads().empty());
    SDL_JoystickSetVirtualAxis(first, SDL_CONTROLLER_AXIS_LEFTX, 20000);
    settle();
    got = pads();
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].id, mph::Event::kStick);
    EXPECT_EQ(got[0].x, 20000);
    EXPECT_EQ(got[0].y, 0);

    // A second controller works beside the first; pulling it out while in use is a lost pad, and its
    // stick is let go.
    SDL_Joystick* second = plug("second pad");
    ASSERT_EQ(mph::Gamepads::openCount(), 2);
    SDL_JoystickSetVirtualButton(second, SDL_CONTROLLER_BUTTON_START, 1);
    settle();
    SDL_JoystickSetVirtualAxis(second, SDL_CONTROLLER_AXIS_LEFTY, -30000);
    settle();
    got = pads();
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0].x, mph::kPadStart);
    EXPECT_EQ(got[1].y, -30000);
    unplug(second);
    EXPECT_EQ(canvas->padLosses, 1);
    got = pads();
    EXPECT_TRUE(std::any_of(got.begin(), got.end(),
                            [](const Call& c) { return c.id == mph::Event::kStick && c.y == 0; }));
    // The first was not in use: pulling it out pauses nothing.
    unplug(first);
    EXPECT_EQ(canvas->padLosses, 1);
    EXPECT_EQ(mph::Gamepads::openCount(), 0);
}
