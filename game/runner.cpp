#include "game/runner.h"

#include "game/frameloop.h"
#include "game/startup.h"
#include "game/world.h"
#include "platform/hitlayers.h"
#include "platform/resources.h"
#include "platform/services.h"

HeadlessGame::HeadlessGame(HeadlessBackend& backend, int32_t seed) : backend_(backend) {
  UseBackend(&backend_);
  ClearRegistry();
  ClearHitLayers(0);
  // ClockMs reads the boot clock plus the virtual time, which is still 0 when
  // the intro is left at once, so the game is seeded with `seed`.
  backend_.SetBootClock(seed - int32_t(backend_.NowMs()));
  backend_.PressKey(KeyReturn);
  backend_.ReleaseKey(KeyReturn);
  StartGame();
}

HeadlessGame::~HeadlessGame() {
  ResetServices();
  ClearHitLayers(0);
  ResetWorld();
  ClearRegistry();
  UseBackend(nullptr);
}

int HeadlessGame::Run(int frames, const std::vector<ScriptedInput>& script) {
  int run = 0;
  for (; run < frames && !ended_; ++run) {
    for (const ScriptedInput& input : script) {
      if (input.Frame != frames_) continue;
      const auto& e = input.Event;
      switch (e.What) {
        case HeadlessBackend::Event::Kind::KeyDown: backend_.PressKey(e.A); break;
        case HeadlessBackend::Event::Kind::KeyUp: backend_.ReleaseKey(e.A); break;
        case HeadlessBackend::Event::Kind::ButtonDown: backend_.PressButton(e.A); break;
        case HeadlessBackend::Event::Kind::ButtonUp: backend_.ReleaseButton(e.A); break;
        case HeadlessBackend::Event::Kind::Motion: backend_.MovePointer(e.A, e.B); break;
        case HeadlessBackend::Event::Kind::Suspend: backend_.Suspend(); break;
      }
    }
    if (!GameFrame()) {
      ended_ = true;
      break;
    }
    ++frames_;
  }
  return run;
}
