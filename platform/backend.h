/** @file backend.h Backend: what a backend must provide (screen, events, clock, swaps, drawing), and DrawCall. */
// What a backend must provide. The services (platform/services.cpp) keep the
// drawing state, the input state, the timers and the pacing; a backend only
// opens and closes the screen, turns window-system events into input, tells
// the time, sleeps, swaps buffers and carries out drawing calls whose shape
// the services have already transformed into window pixels.
//
// Backends: backends/x11.cpp (the real game) and backends/headless.cpp
// (virtual clock, scripted input, a record of what was drawn).
#pragma once

#include <cstdint>
#include <string>

#include "platform/font.h"
#include "platform/image.h"
#include "platform/input_state.h"
#include "platform/services.h"
#include "platform/transform.h"

// One drawing call as the services pass it on: the arguments as the game gave
// them, the drawing state in force, and the local box already mapped to window pixels.
struct DrawCall {
  enum class Kind { Rect, Oval, Image, Text };
  Kind What = Kind::Rect;
  float X = 0, Y = 0, W = 0, H = 0;  // position, and size for shapes
  const Image* Picture = nullptr;
  int Frame = 0;
  std::string Text;
  const Font* TextFont = nullptr;
  uint8_t R = 255, G = 255, B = 255;
  uint8_t Alpha = 255;
  int Blend = BlendAlphaTest;
  float Rotation = 0, ScaleX = 1, ScaleY = 1;
  Quad Corners;         // the local box's corners (0,0), (w,0), (w,h), (0,h) in window pixels
  Transform Placement;  // maps local points to window pixels (glyphs are laid out along it)
};

class Backend {
 public:
  virtual ~Backend() = default;

  // Opens a window or the full-screen mode of width x height; on failure returns false and says why.
  virtual bool Open(int width, int height, bool fullScreen, std::string& whyNot) = 0;
  // Closes the screen and restores the display mode; harmless when nothing is open.
  virtual void Close() = 0;
  // True when the open full screen refreshes at hertz, measured by timing swaps with vertical-blank wait.
  virtual bool RefreshMatches(int hertz) = 0;
  // Turns pending window-system events into input.
  virtual void PumpEvents(InputState& input) = 0;
  // Monotonic milliseconds, for pacing and timers.
  virtual int64_t NowMs() = 0;
  // Sleeps, or on a virtual clock advances it.
  virtual void SleepMs(int ms) = 0;
  // Milliseconds since boot (32-bit, wraps).
  virtual int BootClockMs() = 0;
  // Shows the back buffer, waiting for vertical blank or not.
  virtual void Swap(bool waitForVerticalBlank) = 0;
  // Fills the back buffer.
  virtual void Clear(uint8_t r, uint8_t g, uint8_t b) = 0;
  // Carries out one drawing call.
  virtual void Draw(const DrawCall& call) = 0;
  // Moves the system pointer; input reports (x, y) until the user moves it again.
  virtual void WarpPointer(int x, int y, InputState& input) = 0;
  // Hides the system pointer over the window.
  virtual void HidePointer() = 0;
  // A number that changes whenever textures uploaded before become invalid.
  virtual uint32_t Generation() const = 0;
};

// The backend the services use; set once by main or by a test (not owned).
void UseBackend(Backend* backend);
Backend* CurrentBackend();

// Called by ExitProgram after the screen is closed, instead of ending the
// process, when set: the headless runner throws from it to end a game in a test.
using ExitHandler = void (*)();
void SetExitHandler(ExitHandler handler);
