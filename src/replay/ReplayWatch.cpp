// ReplayWatch: checking a recording, playing it over the live game, the viewer's keys and leaving.
#include "replay/ReplayWatch.h"

#include "game/ShapeCanvas.h"
#include "headless/HeadlessGame.h"
#include "platform/Event.h"
#include "replay/ReplayFile.h"
#include "runtime/SyncGuard.h"
#include "sprites/Sprite.h"

#include <algorithm>
#include <cstdio>

using namespace lang;

namespace mph {

namespace {
// Virtual keys, as the canvas's input hands them on.
constexpr int32_t kKeySpace = 32;
constexpr int32_t kKeyEscape = 27;
constexpr int32_t kKeyLeft = 37;
constexpr int32_t kKeyRight = 39;
} // namespace

ReplayWatch::ReplayWatch() = default;

ReplayWatch::~ReplayWatch() {
    attach(nullptr);
}

void ReplayWatch::attach(ShapeCanvas* canvas) {
    if (m_canvas != nullptr && m_canvas != canvas) {
        SyncGuard guard(m_canvas);
        if (m_watching.load()) leave();
    }
    m_canvas = canvas;
}

bool ReplayWatch::watch(std::string_view bytes, const char*& problem) {
    if (m_canvas == nullptr || m_watching.load() || m_preparing.exchange(true)) {
        problem = "replaybusy";
        return false;
    }
    struct Done {
        std::atomic<bool>& flag;
        ~Done() { flag.store(false); }
    } done{m_preparing};
    auto file = std::make_unique<ReplayFile>();
    std::string error;
    if (!ReplayFile::decode(bytes, *file, error)) {
        std::fprintf(stderr, "morphella: the recorded game cannot be shown: %s\n", error.c_str());
        problem = "replaybad";
        return false;
    }
    if (!file->playableHere(error)) {
        std::fprintf(stderr, "morphella: the recorded game cannot be shown: %s\n", error.c_str());
        problem = "replayother";
        return false;
    }
    // The recorded game gets a game of its own, loaded while the live one goes on.
    auto game = std::make_unique<HeadlessGame>();
    GameObserver* observer = this;
    game->setObserver(observer);
    HeadlessGame::Options options;
    options.guest = true;
    if (!game->start(options, error)) {
        std::fprintf(stderr, "morphella: the recorded game cannot be shown: %s\n", error.c_str());
        problem = "replaybad";
        return false;
    }
    ReplayDriver::Target& target = *this;
    auto driver = std::make_unique<ReplayDriver>(*file, target);
    ReplayDriver* d = driver.get();
    game->setFrameWait([d] { d->frameWait(); });

    SyncGuard guard(m_canvas);
    m_file = std::move(file);
    m_game = std::move(game);
    m_driver = std::move(driver);
    m_paused = false;
    m_ended = false;
    m_speed = 1;
    m_ticks = 0;
    m_driver->begin();
    {
        ShapeCanvas& guest = m_game->canvas();
        SyncGuard guestGuard(&guest);
        guest.invalidate();
        guest.compose();
    }
    m_picture = make<Sprite>();
    m_picture->setImage(m_game->canvas().getOffscreenImage());
    m_picture->setLocation(0, 0);
    m_canvas->addSprite(m_picture.get(), -1, String());
    m_caption.attach(*m_canvas);
    m_watching.store(true);
    return true;
}

ShapeCanvas& ReplayWatch::canvas() {
    return m_game->canvas();
}

void ReplayWatch::runTick() {
    // A recording that does not come to its end stops where a real game would have.
    if (++m_ticks > ReplayFile::kMaxTicks) {
        m_driver->stop();
        return;
    }
    m_game->tick();
}

void ReplayWatch::setClock(uint32_t ms) {
    m_game->setClock(ms);
}

void ReplayWatch::step() {
    if (!m_watching.load() || m_ended) return;
    if (!m_paused) {
        for (int32_t i = m_speed; i > 0 && !m_driver->stopped(); --i) {
            m_driver->deliverDue();
            if (!m_driver->stopped()) runTick();
        }
        // Each of the recorded game's ticks composed its picture.
        ShapeCanvas& guest = m_game->canvas();
        m_picture->invalidate();
        // Stopped without an end: every record used up, or too long.
        if (!m_ended && m_driver->stopped()) end(guest.getScore(), guest.getLevel());
    }
    m_caption.setStatus(m_paused, m_speed);
}

void ReplayWatch::onGameEnd(int32_t score, int32_t level) {
    if (!m_ended) end(score, level);
}

void ReplayWatch::onSound(int32_t index) {
    // The recorded game's sounds play through the live game's sound list, past its report of them.
    if (m_canvas != nullptr) m_canvas->GameCanvas::playSoundAt(index);
}

void ReplayWatch::end(int32_t score, int32_t level) {
    m_ended = true;
    m_endScore = score;
    m_endLevel = level;
    if (m_driver) m_driver->stop();
    m_caption.showEnd(score, level);
}

void ReplayWatch::takeKey(int32_t virtualKey, bool down) {
    if (!down || !m_watching.load()) return;
    if (m_ended || virtualKey == kKeyEscape) {
        leave();
        return;
    }
    switch (virtualKey) {
    case kKeySpace:
        m_paused = !m_paused;
        break;
    case kKeyRight:
        m_speed = std::min(m_speed * 2, kMaxSpeed);
        break;
    case kKeyLeft:
        m_speed = 1;
        break;
    default:
        break;
    }
    m_caption.setStatus(m_paused, m_speed);
}

void ReplayWatch::takePointer(int32_t id) {
    if (m_watching.load() && m_ended && id == Event::kMouseDown) leave();
}

void ReplayWatch::leave() {
    m_caption.detach(*m_canvas);
    {
        Vector& list = m_canvas->sprites();
        SyncGuard guard(&list);
        list.removeElement(m_picture.get());
    }
    m_canvas->invalidate();
    m_watching.store(false);
    m_picture = nullptr;
    m_driver.reset();
    m_game.reset();
    m_file.reset();
}

GameWatch::View ReplayWatch::view() {
    View v;
    v.watching = m_watching.load();
    if (!v.watching) return v;
    v.paused = m_paused;
    v.ended = m_ended;
    v.speed = m_speed;
    ShapeCanvas& guest = m_game->canvas();
    v.tick = guest.getFrameCounter();
    v.score = m_ended ? m_endScore : guest.getScore();
    v.level = m_ended ? m_endLevel : guest.getLevel();
    return v;
}

} // namespace mph
