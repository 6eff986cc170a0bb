// The command-line helper: getopt_long over a table of options, numbers held to their range, one line per mistake.
#include "platform/command_line.h"

#include <getopt.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>

bool ParseInt(const char* text, long low, long high, int& out) {
  char* end = nullptr;
  errno = 0;
  const long v = std::strtol(text, &end, 10);
  if (end == text || *end != '\0' || errno == ERANGE || v < low || v > high) return false;
  out = int(v);
  return true;
}

namespace {

// getopt_long's value for the first option of the table: above every character, so that a
// short option (which no program has) is never taken for one of ours.
constexpr int FirstOption = 256;

// How a range reads in a message, in the words the programs have always used for their seeds and counts.
std::string RangeWords(long low, long high) {
  if (low == std::numeric_limits<int32_t>::min() && high == std::numeric_limits<int32_t>::max())
    return "a 32-bit integer";
  if (high == std::numeric_limits<int>::max() && low >= 0)
    return "a whole number of " + std::to_string(low) + " or more";
  return "a whole number from " + std::to_string(low) + " to " + std::to_string(high);
}

}  // namespace

CommandLine::CommandLine(const char* program, std::string usage) : program_(program) {
  // The line of every mistake points to --help, so every program has it.
  Show("help", std::move(usage));
}

void CommandLine::Flag(const char* name, bool& target) {
  options_.push_back({name, false, "", [&target](const char*) { return target = true; }, ""});
}

void CommandLine::Int(const char* name, int& target, long low, long high) {
  Int(name, low, high, [&target](int value) { target = value; });
}

void CommandLine::Int(const char* name, long low, long high, std::function<void(int)> take) {
  options_.push_back({name, true, RangeWords(low, high),
                      [low, high, take = std::move(take)](const char* text) {
                        int value = 0;
                        if (!ParseInt(text, low, high, value)) return false;
                        take(value);
                        return true;
                      },
                      ""});
}

void CommandLine::Text(const char* name, std::string& target, const char* what) {
  options_.push_back({name, true, what,
                      [&target](const char* text) {
                        target = text;
                        return *text != '\0';
                      },
                      ""});
}

void CommandLine::Show(const char* name, std::string text) {
  options_.push_back({name, false, "", nullptr, std::move(text)});
}

int CommandLine::Parse(int argc, char** argv) {
  std::vector<option> table;
  for (size_t i = 0; i < options_.size(); ++i)
    table.push_back({options_[i].Name.c_str(), options_[i].TakesValue ? required_argument : no_argument, nullptr,
                     FirstOption + int(i)});
  table.push_back({nullptr, 0, nullptr, 0});
  given_.assign(options_.size(), 0);
  opterr = 0;  // our own single line instead of getopt's
  optind = 0;  // a fresh scan: glibc starts over, so a program (or a test) may parse more than once
  // The leading ':' makes a missing value ':' rather than '?', which then means an unknown option.
  for (int c; (c = getopt_long(argc, argv, ":", table.data(), nullptr)) != -1;) {
    if (c == ':') {
      const Option& missing = options_[size_t(optopt - FirstOption)];
      return Fail("--" + missing.Name + " needs " + missing.Want);
    }
    if (c == '?') {
      // getopt names one of our options in optopt when it was given a value it does not take,
      // a short option's character when it is unknown, and nothing for an unknown long option.
      if (optopt >= FirstOption) return Fail("--" + options_[size_t(optopt - FirstOption)].Name + " takes no value");
      if (optopt != 0) return Fail(std::string("unknown option -") + char(optopt));
      return Fail("unknown option " + std::string(argv[optind - 1]));
    }
    const size_t index = size_t(c - FirstOption);
    const Option& given = options_[index];
    given_[index] += 1;
    if (!given.Take) {
      std::fputs(given.Shows.c_str(), stdout);
      return 0;
    }
    if (!given.Take(optarg)) return Fail("--" + given.Name + " wants " + given.Want + ", not '" + optarg + "'");
  }
  if (optind < argc) return Fail("unexpected argument " + std::string(argv[optind]));
  return -1;
}

int CommandLine::Given(const char* name) const {
  for (size_t i = 0; i < options_.size() && i < given_.size(); ++i)
    if (options_[i].Name == name) return given_[i];
  return 0;
}

int CommandLine::Fail(const std::string& what) const {
  std::fprintf(stderr, "%s: %s (try %s --help)\n", program_, what.c_str(), program_);
  return 2;
}
