// InputTranslation: the pure mapping from SDL keys and mouse buttons to the program's key codes and
// modifiers.
#pragma once

#include <SDL.h>

#include <cstdint>

namespace mph {

// What one key press or release becomes: the virtual-key code, the translated key and the modifier bits.
struct KeyTranslation {
    int32_t virtualKey = 0;
    int32_t key = 0;
    int32_t modifiers = 0;
    // False for keys the program has no code for; no event is built for them.
    bool valid() const { return virtualKey != 0 || key != 0; }
};

class InputTranslation {
public:
    // The virtual-key code of an SDL key: letters and digits as their upper-case characters, arrows 37 to
    // 40, F1 to F12 from 112, Escape 27, Pause 0x13, Backspace 8, Delete 46, Enter 13 and so on; 0 when
    // the key has none.
    static int32_t virtualKey(SDL_Keycode sym);
    // The character the key types with the given modifier state with Ctrl left out, or 0 when it types
    // none. Letters follow Shift and Caps Lock; other keys follow the US keyboard's shifted row.
    static int32_t typedCharacter(SDL_Keycode sym, uint16_t mod);
    // A key press: arrows and F1 to F3 become 1000 plus their code, any other key its typed character or,
    // when it types none, its virtual-key code. Ctrl sets modifier bit 1.
    static KeyTranslation keyDown(SDL_Keycode sym, uint16_t mod);
    // A key release: arrows and F1 to F3 as on the press, any other key its virtual-key code.
    static KeyTranslation keyUp(SDL_Keycode sym, uint16_t mod);
    // The modifier bits of a mouse button press or release: Ctrl 1, Shift 2, and 1 for the right button.
    static int32_t buttonModifiers(uint8_t button, uint16_t mod);
    // The event id and modifiers of pointer motion with the given button state: a drag while the left
    // or right button is down (the right one with bit 1), else a move.
    static void motion(uint32_t buttonState, int32_t& id, int32_t& modifiers);
};

} // namespace mph
