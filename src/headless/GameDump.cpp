// GameDump: copying the canvas's state, finding sprites by path and writing both as JSON.
#include "headless/GameDump.h"

#include "game/GameWatch.h"
#include "game/ShapeCanvas.h"
#include "game/ShapeSprite.h"
#include "game/SlotSprite.h"
#include "runtime/Cast.h"
#include "runtime/SyncGuard.h"
#include "scores/HighScoreSprite.h"
#include "sprites/ButtonSprite.h"
#include "sprites/DialogSprite.h"
#include "sprites/NumberSprite.h"
#include "sprites/RichTTYSprite.h"
#include "sprites/TextSprite.h"

#include <cmath>
#include <sstream>

using namespace lang;

namespace mph {

namespace {

// The game's dialogs, and the sprites whose visibility the dump reports besides them.
constexpr const char* kDialogs[] = {"startdialog", "bonusdlg", "menudlg",   "exitdlg", "instdlg",
                                    "optdlg",      "hsprompt", "globalask", "hsdlg"};
constexpr const char* kReported[] = {"paused", "gameover", "levelcomplete", "blackness"};

class Json {
public:
    Json& key(const char* name) {
        comma();
        m_out << '"' << name << "\":";
        m_fresh = true;
        return *this;
    }
    Json& value(int64_t v) {
        comma();
        m_out << v;
        return *this;
    }
    Json& value(bool v) {
        comma();
        m_out << (v ? "true" : "false");
        return *this;
    }
    // A number with at most three decimals, written as an integer when it is whole.
    Json& number(double v) {
        comma();
        const double rounded = std::round(v * 1000) / 1000;
        if (rounded == std::floor(rounded))
            m_out << static_cast<int64_t>(rounded);
        else
            m_out << rounded;
        return *this;
    }
    Json& null() {
        comma();
        m_out << "null";
        return *this;
    }
    Json& value(const std::string& v) {
        comma();
        m_out << GameDump::quote(v);
        return *this;
    }
    // A named member: "name":value.
    Json& field(const char* name, int64_t v) { return key(name).value(v); }
    Json& field(const char* name, bool v) { return key(name).value(v); }
    Json& field(const char* name, const std::vector<int32_t>& list) { return key(name).values(list); }
    Json& values(const std::vector<int32_t>& list) {
        open('[');
        for (int32_t v : list)
            value(static_cast<int64_t>(v));
        return close(']');
    }
    Json& open(char c) {
        comma();
        m_out << c;
        m_fresh = true;
        return *this;
    }
    Json& close(char c) {
        m_out << c;
        m_fresh = false;
        return *this;
    }
    std::string str() const { return m_out.str(); }

private:
    void comma() {
        if (!m_fresh) m_out << ',';
        m_fresh = false;
    }
    std::ostringstream m_out;
    bool m_fresh = true;
};

} // namespace

std::string GameDump::quote(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || c >= 0x7F) {
            char buffer[8];
            std::snprintf(buffer, sizeof buffer, "\\u%04x", c);
            out += buffer;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

GameView GameDump::view(ShapeCanvas& c, uint32_t t) {
    SyncGuard guard(&c);
    GameView v;
    v.t = t;
    v.tick = c.getFrameCounter();
    v.state = c.m_state;
    v.mode = c.m_mode;
    v.level = c.m_level;
    v.score = c.m_score;
    v.timeLeft = c.m_timeLeft;
    v.roundsLeft = c.m_roundsLeft;
    v.speedBonus = c.m_speedBonus;
    v.combo = c.m_combo;
    v.lastPlacedFrame = c.m_lastPlacedFrame;
    v.placed = c.m_placedCount;
    v.total = c.m_totalSlots;
    v.slotsPerRow = c.m_slotsPerRow;
    v.rowSpeed = c.m_rowSpeed;
    v.revealer = c.m_revealerTimer;
    v.decoy = c.m_decoyFrame;
    v.chosenFrames = c.m_chosenFrames;
    v.deck = c.m_deck;
    v.deckIndex = c.m_deckIndex;
    if (!c.m_bound) return v;
    v.held = c.m_held->isVisible() ? c.m_held->getFrame() : -1;
    v.heldX = c.m_held->getX();
    v.heldY = c.m_held->getY();
    for (int32_t i = 0; i < ShapeCanvas::kTraySize; ++i) {
        const ShapeSprite& s = *c.m_tray[i];
        v.tray.push_back(
            {s.getFrame(), s.getX(), s.getY(), s.isVisible(), c.m_trayMorphing[i], s.carriesPowerUp()});
    }
    for (int32_t r = 0; r < ShapeCanvas::kRows; ++r) {
        const ShapeCanvas::RowState& row = c.m_rows[r];
        v.rows.push_back({row.currentY, row.targetY, row.firstSlot, row.headSlot, row.tailSlot, row.reversed,
                          row.cleared});
    }
    for (int32_t s = 0; s < c.m_totalSlots; ++s) {
        const SlotSprite& slot = *c.m_slots[s];
        v.slots.push_back(
            {slot.getX(), slot.getY(), slot.getFrame(), slot.isVisible(), c.m_placed[s]->isVisible()});
    }
    for (int32_t i = 0; i < ShapeCanvas::kPowerUpIcons; ++i)
        v.powerUps.push_back(c.m_specials[i]->isVisible() ? c.m_powerUpKind[i] : -1);
    const Layout& l = c.m_layout;
    v.boardLeft = l.boardLeft;
    v.boardTop = l.boardTop;
    v.boardWidth = l.boardWidth;
    v.boardHeight = l.boardHeight;
    v.trayLeft = l.trayLeft;
    v.trayTop = l.trayTop;
    v.trayWidth = l.trayWidth;
    v.trayHeight = l.trayHeight;
    v.slotPitch = l.slotPitch;
    v.rowPitch = l.rowPitch;
    v.shapeWidth = l.shapeWidth;
    v.shapeHeight = l.shapeHeight;
    v.framesPerKind = l.framesPerKind;
    v.focus = c.focusPath();
    v.trayFocus = c.focusedTray();
    v.target = c.focusedTarget();
    v.pointerX = c.pointerX();
    v.pointerY = c.pointerY();
    v.keyboard = c.keyboardShown();
    v.keyboardKey = c.keyboardKey();
    const WindowView window = c.windowView();
    v.windowWidth = window.width;
    v.windowHeight = window.height;
    v.windowScale = window.scale;
    v.fullScreen = window.fullScreen;
    for (const char* name : kDialogs) {
        Sprite* d = c.findSprite(name);
        if (d != nullptr && d->isVisible()) v.dialogs.push_back(name);
    }
    for (const char* name : kReported) {
        Sprite* s = c.findSprite(name);
        if (s != nullptr && s->isVisible()) v.dialogs.push_back(name);
    }
    highScores(c, v);
    if (GameWatch* watch = c.getWatch()) {
        const GameWatch::View w = watch->view();
        v.watching = w.watching;
        v.watchPaused = w.paused;
        v.watchEnded = w.ended;
        v.watchSpeed = w.speed;
        v.watchTick = w.tick;
        v.watchScore = w.score;
        v.watchLevel = w.level;
    }
    return v;
}

void GameDump::highScores(ShapeCanvas& c, GameView& v) {
    HighScoreSprite* hs = c.m_highScores.get();
    if (hs == nullptr || !hs->isVisible()) return;
    v.highScoresShown = true;
    v.highScoresView = hs->isGlobalView() ? "world" : "personal";
    v.highScoresMode = hs->getMode().str();
    if (auto* console = as<RichTTYSprite>(hs->findChild("message")); console != nullptr && console->isVisible()) {
        for (int32_t i = 0; i < console->getLineCount(); ++i) {
            std::string line = console->lineText(i).str();
            while (!line.empty() && line.back() == ' ')
                line.pop_back();
            if (line.empty()) continue;
            if (!v.highScoresMessage.empty()) v.highScoresMessage += ' ';
            v.highScoresMessage += line;
        }
    }
    const std::vector<ScoreRow> list = hs->getList();
    const int32_t first = hs->getFirstRow();
    for (int32_t r = 0; r < HighScoreSprite::kShownRows; ++r) {
        const size_t index = static_cast<size_t>(first + r);
        const TextSprite* rank = hs->getRowText(HighScoreSprite::kRowTexts - HighScoreSprite::kShownRows + r);
        if (index >= list.size() || rank == nullptr || !rank->isVisible()) continue;
        const ScoreRow& row = list[index];
        GameView::ScoreLine line;
        line.rank = row.rank;
        line.score = row.score;
        line.level = row.level;
        line.name = row.name.str();
        line.verified = row.verified;
        if (Sprite* mark = hs->getPlayMark(r); mark != nullptr && mark->isVisible()) {
            line.play = true;
            line.playX = hs->getX() + mark->getX() + mark->getWidth() / 2;
            line.playY = hs->getY() + mark->getY() + mark->getHeight() / 2;
        }
        v.highScoreRows.push_back(line);
    }
}

std::string GameDump::json(const GameView& v) {
    Json j;
    j.open('{');
    const std::pair<const char*, int64_t> numbers[] = {
        {"t", v.t},
        {"tick", v.tick},
        {"state", v.state},
        {"mode", v.mode},
        {"level", v.level},
        {"score", v.score},
        {"timeLeft", v.timeLeft},
        {"roundsLeft", v.roundsLeft},
        {"speedBonus", v.speedBonus},
        {"combo", v.combo},
        {"lastPlacedFrame", v.lastPlacedFrame},
        {"placed", v.placed},
        {"total", v.total},
        {"slotsPerRow", v.slotsPerRow},
        {"rowSpeed", v.rowSpeed},
        {"revealer", v.revealer},
        {"decoy", v.decoy},
    };
    for (const auto& [name, value] : numbers)
        j.field(name, value);
    j.field("chosenFrames", v.chosenFrames).field("deck", v.deck).field("deckIndex", int64_t{v.deckIndex});
    j.field("held", int64_t{v.held});
    j.key("tray").open('[');
    for (const auto& s : v.tray) {
        j.open('{').field("frame", int64_t{s.frame}).field("x", int64_t{s.x}).field("y", int64_t{s.y});
        j.field("visible", s.visible).field("morphing", s.morphing).field("carrier", s.carrier).close('}');
    }
    j.close(']').key("rows").open('[');
    for (const auto& r : v.rows) {
        j.open('{')
            .field("y", int64_t{r.y})
            .field("targetY", int64_t{r.targetY})
            .field("first", int64_t{r.first});
        j.field("head", int64_t{r.head}).field("tail", int64_t{r.tail});
        j.field("reversed", r.reversed).field("cleared", r.cleared).close('}');
    }
    j.close(']').key("slots").open('[');
    for (const auto& s : v.slots) {
        j.open('{').field("x", int64_t{s.x}).field("y", int64_t{s.y}).field("frame", int64_t{s.frame});
        j.field("visible", s.visible).field("filled", s.filled).close('}');
    }
    j.close(']').field("powerUps", v.powerUps);
    j.key("layout").open('{');
    const std::pair<const char*, int64_t> layout[] = {
        {"boardLeft", v.boardLeft},
        {"boardTop", v.boardTop},
        {"boardWidth", v.boardWidth},
        {"boardHeight", v.boardHeight},
        {"trayLeft", v.trayLeft},
        {"trayTop", v.trayTop},
        {"trayWidth", v.trayWidth},
        {"trayHeight", v.trayHeight},
        {"slotPitch", v.slotPitch},
        {"rowPitch", v.rowPitch},
        {"shapeWidth", v.shapeWidth},
        {"shapeHeight", v.shapeHeight},
        {"kindCount", static_cast<int64_t>(v.framesPerKind.size())},
    };
    for (const auto& [name, value] : layout)
        j.field(name, value);
    j.field("framesPerKind", v.framesPerKind).close('}');
    j.key("dialogs").open('[');
    for (const auto& name : v.dialogs)
        j.value(name);
    j.close(']');
    if (v.focus.empty())
        j.key("focus").null();
    else
        j.key("focus").value(v.focus);
    j.field("trayFocus", int64_t{v.trayFocus}).field("target", int64_t{v.target});
    j.key("pointer").open('{').field("x", int64_t{v.pointerX}).field("y", int64_t{v.pointerY}).close('}');
    j.key("osk").open('{').field("visible", v.keyboard);
    if (v.keyboard)
        j.key("key").value(v.keyboardKey);
    else
        j.key("key").null();
    j.close('}');
    j.key("window").open('{').field("w", int64_t{v.windowWidth}).field("h", int64_t{v.windowHeight});
    j.key("scale").number(v.windowScale).field("fullScreen", v.fullScreen).close('}');
    if (v.highScoresShown) {
        j.key("highScores").open('{').key("view").value(v.highScoresView).key("mode").value(v.highScoresMode);
        if (v.highScoresMessage.empty())
            j.key("message").null();
        else
            j.key("message").value(v.highScoresMessage);
        j.key("rows").open('[');
        for (const auto& r : v.highScoreRows) {
            j.open('{').field("rank", int64_t{r.rank}).key("name").value(r.name);
            j.field("score", int64_t{r.score}).field("level", int64_t{r.level}).field("verified", r.verified);
            j.field("play", r.play);
            if (r.play) j.field("x", int64_t{r.playX}).field("y", int64_t{r.playY});
            j.close('}');
        }
        j.close(']').close('}');
    } else {
        j.key("highScores").null();
    }
    j.key("watch").open('{').field("on", v.watching);
    if (v.watching) {
        j.field("paused", v.watchPaused).field("ended", v.watchEnded).field("speed", int64_t{v.watchSpeed});
        j.field("tick", int64_t{v.watchTick}).field("score", int64_t{v.watchScore});
        j.field("level", int64_t{v.watchLevel});
    }
    j.close('}');
    j.close('}');
    return j.str();
}

GameDump::Found GameDump::find(ShapeCanvas& canvas, const std::string& path, std::string& error) {
    SyncGuard guard(&canvas);
    Found found;
    size_t start = 0;
    DialogSprite* holder = nullptr;
    bool visible = true;
    int32_t offsetX = 0;
    int32_t offsetY = 0;
    while (start <= path.size()) {
        const size_t slash = path.find('/', start);
        const std::string part =
            path.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
        Sprite* sprite =
            holder == nullptr ? canvas.findSprite(part.c_str()) : holder->findChild(part.c_str());
        if (part.empty() || sprite == nullptr) {
            error = "no sprite \"" + part + "\"" +
                    (holder != nullptr ? " in \"" + path.substr(0, start - 1) + "\"" : "");
            return Found{};
        }
        visible = visible && sprite->isVisible();
        if (slash == std::string::npos) {
            const Rectangle& bounds = sprite->getBounds();
            found.sprite = sprite;
            found.x = bounds.x + offsetX;
            found.y = bounds.y + offsetY;
            found.visible = visible;
            return found;
        }
        holder = as<DialogSprite>(sprite);
        if (holder == nullptr) {
            error = "\"" + part + "\" is not a dialog";
            return Found{};
        }
        offsetX += holder->getX();
        offsetY += holder->getY();
        start = slash + 1;
    }
    error = "empty path";
    return Found{};
}

std::string GameDump::spriteJson(ShapeCanvas& canvas, const std::string& path, std::string& error) {
    SyncGuard guard(&canvas);
    const Found f = find(canvas, path, error);
    if (f.sprite == nullptr) return std::string();
    Sprite* s = f.sprite;
    const Rectangle bounds = s->getBounds();
    Json j;
    j.open('{').key("class").value(std::string(s->getClassName()));
    j.key("x").value(int64_t{f.x}).key("y").value(int64_t{f.y});
    j.key("w")
        .value(int64_t{bounds.width})
        .key("h")
        .value(int64_t{bounds.height})
        .key("visible")
        .value(f.visible);
    if (auto* a = as<AnimateSprite>(s)) j.key("frame").value(int64_t{a->getFrame()});
    if (auto* b = as<ButtonSprite>(s)) j.key("enabled").value(b->getState() != ButtonSprite::Disabled);
    if (auto* n = as<NumberSprite>(s)) j.key("value").value(int64_t{n->getValue()});
    if (auto* t = as<TextSprite>(s)) j.key("text").value(t->getText().str());
    if (auto* tty = as<RichTTYSprite>(s)) {
        std::string text;
        for (int32_t i = 0; i < tty->getLineCount(); ++i) {
            const std::string line = tty->lineText(i).str();
            if (line.empty()) continue;
            if (!text.empty()) text += '\n';
            text += line;
        }
        j.key("text").value(text);
    }
    j.close('}');
    return j.str();
}

} // namespace mph
