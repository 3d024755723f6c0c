// ShapeCanvas: the game's dialogs: offering presses to them, what every button does, the level
// choosers, the name prompt and the way to the high-score tables.
#include "game/ShapeParts.h"

#include "io/User.h"
#include "platform/Event.h"
#include "scores/ScoreServer.h"
#include "scores/WebPage.h"

using namespace lang;

namespace mph {

namespace {
constexpr int32_t kChooserMin = 1;
constexpr int32_t kChooserMax = 99;
constexpr int32_t kChooserFirstRepeat = 10;
constexpr int32_t kMaxNameLength = 7;
// How long the note that a name is full stays after a refused letter: two seconds.
constexpr int32_t kNameLimitTicks = 50;

// The personal and global tables are kept per game.
String tableMode(int32_t mode) {
    return HighScoreSprite::modeOf(mode);
}
} // namespace

// Lets the canvas go for the length of a request to the score service, so the picture (and the message
// saying what is going on) keeps being drawn.
class CanvasReleased {
public:
    explicit CanvasReleased(Object* canvas) : m_canvas(canvas), m_depth(canvas->unlockAll()) {}
    ~CanvasReleased() { m_canvas->relock(m_depth); }
    CanvasReleased(const CanvasReleased&) = delete;
    CanvasReleased& operator=(const CanvasReleased&) = delete;

private:
    Object* m_canvas;
    int32_t m_depth;
};

DialogSprite* ShapeCanvas::dialog(const char* name) {
    return as<DialogSprite>(findSprite(name));
}

void ShapeCanvas::hideDialog(const char* name) {
    if (DialogSprite* d = dialog(name)) d->setVisible(false);
    m_blackness->setVisible(false);
}

void ShapeCanvas::showDialog(const char* name, bool place) {
    SyncGuard guard(this);
    DialogSprite* d = dialog(name);
    if (d == nullptr) return;
    if (place) {
        if (m_state == kStart)
            d->setLocation((kScreenWidth - d->getWidth()) / 2, (kScreenHeight - d->getHeight()) / 2);
        else
            d->setLocation(m_layout.boardLeft, m_layout.boardTop);
    }
    m_blackness->setVisible(true);
    d->setVisible(true);
}

void ShapeCanvas::openDialogOver(const char* name) {
    if (m_state == kPlaying) togglePause();
    showDialog(name, true);
}

bool ShapeCanvas::dispatchPress(Event* event) {
    const int32_t x = event->x;
    const int32_t y = event->y;
    // The list is walked from the top; each visible dialog may take the press.
    std::vector<Ref<DialogSprite>> dialogs;
    {
        SyncGuard guard(this);
        Vector& list = sprites();
        SyncGuard listGuard(&list);
        for (int32_t i = list.size() - 1; i >= 0; --i)
            if (auto* d = as<DialogSprite>(list.elementAt(i)); d != nullptr && d->isVisible())
                dialogs.push_back(retain(d));
    }
    for (const Ref<DialogSprite>& d : dialogs) {
        int32_t result = 0;
        if (d.get() == m_highScores.get()) {
            // The high-score dialog may wait on the network; it locks the canvas itself around changes, so
            // the picture keeps being drawn meanwhile.
            CanvasReleased released(this);
            result = d->mouseDown(x, y);
        } else {
            SyncGuard guard(this);
            if (!d->isVisible()) continue;
            result = d->mouseDown(x, y);
        }
        switch (result) {
        case DialogSprite::ButtonPressed:
            runButton(d.get(), d->getLastClicked());
            return true;
        case 2: {
            SyncGuard guard(this);
            m_blackness->setVisible(false);
            return true;
        }
        case DialogSprite::Consumed:
            return true;
        default:
            break;
        }
    }
    SyncGuard guard(this);
    if (m_menuButton->isClickable(x, y)) {
        openDialogOver("menudlg");
        return true;
    }
    if (m_exitButton->isClickable(x, y)) {
        openDialogOver("exitdlg");
        return true;
    }
    return false;
}

void ShapeCanvas::runButton(DialogSprite* holder, const String& name) {
    User* settings = getSettings();
    if (name == "bsubmitglobal" || name == "bglobal") {
        // These reach the score service, so the canvas is not held while they wait.
        {
            SyncGuard guard(this);
            if (name == "bsubmitglobal") {
                m_highScores->setMode(tableMode(m_mode));
                holder->setVisible(false);
            } else {
                hideDialog("menudlg");
            }
            showDialog("hsdlg", true);
        }
        CanvasReleased released(this);
        if (name == "bsubmitglobal")
            m_highScores->submitGlobal(settings ? settings->getString("MRUHSNAME", "") : String(),
                                       tableMode(m_mode), m_level, m_score);
        else
            m_highScores->showView(true);
        return;
    }
    SyncGuard guard(this);
    if (name == "bstart1" || name == "bstart2") {
        m_mode = name == "bstart1" ? kTimedGame : kRisingRows;
        newGame((name == "bstart1" ? m_chooser1 : m_chooser2)->getValue() - 1);
    } else if (name == "bup1" || name == "bdown1" || name == "bup2" || name == "bdown2") {
        chooserStep(name, false);
    } else if (name == "bgohighscore") {
        holder->setVisible(false);
        showDialog("hsdlg", true);
    } else if (name == "blink") {
        leaveFullScreen();
        openWebPage(settings ? settings->getString(kVisitUrlSetting, kHomePage) : String(kHomePage));
    } else if (name == "bquit") {
        requestQuit();
    } else if (name == "bmenu") {
        showDialog("menudlg", true);
    } else if (name == "bclose") {
        holder->setVisible(false);
        m_blackness->setVisible(false);
    } else if (name == "binstruct") {
        hideDialog("menudlg");
        showDialog("instdlg", true);
    } else if (name == "boptions") {
        m_options->setFrame(getFrame());
        m_options->prepareOptions();
        hideDialog("menudlg");
        showDialog("optdlg", true);
    } else if (name == "bpersonal") {
        m_highScores->showView(false);
        hideDialog("menudlg");
        showDialog("hsdlg", true);
    } else if (name == "bendgame") {
        if (m_state != kStart) endGame();
        setState(kStart);
        if (m_score > 0) showNamePrompt();
    } else if (name == "bentername") {
        submitName(m_nameField->getText());
    }
}

// ---- Level choosers ----

void ShapeCanvas::refreshChoosers() {
    auto button = [this](const char* name) { return as<ButtonSprite>(m_startDialog->findChild(name)); };
    const int32_t one = m_chooser1->getValue();
    const int32_t two = m_chooser2->getValue();
    if (auto* b = button("bup1")) setButtonEnabled(b, one < kChooserMax);
    if (auto* b = button("bdown1")) setButtonEnabled(b, one > kChooserMin);
    if (auto* b = button("bup2")) setButtonEnabled(b, two < kChooserMax);
    if (auto* b = button("bdown2")) setButtonEnabled(b, two > kChooserMin);
}

void ShapeCanvas::chooserStep(const String& name, bool repeating) {
    SyncGuard guard(this);
    const bool first = name == "bup1" || name == "bdown1";
    if (!first && name != "bup2" && name != "bdown2") return;
    NumberSprite* number = first ? m_chooser1.get() : m_chooser2.get();
    const bool up = name == "bup1" || name == "bup2";
    const int32_t before = number->getValue();
    const int32_t after = std::clamp(before + (up ? 1 : -1), kChooserMin, kChooserMax);
    number->setValue(after);
    refreshChoosers();
    if (after != before) {
        m_pressedChooserButton = name;
        m_chooserRepeat = repeating ? 1 : kChooserFirstRepeat;
    } else {
        m_chooserRepeat = 0;
        m_pressedChooserButton = String();
    }
}

// ---- The name prompt ----

void ShapeCanvas::showNamePrompt() {
    SyncGuard guard(this);
    User* settings = getSettings();
    m_nameField->setText(settings ? settings->getString("MRUHSNAME", "") : String());
    showNameLimit(false);
    showDialog("hsprompt", true);
    // A player holding only a gamepad types on the screen.
    if (m_lastFromPad) showKeyboard(true);
}

void ShapeCanvas::showNameLimit(bool on) {
    m_nameLimitTicks = on ? kNameLimitTicks : 0;
    if (m_nameLimit && m_nameLimit->isVisible() != on) m_nameLimit->setVisible(on);
}

void ShapeCanvas::stepNameLimit() {
    if (m_nameLimitTicks > 0 && --m_nameLimitTicks == 0) showNameLimit(false);
}

void ShapeCanvas::editName(Event* event, int32_t key) {
    SyncGuard guard(this);
    const int32_t virtualKey = event != nullptr ? event->x : key;
    String text = m_nameField->getText();
    if (virtualKey == 8 || virtualKey == 46) {
        if (text.length() > 0) m_nameField->setText(text.substring(0, text.length() - 1));
        showNameLimit(false);
        return;
    }
    if (virtualKey == 13) {
        submitName(text);
        return;
    }
    const bool allowed = (key >= 'a' && key <= 'z') || (key >= 'A' && key <= 'Z') ||
                         (key >= '0' && key <= '9') || key == ' ' || key == '-' || (key >= 192 && key <= 255);
    if (allowed && text.length() < kMaxNameLength) {
        const char c[2] = {static_cast<char>(key), 0};
        m_nameField->setText(text + String(c));
    } else if (allowed) {
        // A letter past the limit is dropped, and the player is told why.
        showNameLimit(true);
    }
}

void ShapeCanvas::submitName(const String& name) {
    SyncGuard guard(this);
    if (m_observer != nullptr) m_observer->onNameEntered(name.view());
    const String mode = tableMode(m_mode);
    m_highScores->setMode(mode);
    User* settings = getSettings();
    if (settings != nullptr) settings->setString("MRUHSNAME", name);
    if (m_score != 0 && HighScoreSprite::qualifies(settings, mode, m_score))
        m_highScores->recordScore(name, mode, m_level, m_score);
    else
        m_highScores->refresh(true);
    hideDialog("hsprompt");
    showNameLimit(false);
    // The world table takes no entry without a name, so an empty one is not offered there.
    if (!m_cheatUsed && !name.isEmpty() && isConnected())
        showDialog("globalask", true);
    else
        showDialog("hsdlg", true);
}

bool ShapeCanvas::isConnected() {
    return ScoreServer::isConnected(getSettings());
}

// ---- Waiting for a drawn frame ----

void ShapeCanvas::waitForFrame() {
    SyncGuard guard(this);
    m_redrawRequested = true;
    while (m_redrawRequested && !isStopped())
        wait(1000);
    reportResume();
}

void ShapeCanvas::reportResume() {
    if (m_observer != nullptr) m_observer->onResume(getFrameCounter());
}

} // namespace mph
