// Where the dialogs' pictures put their fields; the nested scripts in data/scripts place the buttons,
// numbers and texts over them with the same numbers.
#pragma once

#include "Layout.h"

namespace datagen::dialog {

inline constexpr int kBand = 52; // height of a panel's heading band

// The start screen, over the machine (dialog at kMachineLeft, kMachineTop and of its size). Its heading
// and cards are centred on the middle of the first 500 pixels, where they stood before the dialog was
// widened to the machine's trim.
inline constexpr int kStartW = layout::kMachineWidth, kStartH = layout::kMachineHeight;
inline constexpr int kStartContentW = 500;
inline constexpr int kStartCardX = 16, kStartCardW = 468, kStartCardH = 170;
inline constexpr int kStartCard1Y = 202, kStartCard2Y = 378;
inline constexpr int kChooserCentreX = 400, kChooserLabelY = 36, kChooserTop = 52, kChooserLabelW = 110;

// Options: the knobs' x at volume 0 and their y; the language button with the note under it; the
// full-screen box and the Done button.
inline constexpr int kOptW = 440, kOptH = 390;
inline constexpr int kFxMinX = 40, kFxY = 104, kMusicMinX = 40, kMusicY = 176;
inline constexpr int kKnobW = 26, kKnobH = 34;
inline constexpr int kLanguageX = 200, kLanguageY = 236, kLanguageW = 200, kLanguageH = 46;
inline constexpr int kNoteX = 30, kNoteY = 284, kNoteW = 380, kNoteH = 24;
inline constexpr int kCheckX = 40, kCheckY = 322, kCheckSize = 30;
inline constexpr int kDoneX = 296, kDoneY = 316; // the Done button's corner

// The name prompt.
inline constexpr int kPromptW = 400, kPromptH = 240;
inline constexpr int kNameBoxX = 100, kNameBoxY = 112, kNameBoxW = 200, kNameBoxH = 38;

// The high-score table: rows of 16 pixels from kRowsTop; names centred near kNameX + 6, levels and
// scores centred near their x.
inline constexpr int kScoresW = 460, kScoresH = 430;
inline constexpr int kTableX = 30, kTableY = 160, kTableW = 380, kTableH = 176;
inline constexpr int kRowsTop = 184, kNameX = 146, kLevelX = 272, kScoreX = 356;
inline constexpr int kModeTitleW = 300, kModeTitleH = 30;
inline constexpr int kViewTitleW = 400, kViewTitleH = 44;

// The bonus round's cards.
inline constexpr int kBonusW = 400, kBonusH = 200, kBonusNumberY = 132;

} // namespace datagen::dialog
