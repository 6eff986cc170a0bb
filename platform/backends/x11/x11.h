/** @file x11.h MakeX11Backend: the real game's backend, an X11 window or full screen drawn with OpenGL through GLX. */
#pragma once

#include <memory>

#include "platform/backend.h"

// Makes a backend that opens its display on Open; nothing touches X before that.
// gameInWindow: the full screen is a plain window of its size instead, with the
// pointer grabbed only while the window has the focus.
std::unique_ptr<Backend> MakeX11Backend(bool gameInWindow = false);
