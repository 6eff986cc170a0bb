/** @file watchdog.cpp The mode watchdog's process and what the game tells it: mode switched, mode restored. */
#include "platform/backends/x11/watchdog.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace {

// One message, sent whole (far below the size a socket write could split).
struct WatchdogNote {
  int Switched = 0;  // 1: the mode below is to be put back
  int Screen = 0;
  XF86VidModeModeInfo Original{};
};

int toWatchdog = -1;
bool started = false;

// The watchdog's whole life: read notes until the game's end closes the socket, then act on the last.
[[noreturn]] void Watch(int fromGame) {
  // A Ctrl-C or a hang-up reaches the whole process group; the watchdog outlives the game to do its work.
  signal(SIGINT, SIG_IGN);
  signal(SIGTERM, SIG_IGN);
  signal(SIGHUP, SIG_IGN);
  signal(SIGPIPE, SIG_IGN);
  WatchdogNote last{};
  for (;;) {
    WatchdogNote note{};
    const ssize_t got = recv(fromGame, &note, sizeof note, MSG_WAITALL);
    if (got == ssize_t(sizeof note)) {
      last = note;
    } else if (got < 0 && errno == EINTR) {
      continue;
    } else {
      break;  // the game has ended
    }
  }
  if (!last.Switched) _exit(0);
  Display* display = XOpenDisplay(nullptr);
  if (!display) _exit(1);
  XF86VidModeSwitchToMode(display, last.Screen, &last.Original);
  XF86VidModeSetViewPort(display, last.Screen, 0, 0);
  XSync(display, False);
  XCloseDisplay(display);
  std::fputs("chromelly: the game ended in its full-screen mode; the display mode is restored\n", stderr);
  _exit(0);
}

void Tell(const WatchdogNote& note) {
  if (toWatchdog < 0) return;
  ssize_t sent;
  do {
    sent = send(toWatchdog, &note, sizeof note, MSG_NOSIGNAL);
  } while (sent < 0 && errno == EINTR);
}

}  // namespace

void StartModeWatchdog() {
  if (started) return;
  started = true;
  int ends[2];
  if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) return;
  std::fflush(nullptr);
  const pid_t pid = fork();
  if (pid < 0) {
    close(ends[0]);
    close(ends[1]);
    return;
  }
  if (pid == 0) {
    // Nothing of the game's stays open here but standard error: whoever reads the
    // game's output sees its end when the game ends, not when the watchdog does.
    const int nothing = open("/dev/null", O_RDWR);
    if (nothing >= 0) {
      dup2(nothing, STDIN_FILENO);
      dup2(nothing, STDOUT_FILENO);
    }
    const long highest = sysconf(_SC_OPEN_MAX);
    for (int fd = 3; fd < (highest > 0 && highest < 65536 ? highest : 1024); ++fd)
      if (fd != ends[1]) close(fd);
    Watch(ends[1]);
  }
  close(ends[1]);
  toWatchdog = ends[0];
}

void WatchdogModeSwitched(int screen, const XF86VidModeModeInfo& original) {
  WatchdogNote note;
  note.Switched = 1;
  note.Screen = screen;
  note.Original = original;
  // Private mode data is a pointer into this process; the watchdog cannot follow it.
  note.Original.privsize = 0;
  note.Original.c_private = nullptr;
  Tell(note);
}

void WatchdogModeRestored() { Tell(WatchdogNote{}); }
