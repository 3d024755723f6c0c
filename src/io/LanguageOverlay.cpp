// LanguageOverlay: finding the overlays beside the container, checking them and putting one in front.
#include "io/LanguageOverlay.h"

#include "io/Resources.h"
#include "runtime/Exception.h"

#include <algorithm>
#include <cstdio>
#include <dirent.h>
#include <mutex>

using namespace lang;

namespace mph {

namespace {

std::mutex& currentMutex() {
    static std::mutex m;
    return m;
}

std::string& currentCode() {
    static std::string code = LanguageChoice::kEnglish;
    return code;
}

bool isCode(const std::string& s) {
    if (s.empty() || s.size() > 16) return false;
    return std::all_of(s.begin(), s.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
    });
}

// The folder part of path with its slash ("./" when there is none) and the file name's stem.
void splitContainerPath(const std::string& path, std::string& folder, std::string& stem) {
    const size_t slash = path.rfind('/');
    folder = slash == std::string::npos ? "./" : path.substr(0, slash + 1);
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const size_t dot = name.rfind('.');
    stem = dot == std::string::npos ? name : name.substr(0, dot);
}

} // namespace

std::vector<LanguageOverlay::Entry> LanguageOverlay::besideContainer(const std::string& containerPath) {
    std::vector<Entry> found;
    if (containerPath.empty()) return found;
    std::string folder, stem;
    splitContainerPath(containerPath, folder, stem);
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr) return found;
    const std::string prefix = stem + ".", suffix = ".bin";
    while (const dirent* e = readdir(dir)) {
        const std::string name = e->d_name;
        if (name.size() <= prefix.size() + suffix.size() || name.compare(0, prefix.size(), prefix) != 0 ||
            name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0)
            continue;
        const std::string code = name.substr(prefix.size(), name.size() - prefix.size() - suffix.size());
        if (isCode(code) && code != LanguageChoice::kEnglish) found.push_back(Entry{code, folder + name});
    }
    closedir(dir);
    std::sort(found.begin(), found.end(), [](const Entry& a, const Entry& b) { return a.code < b.code; });
    return found;
}

std::vector<LanguageOverlay::Entry> LanguageOverlay::available() {
    Ref<ResourceFile> base = baseResourceFile();
    return base ? besideContainer(base->getPath().str()) : std::vector<Entry>{};
}

std::vector<std::string> LanguageOverlay::availableCodes() {
    std::vector<std::string> codes;
    for (const Entry& e : available())
        codes.push_back(e.code);
    return codes;
}

Ref<ResourceFile> LanguageOverlay::open(const std::string& path, std::string& reason) {
    Ref<ResourceFile> file;
    try {
        file = make<ResourceFile>(String(std::string_view(path)));
    } catch (Exception* e) {
        reason = "it cannot be opened";
        e->release();
        return nullptr;
    }
    ResourceFileHeader* header = file->getHeader();
    if (header == nullptr || !header->checkIntact(reason)) {
        if (header == nullptr) reason = "it is not a container";
        return nullptr;
    }
    bool found = false;
    Ref<ResourceItem> name = file->lookUp(String(kNameItem), found);
    if (!name || name->getLength() < 2) {
        reason = std::string("it does not name its language (no item \"") + kNameItem + "\")";
        return nullptr;
    }
    return file;
}

bool LanguageOverlay::use(const std::string& code) {
    Ref<ResourceFile> overlay;
    bool ok = true;
    if (!code.empty() && code != LanguageChoice::kEnglish) {
        Ref<ResourceFile> base = baseResourceFile();
        std::string path;
        for (const Entry& e : available())
            if (e.code == code) path = e.path;
        std::string reason;
        if (path.empty()) {
            std::fprintf(stderr, "morphella: no translation into \"%s\" beside %s; playing in English\n",
                         code.c_str(), base ? base->getPath().c_str() : "the game's data");
            ok = false;
        } else if (!(overlay = open(path, reason))) {
            std::fprintf(stderr, "morphella: the translation %s is damaged (%s); playing in English\n",
                         path.c_str(), reason.c_str());
            ok = false;
        }
    }
    replaceOverlay(overlay);
    std::lock_guard<std::mutex> guard(currentMutex());
    currentCode() = overlay ? code : LanguageChoice::kEnglish;
    return ok;
}

std::string LanguageOverlay::start(const std::string& setting,
                                   const LanguageChoice::Environment& environment) {
    use(LanguageChoice::choose(setting, environment, availableCodes()));
    return current();
}

std::string LanguageOverlay::current() {
    std::lock_guard<std::mutex> guard(currentMutex());
    return currentCode();
}

Ref<ResourceItem> LanguageOverlay::itemOf(const std::string& code, const String& name) {
    if (code != LanguageChoice::kEnglish && code != current()) {
        for (const Entry& e : available()) {
            if (e.code != code) continue;
            // Only the directory is read: the caller wants one small item, and a damaged overlay is told
            // when it is put to use.
            try {
                Ref<ResourceFile> file = make<ResourceFile>(String(std::string_view(e.path)));
                bool found = false;
                if (Ref<ResourceItem> item = file->lookUp(name, found)) return item;
            } catch (Exception* ex) {
                std::fprintf(stderr, "morphella: %s\n", ex->getMessage().c_str());
                ex->release();
            }
        }
    }
    if (code == current()) return findItem(name);
    // English, or an item the overlay lacks: the game's container, past any overlay in front of it.
    Ref<ResourceFile> base = baseResourceFile();
    bool found = false;
    return base ? base->lookUp(name, found) : nullptr;
}

} // namespace mph
