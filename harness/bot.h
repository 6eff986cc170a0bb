/** @file bot.h Bot and BotGame: a player for the headless game that reads the world and answers with input. */
// The bot: a player for the headless game. It reads the world between frames,
// as a player reads the screen, and answers with the input for the next frame:
// pointer moves (displacements from the screen centre, where the game warps
// the pointer back every frame), mouse buttons and keys. It never writes the
// world. The playthrough program, its test and the soak run drive it.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "harness/headless_game.h"
#include "platform/backend.h"
#include "platform/backends/headless.h"

class Bot {
 public:
  using Event = HeadlessBackend::Event;

  // The input to feed in before the next frame, decided from the world the last frame left.
  std::vector<Event> Next();
  // Fans put down in front of a box of their colour so far.
  int FansMoved() const { return fansMoved_; }

 private:
  enum class Task { Idle, CarryHat, NewBox, PickBox, PressEnd, ThrowChef, MoveFan };
  // Moves the cursor toward a world point by at most what one frame allows; true once there.
  bool Toward(int32_t x, int32_t y, std::vector<Event>& out);
  // Moves toward a world point and presses the left button there; true in the frame it presses.
  bool PressAt(int32_t x, int32_t y, std::vector<Event>& out);
  void ReleaseLeft(std::vector<Event>& out);
  // Presses the right button, which ends placing or picking; it is let go in the next frame.
  void Cancel(std::vector<Event>& out);
  void Choose(std::vector<Event>& out);
  void Carry(std::vector<Event>& out);
  void Place(std::vector<Event>& out);
  void Pick(std::vector<Event>& out);
  // Clicks one of the mode buttons and waits for its mode; true in the frame the mode has begun.
  bool ClickButton(int screenX, int screenY, int32_t mode, std::vector<Event>& out);
  void PressEnd(std::vector<Event>& out);
  void Throw(std::vector<Event>& out);
  void Move(std::vector<Event>& out);
  // A fan in view who is not glad, and a box of the bot's in his colour that he does not see: true if found.
  bool FanToMove(int32_t& fan, int32_t& box) const;
  // A chef carrying a hat on screen, or one near an open box of the bot's; -1 if none.
  int32_t ChefToStop(bool& carrying) const;
  // A box of the bot's on screen that the faces around it say is hated; -1 if none.
  int32_t HatedBox() const;
  // The unhappiest fan in view, his face showing a mood below 30; -1 if none.
  int32_t SaddestFan() const;

  Task task_ = Task::Idle;
  int step_ = 0;               // frames into the task
  int32_t person_ = -1;        // People slot of the hat's owner, or of the chef to stop
  const void* hat_ = nullptr;  // the hat being carried
  int32_t box_ = -1;           // Works slot the task aims at
  int32_t pickMode_ = 0;       // ModeFinalizing or ModeDeleting for a pick
  int phase_ = 0;              // where in its task the bot is
  int family_ = 0;             // the hue family a new box is for
  bool rescue_ = false;        // the hat carried is taken from a chef's hands
  bool throwFan_ = false;      // the person thrown is a fan, not a chef
  int32_t grabX_ = 0;          // where on the fan being moved the pointer holds him
  int32_t grabY_ = 0;
  int lastLook_ = 0;         // frame count of the last look for hated boxes
  int frames_ = 0;           // frames the bot has played
  int lastFanMove_ = -1000;  // frame count when the last fan was picked up
  int fansMoved_ = 0;        // fans put down in front of a box of their colour
  float roomlessAt_ = 2.0f;  // the zoom at which the view had no room for another box
  bool buttonDown_ = false;
  bool rightDown_ = false;
  std::array<int32_t, 7> boxOfHue_{-1, -1, -1, -1, -1, -1, -1};  // the open box each hue family goes to
};

// One whole game played by the bot on the headless backend.
struct BotGameResult {
  std::array<int, 9> StageFrame{};  // frame each stage began (stage 0: 0; -1 if never)
  int EndFrame = -1;                // frame the End button ended the game, or -1
  int Frames = 0;                   // frames run
  int ChefsThrown = 0;              // chefs thrown out of the world, as the game counts them
  int BoxesDeleted = 0;             // the player's boxes deleted
  int FansMoved = 0;                // fans the bot put down in front of a box of their colour
};

using BotInputAdjuster = std::function<void(int frame, std::vector<Bot::Event>&)>;

// A game of the headless engine with the bot at the controls. The world stays
// in the globals until the game is destroyed, so a recording of a game that
// was cut short can be saved before the screen closes.
class BotGame {
 public:
  // Starts seed `seed`; the services use `wrapper` (a recorder around `backend`) when given.
  BotGame(HeadlessBackend& backend, int32_t seed, ::Backend* wrapper = nullptr);
  ~BotGame();
  BotGame(const BotGame&) = delete;
  BotGame& operator=(const BotGame&) = delete;

  // Plays until the End button ends the game or `maxFrames` frames have run.
  // `adjust`, when given, sees every frame's input before it is fed in and may
  // change it (the soak run adds noise).
  const BotGameResult& Play(int maxFrames, const BotInputAdjuster& adjust = nullptr);

 private:
  HeadlessBackend& backend_;
  HeadlessGame game_;
  Bot bot_;
  BotGameResult result_;
  std::vector<int32_t> boxes_;  // per slot of Works: the ID + 1 of the player's box in it, or 0
  // Counts the boxes deleted since the last frame.
  void CountDeleted();
};

// Plays a whole game of seed `seed` for at most `maxFrames` frames.
BotGameResult PlayBotGame(HeadlessBackend& backend, int32_t seed, int maxFrames);
