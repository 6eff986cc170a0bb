/** @file headless_game.cpp HeadlessGame and WorldDigest: a seeded game on the headless backend and its digest. */
#include "harness/headless_game.h"

#include <cstring>

#include "game/frameloop.h"
#include "game/person.h"
#include "game/startup.h"
#include "game/work.h"
#include "game/world.h"
#include "platform/hitlayers.h"
#include "platform/random.h"
#include "platform/resources.h"
#include "platform/services.h"

namespace {

// FNV-1a over the values fed in, each as its bytes.
class Digest {
 public:
  void Add(int64_t v) {
    for (int i = 0; i < 8; ++i) {
      hash_ ^= uint64_t(v) >> (8 * i) & 0xFF;
      hash_ *= 1099511628211ull;
    }
  }
  void Add(float v) {
    uint32_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    Add(int64_t(bits));
  }
  void Add(const ColorRef& c) {
    Ints(c ? 1 : 0);
    if (c) Ints(c->R, c->G, c->B);
  }
  // Integers of any width, each as 64 bits.
  template <typename... Ts>
  void Ints(Ts... values) {
    (Add(int64_t(values)), ...);
  }
  uint64_t Value() const { return hash_; }

 private:
  uint64_t hash_ = 14695981039346656037ull;
};

}  // namespace

uint64_t WorldDigest() {
  Digest d;
  d.Ints(Stage, Mode, AnyWork, WorkCount, StageScore, SecondScore, FirstWork, RandomState(), ColorCellMax, InspiredNews,
         FilledNews, ChefsThrown, TrendTimer, TrendStrength, PeopleCount, LastTick1, LastTick4, LastTick100,
         LastTick1000, FrameCount);
  d.Add(Scale);
  d.Add(FrameTime);
  d.Add(Trend);
  for (int32_t cell : ColorCells) d.Ints(cell);
  for (int32_t i = 0; i < PeopleCount; ++i) {
    const TPerson& p = *People[size_t(i)];
    d.Add(p.x);
    d.Add(p.y);
    d.Add(p.throwX);
    d.Add(p.throwY);
    d.Add(p.LossRetention);
    d.Ints(p.Frame, p.FrameIn, p.ID, p.Angle, p.Hairstyle, p.Mood, p.GettingHat, p.LossValue, p.LossChangeIn, p.Chef,
           p.CarriedHat, p.HatThief, p.Ownership, p.Following, p.Destination, p.BestFind, p.InspiredBy, p.Safe,
           p.MyHat->On, p.MyHat->x, p.MyHat->y, p.Opinion.size());
    d.Add(p.Color);
    d.Add(p.InspiredC);
    for (const TOpinion& o : p.Opinion) {
      d.Ints(o.Of, o.Is, o.ChangeIn, o.Patience);
      d.Add(o.Range);
      d.Add(o.Point);
    }
  }
  for (size_t slot = 0; slot < Works.size(); ++slot) {
    const WorkRef& w = Works[slot];
    if (!w) continue;
    d.Ints(slot, w->Active, w->Capacity, w->NextIng, w->x, w->y, w->Locked, w->ID, w->Protected);
    d.Add(w->Mix);
  }
  return d.Value();
}

HeadlessGame::HeadlessGame(HeadlessBackend& backend, int32_t seed, ::Backend* wrapper) : backend_(backend) {
  UseBackend(wrapper ? wrapper : &backend_);
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
      backend_.Feed(input.Event);
    }
    if (!GameFrame()) {
      ended_ = true;
      break;
    }
    ++frames_;
  }
  return run;
}
