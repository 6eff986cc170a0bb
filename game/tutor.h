/** @file tutor.h TTutor and TQueue: the game's teacher, its title sequence and its queue of two-line messages. */
// TTutor and TQueue: the game's teacher and its title sequence. A queue of
// two-line messages, each shown for a number of tenths of a second, and a
// script that adds messages when the player reaches certain points or has
// been idle for a while. Its progress q gates the mouse and the buttons.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/services.h"

class TQueue {
 public:
  std::string s1;      // first line
  std::string s2;      // second line
  int32_t t = 0;       // how long it is shown, in ticks of the 10 Hz timer
  int32_t ignore = 0;  // 1 for a hint: it neither counts towards q nor resets Idle
};
using QueueRef = std::shared_ptr<TQueue>;

class TTutor {
 public:
  static constexpr size_t QueueSlots = 74;

  TimerRef TextTimer;  // 10 Hz: paces the messages
  int64_t LastTextTicks = 0;
  std::array<QueueRef, QueueSlots> Queue;  // in the order added; a slot is never emptied again
  int32_t q = 0;                           // finished messages that were not hints: the script's progress
  int32_t r = 0;                           // the current message's slot
  int32_t NextIn = -1;                     // ticks left for the current message
  int32_t Idle = -1;                       // ticks with nothing shown since the last non-hint message was added
  int32_t as = 0;                          // 1 once the remark about throwing chefs has been made

  // A tutor with an empty queue and its 10 Hz timer started.
  static std::shared_ptr<TTutor> New();
  // Appends a message and, if pause > 0, a blank one of that length after it.
  int Add(const std::string& line1, const std::string& line2, int32_t ticks, int32_t pause, int32_t hint);
  // Advances the queue by at most one tick and shows the current message.
  int Be();
  // The script: tests every trigger in order and adds its messages.
  int See();
};
