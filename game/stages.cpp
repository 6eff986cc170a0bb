/** @file stages.cpp The stage machine: stage events adding boxes and chefs, StageCheck, the zoom, the trend. */
#include "game/stages.h"

#include <cstdlib>
#include <string>

#include "game/ending.h"
#include "game/names.h"
#include "game/person.h"
#include "game/view.h"
#include "game/work.h"
#include "game/world.h"
#include "platform/hitlayers.h"
#include "platform/numeric.h"
#include "platform/random.h"
#include "platform/services.h"

namespace {

// A slot of Works is free when it was never used or its box was deleted.
bool SlotFree(size_t i) { return !Works[i] || Works[i]->Active == 0; }

ColorRef RandomColour() {
  auto c = std::make_shared<TColor>();
  c->Randomize();
  return c;
}

// The game's own boxes are protected; the old ones are weighed down with grey and
// filled to about their capacity with random colours.
void FillOldBox(TWork& box, int32_t grey) {
  box.Protected = 1;
  box.Add(Grey, grey);
  const int32_t n = RandomInt(box.Capacity - 6, box.Capacity + 9);
  for (int32_t k = 0; k <= n; ++k) box.Add(RandomColour(), 1);
}

// Stage 2: a box in the top-right corner of the view stage 3 will show, only
// peeking in at the corner of the current one.
void FirstBox() {
  const int32_t i = FreeWorkSlot();
  if (i < 0) return;
  WorkRef box = TWork::New();
  PutWork(i, box);
  const double target = StageTable[3].TargetScale;
  box->Place(TruncInt(HalfViewWidth(target) - TWork::width - 75), TruncInt(-HalfViewHeight(target) + 75));
  box->Protected = 1;
  const int32_t c = box->Capacity;
  for (int32_t k = 0; k <= c + 1; ++k) box->Add(RandomColour(), 1);
  FirstWork = i;
}

// Stage 3: a chef with his toque, next to the game's box, which is his; he is
// brought in from beyond the view (Safe) and walks in fast.
void FirstChef() {
  PeopleCount += 1;
  const int32_t i = PeopleCount - 1;
  PersonRef chef = TPerson::New();
  People[size_t(i)] = chef;
  chef->ID = i;
  chef->MyHat->Owner = i;
  const TWork& b = *Works[size_t(FirstWork)];
  chef->x = float(b.x + RandomInt(200, 340));
  chef->y = float(b.y + RandomInt(-160, 185));
  chef->Angle = RandomInt(100, 170);
  chef->Chef = ChefBorn;
  chef->Ownership = FirstWork;
  chef->Safe = 1;
  chef->Hairstyle = RandomInt(0, 3);
}

// Stage 4: fifteen old boxes around the middle, clear of the oval and of each
// other. The oval and each placed box are registered in the placement layer,
// which nothing else uses, and tested in world units at the identity transform.
void RingOfBoxes() {
  SetDrawScale(1, 1);
  SetDrawRotation(0);
  HitImage(Oval, (-ImagePixelWidth(Oval)) / 2, (-ImagePixelHeight(Oval)) / 2, 0, 0, LayerPlacement, nullptr);
  int32_t count = 0;
  for (size_t i = 0; i < Works.size() && count < 15; ++i) {
    if (!SlotFree(i)) continue;
    int32_t x, y;
    do {
      x = RandomInt(-1800, 1520);
      y = RandomInt(-1300, 1115);
    } while (!HitRect(x, y, TWork::width, TWork::height, LayerPlacement, 0, nullptr).empty());
    WorkRef box = TWork::New();
    PutWork(int32_t(i), box);
    box->Place(x, y);
    HitRect(x, y, TWork::width, TWork::height, 0, LayerPlacement, nullptr);
    FillOldBox(*box, 7);
    count += 1;
  }
}

// Stage 6: two hundred old boxes far out, their corners outside the ring's
// rectangle; they may overlap each other and the ring.
void FarField() {
  int32_t count = 0;
  for (size_t i = 0; i < Works.size() && count < 200; ++i) {
    if (!SlotFree(i)) continue;
    WorkRef box = TWork::New();
    PutWork(int32_t(i), box);
    int32_t x, y;
    do {
      x = RandomInt(-5200, 5200);
      y = RandomInt(-3840, 3840);
    } while (-1800 < x && x < 1800 && -1300 < y && y < 1300);
    box->Place(x, y);
    FillOldBox(*box, 15);
    count += 1;
  }
}

void StageEvent(int32_t stage) {
  switch (stage) {
    case 2: FirstBox(); break;
    case 3: FirstChef(); break;
    case 4: RingOfBoxes(); break;
    case 6: FarField(); break;
    case LastStage: AddClosingWords(); break;
    default: break;
  }
}

// A trend's colour is strong: some pair of its channels differs by 120 or more.
bool Strong(const TColor& c) {
  return std::abs(c.R - c.G) >= 120 || std::abs(c.G - c.B) >= 120 || std::abs(c.B - c.R) >= 120;
}

}  // namespace

void StageCheck() {
  // Stage 8 is the last; its thresholds are out of reach, and there is no row beyond it.
  if (Stage >= LastStage) return;
  const StageRow& row = StageTable[size_t(Stage)];
  const bool advance =
      (SecondScore >= row.GainNeeded && StageScore >= row.TotalNeeded) || StageScore > 2 * row.TotalNeeded;
  if (!advance) return;
  Stage += 1;
  PrintLine(std::to_string(Stage));
  StageScore = 0;
  StageEvent(Stage);
}

void ZoomAndGrowth() {
  const StageRow& row = StageTable[size_t(Stage)];
  if (Scale > row.TargetScale) {
    // The last step may end a little below the target. A step so long (a stalled
    // or suspended machine) that it would reach 0 or below ends at the target.
    const float stepped = StoreF(double(Scale) - double(FrameTime) / (double(Stage + 1) * 1500.0));
    Scale = stepped > 0.0f ? stepped : row.TargetScale;
  }
  if (PeopleCount < row.CrowdSize) {
    for (int32_t i = PeopleCount; i < row.CrowdSize; ++i) {
      People[size_t(i)] = TPerson::New();
      People[size_t(i)]->ID = i;
      People[size_t(i)]->MyHat->Owner = i;
    }
    PeopleCount = row.CrowdSize;
  }
}

void TrendStep() {
  if (Stage < 4) return;
  if (TrendTimer > 0) {
    TrendTimer -= 1;
    if (TrendTimer == 0) {
      TrendTimer = RandomInt(-37, -13);
      Trend = std::make_shared<TColor>();
      do Trend->Randomize();
      while (!Strong(*Trend));
      TrendStrength = RandomInt(0, 8);
    }
  } else if (TrendTimer < 0) {
    TrendTimer += 1;
    if (TrendTimer == -1) {
      TrendTimer = RandomInt(20, 90);
      Trend = nullptr;
    }
  }
}
