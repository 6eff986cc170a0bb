/** @file main.cpp Chromelly's main: the real game on the X11 backend, recording, replaying or windowed. */
// Chromelly: the real game, on the X11 backend. With no argument it is the game
// as it always plays; the options record a game, replay one, or play in a window.
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "game/frameloop.h"
#include "game/playback.h"
#include "game/startup.h"
#include "platform/backends/x11/x11.h"
#include "platform/command_line.h"
#include "platform/recording/record_backend.h"
#include "platform/services.h"

#ifndef CHROMELLY_VERSION
#define CHROMELLY_VERSION "unknown"
#endif

namespace {

constexpr char kHelp[] =
    "Usage: chromelly [OPTION]...\n"
    "Chromelly, a colour-mixing strategy game. With no option, the game takes over the display.\n"
    "\n"
    "      --window        play in a 1024 x 768 window instead of taking over the display\n"
    "      --record FILE   play as usual and write the game to FILE\n"
    "      --replay FILE   show the game recorded in FILE, frame for frame\n"
    "      --fast          replay without waiting for the recorded time\n"
    "      --help          show this help and exit\n"
    "      --version       show the version and exit\n"
    "\n"
    "Keys: Return leaves the opening screen, F1 (held) shows past messages, Esc quits\n"
    "(and stops a replay).\n";

struct Options {
  bool Window = false;
  bool Fast = false;
  std::string Record;
  std::string Replay;
};

// Reads the command line into options; returns -1 to go on, else the status to exit with.
int ParseArguments(int argc, char** argv, Options& options) {
  CommandLine line("chromelly", kHelp);
  line.Show("version", std::string("chromelly ") + CHROMELLY_VERSION + " (recordings of version " +
                           std::to_string(RecordingVersion) + ")\n");
  line.Flag("window", options.Window);
  line.Text("record", options.Record);
  line.Text("replay", options.Replay);
  line.Flag("fast", options.Fast);
  if (const int status = line.Parse(argc, argv); status >= 0) return status;
  if (!options.Record.empty() && !options.Replay.empty())
    return line.Fail("--record and --replay cannot be used together");
  if (options.Fast && options.Replay.empty()) return line.Fail("--fast only applies to --replay");
  return -1;
}

RecordBackend* Recorder = nullptr;
std::string RecordPath;

// The game ends (after the screen is closed): the recording is written whole.
void SaveRecording() {
  std::string whyNot;
  if (!Recorder->Save(RecordPath, RecordingEnd::Exited, whyNot)) {
    std::fprintf(stderr, "chromelly: %s\n", whyNot.c_str());
    std::exit(1);
  }
}

int Replay(const Options& options) {
  Recording recording;
  std::string whyNot;
  if (!LoadRecording(options.Replay, recording, whyNot)) {
    std::fprintf(stderr, "chromelly: %s\n", whyNot.c_str());
    return 1;
  }
  auto screen = MakeX11Backend(options.Window);
  const PlaybackResult result = PlayRecording(*screen, recording, options.Fast);
  if (!result.Complete) {
    std::fprintf(stderr, "chromelly: %s\n", result.Why.c_str());
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (const int status = ParseArguments(argc, argv, options); status >= 0) return status;
  if (!options.Replay.empty()) return Replay(options);
  auto backend = MakeX11Backend(options.Window);
  std::unique_ptr<RecordBackend> recorder;
  if (!options.Record.empty()) {
    // A file that cannot be written is found out now, not after the game.
    std::FILE* probe = std::fopen(options.Record.c_str(), "wb");
    if (!probe) {
      std::perror(("chromelly: cannot write the recording " + options.Record).c_str());
      return 1;
    }
    std::fclose(probe);
    recorder = std::make_unique<RecordBackend>(*backend);
    Recorder = recorder.get();
    RecordPath = options.Record;
    SetExitHandler(SaveRecording);
  }
  UseBackend(recorder ? static_cast<Backend*>(recorder.get()) : backend.get());
  StartGame();
  RunGame();
  ExitProgram();
}
