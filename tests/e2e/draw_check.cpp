/** @file draw_check.cpp draw_check: what the X11 backend draws, windowed and full screen, read back from the screen. */
// What the X11 backend puts on the screen: a windowed frame, then the full
// screen with rectangles, an oval, a turned rectangle, pictures (blended,
// alpha-tested, mirrored, and re-uploaded after the screen was reopened) and
// smooth text, read back from the root window by a second connection.
// Under Xvfb the full screen is a borderless window with the frame scaled to
// fit, so on a 1280 x 1024 screen black bars of 32 pixels are checked too.
//
// Usage: draw_check [screenshot.png]   (needs DISPLAY; the screenshot is for a person to look at)
#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "platform/backends/x11/refresh_probe.h"
#include "platform/backends/x11/x11.h"
#include "platform/services.h"
#include "tests/e2e/e2e_support.h"

namespace {

constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kBlue{0, 0, 255};
constexpr Rgb kMagenta{255, 0, 255};
constexpr Rgb kYellow{255, 255, 0};
constexpr Rgb kCyan{0, 255, 255};
constexpr const char* kVeraPath = "/usr/share/fonts/truetype/ttf-bitstream-vera/Vera.ttf";

// A picture of w x h whose left half is one colour at one alpha and right half another.
ImageRef TwoHalves(int w, int h, Rgb left, int leftAlpha, Rgb right, int rightAlpha) {
  auto image = std::make_shared<Image>();
  image->Width = w;
  image->Height = h;
  image->Pixels.resize(size_t(w) * size_t(h) * 4);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const bool isLeft = x < w / 2;
      const Rgb c = isLeft ? left : right;
      uint8_t* p = &image->Pixels[(size_t(y) * size_t(w) + size_t(x)) * 4];
      p[0] = uint8_t(c.R);
      p[1] = uint8_t(c.G);
      p[2] = uint8_t(c.B);
      p[3] = uint8_t(isLeft ? leftAlpha : rightAlpha);
    }
  return image;
}

// The bytes of a file, empty when it cannot be read.
std::vector<uint8_t> ReadBytes(const char* path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Checks one frame pixel's colour on the screen.
void ExpectAt(Checks& checks, const ScreenReader& screen, const ShownFrame& at, double fx, double fy, Rgb want,
              const std::string& what) {
  const Rgb got = screen.At(at.ScreenX(fx), at.ScreenY(fy));
  checks.Expect(Near(got, want), what + " at frame (" + std::to_string(int(fx)) + "," + std::to_string(int(fy)) +
                                     "): got " + Describe(got) + ", want " + Describe(want));
}

// The windowed screen: a 560 x 370 frame shown one to one, with a picture uploaded in this context.
void CheckWindow(Checks& checks, ScreenReader& screen, const ImageRef& halves) {
  SetClearColor(255, 255, 255);
  ClearScreen();
  SetBlendMode(BlendAlpha);
  DrawImageFrame(halves, 10, 10, 0);
  SetDrawColor(255, 0, 0);
  FillRect(500, 300, 40, 40);
  PresentFrame();

  const Window window = screen.GameWindow();
  checks.Expect(window != 0, "the window is on the screen, titled Chromelly");
  if (!window) return;
  int rootX = 0, rootY = 0;
  Window child = 0;
  XTranslateCoordinates(screen.Connection(), window, DefaultRootWindow(screen.Connection()), 0, 0, &rootX, &rootY,
                        &child);
  const ShownFrame at{rootX, rootY, 560, 370, 560, 370};
  WaitUntil([&] {
    screen.Snapshot();
    return Near(screen.At(at.ScreenX(520), at.ScreenY(320)), kRed);
  });
  ExpectAt(checks, screen, at, 520, 320, kRed, "window: red square");
  ExpectAt(checks, screen, at, 200, 200, kWhite, "window: clear colour");
  ExpectAt(checks, screen, at, 20, 20, kYellow, "window: opaque half of the picture");
  ExpectAt(checks, screen, at, 60, 20, kWhite, "window: transparent half of the picture");
}

// The full-screen scene, laid out so that no two shapes come within 20 frame pixels of each other.
struct Scene {
  ImageRef Halves;       // 64 x 32: yellow opaque | transparent (drawn before, in the window)
  ImageRef AlphaTested;  // 32 x 32: cyan alpha 200 | cyan alpha 100
  FontRef Vera;
  std::string Text = "Chromelly 42";
  int TextW = 0, TextH = 0;
};

// Draws the scene and presents it.
void DrawScene(Scene& scene) {
  SetClearColor(255, 255, 255);
  ClearScreen();
  SetBlendMode(BlendAlpha);
  SetDrawAlpha(1.0f);
  SetDrawColor(255, 0, 0);
  FillRect(100, 100, 200, 100);
  SetDrawColor(0, 255, 0);
  SetDrawAlpha(0.5f);
  FillRect(400, 100, 100, 100);
  SetDrawAlpha(1.0f);
  SetDrawColor(0, 0, 255);
  FillOval(600, 100, 200, 100);
  // Turned 45 degrees clockwise about (200, 400): a diamond hanging below that point.
  SetDrawColor(255, 0, 255);
  SetDrawRotation(45);
  FillRect(200, 400, 100, 100);
  SetDrawRotation(0);
  SetDrawColor(255, 255, 255);
  DrawImageFrame(scene.Halves, 800, 400, 0);
  // Mirrored about its handle (top-left), the picture extends to the left of x = 900.
  SetDrawScale(-1, 1);
  DrawImageFrame(scene.Halves, 900, 600, 0);
  SetDrawScale(1, 1);
  // Alpha test: the alpha-200 half is drawn unblended, the alpha-100 half not at all.
  SetBlendMode(BlendAlphaTest);
  DrawImageFrame(scene.AlphaTested, 600, 300, 0);
  SetBlendMode(BlendAlpha);
  SetTextFont(scene.Vera);
  SetDrawColor(0, 0, 0);
  DrawTextAt(scene.Text, 100, 620);
  scene.TextW = TextPixelWidth(scene.Text);
  scene.TextH = TextPixelHeight();
  PresentFrame();
}

// Every shape of the scene where it should be, and the clear colour around it.
void CheckShapes(Checks& checks, const ScreenReader& screen, const ShownFrame& at) {
  ExpectAt(checks, screen, at, 200, 150, kRed, "red rectangle centre");
  ExpectAt(checks, screen, at, 103, 103, kRed, "red rectangle just inside its top-left corner");
  ExpectAt(checks, screen, at, 296, 196, kRed, "red rectangle just inside its bottom-right corner");
  ExpectAt(checks, screen, at, 96, 150, kWhite, "left of the red rectangle");
  ExpectAt(checks, screen, at, 304, 150, kWhite, "right of the red rectangle");
  ExpectAt(checks, screen, at, 200, 204, kWhite, "below the red rectangle");
  // Alpha 0.5 is kept as the byte 127: white x 128/255 + green x 127/255.
  ExpectAt(checks, screen, at, 450, 150, Rgb{128, 255, 128}, "half-transparent green over white");
  ExpectAt(checks, screen, at, 700, 150, kBlue, "oval centre");
  ExpectAt(checks, screen, at, 606, 150, kBlue, "oval near the end of its long axis");
  ExpectAt(checks, screen, at, 606, 106, kWhite, "corner of the oval's box, outside the oval");
  ExpectAt(checks, screen, at, 794, 194, kWhite, "opposite corner of the oval's box");
  ExpectAt(checks, screen, at, 200, 470, kMagenta, "turned rectangle centre (below its corner)");
  ExpectAt(checks, screen, at, 150, 470, kMagenta, "turned rectangle, left of where it would be unturned");
  ExpectAt(checks, screen, at, 290, 490, kWhite, "inside the unturned box but outside the turned one");
  ExpectAt(checks, screen, at, 200, 395, kWhite, "above the turned rectangle's top corner");
  ExpectAt(checks, screen, at, 200, 330, kWhite, "where a counter-clockwise turn would have put it");
}

// The pictures: drawn with their texture, mirrored, alpha-tested, each only where it belongs.
void CheckPictures(Checks& checks, const ScreenReader& screen, const ShownFrame& at) {
  ExpectAt(checks, screen, at, 816, 416, kYellow, "picture re-uploaded after reopening: opaque half");
  ExpectAt(checks, screen, at, 848, 416, kWhite, "picture: transparent half");
  ExpectAt(checks, screen, at, 796, 416, kWhite, "left of the picture");
  ExpectAt(checks, screen, at, 884, 616, kYellow, "mirrored picture: opaque half now on the right");
  ExpectAt(checks, screen, at, 852, 616, kWhite, "mirrored picture: transparent half now on the left");
  ExpectAt(checks, screen, at, 904, 616, kWhite, "right of the mirrored picture's handle");
  ExpectAt(checks, screen, at, 608, 316, kCyan, "alpha test: alpha 200 drawn solid, not blended");
  ExpectAt(checks, screen, at, 624, 316, kWhite, "alpha test: alpha 100 skipped");
}

// The text: dark pixels inside its box, none in a band around it.
void CheckText(Checks& checks, const ScreenReader& screen, const ShownFrame& at, const Scene& scene) {
  checks.Expect(scene.TextW > 100 && scene.TextH >= 20,
                "Vera at 20 pixels measures " + std::to_string(scene.TextW) + " x " + std::to_string(scene.TextH));
  const int x0 = 100, y0 = 620, x1 = 100 + scene.TextW, y1 = 620 + scene.TextH;
  // Smooth glyphs grow by a pixel on every side, and filtering may blur one more.
  const int slack = 3, band = 20;
  int darkInside = 0, markedOutside = 0;
  for (int fy = y0 - band; fy < y1 + band; ++fy)
    for (int fx = x0 - band; fx < x1 + band; ++fx) {
      const Rgb c = screen.At(at.ScreenX(fx), at.ScreenY(fy));
      const bool inside = fx >= x0 && fx < x1 && fy >= y0 && fy < y1;
      const bool nearBox = fx >= x0 - slack && fx < x1 + slack && fy >= y0 - slack && fy < y1 + slack;
      if (inside && c.R < 100 && c.G < 100 && c.B < 100) ++darkInside;
      if (!nearBox && !Near(c, kWhite, 2)) ++markedOutside;
    }
  checks.Expect(darkInside >= 200, "text: " + std::to_string(darkInside) + " dark pixels inside its box");
  checks.Expect(markedOutside == 0, "text: " + std::to_string(markedOutside) + " marked pixels around its box");
  // Anti-aliased edges leave grey pixels between ink and paper.
  int grey = 0;
  for (int fy = y0; fy < y1; ++fy)
    for (int fx = x0; fx < x1; ++fx) {
      const Rgb c = screen.At(at.ScreenX(fx), at.ScreenY(fy));
      if (c.R > 40 && c.R < 215) ++grey;
    }
  checks.Expect(grey >= 20, "text is smoothed: " + std::to_string(grey) + " grey edge pixels");
}

// Outside a letterboxed frame the screen is black; the frame's own edges show the clear colour.
void CheckBars(Checks& checks, const ScreenReader& screen, const ShownFrame& at) {
  if (screen.Width() == 1280 && screen.Height() == 1024)
    checks.Expect(at.OffsetX == 0 && at.OffsetY == 32 && at.ShownW == 1280 && at.ShownH == 960,
                  "1280 x 1024 screen: the frame is shown at 1280 x 960 from row 32");
  if (at.OffsetY == 0 && at.OffsetX == 0) {
    checks.Expect(screen.At(0, 0).R == 255 && screen.At(screen.Width() - 1, screen.Height() - 1).R == 255,
                  "the frame fills the screen to its corners");
    return;
  }
  for (int x : {0, screen.Width() / 2, screen.Width() - 1}) {
    for (int y : {0, at.OffsetY - 1, at.OffsetY + at.ShownH, screen.Height() - 1}) {
      const Rgb c = screen.At(x, y);
      checks.Expect(Near(c, kBlack, 0),
                    "black bar at screen (" + std::to_string(x) + "," + std::to_string(y) + "): got " + Describe(c));
    }
    for (int y : {at.OffsetY, at.OffsetY + at.ShownH - 1}) {
      const Rgb c = screen.At(x, y);
      checks.Expect(Near(c, kWhite, 0),
                    "frame edge at screen (" + std::to_string(x) + "," + std::to_string(y) + "): got " + Describe(c));
    }
  }
}

// The refresh probe's verdicts on swap times (microseconds) for a 60 Hz request.
void CheckRefreshProbe(Checks& checks) {
  using Verdict = RefreshProbe::Verdict;
  // Feeds the times; the verdict after each.
  const auto verdicts = [](std::vector<double> times) {
    RefreshProbe probe(60);
    std::vector<Verdict> seen;
    for (double t : times) seen.push_back(probe.Add(t));
    return seen;
  };
  const std::vector<Verdict> sixty = verdicts({4000, 16700, 16000, 17600});
  checks.Expect(sixty[2] == Verdict::Unclear && sixty[3] == Verdict::Matches,
                "refresh probe: an early first swap, then three of one period (within 1 ms): matches");
  const std::vector<Verdict> broken = verdicts({16667, 16667, 2000, 16667, 16667, 16667});
  checks.Expect(broken[4] == Verdict::Unclear && broken[5] == Verdict::Matches,
                "refresh probe: the three matching swaps must come in a row");
  std::vector<double> early(10, 1500.0);
  std::vector<Verdict> never = verdicts(early);
  checks.Expect(never[8] == Verdict::Unclear && never[9] == Verdict::Differs,
                "refresh probe: ten swaps in a row that do not wait (Xvfb) differ at once");
  never = verdicts(std::vector<double>(10, 13333.0));
  checks.Expect(never[9] == Verdict::Differs, "refresh probe: a 75 Hz screen differs after ten swaps");
  early[5] = 16667;
  never = verdicts(early);
  checks.Expect(never[9] == Verdict::Unclear, "refresh probe: a swap of one period starts the early count again");
  const std::vector<Verdict> fifty = verdicts(std::vector<double>(60, 20000.0));
  checks.Expect(fifty.back() == Verdict::Unclear,
                "refresh probe: a 50 Hz screen never matches nor comes early: the whole second is measured");
}

}  // namespace

int main(int argc, char** argv) {
  std::unique_ptr<Backend> backend = MakeX11Backend();
  UseBackend(backend.get());
  Checks checks;
  Scene scene;
  scene.Halves = TwoHalves(64, 32, kYellow, 255, kRed, 0);
  scene.AlphaTested = TwoHalves(32, 32, kCyan, 200, kCyan, 100);
  const std::vector<uint8_t> vera = ReadBytes(kVeraPath);
  scene.Vera = MakeTextFont(vera.data(), vera.size(), 20, FontStyleSmooth);

  // Without a display this prints one line and ends with status 1.
  OpenScreen(560, 370, 0, 60);
  ScreenReader screen;
  if (!checks.Expect(screen.Connected(), "the checker reaches the display")) return checks.Finish();
  checks.Expect(scene.Vera != nullptr, "Vera.ttf loads");
  if (!scene.Vera) return checks.Finish();
  CheckWindow(checks, screen, scene.Halves);

  CheckRefreshProbe(checks);
  OpenScreen(1024, 768, 16, 60);
  checks.Expect(!backend->RefreshMatches(60), "full screen: swaps on this server do not keep a 60 Hz refresh");
  DrawScene(scene);
  const ShownFrame at = ShownFrame::Fit(1024, 768, screen.Width(), screen.Height());
  const bool shown = WaitUntil([&] {
    screen.Snapshot();
    return Near(screen.At(at.ScreenX(200), at.ScreenY(150)), kRed);
  });
  checks.Expect(shown, "the full-screen frame reached the screen");
  CheckShapes(checks, screen, at);
  CheckPictures(checks, screen, at);
  CheckText(checks, screen, at, scene);
  CheckBars(checks, screen, at);
  if (argc > 1) checks.Expect(Shell(std::string("import -window root '") + argv[1] + "'"), "screenshot saved");
  CloseScreen();
  return checks.Finish();
}
