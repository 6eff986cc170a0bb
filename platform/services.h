/** @file services.h The services the game draws, reads input and keeps time through, over a backend it never knows. */
// Immediate mode: one current drawing state (colour, alpha, blend mode,
// rotation, scale, font) that every drawing call uses until it is changed.
// Everything here works in window pixels, origin top-left, y down; the
// game's world view sits on top (game/view.h). Which backend carries the
// calls out (X11 or headless) is chosen once by main or by a test, and the
// game never knows.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/font.h"
#include "platform/image.h"

// Key codes the game uses (virtual-key numbering).
constexpr int KeyReturn = 13;
constexpr int KeyEscape = 27;
constexpr int KeyF1 = 112;

// Mouse buttons.
constexpr int ButtonLeft = 1;
constexpr int ButtonRight = 2;

// Blend modes: 1 is alpha test (pixels under half alpha skipped), 3 alpha blending.
constexpr int BlendAlphaTest = 1;
constexpr int BlendAlpha = 3;

// A ticking counter; its count is derived from the clock, not kept by a thread.
struct TTimer {
  float Hertz = 0.0f;
  int PeriodMs = 1;
  int64_t StartMs = 0;
};
using TimerRef = std::shared_ptr<TTimer>;

// Opens a window (depth 0) or the full-screen mode (any other depth); closes any open screen first.
// On failure (no display, no OpenGL) prints one line on standard error and ends the process with status 1.
void OpenScreen(int width, int height, int depth, int hertz);
// Closes the screen and restores the display mode; safe to call when nothing is open.
void CloseScreen();
// Closes any open screen and puts the drawing state, the pacing and the input
// back to their start, as in a fresh process (the backend stays selected).
void ResetServices();
// Shows the back buffer and paces the loop to the hertz of OpenScreen.
void PresentFrame();
// Names the part of the game ("stage 3") the frames presented from now on belong to,
// for the frame statistics' figures per part; nothing is kept unless they are wanted.
void NameFramePart(const char* name);
// Fills the back buffer with the clear colour.
void ClearScreen();
// Sets the clear colour.
void SetClearColor(int r, int g, int b);
// Sets the colour that multiplies later images, text and shapes.
void SetDrawColor(int r, int g, int b);
// Sets the drawing alpha, clamped to 0..1 and kept as a byte.
void SetDrawAlpha(float a);
// Selects the blend mode (1 alpha test, 3 alpha blending).
void SetBlendMode(int mode);
// Rotation of later drawing about the drawing position, degrees clockwise on screen.
void SetDrawRotation(float degrees);
// Scale of later drawing about the drawing position; a negative sx mirrors.
void SetDrawScale(float sx, float sy);
// Solid rectangle with its local corner (0, 0) at (x, y).
void FillRect(float x, float y, float w, float h);
// Solid ellipse inscribed in the rectangle FillRect would fill.
void FillOval(float x, float y, float w, float h);
// Draws an image with its handle on (x, y).
void DrawImageFrame(const ImageRef& image, float x, float y, int frame);
// Draws text in the current font, top-left of the line at (x, y).
void DrawTextAt(const std::string& text, float x, float y);
// Makes a font current; null selects the built-in fallback font.
void SetTextFont(const FontRef& font);
// Sum of the advances of the characters that have a glyph in the current font.
int TextPixelWidth(const std::string& text);
// The current font's line height; the text is ignored.
int TextPixelHeight(const std::string& text = "");

// Number of presses of the key since the last call for it; resets it.
int KeyHits(int key);
// 1 while the key is down.
int KeyHeld(int key);
// Number of presses of the mouse button since the last call for it; resets it.
int ButtonHits(int button);
// 1 while the mouse button is down.
int ButtonHeld(int button);
// 1 while the mouse button is down, and also when it went down since the last frame was shown
// though it is up again already: a tap (a press and release between two looks) reads as a click.
int ButtonDownThisFrame(int button);
// Pointer position in window pixels as of the last motion or warp.
int PointerX();
int PointerY();
// Moves the system pointer to window pixel (x, y).
void WarpPointer(int x, int y);
// Hides the system pointer over the window.
void HidePointer();

// Milliseconds since the system booted (32-bit, wraps); read once, for the seed.
int ClockMs();
// Starts a timer ticking at the given rate.
TimerRef StartTimer(float hertz);
// Ticks counted up to the moment the game last processed window-system events.
int TimerTickCount(const TimerRef& timer);

// Writes the text and a line feed to standard output and flushes it.
void PrintLine(const std::string& text);
// Closes the screen (restoring the display mode) and ends the process with status 0.
[[noreturn]] void ExitProgram();
