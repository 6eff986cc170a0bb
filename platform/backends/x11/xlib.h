/** @file xlib.h The X, GLX and XF86VidMode headers, with X's Font renamed away from the game's font. */
// The X, GLX and XF86VidMode headers as the backend includes them: X's own
// `Font` type is renamed so it cannot collide with the game's font.
#pragma once

#define Font XFontId
#include <GL/gl.h>
#include <GL/glx.h>
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/xf86vmode.h>
#include <X11/keysym.h>
#undef Font
