/** @file names.h Names for the game's small numbers: hit layers, input modes, box, person and hat states. */
// Names for the small numbers the game's rules pass around: hit layers, input
// modes, and the states of boxes, people and hats. The fields stay plain
// int32_t, as the rules keep them; these only say what each value means.
#pragma once

#include <cstdint>

// Hit layers, by bit (see platform/hitlayers.h). A mask may name several.
constexpr uint32_t LayerGrab = 1;        // people, worn and carried hats, boxes, buttons, message bars
constexpr uint32_t LayerSight = 2;       // each box on screen grown by 175 units: what people see
constexpr uint32_t LayerBoxBody = 4;     // the box bodies
constexpr uint32_t LayerFace = 8;        // fans' faces, where chefs look for hats
constexpr uint32_t LayerPlacement = 16;  // ground kept free while the game places its ring of boxes

// Mode: what the left button does.
constexpr int32_t ModeNormal = 0;      // grab, drag and throw
constexpr int32_t ModePlacing = 1;     // placing a new box
constexpr int32_t ModeFinalizing = 2;  // choosing the box to finalize
constexpr int32_t ModeDeleting = 3;    // choosing the box to delete
constexpr int32_t ModeReviewing = 4;   // F1 held: the past messages

// TWork.Locked
constexpr int32_t LockOpen = 0;
constexpr int32_t LockFinalized = 1;
constexpr int32_t LockFull = 2;

// TPerson.Chef
constexpr int32_t ChefNone = 0;      // a fan
constexpr int32_t ChefInspired = 1;  // a fan who was inspired: no toque
constexpr int32_t ChefBorn = 2;      // born a chef, with a toque

// THat.On
constexpr int32_t HatOff = 0;
constexpr int32_t HatWorn = 1;
constexpr int32_t HatFalling = -1;  // a toque let go, on its way down
