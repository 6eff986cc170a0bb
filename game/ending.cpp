/** @file ending.cpp The ending: the crowd's fade, the closing words, and the closing scene with its End button. */
#include "game/ending.h"

#include "game/tutor.h"
#include "game/view.h"
#include "game/world.h"
#include "platform/numeric.h"
#include "platform/services.h"

const std::string ClosingMessage = "Look at what you've accomplished here!";

namespace {

const std::string EndLabel = "End";

// The entry in a tutor slot, or null where the slot is empty or outside the queue.
const TQueue* Entry(int32_t slot) {
  if (slot < 0 || slot >= int32_t(TTutor::QueueSlots)) return nullptr;
  return Tutor->Queue[size_t(slot)].get();
}

}  // namespace

void AddClosingWords() {
  Tutor->Add("", "", 25, 0, 0);
  Tutor->Add("Look at the work of those who came before you.",
             "The chefs tried to satisfy everyone - everyone but themselves.", 74, 0, 0);
  Tutor->Add(ClosingMessage, "", 111, 0, 0);
}

void FadeCrowd() {
  if (Scale < 0.2f && Scale > 0.1f) SetDrawAlpha(StoreF((double(Scale) - double(0.1f)) * 10.0));
}

bool InClosingScene() { return Scale <= 0.1f; }

bool EndButtonShown() {
  if (EndShown != 0) return true;
  const TQueue* current = Entry(Tutor->r);
  const TQueue* previous = Entry(Tutor->r - 1);
  return (current && current->s1 == ClosingMessage && Tutor->NextIn < 90) ||
         (previous && previous->s1 == ClosingMessage);
}

void ClosingScene() {
  if (!EndButtonShown()) return;
  // Once shown it stays: a message queued behind the closing one (a hint, and the
  // pause after it) would otherwise take it away for good, leaving only Esc.
  EndShown = 1;
  EndButton.Be();
  // The word is drawn by the scene itself on a black block over the button's
  // empty frame, reaching below the bottom edge of the screen.
  SetDrawScale(1, 1);
  UseColor(Black);
  FillRect(0, 734, float(TextPixelWidth(EndLabel) + 14), 768);
  UseColor(White);
  DrawTextAt(EndLabel, 7, 741);
  if (EndButton.Activate != 0) ExitProgram();
}
