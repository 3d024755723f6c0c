// The game's pictures other than the shapes; each draw function returns a new picture the caller destroys.
#pragma once

#include "Catalog.h"
#include "Layout.h"
#include "Paint.h"

#include <string>

namespace datagen {

// Scene (Scene.cpp, Frame.cpp).
void paintBackdrop(cairo_t* cr, int width, int height);         // the starry plum sky behind everything
cairo_surface_t* drawTitle(int width, int height, double size); // the game's name as a glossy heading
cairo_surface_t* drawLogo();           // the loading picture, made for a dark red screen
cairo_surface_t* drawFrame(bool mask); // 800 by 600: the machine and the side panel
// The machine's gold trim along the inside of the rounded rectangle (x, y, w, h) of corner radius r.
void goldTrim(cairo_t* cr, double x, double y, double w, double h, double r);

// Widgets (Widgets.cpp). Buttons are three cells side by side: normal, hover, disabled.
cairo_surface_t* drawButton(const std::string& label, Rgb base, int width, int height, double textSize = 0);
// A round button with an arrow: up when up is set, else down.
cairo_surface_t* drawArrowButton(bool up, Rgb base, int size);
// A tab: the normal and hover cells are the tab in the background, the disabled cell the tab in front.
cairo_surface_t* drawTab(const std::string& label, int width, int height);
// Fifteen cells: colon, minus, currency sign, comma, period, then the digits 0 to 9.
enum class DigitStyle { Gold, Pop };
cairo_surface_t* drawDigits(DigitStyle style, int cellWidth, int cellHeight);
cairo_surface_t* drawIcon(int size);
// The same icon painted at n by n units on any surface (the desktop icon set draws it as SVG too).
void paintIcon(cairo_t* cr, double n);
cairo_surface_t* drawCursor();

// Dialog parts (Dialogs.cpp).
// A cream panel with a violet heading band; the shadow stays inside the picture.
void paintPanel(cairo_t* cr, double x, double y, double w, double h, const std::string& heading);
// The body is centred under the heading; its last line's baseline stays above bodyBottom (0: no limit).
cairo_surface_t* drawPanel(int width, int height, const std::string& heading, const std::string& body,
                           double bodyBottom = 0);
cairo_surface_t* drawStartPanel();
cairo_surface_t* drawOptionsPanel();
// The line under the options' language button: the chosen language is used from the next start.
cairo_surface_t* drawLanguageNote();
cairo_surface_t* drawPromptPanel();
cairo_surface_t* drawScoresPanel();
cairo_surface_t* drawKnob();
cairo_surface_t* drawCheckMark();
cairo_surface_t* drawScoresModes(); // two cells: the rising-rows table's title, the timed table's
cairo_surface_t* drawViewTitle(const std::string& text);
cairo_surface_t* drawBonusCard(const std::string& heading, const std::string& body, bool withNumber);

// Instruction pages (Pages.cpp): page 1 to kPages.
inline constexpr int kPages = 5;
cairo_surface_t* drawPage(int page);

// Effects and small pieces of the board (Effects.cpp, Pieces.cpp).
cairo_surface_t* drawHourglass(); // ten cells: upright, then the turn
cairo_surface_t* drawSandTop();
cairo_surface_t* drawSandBottom();
inline constexpr int kHourglassFrames = 10;
cairo_surface_t* drawTrash(); // five cells: the flaps closed, opening, open
inline constexpr int kTrashFrames = 5;
inline constexpr int kTrashWidth = 104, kTrashHeight = 90, kTrashMouthY = 38;
cairo_surface_t* drawClear(int width, int height);
cairo_surface_t* drawCurtain();     // 800 by 620: the drape
cairo_surface_t* drawCurtainRail(); // 800 by 64: the weighted hem
cairo_surface_t* drawBanner(const std::string& text, Rgb base, int width, int height, double size);
cairo_surface_t* drawPausedCard();
cairo_surface_t* drawSpecials(); // four cells: revealer, wildcards, extra time, points
cairo_surface_t* drawRevealerBar();
cairo_surface_t* drawModes(); // two cells: rising rows, timed game
cairo_surface_t* drawRowsLabel();
void hourglassSymbol(cairo_t* cr, double cx, double cy, double size, Rgb c);

// Level backgrounds (Backgrounds.cpp, Landscapes.cpp): 1 to 6, each 480 by 400.
cairo_surface_t* drawLevelBackground(int n);

} // namespace datagen
