/** @file invariants.h The world's invariants, what must hold between any two frames, for soak and tests. */
// The world's invariants: what must hold between any two frames, whatever the
// player does. The soak checks them after every frame of its long games and
// the whole-game tests after the frames they run. Part of the runner library;
// the real game does not link it.
#pragma once

#include <string>

// The first broken invariant of the world, described; empty when all hold.
// Covers the globals (Stage, Mode, Scale, the crowd's size), every person's
// links to people and boxes, hats owned and carried consistently, moods and
// opinions within their bounds, and every box's contents.
std::string BrokenLink();
