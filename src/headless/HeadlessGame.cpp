// HeadlessGame: the canvas's clock, frame wait and window calls replaced for a run without a window.
#include "headless/HeadlessGame.h"

#include "game/GameClasses.h"
#include "game/ShapeCanvas.h"
#include "gfx/DecodedPictures.h"
#include "gfx/Image.h"
#include "gfx/PngWriter.h"
#include "io/LanguageChoice.h"
#include "io/LanguageOverlay.h"
#include "io/Resources.h"
#include "io/User.h"
#include "platform/Component.h"
#include "platform/Event.h"
#include "platform/WindowScale.h"
#include "runtime/CRandom.h"
#include "runtime/Exception.h"
#include "runtime/SyncGuard.h"
#include "sprites/Sprite.h"

#include <cstdlib>
#include <filesystem>
#include <map>
#include <mutex>
#include <unistd.h>

using namespace lang;

namespace mph {

class HeadlessCanvas : public ShapeCanvas {
public:
    HeadlessCanvas(HeadlessGame& game, uint32_t seed) : ShapeCanvas(seed), m_game(game) {
        Component::setSize(kScreenWidth, kScreenHeight);
        m_offscreenImage = make<Image>(kScreenWidth, kScreenHeight, 0, true);
        m_running.store(true);
        setSoundEnabled(false);
    }
    uint32_t currentMillis() override { return m_game.m_clock; }
    // The tick the input waits for runs right here, unless the driver decides otherwise.
    void waitForFrame() override {
        if (m_game.m_frameWait)
            m_game.m_frameWait();
        else
            m_game.runTick();
        reportResume();
    }
    // A headless run plays level after level as fast as it can: each of the few level pictures is decoded
    // once and kept.
    Ref<Image> levelPicture(const String& name) override {
        Ref<Image>& kept = m_levelPictures[name.str()];
        if (!kept) kept = ShapeCanvas::levelPicture(name);
        return kept;
    }
    bool keepsPictures() const override { return true; }
    void requestQuit() override { m_quitRequested = true; }
    void leaveFullScreen() override {}
    // The window the game would open on the given display.
    WindowView windowView() override {
        WindowView view;
        WindowScale::firstSize(kScreenWidth, kScreenHeight,
                               Rectangle(0, 0, m_game.m_displayWidth, m_game.m_displayHeight), view.width,
                               view.height);
        view.scale = WindowScale::fit(kScreenWidth, kScreenHeight, view.width, view.height).scale;
        return view;
    }
    bool quitRequested() const { return m_quitRequested; }

private:
    HeadlessGame& m_game;
    std::map<std::string, Ref<Image>> m_levelPictures;
    bool m_quitRequested = false;
};

HeadlessGame::HeadlessGame() = default;

HeadlessGame::~HeadlessGame() {
    if (m_canvas) m_canvas->shutdown();
    m_canvas = nullptr;
    m_settings = nullptr;
    if (!m_tempDir.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(m_tempDir, ignored);
    }
}

bool HeadlessGame::start(const Options& options, std::string& error) {
    static std::once_flag registered;
    std::call_once(registered, [] { registerGameClasses(); });
    // Runs without a window play game after game in one process; their pictures are decoded once.
    // A game shown inside another one leaves that game's way with pictures alone.
    if (!options.guest) DecodedPictures::setKeeping(true);
    // The container is process-wide; a run names it once (later runs in one process share it).
    if (!resourceChain()) {
        const String container(options.container.empty() ? kContainerName : options.container.c_str());
        if (findContainerFile(container).isEmpty()) {
            error = containerNotFoundMessage(container).str();
            return false;
        }
        try {
            addResourceFile(container);
        } catch (Exception* e) {
            error = e->getMessage().str();
            e->release();
            return false;
        }
    }
    std::string store = options.store;
    if (store.empty()) {
        std::string pattern = (std::filesystem::temp_directory_path() / "morphella-play-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) {
            error = "cannot make a temporary folder for the settings";
            return false;
        }
        m_tempDir = pattern;
        store = m_tempDir + "/settings.db";
    }
    m_settings = make<User>();
    m_settings->openAt(store);
    std::string language = options.language;
    if (language.empty()) language = m_settings->getString("LANGUAGE", "").str();
    if (options.guest) language.clear();
    const std::vector<std::string> codes = LanguageOverlay::availableCodes();
    const std::string chosen = LanguageChoice::match(language, codes);
    if (!options.language.empty() && chosen.empty()) {
        error = "no language \"" + options.language + "\" beside the game's data (there is en";
        for (const std::string& code : codes)
            error += " " + code;
        error += ")";
        return false;
    }
    // A damaged translation is reported and the game plays in English, as the game itself does.
    if (!options.guest) LanguageOverlay::use(chosen.empty() ? LanguageChoice::kEnglish : chosen);

    m_clock = options.seed;
    m_displayWidth = options.displayWidth;
    m_displayHeight = options.displayHeight;
    m_canvas = make<HeadlessCanvas>(*this, m_clock);
    // The driving thread's own generator (the falls and melts read it) starts from the clock too.
    if (!options.guest) CRandom::seed(m_clock);
    m_canvas->setObserver(m_observer);
    m_canvas->setDataBinding(String(), m_settings.get(), String("+datafile"), -1);
    if (!m_canvas->loadData()) {
        error = "the data script \"+datafile\" could not be loaded";
        return false;
    }
    if (!m_canvas->isBound()) {
        error = "the game's data cannot be used: " + m_canvas->bindError();
        return false;
    }
    m_canvas->compose();
    m_canvas->displayList().setTracking(m_composing);
    return true;
}

void HeadlessGame::setComposing(bool on) {
    m_composing = on;
    if (!m_canvas) return;
    SyncGuard guard(m_canvas.get());
    m_canvas->displayList().setTracking(on);
}

void HeadlessGame::setObserver(GameObserver* observer) {
    m_observer = observer;
    if (m_canvas) m_canvas->setObserver(observer);
}

ShapeCanvas& HeadlessGame::canvas() {
    return *m_canvas;
}

User* HeadlessGame::settings() const {
    return m_settings.get();
}

void HeadlessGame::runTick() {
    {
        SyncGuard guard(m_canvas.get());
        m_canvas->tick();
        if (m_composing) m_canvas->compose();
    }
    m_clock += kTickMs;
}

void HeadlessGame::tick(int32_t count) {
    for (int32_t i = 0; i < count; ++i)
        runTick();
}

void HeadlessGame::mouse(int32_t id, int32_t x, int32_t y) {
    Ref<Event> event = make<Event>(id, nullptr, x, y, 0, m_clock);
    event->clickCount = id == Event::kMouseDown ? 1 : 0;
    m_canvas->takeEvent(event.get());
    m_canvas->handleEvent();
    m_canvas->dropEvent();
}

void HeadlessGame::key(int32_t virtualKey, int32_t character, bool shift) {
    // Pressed and let go at once, each handled as the input thread handles the window's keys.
    for (const int32_t id : {Event::kKeyDown, Event::kKeyUp}) {
        Ref<Event> event = make<Event>(id, nullptr, virtualKey, 0, shift ? Event::kShiftMask : 0, m_clock);
        event->key = character;
        m_canvas->handleKey(event.get());
    }
}

void HeadlessGame::pad(int32_t button, bool down) {
    Ref<Event> event = make<Event>(down ? Event::kPadDown : Event::kPadUp, nullptr, button, 0, 0, m_clock);
    m_canvas->takeEvent(event.get());
    m_canvas->handleEvent();
    m_canvas->dropEvent();
}

void HeadlessGame::stick(int32_t x, int32_t y) {
    Ref<Event> event = make<Event>(Event::kStick, nullptr, x, y, 0, m_clock);
    m_canvas->takeEvent(event.get());
    m_canvas->handleEvent();
    m_canvas->dropEvent();
}

void HeadlessGame::touch(int32_t id, int32_t x, int32_t y) {
    Ref<Event> event = make<Event>(id, nullptr, x, y, Event::kTouchMask, m_clock);
    event->clickCount = id == Event::kMouseDown ? 1 : 0;
    m_canvas->takeEvent(event.get());
    m_canvas->handleEvent();
    m_canvas->dropEvent();
}

bool HeadlessGame::click(const std::string& path, std::string& error) {
    const GameDump::Found found = GameDump::find(*m_canvas, path, error);
    if (found.sprite == nullptr) return false;
    if (!found.visible) {
        error = "\"" + path + "\" is hidden";
        return false;
    }
    const Rectangle& bounds = found.sprite->getBounds();
    const int32_t x = found.x + bounds.width / 2;
    const int32_t y = found.y + bounds.height / 2;
    mouse(Event::kMouseDown, x, y);
    mouse(Event::kMouseUp, x, y);
    return true;
}

GameView HeadlessGame::view() {
    return GameDump::view(*m_canvas, m_clock);
}

std::string HeadlessGame::dumpJson() {
    return GameDump::json(view());
}

std::string HeadlessGame::spriteJson(const std::string& path, std::string& error) {
    return GameDump::spriteJson(*m_canvas, path, error);
}

bool HeadlessGame::snapshot(const std::string& file, std::string& error) {
    SyncGuard guard(m_canvas.get());
    m_canvas->invalidate();
    m_canvas->compose();
    Image* frame = m_canvas->getOffscreenImage();
    if (frame == nullptr || !PngWriter::writeFile(*frame, file.c_str())) {
        error = "cannot write " + file;
        return false;
    }
    return true;
}

} // namespace mph
