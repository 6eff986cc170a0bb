/** @file quit_signals.cpp CatchQuitSignals: SIGINT and SIGTERM turned into an orderly end through Esc. */
#include "platform/backends/x11/quit_signals.h"

#include <signal.h>
#include <unistd.h>

#include <cstdlib>

namespace {

// A game that has not ended this long after the signal (stuck in a frame, or
// still loading) is ended by the signal itself; the watchdog puts the mode back.
constexpr unsigned kLastResortSeconds = 2;

volatile sig_atomic_t asked = 0;
bool installed = false;

// Ends the process by the signal that asked for it, as if it had never been caught.
void EndByAskedSignal() {
  const int signalNumber = asked;
  signal(signalNumber, SIG_DFL);
  raise(signalNumber);
}

// Only async-signal-safe work here: note the signal and arm the last resort.
// A second signal while the first is pending ends the game at once.
void OnQuitSignal(int signalNumber) {
  if (asked) {
    EndByAskedSignal();
    return;
  }
  asked = signalNumber;
  alarm(kLastResortSeconds);
}

void OnLastResort(int) { EndByAskedSignal(); }

// The orderly path ends with exit(); a signal that asked for it is the status.
void EndAsAsked() {
  if (asked) EndByAskedSignal();
}

}  // namespace

void CatchQuitSignals() {
  if (installed) return;
  installed = true;
  std::atexit(EndAsAsked);
  struct sigaction action {};
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  action.sa_handler = OnQuitSignal;
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
  action.sa_handler = OnLastResort;
  sigaction(SIGALRM, &action, nullptr);
}

int QuitSignal() { return asked; }
