/** @file frameloop.h The frame loop: GameFrame runs every game object once a frame, in its fixed drawing order. */
// The frame loop: every frame each game object acts once, in a fixed order
// that is also the drawing order (a Game Loop paced by PresentFrame).
#pragma once

#include <cstdint>
#include <vector>

// One frame of the game, Esc test included: false when Esc was pressed and the
// game should end (nothing of the frame is run then).
bool GameFrame();
// Runs frames until Esc.
void RunGame();

// Parts of the frame, exposed for tests.
// The people pass: everyone acts and is drawn once, back to front by y with the
// held person last; the mood score is gathered when a second has ticked. Returns
// the slot order in which people acted (valid until the next pass).
const std::vector<int32_t>& PeoplePass();
// Whoever has left the view far enough is replaced in his slot with his ID.
void OffScreenPass();
// The F1 review overlay: the messages shown so far, over a white veil.
void ReviewOverlay();
// The mood gain of one person for one second: -3 to +6.
int32_t MoodGain(int32_t mood);
// Adds one person's gain to the scores of the second.
void ScoreSecond(int32_t mood);
