/** @file connection.cpp The X11 backend's one connection and GL context for the whole run. */
#include "platform/backends/x11/x11_backend.h"

#include <cstdlib>
#include <string>

#include "platform/backends/x11/error_trap.h"
#include "platform/backends/x11/quit_signals.h"
#include "platform/backends/x11/watchdog.h"

// The first Open connects; later ones reuse the connection and the context, so textures stay valid.
bool X11Backend::Connect(std::string& whyNot) {
  // Both are set up while the game has no threads yet (the GL driver may start some).
  StartModeWatchdog();
  CatchQuitSignals();
  if (!ConnectAndChooseVisual(whyNot) || !CreateContext(whyNot)) {
    Disconnect();
    return false;
  }
  ++generation_;
  Bool detectable = False;
  XkbSetDetectableAutoRepeat(display_, True, &detectable);
  return true;
}

// Connects to the display named by DISPLAY and picks a double-buffered RGBA visual.
bool X11Backend::ConnectAndChooseVisual(std::string& whyNot) {
  display_ = XOpenDisplay(nullptr);
  if (!display_) {
    const char* name = std::getenv("DISPLAY");
    whyNot = name && *name ? "cannot connect to the X display \"" + std::string(name) + "\""
                           : "cannot connect to an X display (DISPLAY is not set)";
    return false;
  }
  int errorBase = 0, eventBase = 0;
  if (!glXQueryExtension(display_, &errorBase, &eventBase)) {
    whyNot = "the X display " + std::string(DisplayString(display_)) + " has no GLX extension";
    return false;
  }
  int attributes[] = {GLX_RGBA, GLX_DOUBLEBUFFER, GLX_RED_SIZE, 1, GLX_GREEN_SIZE, 1, GLX_BLUE_SIZE, 1, None};
  visual_ = glXChooseVisual(display_, DefaultScreen(display_), attributes);
  if (!visual_) {
    whyNot = "the X display offers no double-buffered RGBA OpenGL visual";
    return false;
  }
  return true;
}

// Creates the OpenGL context, direct rendering where the server allows it.
bool X11Backend::CreateContext(std::string& whyNot) {
  XErrorTrap trap(display_);
  context_ = glXCreateContext(display_, visual_, nullptr, True);
  if (!trap.Clean() || !context_) {
    whyNot = "cannot create an OpenGL context on the X display";
    return false;
  }
  return true;
}

// Ends the connection and what lives on it; harmless when there is none.
void X11Backend::Disconnect() {
  if (!display_) return;
  if (context_) {
    glXMakeCurrent(display_, None, nullptr);
    glXDestroyContext(display_, context_);
    context_ = nullptr;
  }
  if (nullCursor_) XFreeCursor(display_, nullCursor_);
  nullCursor_ = 0;
  if (visual_) XFree(visual_);
  visual_ = nullptr;
  XCloseDisplay(display_);
  display_ = nullptr;
}
