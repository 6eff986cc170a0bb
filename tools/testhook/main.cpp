/** @file main.cpp chromelly_testhook: the real X11 game with the stage hook, for end-to-end tests of late stages. */
// chromelly_testhook: the real game on the X11 backend with the stage hook,
// which pushes it through the stages so that an end-to-end test reaches the
// closing scene in seconds. Its options are in its usage below
// (chromelly_testhook --help).
#include <cstdio>
#include <memory>

#include "game/frameloop.h"
#include "game/stages.h"
#include "game/startup.h"
#include "harness/chef_watch.h"
#include "harness/stage_hook.h"
#include "platform/backends/x11/x11.h"
#include "platform/command_line.h"
#include "platform/services.h"

namespace {

constexpr const char* Usage =
    "usage: chromelly_testhook [--every FRAMES] [--keep-zoom] [--until STAGE] [--chefs FRAMES]\n"
    "The real game, pushed through its stages so that a test reaches the closing scene in seconds.\n"
    "  --every FRAMES  frames between two stages (default 30)\n"
    "  --keep-zoom     let the view ease toward each stage's zoom instead of setting it at once\n"
    "  --until STAGE   stop pushing once this stage has begun (default the last)\n"
    "  --chefs FRAMES  print the chef watch's lines, with the chefs' places every FRAMES frames\n"
    "  --help          print this and exit\n";

}  // namespace

int main(int argc, char** argv) {
  int every = 30, until = LastStage, chefs = 0;
  bool keepZoom = false;
  CommandLine line("chromelly_testhook", Usage);
  line.Int("every", every, 1, 1000000);
  line.Flag("keep-zoom", keepZoom);
  line.Int("until", until, 0, LastStage);
  line.Int("chefs", chefs, 1, 1000000);
  if (const int status = line.Parse(argc, argv); status >= 0) return status;
  auto backend = MakeX11Backend();
  UseBackend(backend.get());
  StartGame();
  StageHook hook(every, !keepZoom, until);
  std::unique_ptr<ChefWatch> watch;
  if (chefs > 0) watch = std::make_unique<ChefWatch>(chefs);
  while (GameFrame()) {
    hook.AfterFrame();
    if (watch) watch->AfterFrame();
  }
  ExitProgram();
}
