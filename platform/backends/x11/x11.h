/** @file x11.h MakeX11Backend: the real game's backend, an X11 window or full screen drawn with OpenGL through GLX. */
#pragma once

#include <memory>

#include "platform/backend.h"

// Makes a backend that opens its display on Open; nothing touches X before that.
// gameInWindow: the game screen is a resizable window on the desktop instead,
// holding the pointer (hidden, never grabbed) only while it has the focus.
std::unique_ptr<Backend> MakeX11Backend(bool gameInWindow = false);
