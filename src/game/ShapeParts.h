// ShapeParts: every class the canvas's sources use, in one place, so each of them sees complete types.
#pragma once

#include "audio/AudioClip.h"
#include "game/GameObserver.h"
#include "game/GameWatch.h"
#include "game/HourGlass.h"
#include "game/MeltSprite.h"
#include "game/RectSprite.h"
#include "game/ShapeCanvas.h"
#include "game/ShapeSprite.h"
#include "game/SlotSprite.h"
#include "game/SquishSprite.h"
#include "rules/Random.h"
#include "rules/Scoring.h"
#include "runtime/Cast.h"
#include "runtime/SyncGuard.h"
#include "scores/HighScoreSprite.h"
#include "scores/InstructDialog.h"
#include "scores/OptionsSprite.h"
#include "sprites/ButtonSprite.h"
#include "sprites/DialogSprite.h"
#include "sprites/FocusRingSprite.h"
#include "sprites/KeyboardSprite.h"
#include "sprites/NumberSprite.h"
#include "sprites/TextSprite.h"

#include <algorithm>
