// ShapeCanvas: the game itself: the board of conveyor rows and the tray, the state machine, levels,
// scores, power-ups, effects and the flow of the game's dialogs.
#pragma once

#include "app/GameCanvas2.h"
#include "game/GameObserver.h"
#include "rules/Layout.h"
#include "rules/LevelTable.h"
#include "runtime/Ref.h"
#include "runtime/String.h"
#include "sprites/FocusNavigator.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace mph {

class AnimateSprite;
class AudioClip;
class ButtonSprite;
class DialogSprite;
class Event;
class FocusRingSprite;
class GameWatch;
class HighScoreSprite;
class HourGlass;
class InstructDialog;
class KeyboardSprite;
class MeltSprite;
class NumberSprite;
class OptionsSprite;
class Random;
class RectSprite;
class ShapeSprite;
class SlotSprite;
class Sprite;
class SquishSprite;
class TextSprite;

// The canvas's own lock guards everything below. The render thread runs tick() with it held; the input
// thread's handleEvent() and the main thread's keyDown() take it around every change they make. The
// clock and the wait for a drawn frame are virtual, so a headless driver can run the very same game under
// a virtual clock, one tick at a time.
class ShapeCanvas : public GameCanvas2 {
    LANG_CLASS(ShapeCanvas, GameCanvas2)

public:
    enum State : int32_t {
        kStart = 0,
        kPlaying = 1,
        kLevelComplete = 2,
        kBonusLost = 3,
        kBonusWon = 4,
        kCurtainsClosing = 5,
        kCurtainsOpening = 6,
        kGameOver = 7,
        kPaused = 8,
    };
    // The sound list's entries, by what they accompany.
    enum Sound : int32_t {
        kSoundPickUp = 0,
        kSoundPlace = 1,
        kSoundTrash = 2,
        kSoundMiss = 3,
        kSoundContinue = 4,
        kSoundGameOver = 5,
        kSoundWarning = 6,
        kSoundPowerUp = 7,
        kSoundMelt = 8,
        kSoundTick = 12,
        kSoundWildcard = 13,
        kSoundFirstMelter = 14,
    };
    static constexpr int32_t kMaxSlots = LevelTable::kMaxSlots;
    static constexpr int32_t kRows = LevelTable::kRowCount;
    static constexpr int32_t kTraySize = 6;
    static constexpr int32_t kMelters = 10;
    static constexpr int32_t kPowerUpIcons = 4;
    static constexpr int32_t kPopups = 5;
    static constexpr int32_t kTicksPerTimeUnit = 35;
    static constexpr int32_t kScreenWidth = 800;
    static constexpr int32_t kScreenHeight = 600;

    struct RowState {
        int32_t targetY = 0;
        int32_t currentY = 0;
        int32_t firstSlot = 0;
        int32_t headSlot = 0;
        int32_t tailSlot = 0;
        int32_t rowNumber = 0;
        bool reversed = false;
        bool cleared = false;
    };

    // seed: the millisecond clock at creation; it seeds the game's generator.
    explicit ShapeCanvas(uint32_t seed);
    ~ShapeCanvas() override;

    // ---- Overrides of the canvas ----
    // In the window, keys are queued for the input thread like the mouse (F11, and Escape in full screen,
    // are left to the frame).
    bool keyDown(Event* event, int32_t key) override;
    bool keyUp(Event* event, int32_t key) override;
    void pauseHook() override;
    bool preload() override { return true; }
    void tick() override;
    void handleEvent() override;
    // What handleEvent does with the current event, for a caller that holds the event itself.
    void handleMouse(Event* event);
    // A key pressed (id Event::kKeyDown) or released (kKeyUp): its virtual key in x, its character in key,
    // Shift in the modifiers.
    void handleKey(Event* event);

    // ---- Focus: the game without a pointer ----
    // The keyboard's keys come down to these actions (a gamepad's buttons can too). The focus rests on
    // one item: a button or knob of the topmost dialog, or else a button of the start dialog, the board
    // (the tray, or the target hole while a shape is held) or a side-panel button. Press acts on it
    // exactly as a pointer's press at its middle; Release ends that press. The rings show from the first
    // action on and hide when the pointer moves; a move while they are hidden only shows them.
    void focusAction(FocusAction action);
    // What the rings show, for the driver: the focused button's path as click takes it ("" when no ring
    // shows or the board has the focus), the focused tray place and the targeted slot (-1 when none).
    std::string focusPath();
    int32_t focusedTray();
    int32_t focusedTarget();

    // ---- Gamepads ----
    // A gamepad's button pressed or released (Event::kPadDown, kPadUp; the PadButton in x) or its stick's
    // axes (Event::kStick, in x and y), as the input thread hands them over. The D-pad is the arrow keys,
    // A is Enter (or, after the stick moved the pointer, the mouse button at the pointer), B throws away in
    // play and closes a dialog, Start pauses and goes on, Back opens the menu, L and R move along the tray.
    void handlePad(Event* event);
    // Where the pointer is, in picture pixels: the stick moves it, the mouse and a finger put it where
    // they are.
    int32_t pointerX();
    int32_t pointerY();
    // Whether the on-screen keyboard shows beside the name prompt, and its focused key's label.
    bool keyboardShown();
    std::string keyboardKey();
    void onDataLoaded(DataLoader* loader) override;
    void playSoundAt(int32_t index) override;
    void setSoundEnabled(bool on) override;
    void shutdown() override;

    // The millisecond clock every time rule reads.
    virtual uint32_t currentMillis();
    // Asks for a drawn frame and waits for the tick that draws it (at most a second per wait).
    virtual void waitForFrame();
    // Whether the computer can reach the score service (the global table is offered only then).
    virtual bool isConnected();
    // A game played with help (a typed code, the built-in bot) is not offered to the world table.
    void markCheatUsed() { m_cheatUsed = true; }
    // The level picture of that container item, decoded anew each time (the window keeps no copy it does
    // not show); a headless run that plays many levels keeps them. The picture is only ever read.
    virtual lang::Ref<Image> levelPicture(const lang::String& name);
    // Whether pictures the game only copies from (the slots' template) stay decoded between levels; the
    // window lets them go and decodes them again at the next level, a headless run keeps them.
    virtual bool keepsPictures() const { return false; }

    // Whether the data bound to every name the game needs; when not, bindError() names what is missing
    // and the game does not run.
    bool isBound() const { return m_bound; }
    const std::string& bindError() const { return m_bindError; }
    void setObserver(GameObserver* observer) { m_observer = observer; }
    // What shows a recorded game over this one when a table's play mark is pressed (borrowed; it must
    // outlive the canvas or be reset first; null for none).
    void setWatch(GameWatch* watch);
    GameWatch* getWatch() const { return m_watch; }
    // Starts a game exactly as a recorded one started: the generator's state, the last typed keys, the
    // tick count, the game and its level.
    void beginRecordedGame(const GameStart& start);

    // ---- State machine ----
    void setState(int32_t n);
    void togglePause();
    void newGame(int32_t startLevel);
    int32_t getState() const { return m_state; }
    int32_t getMode() const { return m_mode; }
    int32_t getLevel() const { return m_level; }
    int32_t getScore() const { return m_score; }
    const Layout& layout() const { return m_layout; }

    // ---- Board ----
    void startLevel(int32_t previous);
    void moveRows(int32_t speed);
    void wrapRows();
    bool noEmptySlotInView();
    void pickUp(int32_t x, int32_t y);
    void dropHeldShape(int32_t x, int32_t y);
    void discardTrayHead();
    void discardHeldShape();
    void dealToTray();
    void closeTrayGap(int32_t from);
    void buildDeck();
    bool isRowFull(int32_t position);
    bool clearRow(int32_t position);
    void bringInRow();
    void highlightMatchingSlots(int32_t frame, bool on);
    void buildSlotPicture(SlotSprite* slot);

    // ---- Dialogs ----
    bool dispatchPress(Event* event);
    void showDialog(const char* name, bool place);
    void chooserStep(const lang::String& name, bool repeating);
    void submitName(const lang::String& name);
    void editName(Event* event, int32_t key);

protected:
    // Tells the observer that the input being handled goes on after a frame wait (every waitForFrame).
    void reportResume();

private:
    friend class GameDump;

    // Binding (onDataLoaded).
    bool bindSprites(DataLoader* loader);
    template <class T> T* bind(const char* name);
    void makeBoardSprites();
    void readSettings();

    // Board parts.
    void buildBoard();
    int32_t rowPositionOf(int32_t firstSlot) const;

    // Tick parts.
    void stepCurtains(int32_t dy);
    void resetCurtains();
    void hideCurtains();
    void stepPlaying(bool& fastForwardStarted);
    void stepTraySlide();
    void stepTrash();
    void stepSpecialPieces();
    void stepGameOver();
    void startGameOverFall();
    void stepLevelEnd();
    void stepFinishedRows();
    void hideFadedOut();
    void levelTimerTick();
    void bonusTimerTick();
    void timedTimerTick();
    void risingRowsTimerTick();
    void stepScoreDisplay();
    void setLevelBackground(int32_t level, bool complete);

    // Scores and pop-ups.
    void scorePlacement(int32_t slot, bool wasMorphing, bool& popupShown);
    void scoreRowClear(int32_t position);
    void showPopup(int32_t points, int32_t x, int32_t y, int32_t dx, int32_t dy);
    void addScore(int64_t points);

    // Power-ups and special pieces.
    void awardPowerUp(int32_t slot);
    void applyArrivedPowerUps();
    void stepRevealer();
    void hidePowerUpIcons();
    void checkTypedCodes();
    void startTrashAnimation();
    bool trayHoldsSpecial() const;

    // Focus (ShapeFocus.cpp).
    struct FocusStop {
        std::string path; // as click takes it; kBoardStop for the board
        lang::Rectangle bounds;
        DialogSprite* holder = nullptr; // the dialog holding a button or knob
        lang::String name;
        bool adjustable = false;
        bool board = false;
    };
    // The stops of the focus now, in order, and the scope they belong to ("" for the board's scope, else
    // the topmost dialog's path); the current stop's index (-1 for none); commit keeps the scope.
    std::string collectFocus(std::vector<FocusStop>& stops);
    void addDialogStops(DialogSprite* dialog, const std::string& path, int32_t x, int32_t y,
                        std::vector<FocusStop>& stops);
    int32_t resolveFocus(const std::vector<FocusStop>& stops, const std::string& scope, bool commit);
    bool handleKeyDown(Event* event);
    // What a key press does once it is recorded; typed: it came from the keyboard (the typed codes read
    // it), not from a gamepad's button acting as that key.
    bool actOnKey(int32_t virtualKey, int32_t key, bool shift, Event* event, bool typed);
    // The focus on the board (the tray, or the target hole), where no dialog keeps it.
    void focusBoard();
    bool isFocusKey(int32_t virtualKey) const;
    void focusKey(int32_t virtualKey, bool shift);
    void boardMove(FocusAction action);
    void boardPress();
    void pressAt(int32_t x, int32_t y);
    void releaseFocusPress();
    int32_t trayFocusIndex();
    void acceptingHoles(std::vector<int32_t>& slots, std::vector<lang::Rectangle>& bounds);
    void followTarget();
    void updateFocusRings();
    // Back to the board's first tray place with nothing targeted and no key holding a press.
    void resetFocus();

    // Input.
    void handlePress(Event* event);
    void handleRelease(Event* event);
    void handleMove(Event* event);
    void runButton(DialogSprite* holder, const lang::String& name);
    void openDialogOver(const char* name);
    void setHover(bool hover);
    void refreshChoosers();
    DialogSprite* dialog(const char* name);
    void hideDialog(const char* name);
    // The name prompt after a game, filled with the name entered last.
    void showNamePrompt();
    // The note under the name field that a name is full: shown for a while when a letter is refused.
    void showNameLimit(bool on);
    void stepNameLimit();

    // Gamepad and touch (ShapePad.cpp).
    void padPress(int32_t button);
    void padRelease(int32_t button);
    // Presses and releases at the middle of an item, as a click there.
    void clickAt(const lang::Rectangle& bounds);
    // B in a dialog: its close button, when it has one the focus can reach.
    bool closeTopDialog();
    void stepPointer();
    void showPointer(bool on);
    void notePointer(int32_t x, int32_t y);
    // The on-screen keyboard beside the name prompt (shown with the prompt after a gamepad's input).
    void showKeyboard(bool on);
    // A button while the keyboard shows; false when the keyboard has no use for it.
    bool keyboardButton(int32_t button);

    // Inputs: every rule reads the clock value taken when the input's handling began.
    void beginInput(GameInput input);
    void endGame();

    // Small helpers.
    bool isWildcard(int32_t frame) const { return m_layout.isWildcard(frame); }
    void setHourglass(int32_t amount, bool turn);
    void setButtonEnabled(ButtonSprite* button, bool on);
    void showNumber(NumberSprite* number, int32_t value);

    // ---- Hooks and binding ----
    GameObserver* m_observer = nullptr;
    GameWatch* m_watch = nullptr;
    bool m_bound = false;
    std::string m_bindError;
    Layout m_layout;
    LevelParams m_params;

    // ---- Game state ----
    int32_t m_state = kStart;
    int32_t m_mode = kTimedGame;
    bool m_pausePending = false;
    bool m_redrawRequested = false;
    uint32_t m_inputClock = 0;
    bool m_hoverOnButton = false;
    char m_typedKeys[5] = {0, 0, 0, 0, 0};
    bool m_cheatUsed = false;
    int32_t m_chooserRepeat = 0;
    lang::String m_pressedChooserButton;
    int32_t m_gameOverCountdown = 0;
    lang::Ref<AudioClip> m_music;
    lang::Ref<Random> m_random;

    // ---- Board ----
    std::array<lang::Ref<SlotSprite>, kMaxSlots> m_slots;
    std::array<lang::Ref<ShapeSprite>, kMaxSlots> m_placed;
    std::array<lang::Ref<ShapeSprite>, kTraySize> m_tray;
    std::array<bool, kTraySize> m_trayMorphing{};
    // The tick each tray place's shape came within reach (left of the board's right edge); -1 not yet.
    std::array<int32_t, kTraySize> m_trayArrived{};
    lang::Ref<ShapeSprite> m_held;
    bool m_heldIsMorphing = false;
    uint32_t m_pickupTime = 0;
    std::array<RowState, kRows> m_rows{};
    int32_t m_rowCount = kRows;
    int32_t m_slotsPerRow = 0;
    int32_t m_totalSlots = 0;
    int32_t m_placedCount = 0;
    int32_t m_rowSpeed = 2;
    bool m_fastForward = false;
    std::vector<int32_t> m_chosenKinds;
    std::vector<int32_t> m_chosenFrames;
    int32_t m_decoyFrame = -1;
    std::vector<int32_t> m_deck;
    int32_t m_deckIndex = 0;
    int32_t m_dealtCount = 0;
    int32_t m_morphTimer = 15;
    bool m_carrierPending = false;
    bool m_trashAnimating = false;
    bool m_trashOpening = false;
    std::array<bool, kMaxSlots> m_pausedSlotVisible{};
    std::array<bool, kMaxSlots> m_pausedShapeVisible{};

    // ---- Levels, timer and scores ----
    int32_t m_level = 0;
    int32_t m_score = 0;
    int32_t m_timeLeft = 0;
    int32_t m_tickCountdown = kTicksPerTimeUnit;
    int32_t m_roundsLeft = 0;
    int32_t m_roundTime = 20;
    int32_t m_speedBonus = 0;
    int32_t m_lastPlacedFrame = -1;
    int32_t m_combo = 1;
    int32_t m_levelEndCountdown = 0;
    int32_t m_bonusIntroCountdown = 0;
    struct Popup {
        lang::Ref<AnimateSprite> text;
        lang::Ref<NumberSprite> number;
        int32_t life = 0;
        int32_t dx = 0;
        int32_t dy = 0;
    };
    std::array<Popup, kPopups> m_popups;
    int32_t m_popupIndex = 0;

    // ---- Power-ups ----
    int32_t m_revealerTimer = 0;
    bool m_hourglassAwarded = false;
    std::array<int32_t, kPowerUpIcons> m_powerUpKind{};
    std::array<lang::Ref<AnimateSprite>, kPowerUpIcons> m_specials;
    lang::Ref<AnimateSprite> m_powerUpBanner;
    lang::Ref<AnimateSprite> m_marker;
    int32_t m_revealerWidth = 0;

    // ---- Named sprites ----
    lang::Ref<ButtonSprite> m_pauseButton, m_resumeButton, m_continueButton, m_menuButton, m_exitButton;
    lang::Ref<AnimateSprite> m_trash, m_trashShape, m_slotBg, m_modes, m_levelBg;
    lang::Ref<Sprite> m_trashRect, m_revealerBar, m_rowsTxt, m_bg, m_curtain1, m_curtain2;
    lang::Ref<Sprite> m_levelComplete, m_paused, m_gameOver;
    lang::Ref<SquishSprite> m_trashSquish;
    lang::Ref<NumberSprite> m_scoreNumbers, m_levelNumbers, m_timerNum;
    lang::Ref<HourGlass> m_hourglass;
    std::array<lang::Ref<MeltSprite>, kMelters> m_melters;
    lang::Ref<ShapeSprite> m_shapeTemplate;
    lang::Ref<SlotSprite> m_slotTemplate;
    lang::Ref<RectSprite> m_blackness;
    lang::Ref<DialogSprite> m_startDialog, m_bonusDialog, m_namePrompt;
    lang::Ref<HighScoreSprite> m_highScores;
    lang::Ref<OptionsSprite> m_options;
    lang::Ref<InstructDialog> m_instructions;
    lang::Ref<NumberSprite> m_chooser1, m_chooser2;
    lang::Ref<TextSprite> m_nameField;
    lang::Ref<TextSprite> m_nameLimit; // optional in the data: "limit" of "hsprompt"
    int32_t m_nameLimitTicks = 0;
    int32_t m_curtain1Y = 0, m_curtain2Y = 0;

    // ---- Focus ----
    lang::Ref<FocusRingSprite> m_focusRing, m_targetRing;
    bool m_focusShown = false;
    std::string m_focusScope;
    std::string m_focusPath; // the stop chosen in the scope; empty: the scope's first
    int32_t m_trayFocus = 0;
    int32_t m_target = -1;
    // The key whose press is held (Enter or space; its repeats are ignored until it is released) and
    // the pointer press it made, which its release ends.
    int32_t m_heldKey = 0;
    bool m_pressPending = false;
    int32_t m_pressX = 0, m_pressY = 0;

    // ---- Gamepad and touch ----
    int32_t m_stickX = 0, m_stickY = 0;
    // The pointer in 1/256 pixels; whether the stick moved it last, and whether A holds a press there.
    int32_t m_pointerX = kScreenWidth / 2 * 256, m_pointerY = kScreenHeight / 2 * 256;
    bool m_pointerLast = false;
    bool m_pointerPressed = false;
    // The last input came from a gamepad (the name prompt then brings its on-screen keyboard).
    bool m_lastFromPad = false;
    lang::Ref<Sprite> m_pointer;
    lang::Ref<KeyboardSprite> m_keyboard;
    int32_t m_promptX = 0; // where the name prompt stands without the keyboard beside it
};

} // namespace mph
