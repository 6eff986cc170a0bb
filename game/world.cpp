#include "game/world.h"

#include "game/mouse.h"
#include "game/person.h"
#include "game/tutor.h"
#include "game/work.h"

float Scale;
int32_t Stage;
int32_t Mode;
int32_t AnyWork;
int32_t WorkCount;
ColorRef White;
ColorRef Black;
ColorRef Grey;
TimerRef Timer100;
int64_t LastTick100;
TimerRef Timer4;
int64_t LastTick4;
float FrameTime;
int32_t DroppedHatOwner;
std::array<int32_t, 27> ColorCells;
int32_t ColorCellMax;
int32_t InspiredNews;
int32_t FilledNews;
int32_t ChefsThrown;
ColorRef Trend;
int32_t TrendTimer;
int32_t TrendStrength;

ImageRef CursorImage;
std::array<ImageRef, 17> BodyFrames;
std::array<ImageRef, 7> Faces;
std::array<ImageRef, 10> Hairs;
ImageRef HatImage;
ImageRef ChefBodyImage;
ImageRef ChefHatImage;
ImageRef ChefShirtImage;
std::array<ImageRef, 6> HatFrames;
ImageRef VisionImage;
std::array<ImageRef, 9> InspireBFrames;
std::array<ImageRef, 35> InspireCFrames;
ImageRef ProtectedImage;
ImageRef FinalizedImage;
ImageRef FullImage;
std::array<int32_t, 9> HeadBob;
std::array<int32_t, 69> InspireBIndex;
std::array<int32_t, 69> InspireCIndex;

std::array<std::shared_ptr<TPerson>, 450> People;
int32_t PeopleCount;
std::array<std::shared_ptr<TWork>, 1000> Works;
std::shared_ptr<TMouse> Mouse;
std::shared_ptr<TTutor> Tutor;

std::array<StageRow, 9> StageTable;
int32_t StageScore;
int32_t SecondScore;
int32_t FirstWork;
TButton NewButton;
TButton DeleteButton;
TButton FinalizeButton;
TButton EndButton;
ImageRef Oval;
TimerRef Timer1;
int64_t LastTick1;
TimerRef Timer1000;
int64_t LastTick1000;
int32_t FrameCount;

void ResetWorld() {
  StageTable = {};
  StageScore = 0;
  SecondScore = 0;
  FirstWork = 0;
  Oval = nullptr;
  Timer1 = Timer1000 = nullptr;
  LastTick1 = LastTick1000 = 0;
  FrameCount = 0;
  People.fill(nullptr);
  PeopleCount = 0;
  Works.fill(nullptr);
  Mouse = nullptr;
  Tutor = nullptr;
  NewButton = DeleteButton = FinalizeButton = EndButton = TButton{};
  Scale = 1.0f;
  Stage = 0;
  Mode = 0;
  AnyWork = 0;
  WorkCount = 0;
  White = TColor::Get(255, 255, 255);
  Black = TColor::Get(0, 0, 0);
  Grey = TColor::Get(127, 127, 127);
  Timer100 = nullptr;
  LastTick100 = 0;
  Timer4 = nullptr;
  LastTick4 = 0;
  FrameTime = 0.0f;
  DroppedHatOwner = -1;
  ColorCells.fill(0);
  ColorCellMax = 0;
  InspiredNews = 0;
  FilledNews = 0;
  ChefsThrown = 0;
  Trend = nullptr;
  TrendTimer = 0;
  TrendStrength = 0;
  CursorImage = HatImage = ChefBodyImage = ChefHatImage = ChefShirtImage = VisionImage = nullptr;
  ProtectedImage = FinalizedImage = FullImage = nullptr;
  BodyFrames.fill(nullptr);
  Faces.fill(nullptr);
  Hairs.fill(nullptr);
  HatFrames.fill(nullptr);
  InspireBFrames.fill(nullptr);
  InspireCFrames.fill(nullptr);
  HeadBob.fill(0);
  InspireBIndex.fill(0);
  InspireCIndex.fill(0);
}
