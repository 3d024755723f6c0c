// LanguageChoice: matching language names against the overlays there are, and gettext's order of the
// environment's variables.
#include "io/LanguageChoice.h"

#include <algorithm>

namespace mph {

namespace {

std::string languagePart(const std::string& code) {
    return code.substr(0, code.find('_'));
}

bool isEnglish(const std::string& name) {
    return languagePart(name) == "en";
}

} // namespace

std::string LanguageChoice::normalise(const std::string& name) {
    return name.substr(0, std::min(name.find('.'), name.find('@')));
}

std::string LanguageChoice::match(const std::string& name, const std::vector<std::string>& available) {
    const std::string wanted = normalise(name);
    if (wanted.empty()) return "";
    if (isEnglish(wanted)) return kEnglish;
    if (std::find(available.begin(), available.end(), wanted) != available.end()) return wanted;
    const std::string language = languagePart(wanted);
    if (std::find(available.begin(), available.end(), language) != available.end()) return language;
    for (const std::string& code : available)
        if (languagePart(code) == language) return code;
    return "";
}

std::string LanguageChoice::fromEnvironment(const Environment& environment,
                                            const std::vector<std::string>& available) {
    const auto value = [&](const char* variable) {
        const char* v = environment ? environment(variable) : nullptr;
        return std::string(v != nullptr ? v : "");
    };
    std::string locale;
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        locale = value(variable);
        if (!locale.empty()) break;
    }
    const std::string base = normalise(locale);
    if (base.empty() || base == "C" || base == "POSIX") return kEnglish;
    const std::string list = value("LANGUAGE");
    for (size_t start = 0; start <= list.size();) {
        const size_t end = std::min(list.find(':', start), list.size());
        const std::string chosen = match(list.substr(start, end - start), available);
        if (!chosen.empty()) return chosen;
        start = end + 1;
    }
    const std::string chosen = match(locale, available);
    return chosen.empty() ? kEnglish : chosen;
}

std::string LanguageChoice::choose(const std::string& setting, const Environment& environment,
                                   const std::vector<std::string>& available) {
    if (!setting.empty()) {
        const std::string chosen = match(setting, available);
        return chosen.empty() ? kEnglish : chosen;
    }
    return fromEnvironment(environment, available);
}

} // namespace mph
