/** @file services.cpp The services over whichever backend runs: drawing state, input, timers from the clock, pacing. */
#include "platform/services.h"

#include <cstdio>
#include <cstdlib>

#include "platform/backend.h"
#include "platform/frame_stats.h"
#include "platform/numeric.h"
#include "platform/transform.h"

namespace {

struct DrawingState {
  uint8_t R = 255, G = 255, B = 255;
  uint8_t Alpha = 255;
  int Blend = BlendAlphaTest;
  FontRef CurrentFont;
  uint8_t ClearR = 0, ClearG = 0, ClearB = 0;
};

// Pacing of PresentFrame: whole-millisecond periods whose remainders are
// spread so that `hertz` frames take exactly one second. Frame k is due at the
// start plus k periods, whatever the waits before it lost: a frame a little
// late makes the next wait shorter, and only a stall (more than kStallPeriods
// behind) starts the count again from the moment it ended.
constexpr int kStallPeriods = 2;

struct Pacing {
  int Hertz = 60;
  int Period = 16;
  int Remainder = 40;
  int Accumulator = 0;
  int64_t Deadline = 0;
  bool VerticalBlank = false;  // the full-screen mode refreshes at Hertz: swaps wait instead
};

Backend* Active = nullptr;
ExitHandler OnExit = nullptr;
bool ScreenOpen = false;
DrawingState State;
Pacing Pace;
InputState Input;
int64_t EventTimeMs = 0;  // when events were last processed; timers count up to here
// Buttons that went down since the last frame was shown. Worked out from the presses counted,
// which a recording holds, so a replay sees the same taps.
bool PressedThisFrame[InputState::ButtonCount] = {};

void ForgetPressesThisFrame() {
  for (bool& pressed : PressedThisFrame) pressed = false;
}

Backend& Use() {
  if (!Active) {
    std::fprintf(stderr, "chromelly: no platform backend selected\n");
    std::exit(1);
  }
  return *Active;
}

// Every query first takes in what the window system has to say.
void ProcessEvents() {
  Backend& backend = Use();
  int presses[InputState::ButtonCount];
  for (int b = 0; b < InputState::ButtonCount; ++b) presses[b] = Input.ButtonPresses[b];
  backend.PumpEvents(Input);
  // More presses than before, or any after the counts were cleared (the focus went and came back).
  for (int b = 0; b < InputState::ButtonCount; ++b) {
    const int now = Input.ButtonPresses[b];
    if (now > presses[b] || (now < presses[b] && now > 0)) PressedThisFrame[b] = true;
  }
  EventTimeMs = backend.NowMs();
}

const Font& CurrentFont() { return State.CurrentFont ? *State.CurrentFont : *FallbackFont(); }

uint8_t Channel(int v) { return uint8_t(v < 0 ? 0 : v > 255 ? 255 : v); }

DrawCall StartCall(DrawCall::Kind kind, float x, float y) {
  DrawCall call;
  call.What = kind;
  call.X = x;
  call.Y = y;
  call.R = State.R;
  call.G = State.G;
  call.B = State.B;
  call.Alpha = State.Alpha;
  call.Blend = State.Blend;
  const Orientation& o = CurrentOrientation();
  call.Rotation = o.Rotation;
  call.ScaleX = o.ScaleX;
  call.ScaleY = o.ScaleY;
  call.Placement = CurrentTransform(x, y);
  return call;
}

void DrawShape(DrawCall::Kind kind, float x, float y, float w, float h) {
  DrawCall call = StartCall(kind, x, y);
  call.W = w;
  call.H = h;
  call.Corners = call.Placement.MapBox(0, 0, w, h);
  Use().Draw(call);
}

}  // namespace

void UseBackend(Backend* backend) { Active = backend; }
Backend* CurrentBackend() { return Active; }
void SetExitHandler(ExitHandler handler) { OnExit = handler; }

void ResetServices() {
  CloseScreen();
  State = DrawingState{};
  CurrentOrientation() = Orientation{};
  Pace = Pacing{};
  Input = InputState{};
  ForgetPressesThisFrame();
  EventTimeMs = 0;
}

void OpenScreen(int width, int height, int depth, int hertz) {
  CloseScreen();
  Backend& backend = Use();
  const bool fullScreen = depth != 0;
  std::string whyNot;
  if (!backend.Open(width, height, fullScreen, whyNot)) {
    std::fprintf(stderr, "chromelly: cannot open the %s: %s\n", fullScreen ? "full screen" : "window", whyNot.c_str());
    std::exit(1);
  }
  ScreenOpen = true;
  State = DrawingState{};
  CurrentOrientation() = Orientation{};
  Input.ClearKeysAndButtons();
  ForgetPressesThisFrame();
  if (hertz < 1) hertz = 60;
  Pace = Pacing{};
  Pace.Hertz = hertz;
  Pace.Period = 1000 / hertz;
  Pace.Remainder = 1000 - Pace.Period * hertz;
  FrameStatsScreenOpened(hertz);
  // Both buffers start cleared to black.
  backend.Clear(0, 0, 0);
  backend.Swap(false);
  backend.Clear(0, 0, 0);
  if (fullScreen) {
    Pace.VerticalBlank = backend.RefreshMatches(hertz);
    WarpPointer(width / 2, height / 2);
  }
  Pace.Deadline = backend.NowMs();
  ProcessEvents();
}

void CloseScreen() {
  if (!ScreenOpen || !Active) return;
  Active->Close();
  ScreenOpen = false;
  Input.ClearKeysAndButtons();
  ForgetPressesThisFrame();
}

void PresentFrame() {
  Backend& backend = Use();
  FrameStatsWorkDone();
  if (Pace.VerticalBlank) {
    backend.Swap(true);
  } else {
    Pace.Deadline += Pace.Period;
    Pace.Accumulator += Pace.Remainder;
    if (Pace.Accumulator >= Pace.Hertz) {
      Pace.Accumulator -= Pace.Hertz;
      Pace.Deadline += 1;
    }
    const int64_t wait = Pace.Deadline - backend.NowMs();
    if (wait > 0)
      backend.SleepMs(int(wait));
    else if (-wait > int64_t(kStallPeriods) * Pace.Period)
      Pace.Deadline = backend.NowMs();  // after a stall the frames are not hurried to make up for it
    backend.Swap(false);
  }
  FrameStatsShown();
  ForgetPressesThisFrame();  // what comes in from here on belongs to the next frame
  ProcessEvents();
}

void NameFramePart(const char* name) { FrameStatsPart(name); }

void ClearScreen() { Use().Clear(State.ClearR, State.ClearG, State.ClearB); }

void SetClearColor(int r, int g, int b) {
  State.ClearR = Channel(r);
  State.ClearG = Channel(g);
  State.ClearB = Channel(b);
}

void SetDrawColor(int r, int g, int b) {
  State.R = Channel(r);
  State.G = Channel(g);
  State.B = Channel(b);
}

void SetDrawAlpha(float a) {
  double clamped = a > 1.0f ? 1.0 : a > 0.0f ? double(a) : 0.0;
  State.Alpha = uint8_t(TruncInt(clamped * 255.0));
}

void SetBlendMode(int mode) { State.Blend = mode; }
void SetDrawRotation(float degrees) { CurrentOrientation().Rotation = degrees; }

void SetDrawScale(float sx, float sy) {
  CurrentOrientation().ScaleX = sx;
  CurrentOrientation().ScaleY = sy;
}

void FillRect(float x, float y, float w, float h) { DrawShape(DrawCall::Kind::Rect, x, y, w, h); }
void FillOval(float x, float y, float w, float h) { DrawShape(DrawCall::Kind::Oval, x, y, w, h); }

void DrawImageFrame(const ImageRef& image, float x, float y, int frame) {
  if (!image) return;
  DrawCall call = StartCall(DrawCall::Kind::Image, x, y);
  call.Picture = image.get();
  call.Frame = frame;
  call.W = float(image->Width);
  call.H = float(image->Height);
  call.Corners = call.Placement.MapBox(-image->HandleX, -image->HandleY, image->Width - image->HandleX,
                                       image->Height - image->HandleY);
  Use().Draw(call);
}

void DrawTextAt(const std::string& text, float x, float y) {
  const Font& font = CurrentFont();
  DrawCall call = StartCall(DrawCall::Kind::Text, x, y);
  call.Text = text;
  call.TextFont = &font;
  call.W = float(FontTextWidth(font, text));
  call.H = float(font.LineHeight);
  call.Corners = call.Placement.MapBox(0, 0, call.W, call.H);
  Use().Draw(call);
}

void SetTextFont(const FontRef& font) { State.CurrentFont = font; }
int TextPixelWidth(const std::string& text) { return FontTextWidth(CurrentFont(), text); }
int TextPixelHeight(const std::string&) { return CurrentFont().LineHeight; }

int KeyHits(int key) {
  ProcessEvents();
  if (key < 0 || key >= InputState::KeyCount) return 0;
  int hits = Input.KeyPresses[key];
  Input.KeyPresses[key] = 0;
  return hits;
}

int KeyHeld(int key) {
  ProcessEvents();
  return key >= 0 && key < InputState::KeyCount && Input.KeyDown[key] ? 1 : 0;
}

int ButtonHits(int button) {
  ProcessEvents();
  if (button < 0 || button >= InputState::ButtonCount) return 0;
  int hits = Input.ButtonPresses[button];
  Input.ButtonPresses[button] = 0;
  return hits;
}

int ButtonHeld(int button) {
  ProcessEvents();
  return button >= 0 && button < InputState::ButtonCount && Input.ButtonDown[button] ? 1 : 0;
}

int ButtonDownThisFrame(int button) {
  ProcessEvents();
  if (button < 0 || button >= InputState::ButtonCount) return 0;
  return Input.ButtonDown[button] || PressedThisFrame[button] ? 1 : 0;
}

int PointerX() {
  ProcessEvents();
  return Input.PointerX;
}

int PointerY() {
  ProcessEvents();
  return Input.PointerY;
}

void WarpPointer(int x, int y) { Use().WarpPointer(x, y, Input); }
void HidePointer() { Use().HidePointer(); }

int ClockMs() { return Use().BootClockMs(); }

TimerRef StartTimer(float hertz) {
  auto timer = std::make_shared<TTimer>();
  timer->Hertz = hertz;
  int period = hertz > 0.0f ? TruncInt(1000.0 / double(hertz)) : 0;
  timer->PeriodMs = period > 0 ? period : 1;
  timer->StartMs = Use().NowMs();
  return timer;
}

int TimerTickCount(const TimerRef& timer) {
  int64_t elapsed = EventTimeMs - timer->StartMs;
  return elapsed > 0 ? int(elapsed / timer->PeriodMs) : 0;
}

void PrintLine(const std::string& text) {
  std::fputs(text.c_str(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

void ExitProgram() {
  CloseScreen();
  std::fflush(stdout);
  ReportFrameStats();
  if (OnExit) OnExit();
  std::exit(0);
}
