/** @file world.cpp The world's globals defined from world_globals.inc, and ResetWorld, which puts them back. */
#include "game/world.h"

#include "game/mouse.h"
#include "game/person.h"
#include "game/tutor.h"
#include "game/work.h"
#include "platform/random.h"

#define WORLD_GLOBAL(type, name, start) type name = start;
#include "game/world_globals.inc"
#undef WORLD_GLOBAL

void ResetWorld() {
#define WORLD_GLOBAL(type, name, start) name = start;
#include "game/world_globals.inc"
#undef WORLD_GLOBAL
  ResetRandom();
}
