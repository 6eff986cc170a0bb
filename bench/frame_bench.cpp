/** @file frame_bench.cpp Benchmark of the whole headless frame with 140 people and 216 boxes, as in the last stages. */
// The whole frame on the headless backend at the load of the last stages:
// 140 people and 216 boxes spread as the game's own stage events spread them
// (its first box, the ring of fifteen around the middle, two hundred far out),
// with the view drawn back to Scale 0.2.
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "frame_timer.h"
#include "game/frameloop.h"
#include "game/person.h"
#include "game/work.h"
#include "game/world.h"
#include "harness/headless_game.h"
#include "platform/random.h"

namespace {

// A protected box filled with grey and about a capacity of random colours.
void FillGameBox(size_t slot, int32_t x, int32_t y, int32_t greys) {
  WorkRef box = TWork::New();
  box->Place(x, y);
  box->Protected = 1;
  box->Add(Grey, greys);
  const int32_t n = RandomInt(box->Capacity - 6, box->Capacity + 9);
  for (int32_t k = 0; k <= n; ++k) {
    auto colour = std::make_shared<TColor>();
    colour->Randomize();
    box->Add(colour, 1);
  }
  Works[slot] = box;
}

bool InsideEllipse(int32_t x, int32_t y) {
  // Any corner of the box inside the ellipse of half-axes 1280 and 960 counts as touching it.
  for (int32_t cx : {x, x + 280})
    for (int32_t cy : {y, y + 185})
      if (std::pow(cx / 1280.0, 2) + std::pow(cy / 960.0, 2) <= 1.0) return true;
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  const int frames = argc > 1 ? std::atoi(argv[1]) : 3000;
  HeadlessBackend backend;
  backend.SetRecording(false);
  HeadlessGame game(backend, 20261208);
  Stage = 7;  // the view and the crowd of the second-to-last stage, whose target zoom is 0.2
  Scale = 0.2f;
  size_t slot = 0;
  FillGameBox(slot++, 527, -587, 0);
  for (int ring = 0; ring < 15; ++ring) {
    int32_t x, y;
    do {
      x = RandomInt(-1800, 1520);
      y = RandomInt(-1300, 1115);
    } while (InsideEllipse(x, y));
    FillGameBox(slot++, x, y, 7);
  }
  for (int far = 0; far < 200; ++far) {
    int32_t x, y;
    do {
      x = RandomInt(-5200, 5200);
      y = RandomInt(-3840, 3840);
    } while (x > -1800 && x < 1800 && y > -1300 && y < 1300);
    FillGameBox(slot++, x, y, 15);
  }
  for (int32_t i = PeopleCount; i < 140; ++i) {
    People[size_t(i)] = TPerson::New();
    People[size_t(i)]->ID = i;
    People[size_t(i)]->MyHat->Owner = i;
  }
  PeopleCount = 140;
  game.Run(1500);  // people walk in and form their opinions
  FrameFigures figures = TimeFrames(100, frames, [] { GameFrame(); });
  PrintFigures("whole frame, 140 people + 216 boxes at Scale 0.2", figures, frames);
  int moved = 0;
  for (int32_t i = 0; i < PeopleCount; ++i) moved += People[size_t(i)]->Mood != 35;
  std::printf("people with an opinion-driven mood at the end: %d of %d\n", moved, PeopleCount);
  return 0;
}
