// LanguageChoice: which of the game's languages to speak, from the player's setting or the environment.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace mph {

class LanguageChoice {
public:
    // English, which the game's own container speaks.
    static constexpr const char* kEnglish = "en";

    // Reads one environment variable; null when it is not set.
    using Environment = std::function<const char*(const char*)>;

    // A locale or language name without its codeset and modifier: "de_AT.UTF-8@euro" gives "de_AT".
    static std::string normalise(const std::string& name);

    // The available language that serves name: the same code, else its language alone ("de" for "de_AT"),
    // else another region of that language ("pt_BR" for "pt" or "pt_PT"). kEnglish for any English name;
    // "" when none serves it. available holds codes such as "de" and "pt_BR", English not among them.
    static std::string match(const std::string& name, const std::vector<std::string>& available);

    // The language the environment asks for, as gettext reads it: the locale of messages is the first set
    // of LC_ALL, LC_MESSAGES and LANG; when it is "C" or "POSIX" (or unset) the game speaks English;
    // otherwise the first entry of the colon-separated LANGUAGE list that an available language serves,
    // else the locale itself, else English.
    static std::string fromEnvironment(const Environment& environment,
                                       const std::vector<std::string>& available);

    // The "LANGUAGE" setting when it is set (a language it names that is not available gives English),
    // else the environment's choice.
    static std::string choose(const std::string& setting, const Environment& environment,
                              const std::vector<std::string>& available);
};

} // namespace mph
