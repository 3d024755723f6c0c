// Key and mouse translation and click counting.
#include "platform/InputTranslation.h"
#include "platform/ClickCounter.h"
#include "platform/Event.h"

#include <gtest/gtest.h>

using mph::ClickCounter;
using mph::Event;
using mph::InputTranslation;

TEST(InputTranslation, ArrowsAndFunctionKeysBecomeThousandPlusTheirCodeWithCtrlAsBitOne) {
    auto t = InputTranslation::keyDown(SDLK_LEFT, KMOD_LCTRL);
    EXPECT_EQ(t.virtualKey, 37);
    EXPECT_EQ(t.key, 1037);
    EXPECT_EQ(t.modifiers, 1);
    EXPECT_EQ(InputTranslation::keyDown(SDLK_DOWN, KMOD_NONE).key, 1040);
    EXPECT_EQ(InputTranslation::keyDown(SDLK_F3, KMOD_NONE).key, 1114);
    EXPECT_EQ(InputTranslation::keyDown(SDLK_F4, KMOD_NONE).key, 115); // F4 types nothing: its code
    EXPECT_EQ(InputTranslation::keyUp(SDLK_RIGHT, KMOD_NONE).key, 1039);
}

TEST(InputTranslation, PressesCarryTheTypedCharacterAndReleasesTheVirtualKey) {
    EXPECT_EQ(InputTranslation::keyDown(SDLK_s, KMOD_NONE).key, 's');
    EXPECT_EQ(InputTranslation::keyDown(SDLK_s, KMOD_LSHIFT).key, 'S');
    EXPECT_EQ(InputTranslation::keyDown(SDLK_s, KMOD_CAPS).key, 'S');
    EXPECT_EQ(InputTranslation::keyDown(SDLK_s, KMOD_CAPS | KMOD_RSHIFT).key, 's');
    // Ctrl is left out of the translation but reported as bit 1.
    auto ctrlS = InputTranslation::keyDown(SDLK_s, KMOD_RCTRL);
    EXPECT_EQ(ctrlS.key, 's');
    EXPECT_EQ(ctrlS.virtualKey, 'S');
    EXPECT_EQ(ctrlS.modifiers, 1);
    EXPECT_EQ(InputTranslation::keyDown(SDLK_1, KMOD_LSHIFT).key, '!');
    EXPECT_EQ(InputTranslation::keyDown(SDLK_7, KMOD_NONE).virtualKey, '7');
    EXPECT_EQ(InputTranslation::keyUp(SDLK_s, KMOD_LSHIFT).key, 'S');
    EXPECT_EQ(InputTranslation::keyUp(SDLK_s, KMOD_LSHIFT).modifiers, 0);
}

TEST(InputTranslation, ControlKeysHaveTheirFixedCodes) {
    struct Case {
        SDL_Keycode sym;
        int vk;
        int key;
    } cases[] = {{SDLK_ESCAPE, 27, 27}, {SDLK_PAUSE, 0x13, 0x13}, {SDLK_BACKSPACE, 8, 8},
                 {SDLK_DELETE, 46, 46}, {SDLK_RETURN, 13, 13},    {SDLK_KP_ENTER, 13, 13},
                 {SDLK_SPACE, 32, 32},  {SDLK_HOME, 36, 36},      {SDLK_KP_5, 101, 101}};
    for (const Case& c : cases) {
        auto t = InputTranslation::keyDown(c.sym, KMOD_NONE);
        EXPECT_EQ(t.virtualKey, c.vk) << c.sym;
        EXPECT_EQ(t.key, c.key) << c.sym;
    }
    EXPECT_EQ(InputTranslation::keyDown(SDLK_KP_5, KMOD_NUM).key, '5');
    EXPECT_FALSE(InputTranslation::keyDown(SDLK_AUDIOPLAY, KMOD_NONE).valid());
}

TEST(InputTranslation, MouseButtonsAndMotion) {
    EXPECT_EQ(InputTranslation::buttonModifiers(SDL_BUTTON_LEFT, KMOD_NONE), 0);
    EXPECT_EQ(InputTranslation::buttonModifiers(SDL_BUTTON_LEFT, KMOD_LSHIFT | KMOD_LCTRL), 3);
    EXPECT_EQ(InputTranslation::buttonModifiers(SDL_BUTTON_RIGHT, KMOD_NONE), 1);
    int id = 0;
    int mods = -1;
    InputTranslation::motion(0, id, mods);
    EXPECT_EQ(id, Event::kMouseMove);
    EXPECT_EQ(mods, 0);
    InputTranslation::motion(SDL_BUTTON_LMASK, id, mods);
    EXPECT_EQ(id, Event::kMouseDrag);
    EXPECT_EQ(mods, 0);
    InputTranslation::motion(SDL_BUTTON_RMASK, id, mods);
    EXPECT_EQ(id, Event::kMouseDrag);
    EXPECT_EQ(mods, 1);
}

TEST(ClickCounter, SuccessiveQuickPressesAtOnePlaceCountUp) {
    ClickCounter c;
    EXPECT_EQ(c.press(1000, 10, 10), 1);
    EXPECT_EQ(c.press(1300, 11, 9), 2);
    EXPECT_EQ(c.press(1799, 10, 10), 3);
    // 500 ms is no longer a double click.
    EXPECT_EQ(c.press(2299, 10, 10), 1);
    // A quick press elsewhere starts again.
    EXPECT_EQ(c.press(2300, 40, 10), 1);
    // The rule holds across the tick count's wrap-around.
    EXPECT_EQ(c.press(0xFFFFFF00u, 5, 5), 1);
    EXPECT_EQ(c.press(0x00000010u, 5, 5), 2);
}
