/** @file main.cpp Chromelly's main: the real game on the X11 backend, recording, replaying or windowed. */
// Chromelly: the real game, on the X11 backend. With no argument it is the game
// as it always plays; the options record a game, replay one, or play in a window.
#include <getopt.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "game/frameloop.h"
#include "game/playback.h"
#include "game/startup.h"
#include "platform/backends/frame_capture_backend.h"
#include "platform/backends/x11/frame_read.h"
#include "platform/backends/x11/x11.h"
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
    "      --frames-to DIR write frames as PNG files into DIR (made if missing) as they are shown\n"
    "      --every N       with --frames-to: every N-th frame only (frame 0, N, 2N, ...; default 1)\n"
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
  std::string FramesTo;
  int Every = 0;  // 0: not given
};

// A bad command line: one line on standard error, status 2.
int BadArguments(const std::string& what) {
  std::fprintf(stderr, "chromelly: %s (try chromelly --help)\n", what.c_str());
  return 2;
}

// Reads the command line into options; returns -1 to go on, else the status to exit with.
int ParseArguments(int argc, char** argv, Options& options) {
  enum { Help = 'h', Version = 'v', Window = 256, Record, Replay, Fast, FramesTo, Every };
  static const option longOptions[] = {{"help", no_argument, nullptr, Help},
                                       {"version", no_argument, nullptr, Version},
                                       {"window", no_argument, nullptr, Window},
                                       {"record", required_argument, nullptr, Record},
                                       {"replay", required_argument, nullptr, Replay},
                                       {"fast", no_argument, nullptr, Fast},
                                       {"frames-to", required_argument, nullptr, FramesTo},
                                       {"every", required_argument, nullptr, Every},
                                       {nullptr, 0, nullptr, 0}};
  opterr = 0;  // our own single line instead of getopt's
  for (;;) {
    const int option = getopt_long(argc, argv, ":", longOptions, nullptr);
    if (option == -1) break;
    const std::string given = argv[optind - 1];  // the argument getopt has just read
    switch (option) {
      case Help: std::fputs(kHelp, stdout); return 0;
      case Version:
        std::printf("chromelly %s (recordings of version %u)\n", CHROMELLY_VERSION, RecordingVersion);
        return 0;
      case Window: options.Window = true; break;
      case Fast: options.Fast = true; break;
      case Record:
      case Replay:
        if (!*optarg) return BadArguments("option " + given + " needs a file name");
        (option == Record ? options.Record : options.Replay) = optarg;
        break;
      case FramesTo:
        if (!*optarg) return BadArguments("option " + given + " needs a folder");
        options.FramesTo = optarg;
        break;
      case Every: {
        char* end = nullptr;
        const long n = std::strtol(optarg, &end, 10);
        if (!*optarg || *end || n < 1 || n > 1000000000L)
          return BadArguments("option " + given + " needs a whole number of frames from 1 up");
        options.Every = int(n);
        break;
      }
      case ':':
        if (optopt == FramesTo) return BadArguments("option " + given + " needs a folder");
        if (optopt == Every) return BadArguments("option " + given + " needs a number of frames");
        return BadArguments("option " + given + " needs a file name");
      default:
        // getopt names the option in optopt when it was given a value it does not take.
        if (optopt != 0) return BadArguments("option " + given.substr(0, given.find('=')) + " takes no value");
        return BadArguments("unknown option " + given);
    }
  }
  if (optind < argc) return BadArguments("unexpected argument " + std::string(argv[optind]));
  if (!options.Record.empty() && !options.Replay.empty())
    return BadArguments("--record and --replay cannot be used together");
  if (options.Fast && options.Replay.empty()) return BadArguments("--fast only applies to --replay");
  if (!options.FramesTo.empty() && options.Replay.empty()) return BadArguments("--frames-to only applies to --replay");
  if (options.Every && options.FramesTo.empty()) return BadArguments("--every only applies to --frames-to");
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
  if (!options.FramesTo.empty() && mkdir(options.FramesTo.c_str(), 0777) != 0 && errno != EEXIST) {
    std::perror(("chromelly: cannot make the folder " + options.FramesTo).c_str());
    return 1;
  }
  auto screen = MakeX11Backend(options.Window);
  std::unique_ptr<FrameCaptureBackend> capture;
  if (!options.FramesTo.empty())
    capture = std::make_unique<FrameCaptureBackend>(*screen, ReadFrameBeforeSwap, options.FramesTo,
                                                    options.Every ? options.Every : 1);
  const PlaybackResult result =
      PlayRecording(capture ? static_cast<Backend&>(*capture) : *screen, recording, options.Fast);
  if (capture && !capture->Failure().empty()) {
    std::fprintf(stderr, "chromelly: %s\n", capture->Failure().c_str());
    return 1;
  }
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
