/** @file ending.h The ending: FadeCrowd, AddClosingWords and ClosingScene with its End button at the last stage. */
// The ending: at the last stage the view draws back over the whole field of
// boxes while the crowd fades away, the closing words are shown, and an End
// button ends the program.
#pragma once

#include <string>

// The closing message; the End button appears as it runs out.
extern const std::string ClosingMessage;

// Queues the closing words behind whatever the tutor still has to say.
void AddClosingWords();
// The crowd's alpha: faded while the view moves from 0.2 to 0.1, set for the people pass.
void FadeCrowd();
// True once the view has drawn back to 0.1: the closing scene replaces the crowd.
bool InClosingScene();
// Whether the End button is shown this frame: from 90 ticks before the closing
// message runs out, or while it is the message just before the current one; and
// for good once the closing scene has shown it.
bool EndButtonShown();
// The closing scene's part of the frame, in place of the crowd, the trend clock,
// the buttons and the mode hints; a click on End ends the program at once.
void ClosingScene();
