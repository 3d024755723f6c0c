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
    // The play mark left of a personal row that has a recorded game: a triangle pointing right. Global
    // rows whose game the service verified get a check mark in the same place.
    static constexpr int32_t kMarkWidth = 6;
    static constexpr int32_t kMarkHeight = 11;
    static constexpr int32_t kCheckWidth = 9;
    static constexpr int32_t kCheckHeight = 8;
    static constexpr uint32_t kMarkColour = 0xFF66CC00u;

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
    // The mark (play or check) of shown row 0 to 9, borrowed; null before onLoaded.
    Sprite* getPlayMark(int32_t row) const;

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
    void sendRecording(const std::string& base, const lang::String& mode, const lang::String& name,
                       int32_t level, int32_t score, int32_t nonce);
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
    lang::Ref<Image> m_playPicture;
    lang::Ref<Image> m_checkPicture;
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
