// Translation between what the X server reports and what the game reads:
// key symbols to virtual-key codes, X button numbers to the game's buttons,
// and window pixels to frame pixels when the frame is scaled to fit the screen.
#pragma once

// Virtual-key code for an X key symbol; 0 for keys the game has no code for.
int VirtualKeyFor(unsigned long sym);

// Game button for an X button number (1 left, 3 right, 2 middle); 0 for wheel and extra buttons.
int GameButtonFor(unsigned int xButton);

// Where the game's frame sits in the window: scaled to fit, aspect kept, centred.
struct FrameFit {
  int FrameW = 0, FrameH = 0;    // the frame the game draws, in its own pixels
  int WindowW = 0, WindowH = 0;  // the window that shows it
  int OffsetX = 0, OffsetY = 0;  // top-left of the shown frame in the window
  int ShownW = 0, ShownH = 0;    // size of the shown frame in window pixels

  // Fits a frame into a window, centring it with black bars where the aspects differ.
  static FrameFit Make(int frameW, int frameH, int windowW, int windowH);
  // True when the frame does not fill the window one to one.
  bool Letterboxed() const;
  // Frame pixel under a window pixel, clamped to the frame.
  void ToFrame(int wx, int wy, int& fx, int& fy) const;
  // A window pixel whose frame pixel is (fx, fy) whenever the frame is not shrunk.
  void ToWindow(int fx, int fy, int& wx, int& wy) const;
};
