/** @file tutor.cpp TTutor's script and TQueue's messages: what the teacher says and when, and its progress q. */
#include "game/tutor.h"

#include "game/view.h"
#include "game/work.h"
#include "game/world.h"

namespace {

// The slot's message, or null past the end of the queue.
const TQueue* At(const std::array<QueueRef, TTutor::QueueSlots>& queue, int32_t i) {
  return i >= 0 && size_t(i) < queue.size() ? queue[size_t(i)].get() : nullptr;
}

bool SomeBoxHoldsMoreThanThree() {
  // Deleted boxes count too: the lesson on strong colours follows any box with a few hats.
  for (const WorkRef& w : Works)
    if (w && w->NextIng > 3) return true;
  return false;
}

}  // namespace

std::shared_ptr<TTutor> TTutor::New() {
  auto tutor = std::make_shared<TTutor>();
  tutor->TextTimer = StartTimer(10.0f);
  return tutor;
}

int TTutor::Add(const std::string& line1, const std::string& line2, int32_t ticks, int32_t pause, int32_t hint) {
  size_t i = 0;
  while (i < Queue.size() && Queue[i]) ++i;
  if (i == Queue.size()) return 0;  // the script never adds this many
  Queue[i] = std::make_shared<TQueue>(TQueue{line1, line2, ticks, hint});
  if (pause > 0 && i + 1 < Queue.size()) Queue[i + 1] = std::make_shared<TQueue>(TQueue{"", "", pause, hint});
  if (int32_t(i) == r) NextIn = ticks;  // the queue was waiting right here
  // A hint moves Idle past the value that called for it, so an idle hint comes once per idle stretch.
  if (hint != 0)
    Idle += 1;
  else
    Idle = -1;
  return 0;
}

int TTutor::Be() {
  // At most one tick per call: a stalled game loses time on its messages, never skips them.
  if (int64_t(TimerTickCount(TextTimer)) > LastTextTicks) {
    LastTextTicks = TimerTickCount(TextTimer);
    if (!At(Queue, r)) {
      Idle += 1;
    } else {
      NextIn -= 1;
      if (NextIn <= 0) {
        const bool counted = Queue[size_t(r)]->ignore == 0;
        r += 1;
        if (counted) q += 1;
        if (const TQueue* next = At(Queue, r)) NextIn = next->t;
      }
    }
  }
  if (const TQueue* current = At(Queue, r)) ShowLines(current->s1, current->s2);
  return 0;
}

int TTutor::See() {
  auto idle = [this] { return At(Queue, r) == nullptr; };
  if (q == 0 && !Queue[0]) {
    Add("", "", 7, 0, 0);
    Add("Chromelly", "", 20, 0, 0);
    Add("Chromelly", "A strategy game by Wendrake", 25, 0, 0);
    Add("Chromelly", "with graphics by Pellowin", 25, 30, 0);
    Add("Each of these people likes a different color.", "Your job is to make them happy.", 50, 5, 0);
  }
  if (q == 7 && Idle == 37) Add("Press the New Color button to start your creation.", "", 25, 0, 1);
  if (q == 7 && idle() && AnyWork != 0) {
    Add("", "", 6, 0, 0);
    Add("Throw someone's hat into the box", "to add that color to the mix.", 50, 50, 0);
    Add("A person's hat reflects his tastes.", "If you make a color like his, he'll be happy.", 70, 5, 0);
  }
  if (FilledNews == 1) {
    Add("A box can only hold so many hats.", "Once it fills up, you can't add any more.", 45, 11, 1);
    FilledNews = -1;
  }
  if (q == 12 && idle() && SomeBoxHoldsMoreThanThree()) {
    Add("", "", 30, 0, 0);
    Add("The stronger a color, the more likely it will offend people.",
        "If you really don't want to upset anyone, add in colors for every taste.", 101, 0, 0);
  }
  if (q == 14 && Idle == 400)
    Add("If you try to appeal to everyone, you'll end up with gray.", "No one cares about gray.", 90, 0, 1);
  if (InspiredNews == 1 || (InspiredNews == 0 && q == 20 && idle())) {
    Add("Any fan can be inspired to become a chef!", "But it won't happen if he doesn't see where he can help.", 70, 10,
        1);
    InspiredNews = -1;
  }
  if (Stage >= 3 && q == 14 && idle())
    Add("The chefs will try to help you make colors.", "But if they bother you, feel free to throw 'em off the screen.",
        80, 0, 0);
  // The lessons wait for an idle stretch of at least their length: a hint added in the
  // same frame may already have moved Idle past it, and they must still come.
  if (q == 15 && Idle >= 90)
    Add("The Finalize button prevents any further changes to a color, ever.",
        "Use it to protect colors you're happy with from chefs.", 85, 0, 0);
  if (q == 16 && Idle >= 40)
    Add("A chef who still has his toque will take a hat from whoever seems happy.",
        "(It's low-risk to cater to people who already like your work, no?)", 75, 0, 0);
  if (q == 17 && Idle >= 5)
    Add("Beware the chef whose head isn't covered-", "If you can see a hair color, it means he's got opinions.", 60, 0,
        0);
  if (q == 18 && Idle >= 10)
    Add("Throw a chef's toque into a box to let him know that he can do whatever he wants with it.",
        "(If you do, be sure you mean it.)", 60, 28, 0);
  if (idle() && as == 0 && ChefsThrown < -2) {
    as = 1;
    Add("You're awfully antisocial, aren't you.", "", 55, 0, 1);
  }
  return 0;
}
