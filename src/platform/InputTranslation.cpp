// InputTranslation: SDL key codes to virtual-key codes and typed characters, mouse buttons to modifiers.
#include "platform/InputTranslation.h"

#include "platform/Event.h"

#include <cstring>

namespace mph {

namespace {

// Pairs of an unshifted character and what Shift makes of it on the US keyboard.
constexpr const char* kShiftPairs = "1!2@3#4$5%6^7&8*9(0)-_=+[{]}\\|;:'\"`~,<.>/?";

int32_t shifted(int32_t c) {
    for (const char* p = kShiftPairs; p[0] && p[1]; p += 2)
        if (p[0] == c) return static_cast<unsigned char>(p[1]);
    return c;
}

bool isTranslatedToThousands(int32_t vk) {
    return (vk >= 37 && vk <= 40) || (vk >= 112 && vk <= 114);
}

} // namespace

int32_t InputTranslation::virtualKey(SDL_Keycode sym) {
    if (sym >= SDLK_a && sym <= SDLK_z) return 'A' + (sym - SDLK_a);
    if (sym >= SDLK_0 && sym <= SDLK_9) return '0' + (sym - SDLK_0);
    if (sym >= SDLK_F1 && sym <= SDLK_F12) return 112 + (sym - SDLK_F1);
    if (sym >= SDLK_KP_1 && sym <= SDLK_KP_9) return 97 + (sym - SDLK_KP_1);
    switch (sym) {
    case SDLK_LEFT:
        return 37;
    case SDLK_UP:
        return 38;
    case SDLK_RIGHT:
        return 39;
    case SDLK_DOWN:
        return 40;
    case SDLK_ESCAPE:
        return 27;
    case SDLK_PAUSE:
        return 0x13;
    case SDLK_BACKSPACE:
        return 8;
    case SDLK_TAB:
        return 9;
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
        return 13;
    case SDLK_SPACE:
        return 32;
    case SDLK_PAGEUP:
        return 33;
    case SDLK_PAGEDOWN:
        return 34;
    case SDLK_END:
        return 35;
    case SDLK_HOME:
        return 36;
    case SDLK_INSERT:
        return 45;
    case SDLK_DELETE:
        return 46;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT:
        return 16;
    case SDLK_LCTRL:
    case SDLK_RCTRL:
        return 17;
    case SDLK_LALT:
    case SDLK_RALT:
        return 18;
    case SDLK_CAPSLOCK:
        return 20;
    case SDLK_KP_0:
        return 96;
    case SDLK_KP_MULTIPLY:
        return 106;
    case SDLK_KP_PLUS:
        return 107;
    case SDLK_KP_MINUS:
        return 109;
    case SDLK_KP_PERIOD:
        return 110;
    case SDLK_KP_DIVIDE:
        return 111;
    case SDLK_SEMICOLON:
        return 186;
    case SDLK_EQUALS:
        return 187;
    case SDLK_COMMA:
        return 188;
    case SDLK_MINUS:
        return 189;
    case SDLK_PERIOD:
        return 190;
    case SDLK_SLASH:
        return 191;
    case SDLK_BACKQUOTE:
        return 192;
    case SDLK_LEFTBRACKET:
        return 219;
    case SDLK_BACKSLASH:
        return 220;
    case SDLK_RIGHTBRACKET:
        return 221;
    case SDLK_QUOTE:
        return 222;
    default:
        return 0;
    }
}

int32_t InputTranslation::typedCharacter(SDL_Keycode sym, uint16_t mod) {
    const bool shift = (mod & KMOD_SHIFT) != 0;
    if (sym >= SDLK_a && sym <= SDLK_z) {
        const bool upper = shift != ((mod & KMOD_CAPS) != 0);
        return (upper ? 'A' : 'a') + (sym - SDLK_a);
    }
    switch (sym) {
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
        return 13;
    case SDLK_ESCAPE:
        return 27;
    case SDLK_BACKSPACE:
        return 8;
    case SDLK_TAB:
        return 9;
    case SDLK_SPACE:
        return 32;
    case SDLK_KP_MULTIPLY:
        return '*';
    case SDLK_KP_PLUS:
        return '+';
    case SDLK_KP_MINUS:
        return '-';
    case SDLK_KP_DIVIDE:
        return '/';
    default:
        break;
    }
    if ((mod & KMOD_NUM) != 0) {
        if (sym == SDLK_KP_0) return '0';
        if (sym >= SDLK_KP_1 && sym <= SDLK_KP_9) return '1' + (sym - SDLK_KP_1);
        if (sym == SDLK_KP_PERIOD) return '.';
    }
    // Other printable keys carry their unshifted character as their SDL code.
    if (sym > 32 && sym < 127) return shift ? shifted(sym) : sym;
    if (sym >= 0xA0 && sym <= 0xFF) return sym;
    return 0;
}

KeyTranslation InputTranslation::keyDown(SDL_Keycode sym, uint16_t mod) {
    KeyTranslation t;
    t.virtualKey = virtualKey(sym);
    if ((mod & KMOD_CTRL) != 0) t.modifiers |= Event::kCtrlMask;
    if ((mod & KMOD_SHIFT) != 0) t.modifiers |= Event::kShiftMask;
    if (isTranslatedToThousands(t.virtualKey)) {
        t.key = 1000 + t.virtualKey;
        return t;
    }
    // Ctrl is left out of the translation, so Ctrl+S still types "s".
    const int32_t c = typedCharacter(sym, static_cast<uint16_t>(mod & ~KMOD_CTRL));
    t.key = c != 0 ? c : t.virtualKey;
    return t;
}

KeyTranslation InputTranslation::keyUp(SDL_Keycode sym, uint16_t /*mod*/) {
    KeyTranslation t;
    t.virtualKey = virtualKey(sym);
    t.key = isTranslatedToThousands(t.virtualKey) ? 1000 + t.virtualKey : t.virtualKey;
    return t;
}

int32_t InputTranslation::buttonModifiers(uint8_t button, uint16_t mod) {
    int32_t m = 0;
    if ((mod & KMOD_CTRL) != 0) m |= Event::kCtrlMask;
    if ((mod & KMOD_SHIFT) != 0) m |= Event::kShiftMask;
    if (button == SDL_BUTTON_RIGHT) m |= Event::kCtrlMask;
    return m;
}

void InputTranslation::motion(uint32_t buttonState, int32_t& id, int32_t& modifiers) {
    modifiers = 0;
    if ((buttonState & SDL_BUTTON_LMASK) != 0) {
        id = Event::kMouseDrag;
    } else if ((buttonState & SDL_BUTTON_RMASK) != 0) {
        id = Event::kMouseDrag;
        modifiers = Event::kCtrlMask;
    } else {
        id = Event::kMouseMove;
    }
}

} // namespace mph
