/** @file input_state.cpp InputState: the keys, buttons and pointer as the backends report them. */
#include "platform/input_state.h"

void InputState::PressKey(int key) {
  if (key < 0 || key >= KeyCount) return;
  if (!KeyDown[key]) ++KeyPresses[key];
  KeyDown[key] = true;
}

void InputState::ReleaseKey(int key) {
  if (key < 0 || key >= KeyCount) return;
  KeyDown[key] = false;
}

void InputState::PressButton(int button) {
  if (button < 0 || button >= ButtonCount) return;
  if (!ButtonDown[button]) ++ButtonPresses[button];
  ButtonDown[button] = true;
}

void InputState::ReleaseButton(int button) {
  if (button < 0 || button >= ButtonCount) return;
  ButtonDown[button] = false;
}

void InputState::MovePointer(int x, int y) {
  PointerX = x;
  PointerY = y;
}

void InputState::ClearKeysAndButtons() {
  for (int k = 0; k < KeyCount; ++k) {
    KeyDown[k] = false;
    KeyPresses[k] = 0;
  }
  for (int b = 0; b < ButtonCount; ++b) {
    ButtonDown[b] = false;
    ButtonPresses[b] = 0;
  }
}
