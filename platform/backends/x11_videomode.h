// Full-screen display modes through XF86VidMode, with the desktop's mode put
// back on every way out of the program: Close, exit() and SIGINT/SIGTERM.
#pragma once

#include "platform/backends/x11_xlib.h"

#include <string>

// Switches the screen to a width x height mode and remembers the mode it had.
// False (with the reason) when the server lacks the extension, has no such
// mode, is already in it, or refuses the switch; the screen is then unchanged.
bool SwitchVideoMode(Display* display, int screen, int width, int height, std::string& whyNot);

// Puts back the mode SwitchVideoMode replaced; does nothing when none was replaced.
void RestoreVideoMode();
