/** @file playback.h PlayRecording: a recorded game played by the real frame loop on a replay backend. */
// Plays a recorded game: the real start-up and frame loop, the way the program
// runs them, on a replay backend that answers from the recording and draws
// through another backend (X11 to watch it, headless to check it).
#pragma once

#include <string>

#include "platform/recording/recording_format.h"

struct PlaybackResult {
  bool Complete = false;  // the game was replayed to the recording's end, frame for frame
  int Frames = 0;         // frames shown
  std::string Why;        // when not complete: one line saying why
};

// Replays a checked recording to its end. The screen is closed afterwards, and
// the world is left as the game left it, for a digest.
PlaybackResult PlayRecording(Backend& inner, const Recording& recording, bool fast);
