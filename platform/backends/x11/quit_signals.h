/** @file quit_signals.h CatchQuitSignals and QuitSignal: SIGINT and SIGTERM end the game the way Esc does. */
// SIGINT and SIGTERM end the game the way Esc does: the handler only notes the
// signal, the backend reports it to the game as a press of Esc, and the game
// leaves through its usual path (mode restored, pointer released). The process
// then ends by the same signal, so its status is the usual one (130, 143).
#pragma once

// Installs the handlers once per process.
void CatchQuitSignals();

// The signal that asked the game to end, or 0.
int QuitSignal();
