// LanguageButton: the options dialog's language button and the note under it.
#pragma once

#include "runtime/Ref.h"
#include "sprites/ButtonSprite.h"

#include <string>
#include <vector>

namespace mph {

class DialogSprite;
class User;

// The button steps through the languages there are (English, then each translation beside the game's
// container, by code). It shows the chosen language's own name: the picture "btnlanguage" of that language.
// Each step stores the choice as the "LANGUAGE" setting; the game speaks it from its next start, and while
// the choice is not the language spoken now the note "langnote" of the chosen language says so.
class LanguageButton {
public:
    static constexpr const char* kSetting = "LANGUAGE";

    // Finds the dialog's children "blanguage" and "langnote"; a dialog without them has no language button.
    void bind(DialogSprite* dialog);
    // Lists the languages and shows the stored choice (else the language spoken now).
    void prepare(User* settings);
    // The button was pressed: the next language, stored in settings.
    void step(User* settings);

    bool isBound() const;
    const std::string& chosen() const;
    // Whether the note that the choice waits for the next start is showing.
    bool noteShown() const;

private:
    void show();

    lang::Ref<ButtonSprite> m_button;
    lang::Ref<AnimateSprite> m_note;
    std::vector<std::string> m_codes;
    size_t m_index = 0;
};

} // namespace mph
