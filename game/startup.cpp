/** @file startup.cpp StartGame: the embedded files, font and stage table, the intro, the game screen and BuildWorld. */
#include "game/startup.h"

#include "game/catalogue.h"
#include "game/intro.h"
#include "game/mouse.h"
#include "game/person.h"
#include "game/tutor.h"
#include "game/world.h"
#include "platform/numeric.h"
#include "platform/random.h"
#include "platform/services.h"

namespace {

// The font is loaded for each screen; the game screen never uses the intro window's.
void LoadGameFont() {
  SetBlendMode(BlendAlpha);
  SetTextFont(LoadTextFont("incbin::VERA.TTF", 20, FontStyleSmooth));
}

void FillStageTable() {
  // The stage-2 zoom target is drawn once, here, and holds for the whole game.
  const float stage2Target = StoreF(RandomReal(0.82, 0.86));
  StageTable = {{
      {5, 24, 1.0f, 20},
      {0, 90, 0.9f, 25},
      {8, 220, stage2Target, 30},
      {25, 400, 0.58f, 50},
      {40, 210, 0.45f, 74},
      {56, 1600, 0.37f, 88},
      {45, 2000, 0.3f, 100},
      {37, 1000, 0.2f, 130},
      {9999999, 9999999, 0.1f, 140},
  }};
}

}  // namespace

void BuildWorld(int clockSeed) {
  SeedRandom(clockSeed);
  OpenScreen(1024, 768, 16, 60);
  LoadGameFont();
  CursorImage = LoadImageFile("incbin::cursor.png");
  Mouse = std::make_shared<TMouse>(TMouse::New());
  LoadPeoplePictures();
  Timer100 = StartTimer(100);
  Timer4 = StartTimer(4);
  Timer1000 = StartTimer(1000);
  NewButton.Set(7, 690, 180, 30, "New color");
  DeleteButton.Set(7, 730, 130, 30, "Delete color");
  FinalizeButton.Set(149, 730, 140, 30, "Finalize color");
  // The End button's label is drawn by the closing scene; its height reaches past the screen's bottom.
  EndButton.Set(0, 734, TextPixelWidth("End") + 14, 768, "");
  LoadBoxPictures();
  Tutor = TTutor::New();
  PeopleCount = 20;
  for (int32_t i = 0; i < 20; ++i) {
    People[size_t(i)] = TPerson::New();
    People[size_t(i)]->ID = i;
    People[size_t(i)]->MyHat->Owner = i;
  }
  SetClearColor(255, 255, 255);
  SetBlendMode(BlendAlpha);
  TrendTimer = RandomInt(1, 74);
  Timer1 = StartTimer(1);
  FillStageTable();
  Oval = LoadImageFile("incbin::oval.png");
}

void StartGame() {
  ResetWorld();
  RegisterEmbeddedFiles();
  OpenScreen(560, 370, 0, 60);
  SetBlendMode(BlendAlpha);
  SetTextFont(LoadTextFont("incbin::VERA.TTF", 20, FontStyleSmooth));
  // The OK button's colour comes from the unseeded generator: the same on every run.
  OkColour ok;
  ok.R = RandomInt(0, 255);
  ok.G = RandomInt(0, 255);
  ok.B = RandomInt(0, 255);
  RunIntro(ok);
  CloseScreen();
  BuildWorld(ClockMs());
}
