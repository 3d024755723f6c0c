// The screen's geometry and the palette every picture draws from; data/scripts/datafile.txt places its
// sprites with the same numbers, and the container tests check that the two agree.
#pragma once

#include "Paint.h"

namespace datagen {

namespace layout {

// One slot, one shape cell and one tray place: slotPitch by rowPitch.
inline constexpr int kCell = 80;
inline constexpr int kShapeColumns = 15;
inline constexpr int kShapeRows = 5;

// The board: five rows of slots. Its logical width is one pixel short of six cells, so that a row of seven
// slots always reaches across it; the window the player sees is the full six cells.
inline constexpr int kBoardLeft = 20;
inline constexpr int kBoardTop = 20;
inline constexpr int kBoardWidth = 479;
inline constexpr int kBoardHeight = 400;
inline constexpr int kWindowWidth = 480;

// The tray of six shapes, under the machine plate that hides a rising row.
inline constexpr int kTrayLeft = 20;
inline constexpr int kTrayTop = 500;
inline constexpr int kTrayWidth = 480;
inline constexpr int kTrayHeight = 80;

// The machine's enamel body around board, plate and tray; the start screen covers it exactly, so their
// gold trims lie on each other.
inline constexpr int kMachineLeft = 8;
inline constexpr int kMachineTop = 8;
inline constexpr int kMachineWidth = 504;
inline constexpr int kMachineHeight = 584;
inline constexpr int kMachineRadius = 16;

// The machine plate between board and tray.
inline constexpr int kPlateTop = 428;
inline constexpr int kPlateBottom = 492;

// The side panel.
inline constexpr int kPanelLeft = 516;
inline constexpr int kPanelTop = 12;
inline constexpr int kPanelWidth = 272;
inline constexpr int kPanelHeight = 576;

// The shape kinds: fourteen ordinary kinds of four variants each, then the wildcard's animation.
inline constexpr int kKinds = 14;
inline constexpr int kVariants = 4;
inline constexpr int kWildFrames = 8;

} // namespace layout

// Jewel tones on deep plum, with gold trim.
namespace palette {
inline const Rgb night = hex(0x1d1238);
inline const Rgb plum = hex(0x3a1f5d);
inline const Rgb violet = hex(0x7044b0);
inline const Rgb teal = hex(0x2ec4b6);
inline const Rgb coral = hex(0xff6b6b);
inline const Rgb gold = hex(0xffc857);
inline const Rgb cream = hex(0xfff4e0);
inline const Rgb mint = hex(0x8be9c1);
inline const Rgb ink = hex(0x140b26);
inline const Rgb brass = hex(0xc9962e);
inline const Rgb steel = hex(0x2b2450);
inline const Rgb text = hex(0x3a2a55);
} // namespace palette

} // namespace datagen
