/** @file person.h TPerson and THat: a member of the crowd (a fan or a chef) and his hat. */
// TPerson and THat: a member of the crowd (a fan, or a chef of two kinds) and
// his hat. People and boxes refer to each other by slot index or box ID,
// never by reference; a person's favourite colour is shared by reference.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "game/color.h"
#include "game/names.h"
#include "game/opinion.h"
#include "platform/image.h"

class THat {
 public:
  int32_t Owner = 0;     // index in People of the person the hat belongs to
  int32_t On = HatWorn;  // HatWorn, HatOff, or HatFalling (a toque let go)
  int32_t x = 0;         // position of a falling toque
  int32_t y = 0;
};

// The face for a mood: Faces[mood / 10].
const ImageRef& FaceFor(int32_t mood);

class TPerson;
using PersonRef = std::shared_ptr<TPerson>;

class TPerson {
 public:
  // A person keeps one opinion per box seen, at most this many.
  static constexpr int MaxOpinions = 2000;

  float x = 0.0f;  // top-left corner of the person's picture, world units
  float y = 0.0f;
  int32_t Frame = 8;              // 0-7 walking, 8 standing; negative during animations
  int32_t FrameIn = 0;            // 100 Hz ticks until Frame advances
  ColorRef Color;                 // favourite colour: hair and hat
  std::vector<TOpinion> Opinion;  // filled from slot 0 upward, never emptied
  std::shared_ptr<THat> MyHat;
  int32_t ID = 0;
  float throwX = 0.0f;  // velocity after a throw, world units per frame
  float throwY = 0.0f;
  int32_t Angle = 0;  // walking direction in degrees, 0 right, 90 down
  int32_t Hairstyle = 0;
  int32_t Mood = 0;         // 0-69, 35 neutral
  int32_t GettingHat = -1;  // Works slot of the box he fetches a new hat from; -2 had one
  int32_t LossValue = -1;   // the mood a lost box imposes; -1 none
  float LossRetention = 0.0f;
  int32_t LossChangeIn = 0;  // 4 Hz ticks to the next weakening of the loss
  int32_t Chef = ChefNone;   // ChefNone (a fan), ChefInspired, or ChefBorn (with a toque)
  int32_t CarriedHat = -1;   // People index of the person whose hat he carries
  int32_t HatThief = -1;     // People index of the chef carrying this person's hat
  int32_t Ownership = -1;    // Works slot of the box he owns
  int32_t Following = -1;    // People index of the fan whose hat he is after
  int32_t Destination = -1;  // Works slot of the box he carries a hat to
  int32_t BestFind = 0;
  int32_t InspiredBy = -1;  // ID of the box that inspires this fan
  int32_t Safe = 0;         // 1 while a chef is brought back from far away
  ColorRef InspiredC;       // the inspiring box's Mix, while inspired

  // A new person just outside an edge of the visible world, heading inward.
  static PersonRef New();
  // Makes the box with that ID the person's own.
  int Claim(int32_t boxId);
  // The person's whole frame: behaviour, movement, drawing and hit registration.
  int Be();
  // A frame of the inspiration that turns a fan into a chef who owns the inspiring box.
  int BeInspired();
  // A frame of the walk to a finalized box and of taking a new hat in its colour.
  int Bedazzled();

  // The Works slot of the box with that ID (the first, from slot 0 up), or -1.
  static int32_t WorkSlotOf(int32_t boxId);
  // Advances the walking animation by the 100 Hz ticks of this frame.
  void WalkingClock();

 private:
  void BoxContact();
  // Looks at the boxes in sight, forms opinions and sets the mood; returns whether all were patient
  // and, through flee, whether a disliked box is overfull.
  void Sight(int32_t& allPatient, int32_t& flee);
  // The slot for an opinion of a box seen for the first time.
  size_t NewOpinionSlot();
  void Loss();
  // Applies a throw; returns true while the person is flying.
  bool Thrown();
  void Vision();
  void Wander(int32_t allPatient, int32_t flee);
  void Step(double k);
  void DrawFan();
  void DrawChef();
  void DrawHeld();
  // Draws a worn hat or toque at (qx, qy) and handles it with the mouse.
  void DrawHat(const ImageRef& picture, int32_t qx, int32_t qy, bool toque);
  void EndOfFrameHat();

  // The chef's own steps of the frame (person_chef.cpp).
  void GiveUpLostBox();
  // Chooses a hat to follow, takes the mood of the fans around, and chooses where to carry a hat.
  void ChefSight();
  void ChooseDestination();
  void CheckFollowed();
  void ChefWander();
  void Chase();
  void Deliver();
};
