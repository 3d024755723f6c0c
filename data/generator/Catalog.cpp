// Reading PO catalogs and translating the generator's texts through the one in use.
#include "Catalog.h"

#include <fstream>
#include <stdexcept>
#include <vector>

namespace datagen {

namespace {

const Catalog* g_catalog = nullptr;
WordUse g_use;

// The text of a quoted PO string starting at line[at] (at the opening quote), with its escapes undone.
std::string unquote(const std::string& line, size_t at, const std::string& where) {
    if (at >= line.size() || line[at] != '"') throw std::runtime_error(where + ": expected a quoted string");
    std::string out;
    size_t i = at + 1;
    for (; i < line.size() && line[i] != '"'; ++i) {
        char c = line[i];
        if (c == '\\') {
            if (++i >= line.size()) break;
            switch (line[i]) {
            case 'n':
                c = '\n';
                break;
            case 't':
                c = '\t';
                break;
            case '"':
                c = '"';
                break;
            case '\\':
                c = '\\';
                break;
            default:
                throw std::runtime_error(where + ": unknown escape \\" + std::string(1, line[i]));
            }
        }
        out += c;
    }
    if (i >= line.size()) throw std::runtime_error(where + ": unterminated string");
    if (line.find_first_not_of(" \t\r", i + 1) != std::string::npos)
        throw std::runtime_error(where + ": text after the string");
    return out;
}

struct Entry {
    std::string context, id, text;
    bool hasId = false, fuzzy = false;
};

} // namespace

Catalog Catalog::load(const std::string& path) {
    std::ifstream in(path);
    if (!in) throw std::runtime_error("cannot read " + path);
    Catalog catalog;
    Entry entry;
    std::string* field = nullptr; // the field a continuation line adds to
    bool pluralForms = false;
    auto finish = [&] {
        if (entry.hasId) {
            if (entry.id.empty()) {
                const size_t at = entry.text.find("Language:");
                if (at != std::string::npos) {
                    const size_t start = entry.text.find_first_not_of(' ', at + 9);
                    const size_t end = entry.text.find('\n', at);
                    if (start != std::string::npos && start < end)
                        catalog.m_language = entry.text.substr(start, end - start);
                }
            } else if (!entry.fuzzy && !entry.text.empty()) {
                catalog.m_entries[{entry.context, entry.id}] = entry.text;
            }
        }
        entry = Entry{};
        field = nullptr;
        pluralForms = false;
    };
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const std::string where = path + ":" + std::to_string(number);
        const size_t first = line.find_first_not_of(" \t");
        if (first == std::string::npos) {
            finish();
            continue;
        }
        if (line[first] == '#') {
            // A comment after an entry's strings starts the next entry.
            if (entry.hasId && field != nullptr) finish();
            if (line.rfind("#,", first) == first && line.find("fuzzy") != std::string::npos)
                entry.fuzzy = true;
            continue;
        }
        if (line[first] == '"') {
            if (field == nullptr) throw std::runtime_error(where + ": a string outside an entry");
            *field += unquote(line, first, where);
            continue;
        }
        const size_t space = line.find(' ', first);
        const std::string keyword =
            line.substr(first, space == std::string::npos ? std::string::npos : space - first);
        const size_t quote = space == std::string::npos ? line.size() : line.find_first_not_of(' ', space);
        if (keyword == "msgctxt") {
            if (entry.hasId) finish();
            entry.context = unquote(line, quote, where);
            field = &entry.context;
        } else if (keyword == "msgid") {
            if (entry.hasId) finish();
            entry.hasId = true;
            entry.id = unquote(line, quote, where);
            field = &entry.id;
        } else if (keyword == "msgid_plural") {
            // The game's texts have no plural forms; such an entry is read and left out.
            pluralForms = true;
            field = nullptr;
            unquote(line, quote, where);
        } else if (keyword == "msgstr" || keyword.rfind("msgstr[", 0) == 0) {
            if (!entry.hasId) throw std::runtime_error(where + ": msgstr without msgid");
            std::string text = unquote(line, quote, where);
            if (pluralForms) {
                entry.fuzzy = true; // left out, as said above
                field = nullptr;
            } else {
                entry.text = std::move(text);
                field = &entry.text;
            }
        } else {
            throw std::runtime_error(where + ": unknown keyword \"" + keyword + "\"");
        }
    }
    finish();
    return catalog;
}

const std::string* Catalog::find(const std::string& context, const std::string& english) const {
    const auto it = m_entries.find({context, english});
    return it == m_entries.end() ? nullptr : &it->second;
}

void useCatalog(const Catalog* catalog) {
    g_catalog = catalog;
}

const std::string& trc(const char* context, const char* english) {
    // The English texts live as long as the program (they are literals or a table's), and so do their
    // copies kept here for callers that need a string.
    static std::map<const char*, std::string> englishCopies;
    ++g_use.texts;
    if (g_catalog != nullptr) {
        if (const std::string* text = g_catalog->find(context == nullptr ? "" : context, english)) {
            if (*text != english) ++g_use.translated;
            return *text;
        }
    }
    auto [it, added] = englishCopies.try_emplace(english, english);
    return it->second;
}

const std::string& tr(const char* english) {
    return trc(nullptr, english);
}

std::string formatNumbers(const std::string& format, std::initializer_list<long> numbers) {
    std::string out;
    auto next = numbers.begin();
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] == '%' && i + 1 < format.size() && format[i + 1] == 'd' && next != numbers.end()) {
            out += std::to_string(*next++);
            ++i;
        } else if (format[i] == '%' && i + 1 < format.size() && format[i + 1] == '%') {
            out += '%';
            ++i;
        } else {
            out += format[i];
        }
    }
    return out;
}

WordUse takeWordUse() {
    const WordUse used = g_use;
    g_use = WordUse{};
    return used;
}

std::string toLatin1(const std::string& utf8) {
    std::string out;
    for (size_t i = 0; i < utf8.size(); ++i) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if ((c == 0xC2 || c == 0xC3) && i + 1 < utf8.size() &&
                   (static_cast<unsigned char>(utf8[i + 1]) & 0xC0) == 0x80) {
            out += static_cast<char>(((c & 0x03) << 6) | (static_cast<unsigned char>(utf8[i + 1]) & 0x3F));
            ++i;
        } else {
            throw std::runtime_error("\"" + utf8 + "\" has a character that Latin-1 does not have");
        }
    }
    return out;
}

} // namespace datagen
