/** @file randomize_bench.cpp Benchmark of the random generator and of favourite colours drawn against a full tally. */
// What the stage-6 far field costs: some 18,000 favourite colours are tallied
// by then, every cell of the colour cube near the most crowded one, so nearly
// every colour drawn is turned away by the balancing and drawn again, hundreds
// of times for each one kept. The cost is the generator's, draw by draw.
//   bench_randomize [colours tallied before] [colours timed]
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "game/color.h"
#include "game/world.h"
#include "platform/random.h"

namespace {

// This thread's CPU time: the machine is shared, and waiting for a core is not the draws' cost.
double NowMs() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return double(t.tv_sec) * 1000.0 + double(t.tv_nsec) / 1.0e6;
}

}  // namespace

int main(int argc, char** argv) {
  const int tallied = argc > 1 ? std::atoi(argv[1]) : 15000;
  const int timed = argc > 2 ? std::atoi(argv[2]) : 3000;
  const int draws = 10000000;

  ResetWorld();
  SeedRandom(4);
  int64_t sum = 0;
  double start = NowMs();
  for (int i = 0; i < draws; ++i) sum += RandomInt(0, 255);
  double ms = NowMs() - start;
  std::printf("RandomInt: %.2f ns of CPU a draw over %d draws (sum %lld, state %d)\n", 1e6 * ms / draws, draws,
              static_cast<long long>(sum), RandomState());

  // A game's worth of colours tallied the way the game tallies them, untimed.
  ResetWorld();
  SeedRandom(4);
  TColor colour;
  for (int i = 0; i < tallied; ++i) colour.Randomize();
  start = NowMs();
  for (int i = 0; i < timed; ++i) colour.Randomize();
  ms = NowMs() - start;
  std::printf(
      "Randomize after %d colours tallied: %.2f ms for %d more of CPU (%.1f us each; most crowded cell %d; state %d)\n",
      tallied, ms, timed, 1000.0 * ms / timed, ColorCellMax, RandomState());
  return 0;
}
