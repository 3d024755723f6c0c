// The user's number separators, read from the environment's locale without touching the global one.
#pragma once

namespace lang {

class Locale {
public:
    // The first character of the user's thousands separator (',' when the locale has none).
    static char thousandsSeparator();
    // The user's decimal separator ('.' when the locale has none).
    static char decimalSeparator();
    // Fixes both separators, for tests and for a player who wants other ones; '\0' restores the locale's.
    static void setOverride(char thousands, char decimal);
};

} // namespace lang
