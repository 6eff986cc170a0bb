// Chromelly: the real game, on the X11 backend.
#include "game/frameloop.h"
#include "game/startup.h"
#include "platform/backends/x11.h"
#include "platform/services.h"

int main() {
  auto backend = MakeX11Backend();
  UseBackend(backend.get());
  StartGame();
  RunGame();
  ExitProgram();
}
