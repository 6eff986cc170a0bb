/** @file button.cpp TButton's Set and Be: a labelled button placed on the screen and fired on a release over it. */
#include "game/button.h"

#include "game/mouse.h"
#include "game/names.h"
#include "game/view.h"
#include "game/world.h"
#include "platform/hitlayers.h"
#include "platform/numeric.h"
#include "platform/services.h"

int TButton::Set(int32_t px, int32_t py, int32_t w, int32_t h, const std::string& label) {
  x = px;
  y = py;
  width = w;
  height = h;
  text = label;
  return 0;
}

int TButton::Be() {
  Activate = 0;
  SetDrawScale(1, 1);
  // Registered in world units, so the mouse grabs it like anything else; being the
  // newest shape under the cursor, it wins over whatever lies beneath.
  const double s = Scale;
  HitRect(ScreenToWorldX(x), ScreenToWorldY(y), TruncInt(width / s), TruncInt(height / s), 0, LayerGrab, this);
  const bool over = Mouse && Mode == ModeNormal && Mouse->Over() == this;
  const bool pressed = over && Mouse->Clicked == this;  // grey only while held and over it

  UseColor(Black);
  FillRect(float(x), float(y), float(width), float(height));
  if (pressed)
    SetDrawColor(180, 180, 180);
  else
    UseColor(White);
  FillRect(float(x + 1), float(y + 1), float(width - 2), float(height - 2));
  UseColor(Black);
  DrawTextAt(text, float(x + (width - TextPixelWidth(text)) / 2), float(y + (height - TextPixelHeight()) / 2));

  // Fires on a release over it: the mouse reports the release for one frame.
  if (over && Mouse->Dropped == this) Activate = 1;
  return 0;
}
