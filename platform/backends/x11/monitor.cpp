/** @file monitor.cpp The monitor the full screen covers where one screen spans several. */
#include "platform/backends/x11/monitor.h"

#include <X11/extensions/Xrandr.h>

MonitorArea ChooseMonitor(const std::vector<MonitorArea>& monitors, int pointerX, int pointerY, int screenW,
                          int screenH) {
  for (const MonitorArea& m : monitors)
    if (m.W > 0 && m.H > 0 && m.Holds(pointerX, pointerY)) return m;
  for (const MonitorArea& m : monitors)
    if (m.W > 0 && m.H > 0 && m.Primary) return m;
  for (const MonitorArea& m : monitors)
    if (m.W > 0 && m.H > 0) return m;
  MonitorArea whole;
  whole.W = screenW;
  whole.H = screenH;
  return whole;
}

std::vector<MonitorArea> ListMonitors(Display* display, int screen) {
  std::vector<MonitorArea> monitors;
  int eventBase = 0, errorBase = 0, major = 0, minor = 0;
  if (!XRRQueryExtension(display, &eventBase, &errorBase) || !XRRQueryVersion(display, &major, &minor) ||
      (major == 1 && minor < 5) || major < 1)
    return monitors;
  int count = 0;
  XRRMonitorInfo* info = XRRGetMonitors(display, RootWindow(display, screen), True, &count);
  if (!info) return monitors;
  for (int i = 0; i < count; ++i) {
    MonitorArea m;
    m.X = info[i].x;
    m.Y = info[i].y;
    m.W = info[i].width;
    m.H = info[i].height;
    m.Primary = info[i].primary != 0;
    monitors.push_back(m);
  }
  XRRFreeMonitors(info);
  return monitors;
}

MonitorArea GameMonitor(Display* display, int screen) {
  Window root = 0, child = 0;
  int x = 0, y = 0, winX = 0, winY = 0;
  unsigned int mask = 0;
  if (!XQueryPointer(display, RootWindow(display, screen), &root, &child, &x, &y, &winX, &winY, &mask))
    x = y = -1;  // the pointer is on another screen: the primary monitor
  return ChooseMonitor(ListMonitors(display, screen), x, y, DisplayWidth(display, screen),
                       DisplayHeight(display, screen));
}
