// morphella-tool script check and render: load a data script as the game does and show what it made, with
// what the game passes over in silence (unknown classes, missing images, comments that swallow lines).
#include "Tool.h"

#include "audio/AudioClip.h"
#include "game/GameClasses.h"
#include "gfx/GraphicsI.h"
#include "gfx/Image.h"
#include "gfx/PngWriter.h"
#include "headless/HeadlessGame.h"
#include "io/LanguageChoice.h"
#include "io/LanguageOverlay.h"
#include "io/Path.h"
#include "io/Resources.h"
#include "runtime/Enumeration.h"
#include "runtime/Exception.h"
#include "runtime/Ref.h"
#include "sprites/DataLoader.h"
#include "sprites/DisplayList.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using namespace lang;
using namespace mph;

namespace {

// What a load passed over, in the order met (nested scripts' notes come where they are loaded).
struct Notes {
    struct Entry {
        DataLoader::Note kind;
        std::string where; // SCRIPT:LINE, or SCRIPT for the whole script
        std::string text;
    };
    std::vector<Entry> entries;

    // Whether the load read (nearly) nothing: a comment swallowed the script, or it made nothing at all.
    bool readNothing() const {
        return std::any_of(entries.begin(), entries.end(), [](const Entry& e) {
            return e.kind == DataLoader::Note::RunOnComment || e.kind == DataLoader::Note::MadeNothing;
        });
    }
};

// Collects the loader's notes for as long as it lives.
class NoteCollector {
public:
    explicit NoteCollector(Notes& notes) {
        DataLoader::setNoteReporter(
            [&notes](DataLoader::Note kind, const String& script, int32_t line, const std::string& text) {
                std::string where = script.str();
                if (line > 0) where += ":" + std::to_string(line);
                notes.entries.push_back(Notes::Entry{kind, where, text});
            });
    }
    ~NoteCollector() { DataLoader::setNoteReporter(nullptr); }
    NoteCollector(const NoteCollector&) = delete;
    NoteCollector& operator=(const NoteCollector&) = delete;
};

constexpr const char* kLineEndAdvice =
    "save the script with CR LF line ends (data/README.md, \"Line ends\", shows how to convert one)";

// Registers the container (when given) and loads SCRIPT: "+NAME" from the container, or a disk file whose
// directory becomes the base directory. error receives the text of a failed load; the result is null only
// when the container could not be registered.
Ref<DataLoader> loadScript(const std::string& script, const std::string& container, std::string& error,
                           const std::string& language = "") {
    registerGameClasses();
    if (!container.empty()) {
        try {
            addResourceFile(String(container.c_str()));
        } catch (Exception* e) {
            error = e->toString().str();
            e->release();
            return nullptr;
        }
    }
    if (!language.empty()) {
        const std::string code = LanguageChoice::match(language, LanguageOverlay::availableCodes());
        if (code.empty()) {
            error = "no language \"" + language + "\" beside the container";
            return nullptr;
        }
        if (!LanguageOverlay::use(code)) {
            error = "the \"" + language + "\" translation cannot be used";
            return nullptr;
        }
    }
    String base;
    String name(script.c_str());
    if (!name.startsWith("+")) {
        const String path = nativePath(name);
        const int32_t slash = path.lastIndexOf('/');
        base = slash >= 0 ? path.substring(0, slash) : String(".");
        name = path.substring(slash + 1);
    }
    DataLoader::setErrorReporter([&error](const String& message) { error = message.str(); });
    Ref<DataLoader> loader = adopt(new DataLoader(base, nullptr, nullptr));
    error.clear();
    const bool ok = loader->load(name);
    DataLoader::setErrorReporter(nullptr);
    if (!ok && error.empty()) error = "load failed";
    return loader;
}

// The name under which the table holds object, or "".
std::string nameOf(Hashtable* names, Object* object) {
    if (names == nullptr) return "";
    Ref<Enumeration> keys = adopt(names->keys());
    std::string found;
    while (keys->hasMoreElements()) {
        auto* key = static_cast<String*>(keys->nextElement());
        if (names->get(key) == object) {
            // Several names may map to one object; report the first in byte order, the same on every run.
            if (found.empty() || key->str() < found) found = key->str();
        }
    }
    return found;
}

int check(tool::Args args) {
    std::string container;
    tool::takeOption(args, "--container", container);
    if (args.size() != 1) return tool::usageError("usage: script check SCRIPT [--container BIN]");
    std::string error;
    Notes notes;
    Ref<DataLoader> loader;
    {
        NoteCollector collector(notes);
        loader = loadScript(args[0], container, error);
    }
    if (!loader) {
        std::printf("end error %s\n", error.c_str());
        return tool::kMissing;
    }
    std::vector<std::pair<std::string, std::string>> images;
    {
        Ref<Enumeration> keys = adopt(loader->getImages().keys());
        while (keys->hasMoreElements()) {
            auto* key = static_cast<String*>(keys->nextElement());
            auto* image = static_cast<Image*>(loader->getImages().get(key));
            images.emplace_back(key->str(),
                                std::to_string(image->getWidth()) + "x" + std::to_string(image->getHeight()));
        }
    }
    std::sort(images.begin(), images.end());
    for (const auto& [name, size] : images)
        std::printf("image %s %s\n", name.c_str(), size.c_str());
    ObjectArray& sounds = loader->getSounds();
    for (int32_t i = 0; i < sounds.length; ++i) {
        auto* clip = static_cast<AudioClip*>(sounds.data[i]);
        std::printf("sound %d %d %s\n", i, clip->getType(), clip->getName().c_str());
    }
    StringArray& strings = loader->getStrings();
    for (int32_t i = 0; i < strings.length; ++i)
        std::printf("string %d %s\n", i, strings.at(i)->c_str());
    IntArray& data = loader->getData();
    if (data.length > 0) {
        std::string line = "data";
        for (int32_t i = 0; i < data.length; ++i)
            line += " " + std::to_string(data[i]);
        std::printf("%s\n", line.c_str());
    }
    if (Vector* sprites = loader->getSprites()) {
        for (int32_t i = 0; i < sprites->size(); ++i) {
            Object* sprite = sprites->elementAt(i);
            std::printf("sprite %d %s %s\n", i, nameOf(loader->getSpritesByName(), sprite).c_str(),
                        sprite->getClassName());
        }
    }
    bool lineEnds = false;
    for (const Notes::Entry& e : notes.entries) {
        std::printf("problem %s %s\n", e.where.c_str(), e.text.c_str());
        lineEnds = lineEnds || e.kind == DataLoader::Note::RunOnComment;
    }
    if (lineEnds) std::printf("problem hint: %s\n", kLineEndAdvice);
    if (!error.empty()) {
        std::printf("end error %s\n", error.c_str());
        return tool::kMissing;
    }
    if (!notes.entries.empty()) {
        std::printf("end error %zu problem%s\n", notes.entries.size(), notes.entries.size() == 1 ? "" : "s");
        return tool::kMissing;
    }
    std::printf("end ok\n");
    return tool::kOk;
}

// Says on standard error what a load passed over; true when it read nothing worth drawing, which the
// caller then refuses.
bool reportNotes(const Notes& notes, const std::string& script) {
    for (const Notes::Entry& e : notes.entries)
        std::fprintf(stderr, "morphella-tool: render: %s: %s\n", e.where.c_str(), e.text.c_str());
    if (!notes.readNothing()) return false;
    std::fprintf(stderr, "morphella-tool: render: %s gives an empty picture; %s\n", script.c_str(),
                 kLineEndAdvice);
    return true;
}

// The game's opening as a player sees it: the game itself runs headless for ticks ticks on the container.
int renderGame(const std::string& container, const std::string& language, int ticks, const std::string& out) {
    Notes notes;
    HeadlessGame game;
    std::string error;
    bool started = false;
    {
        NoteCollector collector(notes);
        HeadlessGame::Options options;
        options.container = container;
        options.language = language;
        started = game.start(options, error);
    }
    if (reportNotes(notes, "+datafile")) return tool::kMissing;
    if (!started) {
        std::fprintf(stderr, "morphella-tool: render: the game cannot start on this data: %s\n",
                     error.c_str());
        return tool::kMissing;
    }
    game.tick(ticks);
    if (!game.snapshot(out, error)) return tool::usageError(error);
    return tool::kOk;
}

int render(tool::Args args) {
    std::string container, out, ticksText, language;
    tool::takeOption(args, "--container", container);
    tool::takeOption(args, "--language", language);
    tool::takeOption(args, "--out", out);
    const bool hasTicks = tool::takeOption(args, "--ticks", ticksText);
    if (args.size() != 1 || out.empty())
        return tool::usageError("usage: render SCRIPT --out OUT.png [--ticks N] [--container BIN] [--language CODE]");
    int ticks = 1;
    if (hasTicks) {
        char* end = nullptr;
        const long n = std::strtol(ticksText.c_str(), &end, 10);
        if (end == ticksText.c_str() || *end != '\0' || n < 0 || n > 1000000)
            return tool::usageError("--ticks wants a number from 0 to 1000000");
        ticks = static_cast<int>(n);
    }
    if (args[0] == "+datafile") return renderGame(container, language, ticks, out);
    std::string error;
    Notes notes;
    Ref<DataLoader> loader;
    {
        NoteCollector collector(notes);
        loader = loadScript(args[0], container, error, language);
    }
    if (!loader || !error.empty()) return tool::usageError("cannot load " + args[0] + ": " + error);
    if (reportNotes(notes, args[0])) return tool::kMissing;
    constexpr int32_t kWidth = 800, kHeight = 600;
    Ref<DisplayList> scene = make<DisplayList>(kWidth, kHeight);
    if (Vector* sprites = loader->getSprites())
        for (int32_t i = 0; i < sprites->size(); ++i)
            scene->sprites().addElement(sprites->elementAt(i));
    for (int i = 0; i < ticks; ++i)
        scene->tick();
    Ref<Image> frame = adopt(new Image(kWidth, kHeight, 1, true));
    {
        Ref<GraphicsI> g = adopt(frame->getGraphics());
        g->setColor(Color::black);
        g->fillRect(0, 0, kWidth, kHeight);
        scene->invalidateAll();
        scene->compose(g.get(), 0xFF000000u);
        g->dispose();
    }
    if (!PngWriter::writeFile(*frame, out.c_str())) return tool::usageError("cannot write " + out);
    return tool::kOk;
}

int scriptCommand(const tool::Args& args) {
    if (args.empty() || args[0] != "check")
        return tool::usageError("usage: script check SCRIPT [--container BIN]");
    return check(tool::Args(args.begin() + 1, args.end()));
}

const tool::Registration scriptGroup(
    "script",
    "script check SCRIPT [--container BIN]\n"
    "    loads a data script and lists what it made; exit 1 with each problem (an unknown class, a missing\n"
    "    image, a comment that runs on past LF line ends, a script that creates nothing)",
    scriptCommand);
const tool::Registration renderGroup(
    "render",
    "render SCRIPT --out OUT.png [--ticks N] [--container BIN] [--language CODE]\n"
    "    +datafile: the game's opening as the player sees it, after N ticks (1 by default) of the game\n"
    "    itself; any other script: every sprite it makes at its own place, hidden ones not drawn, over\n"
    "    black, after N ticks; --language CODE: in that language, from its overlay beside the container",
    [](const tool::Args& args) { return render(args); });

} // namespace
