// Command lines of the game and the developer's programs: a table of options and one way to report a mistake.
#pragma once

#include <functional>
#include <string>
#include <vector>

// A command-line value: the whole text as a decimal integer within [low, high]; false otherwise.
bool ParseInt(const char* text, long low, long high, int& out);

// The options a program takes, each `--name` or `--name VALUE` (also `--name=VALUE`, and any
// unambiguous abbreviation of the name). Every program has --help, which prints its usage.
// A mistake is one line on standard error, "PROGRAM: what is wrong (try PROGRAM --help)", and
// status 2, so a script tells a bad command line from a game that went wrong (status 1).
// An option given twice takes its last value.
class CommandLine {
 public:
  CommandLine(const char* program, std::string usage);

  // --name sets `target` to true.
  void Flag(const char* name, bool& target);
  // --name N: a whole number within [low, high] stored in `target`, or handed to `take`.
  void Int(const char* name, int& target, long low, long high);
  void Int(const char* name, long low, long high, std::function<void(int)> take);
  // --name TEXT: any text but the empty one; `what` names it in messages ("a file name").
  void Text(const char* name, std::string& target, const char* what = "a file name");
  // --name prints `text` on standard output and the program ends with status 0 (as --help does).
  void Show(const char* name, std::string text);

  // Reads the arguments in order. -1 to go on; otherwise the status the program exits with:
  // 0 after a Show option, 2 after a mistake (its line already written). No option takes
  // a bare argument, so one that is left over is a mistake.
  int Parse(int argc, char** argv);
  // How many times --name was given in the last Parse.
  int Given(const char* name) const;
  // Reports a mistake the table cannot see (options that do not go together); returns 2.
  int Fail(const std::string& what) const;

 private:
  struct Option {
    std::string Name;
    bool TakesValue = false;
    std::string Want;                       // what its value must be, for the messages
    std::function<bool(const char*)> Take;  // false when the value is bad; empty for a Show option
    std::string Shows;                      // what a Show option prints
  };
  const char* program_;
  std::vector<Option> options_;
  std::vector<int> given_;
};
