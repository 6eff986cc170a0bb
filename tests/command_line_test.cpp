// Tests of the command-line helper the game and the developer's programs share: numbers, values and mistakes.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "platform/command_line.h"

namespace {

// What one parse did: its status and what it wrote.
struct Outcome {
  int Status;
  std::string Out;
  std::string Err;
};

// Parses `args` (after the program's name) with `line`, catching what it writes.
Outcome ParseCaught(CommandLine& line, std::vector<std::string> args) {
  args.insert(args.begin(), "prog");
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  const int status = line.Parse(int(args.size()), argv.data());
  std::string out = testing::internal::GetCapturedStdout();
  return {status, std::move(out), testing::internal::GetCapturedStderr()};
}

// A program like the developer's tools: numbers with ranges, a flag, a file name.
struct Program {
  int Seed = 1, Frames = 3600, Until = 8, Offset = 0;
  bool Window = false;
  std::string Record;
  CommandLine Line{"prog", "usage: prog [--seed N]\n"};
  Program() {
    Line.Int("seed", Seed, INT32_MIN, INT32_MAX);
    Line.Int("frames", Frames, 0, INT_MAX);
    Line.Int("until", Until, 0, 8);
    Line.Int("offset", Offset, -INT32_MAX, INT32_MAX);
    Line.Flag("window", Window);
    Line.Text("record", Record);
  }
};

TEST(CommandLine, ParseIntTakesTheWholeTextWithinItsRangeAndNothingElse) {
  int v = 42;
  EXPECT_TRUE(ParseInt("-7", -7, 7, v));
  EXPECT_EQ(v, -7);
  EXPECT_TRUE(ParseInt("7", -7, 7, v));
  EXPECT_EQ(v, 7);
  EXPECT_TRUE(ParseInt("-2147483648", INT32_MIN, INT32_MAX, v));
  EXPECT_EQ(v, INT32_MIN);
  v = 42;
  // One past either end, trailing junk, nothing, another base, a number beyond even a long:
  // refused, and the target keeps what it held.
  for (const char* bad :
       {"8", "-8", "7x", "7 ", "", "-", "0x7", "1e1", "99999999999999999999999", "-99999999999999999999999"})
    EXPECT_FALSE(ParseInt(bad, -7, 7, v)) << "'" << bad << "'";
  EXPECT_EQ(v, 42);
  // Beyond an int but within a long: refused by the 32-bit range, not wrapped.
  EXPECT_FALSE(ParseInt("4294967297", INT32_MIN, INT32_MAX, v));
  EXPECT_EQ(v, 42);
}

TEST(CommandLine, ValuesAreReadInEveryFormAndTheLastOneCounts) {
  Program p;
  const Outcome o = ParseCaught(p.Line, {"--seed", "-5", "--frames=0", "--win", "--record", "a.rec", "--seed=9"});
  EXPECT_EQ(o.Status, -1);
  EXPECT_EQ(o.Out + o.Err, "");
  EXPECT_EQ(p.Seed, 9);
  EXPECT_EQ(p.Frames, 0);
  EXPECT_TRUE(p.Window);
  EXPECT_EQ(p.Record, "a.rec");
  EXPECT_EQ(p.Until, 8);  // not given: its default
  EXPECT_EQ(p.Line.Given("seed"), 2);
  EXPECT_EQ(p.Line.Given("until"), 0);
  EXPECT_EQ(p.Line.Given("no such option"), 0);

  // A value handed to a function rather than stored (the soak's hours become minutes).
  int minutes = 60;
  CommandLine hours("prog", "");
  hours.Int("hours", 0, 100, [&minutes](int h) { minutes = h * 60; });
  EXPECT_EQ(ParseCaught(hours, {"--hours", "3"}).Status, -1);
  EXPECT_EQ(minutes, 180);
}

TEST(CommandLine, EveryMistakeIsOneLineNamingItAndStatus2) {
  const struct {
    std::vector<std::string> Args;
    std::string Line;
  } cases[] = {
      {{"--bogus"}, "unknown option --bogus"},
      {{"--bogus=3"}, "unknown option --bogus=3"},
      {{"-x"}, "unknown option -x"},  // not taken for an option given a value
      {{"-xy"}, "unknown option -x"},
      {{"--window=yes"}, "--window takes no value"},
      {{"--help=x"}, "--help takes no value"},
      {{"--seed"}, "--seed needs a 32-bit integer"},
      {{"--record"}, "--record needs a file name"},
      {{"--record="}, "--record wants a file name, not ''"},
      {{"--record", ""}, "--record wants a file name, not ''"},
      {{"--seed", "12x"}, "--seed wants a 32-bit integer, not '12x'"},
      {{"--seed=2147483648"}, "--seed wants a 32-bit integer, not '2147483648'"},
      {{"--frames", "-1"}, "--frames wants a whole number of 0 or more, not '-1'"},
      {{"--until", "9"}, "--until wants a whole number from 0 to 8, not '9'"},
      {{"--offset", "-2147483648"}, "--offset wants a whole number from -2147483647 to 2147483647, not '-2147483648'"},
      {{"stray"}, "unexpected argument stray"},
      {{"--", "--seed"}, "unexpected argument --seed"},
      // A bad option is found before a stray word that comes ahead of it.
      {{"stray", "--bogus"}, "unknown option --bogus"},
      // The first mistake is the one reported.
      {{"--seed", "x", "--bogus"}, "--seed wants a 32-bit integer, not 'x'"},
  };
  for (const auto& c : cases) {
    Program p;
    const Outcome o = ParseCaught(p.Line, c.Args);
    EXPECT_EQ(o.Status, 2) << c.Line;
    EXPECT_EQ(o.Out, "") << c.Line;
    EXPECT_EQ(o.Err, "prog: " + c.Line + " (try prog --help)\n");
  }
  // A mistake the table cannot see is told the same way.
  Program p;
  testing::internal::CaptureStderr();
  EXPECT_EQ(p.Line.Fail("--a and --b cannot be used together"), 2);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "prog: --a and --b cannot be used together (try prog --help)\n");
}

TEST(CommandLine, HelpAndVersionPrintAndEndWhereTheyAreMet) {
  Program p;
  p.Line.Show("version", "prog 1.0\n");
  Outcome o = ParseCaught(p.Line, {"--seed", "5", "--help", "--bogus"});
  EXPECT_EQ(o.Status, 0);
  EXPECT_EQ(o.Out, "usage: prog [--seed N]\n");
  EXPECT_EQ(o.Err, "");
  EXPECT_EQ(p.Seed, 5);

  o = ParseCaught(p.Line, {"--vers"});
  EXPECT_EQ(o.Status, 0);
  EXPECT_EQ(o.Out, "prog 1.0\n");

  // A mistake before --help is reported, and the next parse starts afresh.
  o = ParseCaught(p.Line, {"--bogus", "--help"});
  EXPECT_EQ(o.Status, 2);
  EXPECT_EQ(o.Out, "");
  o = ParseCaught(p.Line, {"--frames", "7"});
  EXPECT_EQ(o.Status, -1);
  EXPECT_EQ(p.Frames, 7);
  EXPECT_EQ(p.Line.Given("seed"), 0);
}

}  // namespace
