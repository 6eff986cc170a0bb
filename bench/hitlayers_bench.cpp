/** @file hitlayers_bench.cpp Benchmark of one heavy frame's hit-layer registrations and queries. */
// One heavy frame's hit-layer work at the load of the last stages: 140 people
// register bodies, faces and hats; 1000 box bodies and 216 sight zones are in
// place; every person makes the box-contact, sight and rotated vision queries,
// 30 chefs look for faces, and the mouse looks under the cursor.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "frame_timer.h"
#include "platform/backends/headless.h"
#include "platform/embedded.h"
#include "platform/hitlayers.h"
#include "platform/random.h"
#include "platform/services.h"

namespace {

ImageRef Embedded(const char* name) {
  const EmbeddedFile* file = FindEmbeddedFile(name);
  ImageRef image = file ? DecodePng(file->Data, size_t(file->Size)) : nullptr;
  if (!image) {
    std::fprintf(stderr, "bench_hitlayers: the picture %s is not embedded\n", name);
    std::exit(1);
  }
  return image;
}

struct Person {
  int X, Y, Angle, Bob;
};
struct Box {
  int X, Y;
};

}  // namespace

int main(int argc, char** argv) {
  const int frames = argc > 1 ? std::atoi(argv[1]) : 3000;
  HeadlessBackend backend;
  backend.SetRecording(false);
  UseBackend(&backend);
  OpenScreen(1024, 768, 16, 60);

  ImageRef body = Embedded("body.png");
  ImageRef face = Embedded("face4.png");
  ImageRef hat = Embedded("hat.png");
  ImageRef vision = Embedded("vision.png");
  CentreImageHandle(vision);

  // The view at Scale 0.2 shows 5120 x 3840 world units; the last stages spread
  // boxes well beyond it, and people walk within it.
  SeedRandom(12345);
  std::vector<Box> boxes(1000);
  for (Box& b : boxes) b = {RandomInt(-6000, 5720), RandomInt(-4500, 4315)};
  std::vector<Person> people(140);
  for (Person& p : people) p = {RandomInt(-2700, 2400), RandomInt(-2200, 1400), RandomInt(0, 359), RandomInt(0, 29)};

  auto frame = [&] {
    ClearHitLayers(0);
    for (size_t i = 0; i < boxes.size(); ++i) HitRect(boxes[i].X, boxes[i].Y, 280, 185, 0, 5, &boxes[i]);
    for (size_t i = 0; i < 216; ++i) HitRect(boxes[i].X - 175, boxes[i].Y - 175, 630, 535, 0, 2, &boxes[i]);
    size_t touched = 0;
    for (Person& p : people) {
      HitImage(body, p.X, p.Y, 0, 0, 1, &p);
      HitImage(face, p.X + 90, p.Y + 72 + p.Bob, 0, 0, 9, &p);
      HitImage(hat, p.X, p.Y + p.Bob, 0, 0, 1, &p.Bob);
    }
    for (Person& p : people) {
      touched += HitRect(p.X + 85, p.Y, 110, 173, 4, 0, nullptr).size();
      touched += HitRect(p.X, p.Y, 280, 510, 2, 0, nullptr).size();
      SetDrawRotation(float(p.Angle));
      touched += HitImage(vision, p.X + 140, p.Y + 106, 0, 4, 0, nullptr).size();
      SetDrawRotation(0);
    }
    for (int c = 0; c < 30; ++c) {
      const Person& chef = people[size_t(c)];
      touched += HitRect(chef.X - 300, chef.Y - 300, 880, 1101, 8, 0, nullptr).size();
    }
    touched += HitRect(-4, -4, 9, 9, 1, 0, nullptr).size();
    if (touched == size_t(-1)) std::puts("");  // keeps the queries from being optimised away
  };

  FrameFigures figures = TimeFrames(100, frames, frame);
  PrintFigures("hit layers, 140 people + 1000 boxes", figures, frames);
  CloseScreen();
  return 0;
}
