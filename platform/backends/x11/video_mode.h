/** @file video_mode.h SwitchVideoMode and RestoreVideoMode: the full screen's display modes through XF86VidMode. */
// Full-screen display modes through XF86VidMode. Close puts the desktop's mode
// back; on every other way out the watchdog (x11_watchdog.h) does.
#pragma once

#include "platform/backends/x11/xlib.h"

#include <string>

// Switches the screen to a width x height mode and remembers the mode it had.
// False (with the reason) when the server lacks the extension, has no such
// mode, is already in it, or refuses the switch; the screen is then unchanged.
bool SwitchVideoMode(Display* display, int screen, int width, int height, std::string& whyNot);

// Puts back the mode SwitchVideoMode replaced; does nothing when none was replaced.
void RestoreVideoMode();
