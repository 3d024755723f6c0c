// LanguageOverlay: the game's translations, one overlay container per language beside the game's container
// ("morphella.de.bin" beside "morphella.bin"), holding under the same names only the items whose words
// differ from English. The chosen one stands at the head of the container chain, so every "+name" look-up
// finds its items first and everything else in the game's container.
#pragma once

#include "io/LanguageChoice.h"
#include "io/ResourceFile.h"
#include "io/ResourceItem.h"
#include "runtime/Ref.h"
#include "runtime/String.h"

#include <string>
#include <vector>

namespace mph {

class LanguageOverlay {
public:
    // Every overlay names its language, in that language, in this text item; so does the game's container.
    static constexpr const char* kNameItem = "langname";

    struct Entry {
        std::string code; // "de", "pt_BR"
        std::string path;
    };

    // The overlays beside the container file at containerPath: every STEM.CODE.bin next to STEM.bin, where
    // CODE is letters, digits and underscores; sorted by code.
    static std::vector<Entry> besideContainer(const std::string& containerPath);
    // The overlays beside the game's container as registered (the base of the chain).
    static std::vector<Entry> available();
    static std::vector<std::string> availableCodes();

    // Opens the overlay at path and checks that it is whole and names its language; null, with the reason,
    // when it is not.
    static lang::Ref<ResourceFile> open(const std::string& path, std::string& reason);

    // Makes code the game's language: its overlay goes to the head of the chain, in place of any other;
    // English takes the overlays off. A language with no overlay, or a damaged one, leaves the game in
    // English with a message on standard error, and the answer is false. Call it while no other thread
    // looks items up.
    static bool use(const std::string& code);
    // The game's start: chooses the language from the "LANGUAGE" setting's value and the environment
    // (LanguageChoice::choose) among the overlays there are, and uses it. Returns the language spoken.
    static std::string start(const std::string& setting, const LanguageChoice::Environment& environment);
    // The language the chain speaks now (LanguageChoice::kEnglish when no overlay is in place).
    static std::string current();

    // An item of a language without making it the game's: from its overlay, or from the game's container
    // for English (an overlay lacking the item answers with the container's). Null when neither has it.
    static lang::Ref<ResourceItem> itemOf(const std::string& code, const lang::String& name);
};

} // namespace mph
