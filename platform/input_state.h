/** @file input_state.h InputState: what the player holds and has pressed since the game last read it. */
// What the player holds and has pressed since the game last read it: the
// backends report window-system events into it, the services answer the
// game's questions from it.
#pragma once

// Held flags and hit counts; backends report events, the services answer queries.
struct InputState {
  static constexpr int KeyCount = 256;
  static constexpr int ButtonCount = 4;
  bool KeyDown[KeyCount] = {};
  int KeyPresses[KeyCount] = {};
  bool ButtonDown[ButtonCount] = {};
  int ButtonPresses[ButtonCount] = {};
  int PointerX = 0;
  int PointerY = 0;

  // A press counts only when the key was up, so auto-repeat adds nothing.
  void PressKey(int key);
  void ReleaseKey(int key);
  void PressButton(int button);
  void ReleaseButton(int button);
  void MovePointer(int x, int y);
  // Suspend, resume, open and close forget every held flag and count.
  void ClearKeysAndButtons();
};
