// chromelly_testhook: the real game on the X11 backend with the stage hook,
// which pushes it through the stages so that an end-to-end test reaches the
// closing scene in seconds. Built with the tests only.
//   chromelly_testhook [--every FRAMES] [--keep-zoom]
// --every: frames between two stages (default 30); --keep-zoom: let the view
// ease toward each stage's target instead of setting it there at once.
#include <getopt.h>

#include <cstdio>
#include <cstdlib>

#include "game/frameloop.h"
#include "game/startup.h"
#include "platform/backends/x11.h"
#include "platform/services.h"
#include "tests/hook/stage_hook.h"

int main(int argc, char** argv) {
  int every = 30;
  bool snapZoom = true;
  const option options[] = {
      {"every", required_argument, nullptr, 'e'}, {"keep-zoom", no_argument, nullptr, 'k'}, {nullptr, 0, nullptr, 0}};
  for (int c; (c = getopt_long(argc, argv, "", options, nullptr)) != -1;) {
    if (c == 'e') {
      every = std::atoi(optarg);
    } else if (c == 'k') {
      snapZoom = false;
    } else {
      std::fprintf(stderr, "usage: chromelly_testhook [--every FRAMES] [--keep-zoom]\n");
      return 2;
    }
  }
  auto backend = MakeX11Backend();
  UseBackend(backend.get());
  StartGame();
  StageHook hook(every, snapZoom);
  while (GameFrame()) hook.AfterFrame();
  ExitProgram();
}
