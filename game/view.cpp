/** @file view.cpp The world view's drawing: DrawScaled, RectScaled, OvalScaled, OnScreen and the message lines. */
#include "game/view.h"

#include "game/names.h"
#include "game/world.h"
#include "platform/hitlayers.h"
#include "platform/numeric.h"
#include "platform/services.h"

namespace {

// Screen position of a world coordinate, evaluated in double from the float zoom.
float ScreenX(double x) { return StoreF(512.0 + x * double(Scale)); }
float ScreenY(double y) { return StoreF(384.0 + y * double(Scale)); }

}  // namespace

const MessageBar UpperBar{1};
const MessageBar LowerBar{2};

int UseColor(const ColorRef& c) {
  SetDrawColor(c->R, c->G, c->B);
  return 0;
}

int DrawScaled(const ImageRef& image, int x, int y, int frame) {
  SetDrawScale(Scale, Scale);
  if (OnScreen(x, y, ImagePixelWidth(image), ImagePixelHeight(image), 1))
    DrawImageFrame(image, ScreenX(x), ScreenY(y), frame);
  SetDrawScale(1, 1);
  return 0;
}

int DrawScaledMirrored(const ImageRef& image, int x, int y, int frame) {
  SetDrawScale(-Scale, Scale);
  const int width = ImagePixelWidth(image);
  if (OnScreen(x, y, width, ImagePixelHeight(image), 1))
    DrawImageFrame(image, ScreenX(double(x) + double(width)), ScreenY(y), frame);
  SetDrawScale(1, 1);
  return 0;
}

int RectScaled(int x, int y, int w, int h, const ColorRef& c) {
  SetDrawScale(Scale, Scale);
  if (c) UseColor(c);
  if (OnScreen(x, y, w, h, 1)) FillRect(ScreenX(x), ScreenY(y), float(w), float(h));
  SetDrawScale(1, 1);
  return 0;
}

int OvalScaled(int x, int y, int w, int h) {
  SetDrawScale(Scale, Scale);
  if (OnScreen(x, y, w, h, 1)) FillOval(ScreenX(x), ScreenY(y), float(w), float(h));
  SetDrawScale(1, 1);
  return 0;
}

int OnScreen(int x, int y, int w, int h, int partly) {
  // Integer sums compared as reals against the visible half-sizes.
  const double halfW = 1024.0 / double(Scale) / 2.0;
  const double halfH = 768.0 / double(Scale) / 2.0;
  const int64_t p = partly;
  const double left = double(int64_t(x) + int64_t(w) * p);
  const double right = double(int64_t(x) + (1 - p) * int64_t(w));
  const double top = double(int64_t(y) + int64_t(h) * p);
  const double bottom = double(int64_t(y) + (1 - p) * int64_t(h));
  return left >= -halfW && right <= halfW && top >= -halfH && bottom <= halfH ? 1 : 0;
}

int ShowLines(const std::string& line1, const std::string& line2) {
  const int w1 = TextPixelWidth(line1);
  const int w2 = TextPixelWidth(line2);
  const int th = TextPixelHeight();
  const double scale = Scale;
  SetDrawScale(1, 1);
  UseColor(White);
  FillRect(float(512 - w1 / 2), 0, float(w1), 20);
  HitRect(TruncInt((-w1 / 2) / scale), TruncInt(-384 / scale), TruncInt(w1 / scale), TruncInt(th / scale), 0, LayerGrab,
          &UpperBar);
  FillRect(float(512 - w2 / 2), 20, float(w2), 20);
  HitRect(TruncInt((-w2 / 2) / scale), TruncInt(-364 / scale), TruncInt(w2 / scale), TruncInt(th / scale), 0, LayerGrab,
          &LowerBar);
  UseColor(Black);
  DrawTextAt(line1, float(512 - w1 / 2), 0);
  DrawTextAt(line2, float(512 - w2 / 2), 20);
  return 0;
}
