/** @file world.h The world's global state: every game-wide variable, from world_globals.inc, and ResetWorld. */
// The world's global state: every game-wide variable the game types read and
// write, in one place. Start-up builds it; ResetWorld puts every value back to
// its start so a test can build a fresh world in the same process.
//
// Each global is listed once, with its type and start value, in
// game/world_globals.inc; that list makes the declarations below, the
// definitions and ResetWorld, so a reset cannot forget one. To add a global,
// add its line there and nothing else (the world test then checks its reset;
// a global of a new type needs that test's Scramble and Same for the type).
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "game/button.h"
#include "game/color.h"
#include "game/names.h"
#include "platform/image.h"
#include "platform/services.h"

class TPerson;
class TWork;
class TMouse;
class TTutor;

// Frame-loop state: one row of the stage table.
struct StageRow {
  int32_t GainNeeded;
  int32_t TotalNeeded;
  float TargetScale;
  int32_t CrowdSize;
};

// Names for the list's array types (a macro argument cannot hold a comma).
template <size_t N>
using Pictures = std::array<ImageRef, N>;
template <size_t N>
using FrameIndex = std::array<int32_t, N>;
using ColorCellCounts = std::array<int32_t, 27>;
using PeopleSlots = std::array<std::shared_ptr<TPerson>, 450>;
using WorkSlots = std::array<std::shared_ptr<TWork>, 1000>;
using StageRows = std::array<StageRow, 9>;

#define WORLD_GLOBAL(type, name, start) extern type name;
#include "game/world_globals.inc"
#undef WORLD_GLOBAL

// Puts every world global back to its start value (pictures and timers empty)
// and the random generator back to its unseeded state.
void ResetWorld();
