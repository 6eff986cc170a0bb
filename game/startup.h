/** @file startup.h Start-up: StartGame and BuildWorld, whose order is the order of the game's first random draws. */
// Start-up: registers the embedded files, runs the intro, opens the game
// screen and builds the world. Its order is the order of the random draws.
#pragma once

// Everything from registration to the world ready for its first frame.
void StartGame();
// The game-screen half of start-up (from the seeding on), on a world that
// ResetWorld has just put back to its start values.
void BuildWorld(int clockSeed);
