// The user's number separators.
#include "runtime/Locale.h"

#include <atomic>
#include <clocale>
#include <cstring>
#include <langinfo.h>
#include <locale.h>

namespace lang {

namespace {

std::atomic<char> overrideThousands{'\0'};
std::atomic<char> overrideDecimal{'\0'};

// Maps the first character of a UTF-8 (or 8-bit) separator to one 8-bit character.
char firstCharacter(const char* text, char fallback) {
    const auto* p = reinterpret_cast<const unsigned char*>(text ? text : "");
    if (p[0] == 0) return fallback;
    if (p[0] < 0x80) return static_cast<char>(p[0]);
    if ((p[0] & 0xE0) == 0xC0 && (p[1] & 0xC0) == 0x80) {
        const unsigned cp = ((p[0] & 0x1Fu) << 6) | (p[1] & 0x3Fu);
        if (cp < 0x100) return static_cast<char>(cp);
    }
    if ((p[0] & 0xF0) == 0xE0 && (p[1] & 0xC0) == 0x80 && (p[2] & 0xC0) == 0x80) {
        const unsigned cp = ((p[0] & 0x0Fu) << 12) | ((p[1] & 0x3Fu) << 6) | (p[2] & 0x3Fu);
        if (cp == 0x2019 || cp == 0x2018) return '\'';
        // Thin and narrow no-break spaces become the 8-bit no-break space.
        if (cp >= 0x2000 && cp <= 0x202F) return static_cast<char>(0xA0);
    }
    if (std::strlen(text) == 1) return static_cast<char>(p[0]); // an 8-bit locale
    return fallback;
}

struct Separators {
    char thousands = ',';
    char decimal = '.';
};

Separators readSeparators() {
    Separators s;
    locale_t loc = newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(nullptr));
    if (loc == static_cast<locale_t>(nullptr)) return s;
    s.thousands = firstCharacter(nl_langinfo_l(THOUSEP, loc), ',');
    s.decimal = firstCharacter(nl_langinfo_l(RADIXCHAR, loc), '.');
    freelocale(loc);
    return s;
}

const Separators& userSeparators() {
    static const Separators s = readSeparators();
    return s;
}

} // namespace

char Locale::thousandsSeparator() {
    const char o = overrideThousands.load();
    return o ? o : userSeparators().thousands;
}

char Locale::decimalSeparator() {
    const char o = overrideDecimal.load();
    return o ? o : userSeparators().decimal;
}

void Locale::setOverride(char thousands, char decimal) {
    overrideThousands.store(thousands);
    overrideDecimal.store(decimal);
}

} // namespace lang
