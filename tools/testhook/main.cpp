/** @file main.cpp chromelly_testhook: the real X11 game with the stage hook, for end-to-end tests of late stages. */
// chromelly_testhook: the real game on the X11 backend with the stage hook,
// which pushes it through the stages so that an end-to-end test reaches the
// closing scene in seconds. Built with the tests only.
//   chromelly_testhook [--every FRAMES] [--keep-zoom] [--until STAGE] [--chefs FRAMES]
// --every: frames between two stages (default 30); --keep-zoom: let the view
// ease toward each stage's target instead of setting it there at once; --until:
// stop pushing once this stage has begun (default the last); --chefs: print the
// chef watch's lines, with the chefs' places every FRAMES frames.
#include <getopt.h>

#include <cstdio>
#include <memory>

#include "game/frameloop.h"
#include "harness/headless_game.h"
#include "game/stages.h"
#include "game/startup.h"
#include "platform/backends/x11/x11.h"
#include "platform/services.h"
#include "harness/chef_watch.h"
#include "harness/stage_hook.h"

int main(int argc, char** argv) {
  int every = 30, until = LastStage, chefs = 0;
  bool snapZoom = true;
  const option options[] = {{"every", required_argument, nullptr, 'e'},
                            {"keep-zoom", no_argument, nullptr, 'k'},
                            {"until", required_argument, nullptr, 'u'},
                            {"chefs", required_argument, nullptr, 'c'},
                            {nullptr, 0, nullptr, 0}};
  bool usage = false;
  for (int c; (c = getopt_long(argc, argv, "", options, nullptr)) != -1;) {
    if (c == 'e') {
      usage |= !ParseInt(optarg, 1, 1000000, every);
    } else if (c == 'k') {
      snapZoom = false;
    } else if (c == 'u') {
      usage |= !ParseInt(optarg, 0, LastStage, until);
    } else if (c == 'c') {
      usage |= !ParseInt(optarg, 1, 1000000, chefs);
    } else {
      usage = true;
    }
  }
  if (usage) {
    std::fprintf(stderr, "usage: chromelly_testhook [--every FRAMES] [--keep-zoom] [--until STAGE] [--chefs FRAMES]\n");
    return 2;
  }
  auto backend = MakeX11Backend();
  UseBackend(backend.get());
  StartGame();
  StageHook hook(every, snapZoom, until);
  std::unique_ptr<ChefWatch> watch;
  if (chefs > 0) watch = std::make_unique<ChefWatch>(chefs);
  while (GameFrame()) {
    hook.AfterFrame();
    if (watch) watch->AfterFrame();
  }
  ExitProgram();
}
