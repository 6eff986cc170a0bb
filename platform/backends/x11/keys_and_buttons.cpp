/** @file keys_and_buttons.cpp VirtualKeyFor and GameButtonFor: the X11 backend's key and button translation. */
#include "platform/backends/x11/keys_and_buttons.h"

#include "platform/backends/x11/xlib.h"

// Virtual-key code for an X key symbol; 0 for keys the game has no code for.
int VirtualKeyFor(unsigned long sym) {
  if (sym >= XK_a && sym <= XK_z) return int(sym - XK_a) + 'A';
  if (sym >= XK_A && sym <= XK_Z) return int(sym - XK_A) + 'A';
  if (sym >= XK_0 && sym <= XK_9) return int(sym - XK_0) + '0';
  if (sym >= XK_F1 && sym <= XK_F24) return int(sym - XK_F1) + 112;
  if (sym >= XK_KP_0 && sym <= XK_KP_9) return int(sym - XK_KP_0) + 96;
  switch (sym) {
    case XK_BackSpace: return 8;
    case XK_Tab:
    case XK_ISO_Left_Tab: return 9;
    case XK_Return:
    case XK_KP_Enter: return 13;
    case XK_Shift_L:
    case XK_Shift_R: return 16;
    case XK_Control_L:
    case XK_Control_R: return 17;
    case XK_Alt_L:
    case XK_Alt_R: return 18;
    case XK_Pause: return 19;
    case XK_Caps_Lock: return 20;
    case XK_Escape: return 27;
    case XK_space: return 32;
    case XK_Prior: return 33;
    case XK_Next: return 34;
    case XK_End: return 35;
    case XK_Home: return 36;
    case XK_Left: return 37;
    case XK_Up: return 38;
    case XK_Right: return 39;
    case XK_Down: return 40;
    case XK_Insert: return 45;
    case XK_Delete: return 46;
    case XK_KP_Multiply: return 106;
    case XK_KP_Add: return 107;
    case XK_KP_Subtract: return 109;
    case XK_KP_Decimal: return 110;
    case XK_KP_Divide: return 111;
    default: return 0;
  }
}

// Game button for an X button number (1 left, 3 right, 2 middle); 0 for wheel and extra buttons.
int GameButtonFor(unsigned int xButton) {
  switch (xButton) {
    case Button1: return 1;
    case Button3: return 2;
    case Button2: return 3;
    default: return 0;
  }
}
