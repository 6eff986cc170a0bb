/** @file x11_backend.h The X11 backend's state and steps, shared by the files that carry them out. */
// The X11 backend's state and steps, shared by the files that carry them out:
// x11_backend.cpp opens and closes the screen, swaps and reads events,
// connection.cpp makes the connection and the GL context, window.cpp the
// window and its focus, pointer.cpp grabs, hides and warps the pointer.
#pragma once

#include <cstdint>
#include <string>

#include "platform/backend.h"
#include "platform/backends/x11/clock.h"
#include "platform/backends/x11/events.h"
#include "platform/backends/x11/gl_painter.h"
#include "platform/backends/x11/xlib.h"

class X11Backend final : public Backend {
 public:
  explicit X11Backend(bool gameInWindow) : gameInWindow_(gameInWindow) {}
  ~X11Backend() override {
    Close();
    Disconnect();
  }

  bool Open(int width, int height, bool fullScreen, std::string& whyNot) override;
  void Close() override;
  bool RefreshMatches(int hertz) override;
  void PumpEvents(InputState& input) override;
  int64_t NowMs() override { return MonotonicMs(); }
  void SleepMs(int ms) override { SleepForMs(ms); }
  int BootClockMs() override { return bootClock_.Read(); }
  void Swap(bool waitForVerticalBlank) override;
  void Clear(uint8_t r, uint8_t g, uint8_t b) override {
    if (display_) painter_.Clear(r, g, b);
  }
  void Draw(const DrawCall& call) override {
    if (display_) painter_.Draw(call);
  }
  void WarpPointer(int x, int y, InputState& input) override;
  void PlacePointer(int x, int y, InputState& input, bool keepUnread);
  void HidePointer() override;
  uint32_t Generation() const override { return generation_; }

 private:
  // The connection and the GL context for the whole run, made by the first Open;
  // false with the reason when they cannot be made.
  bool Connect(std::string& whyNot);
  bool ConnectAndChooseVisual(std::string& whyNot);
  bool CreateContext(std::string& whyNot);
  void Disconnect();
  // The other steps of Open.
  void CreateWindow(int x, int y, int w, int h, bool fullScreen);
  bool WaitUntilMapped();
  // The game screen in a window: once shown, and whenever the window manager says what frame it put
  // around it, moved and shrunk if the frame turned out larger than the work area holds.
  void KeepWindowInWorkArea();
  // Takes the pointer and the keyboard for the game: hidden pointer, in full screen confined to the
  // window and the keyboard grabbed. False, with the game suspended, when another client holds them.
  bool GrabInput();
  // Lets the pointer and the keyboard go (the window has lost the focus, or closes).
  void ReleaseInput();
  // Gives the window the keyboard focus; a refusal (a window manager's frame not yet shown) is harmless.
  void TakeFocus();
  // Over a frame the game shows while it does not hold the input: a line saying a click goes on.
  void DrawLostInputNotice();
  // Sets the number of vertical blanks a swap waits for, when it differs from the last.
  void SetSwapInterval(int interval);
  // A cursor with no visible pixels, made once per connection.
  Cursor NullCursor();
  // True when the server no longer knows the window (after a request about it failed).
  bool WindowGone();
  // Another program destroyed the window: the mode back, one line saying so, status 1.
  [[noreturn]] void EndForLostWindow();

  BootClock bootClock_;  // based when the backend is made, as the game starts
  Display* display_ = nullptr;
  XVisualInfo* visual_ = nullptr;
  GLXContext context_ = nullptr;
  Colormap colormap_ = 0;
  Window window_ = 0;
  Cursor nullCursor_ = 0;
  bool fullScreen_ = false;
  bool grabbed_ = false;
  // The full screen is a framed window of its size instead.
  bool gameInWindow_ = false;
  // The game screen as a window: fitted to the work area, resizable, the frame scaled to fit.
  bool resizable_ = false;
  // A window manager runs (seen by Open): the full screen is a window it manages, not an
  // override-redirect one, and the display mode is left as it is.
  bool managed_ = false;
  FontRef noticeFont_;     // the font of the line shown while the input is lost, loaded when first shown
  int swapInterval_ = -1;  // -1: not yet set in this context
  EventTarget target_;
  GlPainter painter_;
  uint32_t generation_ = 0;
};
