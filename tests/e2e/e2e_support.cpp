/** @file e2e_support.cpp Helpers for the end-to-end checks: screen reading, checks, the game as a child. */
#include "tests/e2e/e2e_support.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

// Records one check and prints "ok" or "FAIL" with what was checked.
bool Checks::Expect(bool passed, const std::string& what) {
  ++run_;
  if (!passed) ++failed_;
  std::printf("%s - %s\n", passed ? "ok  " : "FAIL", what.c_str());
  std::fflush(stdout);
  return passed;
}

// Exit status for the program: 0 when every check passed.
int Checks::Finish() const {
  std::printf("%d checks, %d failed\n", run_, failed_);
  return failed_ == 0 && run_ > 0 ? 0 : 1;
}

std::string Describe(const Rgb& c) {
  return std::to_string(c.R) + "," + std::to_string(c.G) + "," + std::to_string(c.B);
}

bool Near(const Rgb& got, const Rgb& want, int tolerance) {
  return std::abs(got.R - want.R) <= tolerance && std::abs(got.G - want.G) <= tolerance &&
         std::abs(got.B - want.B) <= tolerance;
}

std::string DescribeBox(const Box& b) {
  return "(" + std::to_string(b.X) + "," + std::to_string(b.Y) + " " + std::to_string(b.W) + "x" + std::to_string(b.H) +
         ")";
}

ShownFrame ShownFrame::Fit(int frameW, int frameH, int screenW, int screenH) {
  ShownFrame p;
  p.FrameW = frameW;
  p.FrameH = frameH;
  const double scale = std::min(double(screenW) / frameW, double(screenH) / frameH);
  p.ShownW = int(std::lround(frameW * scale));
  p.ShownH = int(std::lround(frameH * scale));
  p.OffsetX = (screenW - p.ShownW) / 2;
  p.OffsetY = (screenH - p.ShownH) / 2;
  return p;
}

int ShownFrame::ScreenX(double fx) const { return OffsetX + int(std::floor((fx + 0.5) * ShownW / FrameW)); }
int ShownFrame::ScreenY(double fy) const { return OffsetY + int(std::floor((fy + 0.5) * ShownH / FrameH)); }

int ShownFrame::FrameX(int sx) const {
  return std::clamp(int(std::floor(double(sx - OffsetX) * FrameW / ShownW)), 0, FrameW - 1);
}
int ShownFrame::FrameY(int sy) const {
  return std::clamp(int(std::floor(double(sy - OffsetY) * FrameH / ShownH)), 0, FrameH - 1);
}

ScreenReader::ScreenReader(int connectWaitMs) {
  WaitUntil([&] { return (display_ = XOpenDisplay(nullptr)) != nullptr; }, connectWaitMs);
}

ScreenReader::~ScreenReader() {
  if (image_) XDestroyImage(image_);
  if (display_) XCloseDisplay(display_);
}

int ScreenReader::Width() const { return DisplayWidth(display_, DefaultScreen(display_)); }
int ScreenReader::Height() const { return DisplayHeight(display_, DefaultScreen(display_)); }

// Copies the whole root window, as it is shown now.
void ScreenReader::Snapshot() {
  if (image_) XDestroyImage(image_);
  XSync(display_, False);
  image_ =
      XGetImage(display_, DefaultRootWindow(display_), 0, 0, unsigned(Width()), unsigned(Height()), AllPlanes, ZPixmap);
}

namespace {
// Reads one channel out of a pixel value through its mask, scaled to 0..255.
int Channel(unsigned long pixel, unsigned long mask) {
  if (mask == 0) return 0;
  int shift = 0;
  while (((mask >> shift) & 1) == 0) ++shift;
  const unsigned long top = mask >> shift;
  return int(((pixel & mask) >> shift) * 255 / top);
}
}  // namespace

// Colour of a pixel in the last snapshot (root coordinates).
Rgb ScreenReader::At(int x, int y) const {
  if (!image_ || x < 0 || y < 0 || x >= image_->width || y >= image_->height) return {-1, -1, -1};
  const unsigned long pixel = XGetPixel(image_, x, y);
  return {Channel(pixel, image_->red_mask), Channel(pixel, image_->green_mask), Channel(pixel, image_->blue_mask)};
}

// The top-level window titled Chromelly, or 0.
namespace {

// The window titled Chromelly, of the game's class, among window and its descendants (a window
// manager puts the game's window in a frame of its own, which may carry its title), or 0.
Window FindTitled(Display* display, Window window, int depth) {
  char* name = nullptr;
  if (XFetchName(display, window, &name) && name) {
    bool game = std::strcmp(name, "Chromelly") == 0;
    XFree(name);
    XClassHint hint{};
    if (game && XGetClassHint(display, window, &hint)) {
      game = hint.res_name && std::strcmp(hint.res_name, "chromelly") == 0;
      if (hint.res_name) XFree(hint.res_name);
      if (hint.res_class) XFree(hint.res_class);
    }
    if (game) return window;
  }
  Window root = 0, parent = 0, *children = nullptr;
  unsigned int count = 0;
  if (depth == 0 || !XQueryTree(display, window, &root, &parent, &children, &count)) return 0;
  Window found = 0;
  for (unsigned int i = 0; i < count && !found; ++i) found = FindTitled(display, children[i], depth - 1);
  if (children) XFree(children);
  return found;
}

}  // namespace

Window ScreenReader::GameWindow() const {
  Window root = 0, parent = 0, *children = nullptr;
  unsigned int count = 0;
  Window found = 0;
  if (!XQueryTree(display_, DefaultRootWindow(display_), &root, &parent, &children, &count)) return 0;
  // The top-level windows first, the game's own on a bare server; then inside window managers' frames.
  for (unsigned int i = 0; i < count && !found; ++i) found = FindTitled(display_, children[i], 0);
  for (unsigned int i = 0; i < count && !found; ++i) found = FindTitled(display_, children[i], 3);
  if (children) XFree(children);
  return found;
}

// Polls until the condition holds or the time runs out; true when it held.
bool WaitUntil(const std::function<bool()>& condition, int timeoutMs) {
  // Timed by the clock, however long each look takes (a look at the whole screen costs tens of ms).
  const auto giveUp = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    if (condition()) return true;
    if (std::chrono::steady_clock::now() >= giveUp) return false;
    PauseMs(20);
  }
}

// Runs a shell command (xdotool, import); true when it exited with status 0.
bool Shell(const std::string& command) { return std::system(command.c_str()) == 0; }

// Sleeps for a while without touching the game's event queue.
void PauseMs(int ms) {
  timespec pause{ms / 1000, long(ms % 1000) * 1000000L};
  nanosleep(&pause, nullptr);
}

// ---- The real game as a child process ----------------------------------------------------

namespace {

// A pipe whose reading end is non-blocking; false when none could be made.
bool NonBlockingPipe(int ends[2]) {
  if (pipe(ends) != 0) return false;
  fcntl(ends[0], F_SETFL, fcntl(ends[0], F_GETFL) | O_NONBLOCK);
  return true;
}

// Reads what has arrived; notes the end of the pipe once every writer has closed it.
void DrainInto(int fd, std::string& text, bool& closed) {
  if (fd < 0 || closed) return;
  char buffer[4096];
  for (;;) {
    const ssize_t got = read(fd, buffer, sizeof buffer);
    if (got > 0) {
      text.append(buffer, size_t(got));
    } else {
      if (got == 0) closed = true;
      break;
    }
  }
}

}  // namespace

GameProcess::GameProcess(const std::string& path, const std::vector<std::string>& arguments) {
  int out[2], err[2];
  if (!NonBlockingPipe(out)) return;
  if (!NonBlockingPipe(err)) {
    close(out[0]);
    close(out[1]);
    return;
  }
  pid_ = fork();
  if (pid_ == 0) {
    dup2(out[1], STDOUT_FILENO);
    dup2(err[1], STDERR_FILENO);
    for (int fd = 3; fd < 1024; ++fd) close(fd);  // the tester's own X connection stays with the tester
    std::vector<char*> argv{const_cast<char*>(path.c_str())};
    for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(path.c_str(), argv.data());
    std::perror(("cannot run " + path).c_str());
    _exit(127);
  }
  close(out[1]);
  close(err[1]);
  out_ = out[0];
  err_ = err[0];
}

GameProcess::~GameProcess() {
  if (pid_ > 0 && !ended_) {
    kill(pid_, SIGKILL);
    waitpid(pid_, &status_, 0);
  }
  if (out_ >= 0) close(out_);
  if (err_ >= 0) close(err_);
}

bool GameProcess::Running() {
  Drain();
  if (ended_ || pid_ <= 0) return false;
  if (waitpid(pid_, &status_, WNOHANG) == pid_) {
    ended_ = true;
    Drain();
  }
  return !ended_;
}

bool GameProcess::WaitForEnd(int timeoutMs) {
  return WaitUntil([&] { return !Running(); }, timeoutMs);
}

void GameProcess::Signal(int signalNumber) const {
  if (pid_ > 0 && !ended_) kill(pid_, signalNumber);
}

bool GameProcess::EndedWithStatusZero() const { return ended_ && WIFEXITED(status_) && WEXITSTATUS(status_) == 0; }

bool GameProcess::EndedBySignal(int signalNumber) const {
  return ended_ && WIFSIGNALED(status_) && WTERMSIG(status_) == signalNumber;
}

std::string GameProcess::Ending() const {
  if (!ended_) return "still running";
  if (WIFEXITED(status_)) return "exit status " + std::to_string(WEXITSTATUS(status_));
  if (WIFSIGNALED(status_)) return "ended by signal " + std::to_string(WTERMSIG(status_));
  return "ended oddly";
}

const std::string& GameProcess::Output() {
  Drain();
  return output_;
}

const std::string& GameProcess::Errors() {
  Drain();
  return errors_;
}

bool GameProcess::OutputsClosed() {
  Drain();
  return outClosed_ && errClosed_;
}

void GameProcess::Drain() {
  DrainInto(out_, output_, outClosed_);
  DrainInto(err_, errors_, errClosed_);
}

// ---- Looking at the game --------------------------------------------------------------------

ShownWindow FindGameWindow(const ScreenReader& screen) {
  ShownWindow shown;
  const Window id = screen.GameWindow();
  if (!id) return shown;
  Display* d = screen.Connection();
  XWindowAttributes attributes{};
  if (!XGetWindowAttributes(d, id, &attributes) || attributes.map_state != IsViewable) return shown;
  Window child = 0;
  if (!XTranslateCoordinates(d, id, DefaultRootWindow(d), 0, 0, &shown.X, &shown.Y, &child)) return shown;
  shown.Id = id;
  shown.W = attributes.width;
  shown.H = attributes.height;
  return shown;
}

bool IsWhite(const Rgb& c) { return c.R >= 250 && c.G >= 250 && c.B >= 250; }

void Xdotool(Checks& checks, const std::string& arguments) {
  if (!Shell("xdotool " + arguments)) checks.Expect(false, "xdotool " + arguments);
}

bool StartToIntro(Checks& checks, GameProcess& game, ScreenReader& screen, ShownWindow& intro) {
  if (!checks.Expect(game.Started(), "the game starts as a child process")) return false;
  // Where OK's own colour shows, clear of its label: white while the pointer is elsewhere.
  constexpr int kOkSampleX = 244, kOkSampleY = 294;
  WaitUntil([&] {
    if (!game.Running()) return true;
    intro = FindGameWindow(screen);
    if (!intro.IsIntro()) return false;
    screen.Snapshot();
    return IsWhite(screen.At(intro.X + kOkSampleX, intro.Y + kOkSampleY));
  });
  // An ending is noted for the message, with what the game said.
  const std::string said = game.Running() ? "" : ", standard error: \"" + game.Errors() + "\"";
  return checks.Expect(intro.IsIntro(),
                       "intro: a 560 x 370 window titled Chromelly with a white OK button shows within " +
                           std::to_string(kSeenWithinMs / 1000) + " s (" + game.Ending() + said + ")");
}

// Share of white pixels in the shown frame, sampled every 8 pixels.
double WhiteShare(const ScreenReader& screen, const ShownFrame& frame) {
  int white = 0, all = 0;
  for (int y = frame.OffsetY; y < frame.OffsetY + frame.ShownH; y += 8)
    for (int x = frame.OffsetX; x < frame.OffsetX + frame.ShownW; x += 8, ++all)
      if (IsWhite(screen.At(x, y))) ++white;
  return all ? double(white) / all : 0.0;
}

namespace {

// The full screen covers the screen, or the mode the game switched the screen to.
bool CoversScreen(const ScreenReader& screen, const ShownWindow& window) {
  if (window.Id == 0 || window.X != 0 || window.Y != 0) return false;
  int modeW = 0, modeH = 0;
  if (CurrentModeSize(screen.Connection(), modeW, modeH) && window.W == modeW && window.H == modeH) return true;
  return window.W == screen.Width() && window.H == screen.Height();
}

}  // namespace

bool WaitForGameScreen(Checks& checks, ScreenReader& screen, const std::string& how, GameScreen* shown) {
  GameScreen at;
  double white = 0;
  const auto start = std::chrono::steady_clock::now();
  const bool opened = WaitUntil([&] {
    at.Window = FindGameWindow(screen);
    if (!CoversScreen(screen, at.Window)) return false;
    at.Frame = ShownFrame::Fit(kFrameW, kFrameH, at.Window.W, at.Window.H);
    at.Frame.OffsetX += at.Window.X;
    at.Frame.OffsetY += at.Window.Y;
    screen.Snapshot();
    white = WhiteShare(screen, at.Frame);
    return white >= 0.9;
  });
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
  if (shown) *shown = at;
  return checks.Expect(opened, how + " opens the game screen: a window of " + std::to_string(at.Window.W) + " x " +
                                   std::to_string(at.Window.H) + " over the " + std::to_string(screen.Width()) + " x " +
                                   std::to_string(screen.Height()) + " screen or its mode, its frame " +
                                   std::to_string(int(white * 100)) + "% white, after " + std::to_string(ms.count()) +
                                   " ms");
}

bool StartToGameScreen(Checks& checks, GameProcess& game, ScreenReader& screen, GameScreen* shown) {
  ShownWindow intro;
  if (!StartToIntro(checks, game, screen, intro)) return false;
  Xdotool(checks, "key Return");
  return WaitForGameScreen(checks, screen, "Return", shown);
}

void ExpectEscEnds(Checks& checks, GameProcess& game, const std::string& where) {
  Xdotool(checks, "key Escape");
  game.WaitForEnd(kSeenWithinMs);
  checks.Expect(game.EndedWithStatusZero(), where + ": Esc ends the game with status 0 (" + game.Ending() + ")");
  checks.Expect(game.Output().empty(), where + ": nothing on standard output (got \"" + game.Output() + "\")");
}

bool CurrentModeSize(Display* display, int& width, int& height) {
  int eventBase = 0, errorBase = 0;
  if (!XF86VidModeQueryExtension(display, &eventBase, &errorBase)) return false;
  int dotClock = 0;
  XF86VidModeModeLine line{};
  if (!XF86VidModeGetModeLine(display, DefaultScreen(display), &dotClock, &line)) return false;
  if (line.privsize > 0 && line.c_private) XFree(line.c_private);
  width = line.hdisplay;
  height = line.vdisplay;
  return true;
}

// ---- Playing with the game's own cursor ---------------------------------------------------

void MoveBy(Checks& checks, int dx, int dy, int step) {
  while (dx != 0 || dy != 0) {
    const int sx = std::clamp(dx, -step, step), sy = std::clamp(dy, -step, step);
    Xdotool(checks, "mousemove_relative -- " + std::to_string(sx) + " " + std::to_string(sy));
    dx -= sx;
    dy -= sy;
    PauseMs(40);
  }
  PauseMs(100);
}

void PressLeft(Checks& checks) {
  Xdotool(checks, "mousedown 1");
  PauseMs(150);
}

void ReleaseLeft(Checks& checks) {
  Xdotool(checks, "mouseup 1");
  PauseMs(150);
}

void Click(Checks& checks) {
  PressLeft(checks);
  ReleaseLeft(checks);
}

void Screenshot(Checks& checks, const std::string& path) {
  checks.Expect(Shell("import -window root '" + path + "'"), "screenshot saved to " + path);
}

bool WaitForFrames(ScreenReader& screen, int count, int timeoutMs) {
  // A pixel every 7 in each direction: a walking person changes some of them.
  auto look = [&] {
    screen.Snapshot();
    std::vector<int> pixels;
    for (int y = 0; y < screen.Height(); y += 7)
      for (int x = 0; x < screen.Width(); x += 7) {
        const Rgb c = screen.At(x, y);
        pixels.push_back(c.R << 16 | c.G << 8 | c.B);
      }
    return pixels;
  };
  std::vector<int> last = look();
  int changes = 0;
  return WaitUntil(
      [&] {
        std::vector<int> now = look();
        if (now != last) ++changes;
        last.swap(now);
        return changes >= count;
      },
      timeoutMs);
}

bool WaitForInputRead(Checks& checks, ScreenReader& screen) {
  return checks.Expect(WaitForFrames(screen, 3), "the game draws a frame after the input sent");
}

void GameCursor::To(Checks& checks, ScreenReader& screen, int x, int y) {
  constexpr int kPart = 300;
  for (bool first = true; X != x || Y != y; first = false) {
    if (!first) WaitForFrames(screen, 3);
    const int dx = std::clamp(x - X, -kPart, kPart), dy = std::clamp(y - Y, -kPart, kPart);
    MoveBy(checks, dx, dy);
    X += dx;
    Y += dy;
  }
}

bool MostlyBlack(const ScreenReader& screen, const Box& b) {
  int black = 0;
  for (int y = b.Y; y < b.Y + b.H; ++y)
    for (int x = b.X; x < b.X + b.W; ++x)
      if (Near(screen.At(x, y), Rgb{0, 0, 0}, 0)) ++black;
  return black * 10 >= b.W * b.H * 7;
}

int NonBlackInBars(const ScreenReader& screen, const GameScreen& shown) {
  const ShownWindow& w = shown.Window;
  const ShownFrame& at = shown.Frame;
  if (at.ShownW == w.W && at.ShownH == w.H) return 0;
  const Box bars[] = {{w.X, w.Y, w.W, at.OffsetY - w.Y},
                      {w.X, at.OffsetY + at.ShownH, w.W, w.Y + w.H - at.OffsetY - at.ShownH},
                      {w.X, w.Y, at.OffsetX - w.X, w.H},
                      {at.OffsetX + at.ShownW, w.Y, w.X + w.W - at.OffsetX - at.ShownW, w.H}};
  int nonBlack = 0;
  for (const Box& bar : bars)
    for (int y = bar.Y; y < bar.Y + bar.H; y += 2)
      for (int x = bar.X; x < bar.X + bar.W; x += 2)
        if (!Near(screen.At(x, y), Rgb{0, 0, 0}, 0)) ++nonBlack;
  return nonBlack;
}

void CheckBars(Checks& checks, ScreenReader& screen, const GameScreen& shown) {
  const int nonBlack = NonBlackInBars(screen, shown);
  checks.Expect(nonBlack == 0, "game screen: the bars beside the letterboxed frame are black (" +
                                   std::to_string(nonBlack) + " other pixels)");
}

double ShareNear(const ScreenReader& screen, const Box& b, const Rgb& colour, int tolerance, int step) {
  int near = 0, all = 0;
  for (int y = std::max(b.Y, 0); y < std::min(b.Y + b.H, screen.Height()); y += step)
    for (int x = std::max(b.X, 0); x < std::min(b.X + b.W, screen.Width()); x += step, ++all)
      near += Near(screen.At(x, y), colour, tolerance);
  return all ? double(near) / all : 0.0;
}

bool PlaceBox(Checks& checks, ScreenReader& screen, const Box& inside, const std::string& failureShot) {
  // Half-transparent black over the white ground; people walking over it hide some of either.
  const Rgb ghost{128, 128, 128}, black{0, 0, 0};
  double ghostShare = 0, blackShare = 0;
  const bool placing = WaitUntil([&] {
    screen.Snapshot();
    return (ghostShare = ShareNear(screen, inside, ghost, 6)) > 0.5;
  });
  if (!checks.Expect(placing, "New color: the would-be box shows at " + DescribeBox(inside) + " (" +
                                  std::to_string(int(ghostShare * 100)) + "% of it half-black)")) {
    Screenshot(checks, failureShot);
    return false;
  }
  Xdotool(checks, "mousedown 1");
  const bool placed = WaitUntil([&] {
    screen.Snapshot();
    return (blackShare = ShareNear(screen, inside, black, 1)) > 0.6;
  });
  Xdotool(checks, "mouseup 1");
  if (!checks.Expect(placed, "a black box is placed at " + DescribeBox(inside) + " (" +
                                 std::to_string(int(blackShare * 100)) + "% of it black)"))
    Screenshot(checks, failureShot);
  return placed;
}

bool IsColoured(const Rgb& c) { return std::max({c.R, c.G, c.B}) - std::min({c.R, c.G, c.B}) >= 60; }

std::vector<Patch> ColouredPatches(const ScreenReader& screen, const Box& within, int minSamples) {
  const int w = within.W / 2, h = within.H / 2;
  std::vector<int> seen(size_t(w * h), 0);
  std::vector<Patch> patches;
  auto at = [&](int i) { return screen.At(within.X + (i % w) * 2, within.Y + (i / w) * 2); };
  for (int start = 0; start < w * h; ++start) {
    if (seen[size_t(start)] || !IsColoured(at(start))) continue;
    // Flood fill over samples of nearly the same colour.
    const Rgb colour = at(start);
    std::vector<int> todo{start};
    seen[size_t(start)] = 1;
    long sumX = 0, sumY = 0;
    int count = 0;
    while (!todo.empty()) {
      const int i = todo.back();
      todo.pop_back();
      sumX += i % w;
      sumY += i / w;
      ++count;
      const int x = i % w, y = i / w;
      const int next[4][2] = {{x + 1, y}, {x - 1, y}, {x, y + 1}, {x, y - 1}};
      for (const auto& n : next) {
        if (n[0] < 0 || n[1] < 0 || n[0] >= w || n[1] >= h) continue;
        const int j = n[1] * w + n[0];
        if (!seen[size_t(j)] && Near(at(j), colour, 40)) {
          seen[size_t(j)] = 1;
          todo.push_back(j);
        }
      }
    }
    if (count >= minSamples)
      patches.push_back({within.X + int(sumX / count) * 2, within.Y + int(sumY / count) * 2, count, colour});
  }
  std::sort(patches.begin(), patches.end(), [](const Patch& a, const Patch& b) { return a.Samples > b.Samples; });
  return patches;
}
