// Gamepads: opening and closing controllers and turning their events into the game's pad events.
#include "platform/Gamepads.h"

#include "platform/Application.h"
#include "platform/Component.h"
#include "platform/Event.h"
#include "platform/Frame.h"
#include "platform/PadButton.h"
#include "platform/WindowEvents.h"
#include "runtime/Ref.h"

#include <cstdio>
#include <cstdlib>
#include <map>

namespace mph {

namespace {

struct Pad {
    SDL_GameController* controller = nullptr;
    int32_t x = 0, y = 0; // the left stick as last sent
};

bool g_started = false;
std::map<SDL_JoystickID, Pad> g_pads;
// The controller whose input came last: unplugging it pauses the game.
SDL_JoystickID g_inUse = -1;

// Whoever has the keyboard takes the pads too.
Component* target() {
    Component* c = WindowEvents::focus();
    if (c != nullptr && c->hasWindow()) return c;
    const auto& frames = Frame::frames();
    return frames.empty() ? nullptr : frames[0];
}

void send(int32_t id, int32_t x, int32_t y) {
    lang::Ref<Component> to = lang::retain(target());
    if (!to) return;
    lang::Ref<Event> e = lang::make<Event>(id, to.get(), x, y, 0, Application::getTickCount());
    to->padInput(e.get());
}

int32_t settle(int32_t axis) {
    return axis > -Gamepads::kRestingAxis && axis < Gamepads::kRestingAxis ? 0 : axis;
}

void open(int32_t index) {
    SDL_GameController* c = SDL_GameControllerOpen(index);
    if (c == nullptr) {
        std::fprintf(stderr, "morphella: the game controller \"%s\" cannot be opened: %s\n",
                     SDL_GameControllerNameForIndex(index) ? SDL_GameControllerNameForIndex(index) : "?",
                     SDL_GetError());
        return;
    }
    const SDL_JoystickID id = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(c));
    if (g_pads.count(id) != 0) {
        // SDL reports the controllers present at start once more; the first opening holds.
        SDL_GameControllerClose(c);
        return;
    }
    g_pads[id].controller = c;
}

void close(SDL_JoystickID id) {
    auto it = g_pads.find(id);
    if (it == g_pads.end()) return;
    const bool moved = it->second.x != 0 || it->second.y != 0;
    SDL_GameControllerClose(it->second.controller);
    g_pads.erase(it);
    // A stick pulled away while deflected would otherwise steer on for good.
    if (moved) send(Event::kStick, 0, 0);
    if (id == g_inUse) {
        g_inUse = -1;
        lang::Ref<Component> to = lang::retain(target());
        if (to) to->padLost();
    }
}

} // namespace

void Gamepads::start() {
    if (g_started) return;
    if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) {
        std::fprintf(stderr, "morphella: gamepads cannot be used: %s\n", SDL_GetError());
        return;
    }
    g_started = true;
}

void Gamepads::stop() {
    for (auto& [id, pad] : g_pads)
        SDL_GameControllerClose(pad.controller);
    g_pads.clear();
    g_inUse = -1;
    if (g_started) SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
    g_started = false;
}

int32_t Gamepads::openCount() {
    return static_cast<int32_t>(g_pads.size());
}

int32_t Gamepads::buttonOf(int32_t sdlButton) {
    switch (sdlButton) {
    case SDL_CONTROLLER_BUTTON_A:
        return kPadA;
    case SDL_CONTROLLER_BUTTON_B:
        return kPadB;
    case SDL_CONTROLLER_BUTTON_X:
        return kPadX;
    case SDL_CONTROLLER_BUTTON_Y:
        return kPadY;
    case SDL_CONTROLLER_BUTTON_BACK:
        return kPadBack;
    case SDL_CONTROLLER_BUTTON_START:
        return kPadStart;
    case SDL_CONTROLLER_BUTTON_LEFTSHOULDER:
        return kPadL;
    case SDL_CONTROLLER_BUTTON_RIGHTSHOULDER:
        return kPadR;
    case SDL_CONTROLLER_BUTTON_DPAD_UP:
        return kPadUp;
    case SDL_CONTROLLER_BUTTON_DPAD_DOWN:
        return kPadDown;
    case SDL_CONTROLLER_BUTTON_DPAD_LEFT:
        return kPadLeft;
    case SDL_CONTROLLER_BUTTON_DPAD_RIGHT:
        return kPadRight;
    default:
        return -1;
    }
}

bool Gamepads::dispatch(const SDL_Event& event) {
    switch (event.type) {
    case SDL_JOYDEVICEADDED:
        // A joystick SDL has no mapping for cannot say which button is which: it is left alone.
        if (g_started && !SDL_IsGameController(event.jdevice.which)) {
            const char* name = SDL_JoystickNameForIndex(event.jdevice.which);
            std::fprintf(stderr,
                         "morphella: the joystick \"%s\" is not used: SDL has no controller mapping for it "
                         "(SDL_GAMECONTROLLERCONFIG can give one)\n",
                         name != nullptr ? name : "?");
        }
        return true;
    case SDL_JOYDEVICEREMOVED:
        return true;
    case SDL_CONTROLLERDEVICEADDED:
        if (g_started) open(event.cdevice.which);
        return true;
    case SDL_CONTROLLERDEVICEREMOVED:
        close(event.cdevice.which);
        return true;
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP: {
        if (g_pads.count(event.cbutton.which) == 0) return true;
        const int32_t button = buttonOf(event.cbutton.button);
        if (button < 0) return true;
        // Using a controller is pressing it or moving its stick: what SDL sends for a controller being
        // pulled out (its buttons let go, its stick back to the middle) is not.
        if (event.type == SDL_CONTROLLERBUTTONDOWN) g_inUse = event.cbutton.which;
        send(event.type == SDL_CONTROLLERBUTTONDOWN ? Event::kPadDown : Event::kPadUp, button, 0);
        return true;
    }
    case SDL_CONTROLLERAXISMOTION: {
        auto it = g_pads.find(event.caxis.which);
        if (it == g_pads.end()) return true;
        if (event.caxis.axis != SDL_CONTROLLER_AXIS_LEFTX && event.caxis.axis != SDL_CONTROLLER_AXIS_LEFTY)
            return true;
        Pad& pad = it->second;
        const int32_t value = settle(event.caxis.value);
        int32_t& axis = event.caxis.axis == SDL_CONTROLLER_AXIS_LEFTX ? pad.x : pad.y;
        if (axis == value) return true;
        axis = value;
        if (value != 0) g_inUse = event.caxis.which;
        send(Event::kStick, pad.x, pad.y);
        return true;
    }
    default:
        return false;
    }
}

} // namespace mph
