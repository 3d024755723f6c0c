// HighScoreSprite: the high-score dialog, showing the personal table of a game mode or the global table
// of the score service, with scrolling, a highlighted row and the clear confirmation.
#pragma once

#include "runtime/Ref.h"
#include "runtime/String.h"
#include "scores/ScoreRow.h"
#include "sprites/DialogSprite.h"

#include <map>
#include <string>
#include <vector>

namespace mph {

class ButtonSprite;
class Font;
class Image;
class RecordedGames;
class RecordingViewer;
class RichTTYSprite;
class TextSprite;
class User;

// Built from a nested script: children "clear", "close" (buttons), "prompt" (the clear confirmation, a
// dialog with "bclear" and "bnoclear"), optionally "mode" (an animated sprite, frame 0 for "S"), "global"
// and "personal" (view captions), "message" (a RichTTYSprite console) and the buttons "bmode", "bretry",
// "bglobals", "bpersonal", "bsup" and "bsdown"; the script's numbers 0 to 3 are top, nameX, levelX and
// scoreX. The dialog makes 40 row texts: 0-9 names, 10-19 levels, 20-29 scores, 30-39 ranks.
//
// Threads: every change of the dialog's sprites is made while holding the lock given to setLock (the
// canvas, which the render thread holds while it ticks and paints); requests to the score service are made
// without it, so the console's message shows while a request runs. Call mouseDown, showView, fetchGlobal
// and submitGlobal from the input thread without the sprite list's lock held; holding the canvas lock is
// allowed but freezes the picture for the length of a request (up to 20 s).
class HighScoreSprite : public DialogSprite {
    LANG_CLASS(HighScoreSprite, DialogSprite)

public:
    // mouseDown's answer for the close button: the dialog closed itself.
    static constexpr int32_t Closed = 2;
    static constexpr int32_t kShownRows = 10;
    static constexpr int32_t kRowTexts = 40;
    static constexpr int32_t kFontHeight = 14;
    static constexpr int32_t kRowHeight = kFontHeight * 6 / 5;
    static constexpr int32_t kRepeatDelay = 10;
    static constexpr int32_t kPaletteSize = 19;
    static const uint32_t kPalette[kPaletteSize];
    // The play mark left of a row whose recorded game can be watched (a personal row with a recording, a
    // world row whose recording the service keeps): a triangle pointing right; pressing it plays the game.
    // World rows whose game the service verified get a check mark between it and the rank, and a legend
    // under the world table says what the check mark means.
    static constexpr int32_t kMarkWidth = 7;
    static constexpr int32_t kMarkHeight = 13;
    static constexpr int32_t kCheckWidth = 13;
    static constexpr int32_t kCheckHeight = 11;
    static constexpr uint32_t kMarkColour = 0xFF66CC00u;
    // A press this close around a play mark still hits it.
    static constexpr int32_t kMarkReach = 3;
    // How long a message about a recording that cannot be shown stays over the table: four seconds.
    static constexpr int32_t kNoticeTicks = 100;
    // The text item of the legend, and the path under which a recording of the world table is fetched.
    static constexpr const char* kLegendItem = "hslegend";
    static constexpr const char* kReplayPath = "/replay/";

    HighScoreSprite();
    ~HighScoreSprite() override;

    using DialogSprite::onLoaded;
    void onLoaded(DataLoader* loader) override;
    bool update(int32_t tick, lang::Rectangle& rect, Region* region) override;
    // The dialog answers false to this query, unlike the other dialogs; nothing should decide by it
    // whether to hand the dialog presses.
    bool handlesPointer() const override { return false; }
    // 0 hidden, 3 outside or consumed, 1 a button (see getLastClicked), 2 for "close".
    int32_t mouseDown(int32_t x, int32_t y) override;
    // Ends a scroll repeat; returns 0.
    int32_t mouseUp(int32_t x, int32_t y) override;

    // The settings object holding the personal tables and "HSURL"; the dialog keeps a reference.
    void setStore(User* store);
    // The lock guarding the dialog's sprites against painting (the canvas); null for the dialog itself.
    // It is borrowed: it must outlive the dialog or be reset first.
    void setLock(lang::Object* lock);
    // The table shown: "S" or "N". Setting it does not refresh.
    void setMode(const lang::String& mode);
    lang::String getMode();
    // The table of a game mode number: "S" for 2, "N" otherwise.
    static lang::String modeOf(int32_t gameMode) { return lang::String(gameMode == 2 ? "S" : "N"); }
    // Whether score enters mode's personal table: not 0, and higher than one of the first ten or a gap.
    static bool qualifies(User* store, const lang::String& mode, int32_t score);

    // Enters a qualifying score into mode's table (saving it and "MRUHSNAME"), highlights its rank and
    // shows the personal table of mode from the top.
    void recordScore(const lang::String& name, const lang::String& mode, int32_t level, int32_t score);
    // Lays the rows out again; with reload the list is first rebuilt from the store or the cached reply.
    void refresh(bool reload);
    // Shows the personal or the global table of the current mode; the global one is fetched when no reply
    // of the mode is cached (or a failed submission is repeated).
    void showView(bool global);
    // Fetches the current mode's table (or repeats a failed submission of that mode); false when nothing
    // came back.
    bool fetchGlobal();
    // Submits a score to the service and shows the table it answers with; on failure "bretry" repeats
    // the very same request.
    void submitGlobal(const lang::String& name, const lang::String& mode, int32_t level, int32_t score);

    bool isGlobalView();
    bool isConfirming();
    bool isRepeating();
    int32_t getFirstRow();
    int32_t getHighlightRow();
    int32_t getHighlightRank();
    std::vector<ScoreRow> getList();
    // Row text index (0 to 39), borrowed; null before onLoaded.
    TextSprite* getRowText(int32_t index) const;
    // The play mark and the check mark of shown row 0 to 9, borrowed; null before onLoaded.
    Sprite* getPlayMark(int32_t row) const;
    Sprite* getCheckMark(int32_t row) const;
    // The check mark and text of the world table's legend, borrowed; null before onLoaded.
    Sprite* getLegendMark() const { return m_legendMark.get(); }
    TextSprite* getLegendText() const { return m_legendText.get(); }
    // The shown play marks can take the focus, as "play0" to "play9".
    void focusItems(std::vector<FocusItem>& out) override;

    // What plays a recorded game when a play mark is pressed (borrowed; null: the marks do nothing).
    void setViewer(RecordingViewer* viewer);

    // The games the program recorded, process-wide (borrowed; null for none): rows of the personal
    // view that have one get a play mark, and a successful global submission sends its recording on.
    static void setRecordedGames(RecordedGames* games);
    static RecordedGames* recordedGames();
    lang::String getPendingSubmit();
    bool hasReply(const lang::String& mode);

private:
    lang::ObjectI* lockObject() {
        if (m_lock != nullptr) return m_lock;
        return this;
    }
    ButtonSprite* button(const char* name);
    RichTTYSprite* console();
    void enableButton(const char* name, bool on);
    void showChild(const char* name, bool on);
    void showMessage(bool on);
    // Clears the console and prints the text of the container item key.
    void say(const char* key);
    // The text item for a service that cannot be reached: none set up, or no network.
    static const char* offlineText(const std::string& base);
    void hideRows();
    void buildPersonalList();
    void buildGlobalList();
    void layoutRows();
    void makeRowMarks();
    void placeRowMarks(int32_t shown);
    // Sends the recording of a submitted game to the service; a failure changes nothing but a line on
    // standard error.
    bool sendRecording(const std::string& base, const lang::String& mode, const lang::String& name,
                       int32_t level, int32_t score, int32_t nonce);
    // Once the service verified a recording, the table is fetched again so its check mark shows.
    void refetchVerified(const std::string& base, const std::string& mode);
    // The shown row whose play mark is at (x, y) in the dialog's coordinates, or -1.
    int32_t markAt(int32_t x, int32_t y);
    // Fetches or reads the recording of a row and hands it to the viewer; a problem shows in the console.
    void watchRow(const ScoreRow& row, bool global, const lang::String& mode);
    // Shows the text item key in the console over the table for a while, the rows coming back after it.
    void showNotice(const char* key);
    void endNotice();
    void placeLegend(int32_t shown);
    void colourHighlight(int32_t tick);
    // One step of a held scroll button; true when the first row moved.
    bool repeatScroll();
    int32_t pressPrompt(int32_t x, int32_t y);

    lang::Ref<User> m_store;
    lang::Object* m_lock = nullptr;
    lang::Ref<ButtonSprite> m_clearButton;
    lang::Ref<ButtonSprite> m_closeButton;
    lang::Ref<DialogSprite> m_prompt;
    lang::Ref<Font> m_font;
    lang::Ref<TextSprite> m_rows[kRowTexts];
    lang::Ref<Sprite> m_marks[kShownRows];
    lang::Ref<Sprite> m_checks[kShownRows];
    lang::Ref<Sprite> m_legendMark;
    lang::Ref<TextSprite> m_legendText;
    lang::Ref<Font> m_legendFont;
    lang::Ref<Image> m_playPicture;
    lang::Ref<Image> m_checkPicture;
    RecordingViewer* m_viewer = nullptr;
    // Ticks left of a notice over the table (0: none).
    int32_t m_noticeTicks = 0;
    int32_t m_highlightRow = -1;
    int32_t m_highlightRank = -1;
    lang::String m_mode{"S"};
    // The path and query of a submission that failed (the service's address is put in front when it is
    // sent again), or empty.
    lang::String m_pendingSubmit;
    // The mode of the pending submission: its answer is that mode's table, so only that mode repeats it.
    lang::String m_pendingMode;
    // What the pending submission entered, so its recording follows it once it goes through.
    struct PendingEntry {
        lang::String name;
        int32_t level = 0, score = 0, nonce = 0;
    };
    PendingEntry m_pendingEntry;
    std::map<std::string, std::string> m_replies;
    int32_t m_top = 0;
    int32_t m_nameX = 0;
    int32_t m_levelX = 0;
    int32_t m_scoreX = 0;
    int32_t m_firstRow = 0;
    int32_t m_repeatDelay = 0;
    bool m_repeating = false;
    bool m_confirming = false;
    bool m_globalView = false;
    std::vector<ScoreRow> m_list;
};

} // namespace mph
