// The world's global state: every game-wide variable the game types read and
// write, in one place. Start-up builds it; ResetWorld puts every value back to
// its start so a test can build a fresh world in the same process.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "game/button.h"
#include "game/color.h"
#include "platform/image.h"
#include "platform/services.h"

extern float Scale;        // world-to-screen zoom, lowered stage by stage
extern int32_t Stage;      // 0 to 8
extern int32_t Mode;       // 0 normal, 1 placing, 2 finalizing, 3 deleting, 4 reviewing messages
extern int32_t AnyWork;    // 1 when some box is active, rewritten every frame
extern int32_t WorkCount;  // boxes ever created; a box takes its ID from it

extern ColorRef White;
extern ColorRef Black;
extern ColorRef Grey;

extern TimerRef Timer100;
extern int64_t LastTick100;
extern TimerRef Timer4;
extern int64_t LastTick4;
extern float FrameTime;  // 0.09 x measured milliseconds per frame; 0.0 until measured

extern int32_t DroppedHatOwner;  // ID of the person whose hat was just let go, or -1
extern std::array<int32_t, 27> ColorCells;  // favourite colours handed out, by 3x3x3 cell
extern int32_t ColorCellMax;
extern int32_t InspiredNews;  // 0 none yet, 1 to be told, -1 told
extern int32_t FilledNews;
extern int32_t ChefsThrown;  // held negative in the frame a throw is detected
extern ColorRef Trend;       // the fashion colour, or null
extern int32_t TrendTimer;
extern int32_t TrendStrength;

// Pictures, loaded at start-up and never changed.
extern ImageRef CursorImage;
extern std::array<ImageRef, 17> BodyFrames;
extern std::array<ImageRef, 7> Faces;
extern std::array<ImageRef, 10> Hairs;
extern ImageRef HatImage;
extern ImageRef ChefBodyImage;
extern ImageRef ChefHatImage;
extern ImageRef ChefShirtImage;
extern std::array<ImageRef, 6> HatFrames;
extern ImageRef VisionImage;
extern std::array<ImageRef, 9> InspireBFrames;
extern std::array<ImageRef, 35> InspireCFrames;
extern ImageRef ProtectedImage;
extern ImageRef FinalizedImage;
extern ImageRef FullImage;
extern std::array<int32_t, 9> HeadBob;
extern std::array<int32_t, 69> InspireBIndex;
extern std::array<int32_t, 69> InspireCIndex;

// Puts every world global back to its value at start (pictures and timers empty).
void ResetWorld();

class TPerson;
class TWork;
class TMouse;
class TTutor;
extern std::array<std::shared_ptr<TPerson>, 450> People;
extern int32_t PeopleCount;
extern std::array<std::shared_ptr<TWork>, 1000> Works;
extern std::shared_ptr<TMouse> Mouse;
extern std::shared_ptr<TTutor> Tutor;

// Frame-loop state: kept by the main program for the whole game.
struct StageRow {
  int32_t GainNeeded;
  int32_t TotalNeeded;
  float TargetScale;
  int32_t CrowdSize;
};
extern std::array<StageRow, 9> StageTable;
extern int32_t StageScore;   // mood score gathered since the last stage change
extern int32_t SecondScore;  // mood score of the last one-second tick
extern int32_t FirstWork;    // slot of the box the game makes at stage 2
extern TButton NewButton;
extern TButton DeleteButton;
extern TButton FinalizeButton;
extern TButton EndButton;  // shown in the closing scene only
extern ImageRef Oval;        // collision mask of the stage-4 ring, never drawn
extern TimerRef Timer1;
extern int64_t LastTick1;
extern TimerRef Timer1000;
extern int64_t LastTick1000;
extern int32_t FrameCount;  // frames since the last frame-time measurement
