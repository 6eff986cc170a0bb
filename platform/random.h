/** @file random.h The game's one random generator: SeedRandom, RandomInt and RandomReal, drawn in the rules' order. */
// Every draw comes from one Park-Miller generator (multiplier 48271) in the
// order the game's rules make them, so a seed and the player's input decide
// the whole game. Before seeding the state is 4660, so the intro screen's
// draws are the same on every run.
#pragma once

#include <cstdint>

// Sets the state from a seed; 0 and 0x7FFFFFFF (not valid states) become 4660.
void SeedRandom(int32_t seed);
// Back to the unseeded state, 4660, as at process start (part of ResetWorld).
void ResetRandom();
// The raw state, for tests and the playthrough log.
int32_t RandomState();
// A double in [0, 1) built from two steps of the generator.
double RandomUnit();
// A double between the bounds, the larger bound excluded; bounds in either order.
double RandomReal(double low, double high);
// An integer between the bounds, both included; bounds in either order.
int32_t RandomInt(int32_t low, int32_t high);
