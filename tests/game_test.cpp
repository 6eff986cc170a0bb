/** @file game_test.cpp Tests of start-up, the intro and the frame loop, on the headless backend. */
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <set>

#include "game/catalogue.h"
#include "game/frameloop.h"
#include "game/intro.h"
#include "game/mouse.h"
#include "game/person.h"
#include "game/startup.h"
#include "game/work.h"
#include "game/world.h"
#include "harness/headless_game.h"
#include "platform/embedded.h"
#include "platform/random.h"
#include "platform/resources.h"
#include "tests/headless_fixture.h"

namespace {

// The intro screen, run frame by frame with input fed in between.
class Intro : public ::testing::Test {
 protected:
  void SetUp() override {
    UseBackend(&backend);
    ClearRegistry();
    RegisterEmbeddedFiles();
    OpenScreen(560, 370, 0, 60);
    SetBlendMode(BlendAlpha);
    SetTextFont(LoadTextFont("incbin::VERA.TTF", 20, FontStyleSmooth));
    SetExitHandler(ThrowWhenTheProgramEnds);
  }
  void TearDown() override {
    SetExitHandler(nullptr);
    ResetServices();
    ClearRegistry();
    UseBackend(nullptr);
  }
  // The colour of the OK button in the frame shown last.
  const DrawCall& OkButton() {
    for (const DrawCall& call : backend.LastFrame())
      if (call.What == DrawCall::Kind::Rect && call.X == 240 && call.Y == 291) return call;
    static DrawCall none;
    ADD_FAILURE() << "no OK button drawn";
    return none;
  }
  HeadlessBackend backend;
  OkColour colour{107, 54, 177};
  int pressed = 0;
};

TEST_F(Intro, ReturnLeavesAtOnceWhereverThePointerIs) {
  backend.MovePointer(10, 10);
  EXPECT_TRUE(IntroGoesOn(pressed));
  IntroFrame(colour, pressed);
  backend.PressKey(KeyReturn);
  EXPECT_FALSE(IntroGoesOn(pressed));
}

TEST_F(Intro, ReleaseOverOkAfterAPressLeaves) {
  backend.MovePointer(280, 310);
  backend.PressButton(ButtonLeft);
  IntroFrame(colour, pressed);
  EXPECT_EQ(pressed, 1);
  EXPECT_TRUE(IntroGoesOn(pressed));
  IntroFrame(colour, pressed);
  // Black text on white while OK is held down.
  EXPECT_EQ(backend.LastFrame()[0].What, DrawCall::Kind::Rect);
  EXPECT_EQ(backend.LastFrame()[0].W, 560);
  backend.ReleaseButton(ButtonLeft);
  EXPECT_FALSE(IntroGoesOn(pressed));
}

TEST_F(Intro, ATapOnOkLeaves) {
  backend.MovePointer(280, 310);
  IntroFrame(colour, pressed);
  backend.PressButton(ButtonLeft);
  backend.ReleaseButton(ButtonLeft);
  IntroFrame(colour, pressed);
  EXPECT_EQ(pressed, 1);
  EXPECT_FALSE(IntroGoesOn(pressed));
}

TEST_F(Intro, SlidingOffOkBeforeReleasingDoesNotLeave) {
  backend.MovePointer(280, 310);
  backend.PressButton(ButtonLeft);
  IntroFrame(colour, pressed);
  backend.MovePointer(320, 310);  // the right edge is outside: bounds are exclusive
  IntroFrame(colour, pressed);
  EXPECT_EQ(pressed, 0);
  backend.ReleaseButton(ButtonLeft);
  EXPECT_TRUE(IntroGoesOn(pressed));
  // A press that began elsewhere counts once the pointer comes onto OK while held.
  backend.PressButton(ButtonLeft);
  backend.MovePointer(241, 292);
  IntroFrame(colour, pressed);
  EXPECT_EQ(pressed, 1);
}

TEST_F(Intro, OkShimmersOnlyWhileHovered) {
  backend.MovePointer(100, 100);
  IntroFrame(colour, pressed);
  EXPECT_EQ(OkButton().R, 255);  // the text colour of a white-on-black frame
  backend.MovePointer(280, 310);
  // Each channel moves by at most 9 inside 100..200 and is drawn toward the band from outside.
  OkColour previous = colour;
  std::set<int> reds;
  for (int frame = 0; frame < 60; ++frame) {
    IntroFrame(colour, pressed);
    const DrawCall& ok = OkButton();
    EXPECT_EQ(ok.R, colour.R);
    EXPECT_EQ(ok.B, colour.B);
    reds.insert(ok.R);
    for (auto [now, before] : {std::pair{colour.R, previous.R}, {colour.G, previous.G}, {colour.B, previous.B}}) {
      if (before >= 100 && before <= 200) {
        EXPECT_GE(now, 100);
        EXPECT_LE(now, 200);
        EXPECT_LE(std::abs(now - before), 9);
      } else if (before < 100) {
        EXPECT_GE(now, before + 0);
        EXPECT_LE(now, std::max(before + 9, 100));
      }
    }
    previous = colour;
  }
  EXPECT_GT(reds.size(), 5u);
  EXPECT_GE(colour.G, 100);  // 54 climbs into the band
}

TEST_F(Intro, EscEndsTheProgramFromTheIntro) {
  backend.PressKey(KeyEscape);
  EXPECT_THROW(IntroFrame(colour, pressed), ProgramEnded);
  EXPECT_FALSE(backend.IsOpen());
}

// A backend that wraps the headless one and watches the intro: it keeps the OK
// button of each intro frame shown and presses Return after the second, so the
// real start-up runs on into the game.
class IntroWatcher : public Backend {
 public:
  bool Open(int w, int h, bool full, std::string& whyNot) override { return inner.Open(w, h, full, whyNot); }
  void Close() override { inner.Close(); }
  bool RefreshMatches(int hertz) override { return inner.RefreshMatches(hertz); }
  void PumpEvents(InputState& input) override { inner.PumpEvents(input); }
  int64_t NowMs() override { return inner.NowMs(); }
  void SleepMs(int ms) override { inner.SleepMs(ms); }
  int BootClockMs() override { return inner.BootClockMs(); }
  void Clear(uint8_t r, uint8_t g, uint8_t b) override { inner.Clear(r, g, b); }
  void Draw(const DrawCall& call) override { inner.Draw(call); }
  void WarpPointer(int x, int y, InputState& input) override { inner.WarpPointer(x, y, input); }
  void HidePointer() override { inner.HidePointer(); }
  uint32_t Generation() const override { return inner.Generation(); }
  void Swap(bool wait) override {
    inner.Swap(wait);
    if (inner.Width() != 560) return;
    for (const DrawCall& call : inner.LastFrame())
      if (call.What == DrawCall::Kind::Rect && call.X == 240 && call.Y == 291)
        okColours.push_back({call.R, call.G, call.B});
    if (okColours.size() == 2) inner.PressKey(KeyReturn);
  }
  HeadlessBackend inner;
  std::vector<std::array<int, 3>> okColours;
};

TEST(StartUp, TheOkColourComesFromTheUnseededGeneratorAndTheGameFromTheClock) {
  IntroWatcher backend;
  UseBackend(&backend);
  ClearRegistry();
  SeedRandom(99);  // whatever ran before, start-up starts from the unseeded state
  backend.inner.SetBootClock(1000);
  backend.inner.MovePointer(280, 310);  // over OK: its colour is drawn, shimmering
  StartGame();
  // The unseeded generator gives 107, 54, 177; the first frame's shimmer moves each
  // channel into 100..200 by at most 9, the second frame's from there.
  ASSERT_EQ(backend.okColours.size(), 2u);
  EXPECT_EQ(backend.okColours[0], (std::array<int, 3>{102, 84, 171}));
  EXPECT_EQ(backend.okColours[1], (std::array<int, 3>{109, 95, 170}));
  // The game is seeded from the clock when the intro is left (boot clock 1000 plus
  // two paced frames), and its draws follow from that seed alone.
  EXPECT_TRUE(backend.inner.IsFullScreen());
  EXPECT_EQ(PeopleCount, 20);
  EXPECT_EQ(People[0]->x, -990.0f);
  EXPECT_EQ(People[0]->y, -90.0f);
  EXPECT_EQ(People[0]->Angle, 75);
  EXPECT_EQ(People[7]->Hairstyle, 9);
  EXPECT_EQ(People[19]->Color->R, 84);
  EXPECT_EQ(TrendTimer, 73);
  EXPECT_NEAR(StageTable[2].TargetScale, 0.855528f, 1e-6f);
  EXPECT_EQ(RandomState(), 1990205017);
  EndHeadlessRun();
  ClearHitLayers(0);
  ClearRegistry();
}

class Game : public ::testing::Test {
 protected:
  HeadlessBackend backend;
};

TEST_F(Game, StartsWithTwentyPeopleAndNoBox) {
  HeadlessGame game(backend, 1234);
  EXPECT_TRUE(backend.IsFullScreen());
  EXPECT_EQ(backend.Width(), 1024);
  EXPECT_TRUE(backend.PointerHidden());
  EXPECT_EQ(PeopleCount, 20);
  for (int32_t i = 0; i < 20; ++i) {
    ASSERT_TRUE(People[size_t(i)]);
    EXPECT_EQ(People[size_t(i)]->ID, i);
    EXPECT_EQ(People[size_t(i)]->MyHat->Owner, i);
  }
  EXPECT_FALSE(People[20]);
  EXPECT_TRUE(std::none_of(Works.begin(), Works.end(), [](const WorkRef& w) { return bool(w); }));
  EXPECT_GE(StageTable[2].TargetScale, 0.82f);
  EXPECT_LT(StageTable[2].TargetScale, 0.86f);
  EXPECT_EQ(StageTable[8].CrowdSize, 140);
  EXPECT_TRUE(Oval);
  EXPECT_EQ(ImagePixelWidth(Oval), 2560);
}

TEST_F(Game, PicturesLandInTheirSlots) {
  HeadlessGame game(backend, 99);
  auto same = [](const ImageRef& slot, const char* file) {
    return slot && slot->Pixels == EmbeddedPicture(file)->Pixels;
  };
  EXPECT_TRUE(same(Hairs[0], "hair0.png"));
  EXPECT_TRUE(same(Hairs[9], "hair9.png"));
  EXPECT_TRUE(same(BodyFrames[9], "framesdown07.png"));
  EXPECT_TRUE(same(BodyFrames[16], "framesdown00.png"));
  EXPECT_TRUE(same(BodyFrames[8], "body.png"));
  EXPECT_TRUE(same(InspireCFrames[1], "ic2.png"));
  EXPECT_TRUE(same(InspireCFrames[34], "ic35.png"));
  EXPECT_TRUE(same(InspireBFrames[3], "ib38.png"));
  EXPECT_TRUE(same(HatFrames[5], "hat-005.png"));
  EXPECT_FLOAT_EQ(VisionImage->HandleX, 150);
  EXPECT_EQ(InspireCIndex[36], 30);
  EXPECT_EQ(InspireBIndex[52], 4);
  EXPECT_EQ(CatalogueNames().size(), 95u);
  EXPECT_EQ(CatalogueNames().front(), "VERA.TTF");
  EXPECT_EQ(CatalogueNames().back(), "oval.png");
}

TEST_F(Game, SameSeedAndInputGiveTheSameWorld) {
  auto digestAfter = [](int32_t seed, int frames) {
    HeadlessBackend backend;
    HeadlessGame game(backend, seed);
    game.Run(frames);
    return WorldDigest();
  };
  EXPECT_EQ(digestAfter(42, 900), digestAfter(42, 900));
  EXPECT_NE(digestAfter(42, 900), digestAfter(43, 900));
}

TEST_F(Game, TheWorldDigestSeesOneUnitOfDifference) {
  HeadlessGame game(backend, 5);
  const uint64_t start = WorldDigest();
  People[19]->x += 1;
  EXPECT_NE(WorldDigest(), start);
  People[19]->x -= 1;
  EXPECT_EQ(WorldDigest(), start);
  People[3]->Color->B ^= 1;
  EXPECT_NE(WorldDigest(), start);
  People[3]->Color->B ^= 1;
  People[7]->MyHat->On = HatOff;
  EXPECT_NE(WorldDigest(), start);
  People[7]->MyHat->On = HatWorn;
  RandomInt(0, 1);
  EXPECT_NE(WorldDigest(), start);
  const uint64_t drawn = WorldDigest();
  Works[500] = TWork::New();  // draws its capacity: compare with the state after that
  const uint64_t withBox = WorldDigest();
  Works[500]->x += 1;
  EXPECT_NE(WorldDigest(), withBox);
  Works[500] = nullptr;
  EXPECT_NE(WorldDigest(), drawn);  // WorkCount and the generator moved on
}

TEST_F(Game, FrameTimeIsZeroUntilAHundredFramesHavePassed) {
  HeadlessGame game(backend, 5);
  const float startX = People[0]->x;
  game.Run(99);
  EXPECT_EQ(FrameTime, 0.0f);
  EXPECT_EQ(People[0]->x, startX);  // nothing moves by FrameTime yet
  game.Run(1);
  // Measured in the 100th frame, which sees the clock as its events were read at
  // its start: 99 paced frames, 1650 ms. FrameTime = 0.09 x 1650 / 100, held as floats.
  EXPECT_EQ(backend.NowMs(), 1666);
  EXPECT_EQ(FrameTime, float(double(float(1650 * 0.09)) / 100.0));
}

TEST_F(Game, F1ReviewsMessagesOnlyWhileHeldAndAboveTheLastZoom) {
  HeadlessGame game(backend, 5);
  Mode = ModePlacing;  // F1 abandons a special mode
  game.Run(1, {{0, {HeadlessBackend::Event::Kind::KeyDown, KeyF1, 0}}});
  EXPECT_EQ(Mode, ModeReviewing);
  game.Run(1, {{1, {HeadlessBackend::Event::Kind::KeyUp, KeyF1, 0}}});
  EXPECT_EQ(Mode, ModeNormal);
  Scale = 0.1f;
  game.Run(1, {{2, {HeadlessBackend::Event::Kind::KeyDown, KeyF1, 0}}});
  EXPECT_EQ(Mode, ModeNormal);
}

TEST_F(Game, EscEndsTheLoopBeforeTheNextFrame) {
  HeadlessGame game(backend, 5);
  const int shown = backend.FramesShown();
  EXPECT_EQ(game.Run(10, {{3, {HeadlessBackend::Event::Kind::KeyDown, KeyEscape, 0}}}), 3);
  EXPECT_TRUE(game.Ended());
  EXPECT_EQ(backend.FramesShown(), shown + 3);
}

TEST_F(Game, PeopleActBackToFrontWithTheHeldPersonLast) {
  HeadlessGame game(backend, 5);
  PeopleCount = 4;
  const float ys[4] = {100, 50, 50, 300};
  for (int i = 0; i < 4; ++i) People[size_t(i)]->y = ys[i];
  EXPECT_EQ(PeoplePass(), (std::vector<int32_t>{1, 2, 0, 3}));
  Mouse->Clicked = People[1]->MyHat.get();  // holding his hat holds him in the pass
  EXPECT_EQ(PeoplePass(), (std::vector<int32_t>{2, 0, 3, 1}));
  // Nobody lies above y = 536000000 for the second pick: best keeps the first pick's slot.
  Mouse->Clicked = nullptr;
  PeopleCount = 2;
  People[0]->y = 7e8f;
  People[1]->y = 100;
  EXPECT_EQ(PeoplePass(), (std::vector<int32_t>{1, 1}));
}

TEST_F(Game, TheMoodScoreDoesNotSinkOnceNegative) {
  HeadlessGame game(backend, 5);
  EXPECT_EQ(MoodGain(35), 0);
  EXPECT_EQ(MoodGain(26), 0);
  EXPECT_EQ(MoodGain(25), -1);
  EXPECT_EQ(MoodGain(40), 1);
  EXPECT_EQ(MoodGain(69), 6);
  EXPECT_EQ(MoodGain(0), -3);
  StageScore = 2;
  SecondScore = 0;
  for (int32_t mood : {5, 5, 69}) ScoreSecond(mood);  // gains -3, -3, +6
  EXPECT_EQ(StageScore, 5);
  EXPECT_EQ(SecondScore, 0);
}

TEST_F(Game, BoxesActInSlotOrderBehindThePeople) {
  HeadlessGame game(backend, 5);
  for (size_t slot : {3u, 1u}) {
    WorkRef box = TWork::New();
    box->Place(-300 + int32_t(slot) * 100, -100);
    box->Add(TColor::Get(slot == 1 ? 200 : 0, 0, slot == 3 ? 200 : 0), 1);
    Works[slot] = box;
  }
  Works[1]->Active = 0;  // a deleted box is skipped
  game.Run(1);
  EXPECT_EQ(AnyWork, 1);
  EXPECT_EQ(DroppedHatOwner, -1);
  const auto& drawn = backend.LastFrame();
  ASSERT_FALSE(drawn.empty());
  // The first thing drawn is the live box's body in its mix, before anybody.
  EXPECT_EQ(drawn[0].What, DrawCall::Kind::Rect);
  EXPECT_EQ(drawn[0].B, Works[3]->Mix->B);
  EXPECT_EQ(drawn[0].R, 0);
  Works[1]->Active = 1;
  game.Run(1);
  EXPECT_EQ(backend.LastFrame()[0].R, Works[1]->Mix->R);  // slot 1 now comes first
  Works[1] = Works[3] = nullptr;
  game.Run(1);
  EXPECT_EQ(AnyWork, 0);
}

}  // namespace
