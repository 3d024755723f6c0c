// The language the pictures and texts are made in: a gettext PO catalog, looked up by the English text.
#pragma once

#include <initializer_list>
#include <map>
#include <string>
#include <utility>

// Marks an English text for extraction into the template without translating it where it stands; tr()
// translates it later (the text items' table holds such texts).
#define N_(text) text

namespace datagen {

// A PO file's translations: (context, English) to the translated text, UTF-8. Entries marked fuzzy and
// empty translations are left out, so those texts stay English.
class Catalog {
public:
    // Reads path; throws std::runtime_error naming the line of anything it cannot read.
    static Catalog load(const std::string& path);

    // The translation, or null when there is none.
    const std::string* find(const std::string& context, const std::string& english) const;
    size_t size() const { return m_entries.size(); }
    const std::map<std::pair<std::string, std::string>, std::string>& entries() const { return m_entries; }
    // The PO header's "Language:" field ("de", "pt_BR"), or "".
    const std::string& language() const { return m_language; }

private:
    std::map<std::pair<std::string, std::string>, std::string> m_entries;
    std::string m_language;
};

// Makes catalog the language of everything drawn from now on (null: English). The catalog must outlive
// its use; pictures are drawn on one thread.
void useCatalog(const Catalog* catalog);

// The text in the current language (the English text itself when it has no translation).
const std::string& tr(const char* english);
// The same for a text whose English words mean different things in different places.
const std::string& trc(const char* context, const char* english);

// Replaces each "%d" of format, in order, by the next number (the translations keep the placeholders;
// msgfmt --check makes sure of that).
std::string formatNumbers(const std::string& format, std::initializer_list<long> numbers);

// What the drawing of one picture asked of the catalog: whether it drew any words, and whether any of them
// came out other than in English.
struct WordUse {
    int texts = 0;
    int translated = 0;
};
// Starts counting for a new picture and returns what the previous one used.
WordUse takeWordUse();

// UTF-8 to Latin-1, for text items (the game's text is 8-bit). Throws std::runtime_error when text holds a
// character Latin-1 does not have.
std::string toLatin1(const std::string& utf8);

} // namespace datagen
