/** @file view.cpp The world view's drawing: DrawScaled, RectScaled, OvalScaled, OnScreen and the message lines. */
#include "game/view.h"

#include "game/names.h"
#include "game/world.h"
#include "platform/hitlayers.h"
#include "platform/numeric.h"
#include "platform/services.h"

int32_t ScreenToWorldX(int32_t screenX) { return TruncInt((screenX - ScreenCentreX) / double(Scale)); }
int32_t ScreenToWorldY(int32_t screenY) { return TruncInt((screenY - ScreenCentreY) / double(Scale)); }

float WorldToScreenX(double x) { return StoreF(ScreenCentreX + x * double(Scale)); }
float WorldToScreenY(double y) { return StoreF(ScreenCentreY + y * double(Scale)); }

const MessageBar UpperBar{1};
const MessageBar LowerBar{2};

int UseColor(const ColorRef& c) {
  SetDrawColor(c->R, c->G, c->B);
  return 0;
}

int DrawScaled(const ImageRef& image, int x, int y, int frame) {
  SetDrawScale(Scale, Scale);
  if (OnScreen(x, y, ImagePixelWidth(image), ImagePixelHeight(image), 1))
    DrawImageFrame(image, WorldToScreenX(x), WorldToScreenY(y), frame);
  SetDrawScale(1, 1);
  return 0;
}

int DrawScaledMirrored(const ImageRef& image, int x, int y, int frame) {
  SetDrawScale(-Scale, Scale);
  const int width = ImagePixelWidth(image);
  if (OnScreen(x, y, width, ImagePixelHeight(image), 1))
    DrawImageFrame(image, WorldToScreenX(double(x) + double(width)), WorldToScreenY(y), frame);
  SetDrawScale(1, 1);
  return 0;
}

int RectScaled(int x, int y, int w, int h, const ColorRef& c) {
  SetDrawScale(Scale, Scale);
  if (c) UseColor(c);
  if (OnScreen(x, y, w, h, 1)) FillRect(WorldToScreenX(x), WorldToScreenY(y), float(w), float(h));
  SetDrawScale(1, 1);
  return 0;
}

int OvalScaled(int x, int y, int w, int h) {
  SetDrawScale(Scale, Scale);
  if (OnScreen(x, y, w, h, 1)) FillOval(WorldToScreenX(x), WorldToScreenY(y), float(w), float(h));
  SetDrawScale(1, 1);
  return 0;
}

int OnScreen(int x, int y, int w, int h, int partly) {
  // Integer sums compared as reals against the visible half-sizes.
  const double halfW = HalfViewWidth(Scale);
  const double halfH = HalfViewHeight(Scale);
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
  // Each bar is centred on the screen and registered in world units under its id.
  const int left1 = ScreenCentreX - w1 / 2, left2 = ScreenCentreX - w2 / 2;
  FillRect(float(left1), 0, float(w1), 20);
  HitRect(ScreenToWorldX(left1), ScreenToWorldY(0), TruncInt(w1 / scale), TruncInt(th / scale), 0, LayerGrab,
          &UpperBar);
  FillRect(float(left2), 20, float(w2), 20);
  HitRect(ScreenToWorldX(left2), ScreenToWorldY(20), TruncInt(w2 / scale), TruncInt(th / scale), 0, LayerGrab,
          &LowerBar);
  UseColor(Black);
  DrawTextAt(line1, float(left1), 0);
  DrawTextAt(line2, float(left2), 20);
  return 0;
}
