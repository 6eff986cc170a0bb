/** @file catalogue.cpp The embedded files listed in the game's order, and the people and box pictures loaded. */
#include "game/catalogue.h"

#include "game/world.h"
#include "platform/embedded.h"
#include "platform/resources.h"

namespace {

std::string Numbered(const char* prefix, int n, int digits, const char* suffix) {
  std::string number = std::to_string(n);
  while (int(number.size()) < digits) number.insert(number.begin(), '0');
  return prefix + number + suffix;
}

std::vector<std::string> MakeCatalogue() {
  std::vector<std::string> names{"VERA.TTF", "cursor.png", "body.png"};
  for (int i = 0; i <= 7; ++i) names.push_back(Numbered("walk_right-", i, 3, ".png"));
  for (int i = 0; i <= 7; ++i) names.push_back(Numbered("framesdown", i, 2, ".png"));
  for (int i = 1; i <= 7; ++i) names.push_back(Numbered("face", i, 1, ".png"));
  for (int i = 1; i <= 9; ++i) names.push_back(Numbered("hair", i, 1, ".png"));
  names.push_back("hair0.png");
  for (const char* name : {"hat.png", "chefbody.png", "chefhat.png", "chefshirt.png"}) names.push_back(name);
  for (int i = 0; i <= 5; ++i) names.push_back(Numbered("hat-", i, 3, ".png"));
  names.push_back("vision.png");
  for (int i : {0, 2, 3, 38, 52, 53, 54, 55, 56}) names.push_back(Numbered("ib", i, 1, ".png"));
  names.push_back("ic0.png");
  for (int i = 2; i <= 35; ++i) names.push_back(Numbered("ic", i, 1, ".png"));
  for (const char* name : {"protected.png", "finalized.png", "full.png", "oval.png"}) names.push_back(name);
  return names;
}

ImageRef Load(const std::string& name) { return LoadImageFile("incbin::" + name); }

// Head offset per body frame: the walking pictures' necks sit lower by this much.
constexpr std::array<int32_t, 9> HeadBobTable{14, 21, 12, 1, 14, 29, 17, 10, 0};

// Body picture of each of the 69 steps of the inspiration animation.
constexpr std::array<int32_t, 69> InspireBTable{0, 0, 1, 2, 0, 1, 2, 0, 1, 2, 0, 1,  // steps 0-11
                                                2, 1, 2, 1, 2, 1, 2, 0, 1, 2, 1, 0,  // 12-23
                                                1, 2, 1, 0, 2, 1, 0, 2, 1, 0, 1, 0,  // 24-35
                                                1, 0, 3, 1, 2, 2, 2, 1, 0, 3, 1, 2,  // 36-47
                                                1, 0, 1, 2, 4, 5, 6, 7, 8, 6, 7, 8,  // 48-59
                                                6, 6, 7, 6, 8, 6, 7, 6, 8};          // 60-68

// Overlay of each step: the torso fills step by step, then pulses before it is whole.
std::array<int32_t, 69> MakeInspireCTable() {
  std::array<int32_t, 69> table{};
  for (int step = 2; step <= 35; ++step) table[size_t(step)] = step - 1;
  const int pulse[12] = {30, 31, 32, 33, 32, 31, 30, 29, 30, 31, 32, 33};
  for (int i = 0; i < 12; ++i) table[size_t(36 + i)] = pulse[i];
  for (int step = 48; step <= 68; ++step) table[size_t(step)] = 34;
  return table;
}

}  // namespace

const std::vector<std::string>& CatalogueNames() {
  static const std::vector<std::string> names = MakeCatalogue();
  return names;
}

void RegisterEmbeddedFiles() {
  for (const std::string& name : CatalogueNames())
    if (const EmbeddedFile* file = FindEmbeddedFile(name.c_str())) Register(name, file->Data, file->Size);
}

void LoadPeoplePictures() {
  for (int i = 0; i <= 7; ++i) BodyFrames[size_t(i)] = Load(Numbered("walk_right-", i, 3, ".png"));
  BodyFrames[8] = Load("body.png");
  // The front view runs backwards: framesdown07 in slot 9 down to framesdown00 in slot 16.
  for (int i = 0; i <= 7; ++i) BodyFrames[size_t(16 - i)] = Load(Numbered("framesdown", i, 2, ".png"));
  for (int i = 1; i <= 7; ++i) Faces[size_t(i - 1)] = Load(Numbered("face", i, 1, ".png"));
  for (int i = 0; i <= 9; ++i) Hairs[size_t(i)] = Load(Numbered("hair", i, 1, ".png"));
  HatImage = Load("hat.png");
  ChefBodyImage = Load("chefbody.png");
  ChefHatImage = Load("chefhat.png");
  ChefShirtImage = Load("chefshirt.png");
  for (int i = 0; i <= 5; ++i) HatFrames[size_t(i)] = LoadImageFile("incbin::hat-00" + std::to_string(i) + ".png");
  VisionImage = Load("vision.png");
  if (VisionImage) CentreImageHandle(VisionImage);
  HeadBob = HeadBobTable;
  const int ib[9] = {0, 2, 3, 38, 52, 53, 54, 55, 56};
  for (int i = 0; i < 9; ++i) InspireBFrames[size_t(i)] = Load(Numbered("ib", ib[i], 1, ".png"));
  InspireBIndex = InspireBTable;
  // There is no ic1: slot k holds ic(k+1) for k = 1 to 34.
  InspireCFrames[0] = LoadImageFile("incbin::ic0.png");
  for (int k = 1; k <= 34; ++k)
    InspireCFrames[size_t(k)] = LoadImageFile("incbin::ic" + std::to_string(k + 1) + ".png");
  InspireCIndex = MakeInspireCTable();
}

void LoadBoxPictures() {
  ProtectedImage = Load("protected.png");
  FinalizedImage = Load("finalized.png");
  FullImage = Load("full.png");
}

int LoadedPictureCount() {
  int loaded = 0;
  auto count = [&](const ImageRef& image) { loaded += image && image->Width > 0; };
  for (const ImageRef* single : {&CursorImage, &HatImage, &ChefBodyImage, &ChefHatImage, &ChefShirtImage, &VisionImage,
                                 &ProtectedImage, &FinalizedImage, &FullImage, &Oval})
    count(*single);
  for (const auto& image : BodyFrames) count(image);
  for (const auto& image : Faces) count(image);
  for (const auto& image : Hairs) count(image);
  for (const auto& image : HatFrames) count(image);
  for (const auto& image : InspireBFrames) count(image);
  for (const auto& image : InspireCFrames) count(image);
  return loaded;
}
