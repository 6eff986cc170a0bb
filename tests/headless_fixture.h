/** @file headless_fixture.h Test fixtures and helpers over a fresh headless backend: screen, world, pictures, fonts. */
// What the unit tests of the services and of single game types share: a fresh
// headless screen (and world), the program's end turned into an exception, and
// finders for what was drawn, pictures and the font.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "game/world.h"
#include "platform/backends/headless.h"
#include "platform/embedded.h"
#include "platform/font.h"
#include "platform/hitlayers.h"
#include "platform/image.h"
#include "platform/services.h"

struct ProgramEnded {};
[[noreturn]] inline void ThrowWhenTheProgramEnds() { throw ProgramEnded{}; }

class HeadlessScreen : public ::testing::Test {
 protected:
  void SetUp() override {
    UseBackend(&backend);
    OpenScreen(1024, 768, 16, 60);
    ClearHitLayers(0);
  }
  void TearDown() override {
    ResetServices();
    ClearHitLayers(0);
    UseBackend(nullptr);
  }
  HeadlessBackend backend;
};

// A headless screen and a world at its start values, reset again afterwards.
class HeadlessWorld : public HeadlessScreen {
 protected:
  void SetUp() override {
    HeadlessScreen::SetUp();
    ResetWorld();
  }
  void TearDown() override {
    ResetWorld();
    HeadlessScreen::TearDown();
  }
};

// After a game run on a backend of its own (a replay, a recorded game): the
// services, the world and the backend let go, so the next test starts afresh.
inline void EndHeadlessRun() {
  ResetServices();
  ResetWorld();
  UseBackend(nullptr);
}

// A w x h picture, white and opaque all over.
inline ImageRef SolidImage(int w, int h) {
  auto image = std::make_shared<Image>();
  image->Width = w;
  image->Height = h;
  image->Pixels.assign(size_t(w) * size_t(h) * 4, 255);
  return image;
}

// The first drawing of `image` among `calls`, or null.
inline const DrawCall* FindPicture(const std::vector<DrawCall>& calls, const ImageRef& image) {
  for (const DrawCall& call : calls)
    if (call.What == DrawCall::Kind::Image && call.Picture == image.get()) return &call;
  return nullptr;
}

// An embedded picture decoded straight from its bytes; null when there is no such file.
inline ImageRef EmbeddedPicture(const char* name) {
  const EmbeddedFile* file = FindEmbeddedFile(name);
  return file ? DecodePng(file->Data, size_t(file->Size)) : nullptr;
}

// The embedded Vera at `pixels`, smoothed as the game uses it; null when it is missing.
inline FontRef EmbeddedVera(int pixels) {
  const EmbeddedFile* vera = FindEmbeddedFile("VERA.TTF");
  return vera ? MakeTextFont(vera->Data, size_t(vera->Size), pixels, FontStyleSmooth) : nullptr;
}
