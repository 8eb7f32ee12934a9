// Free-form messages and answers, through the console.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <optional>
#include <utility>

#include "console_script.h"
#include "stop.h"
#include "textio.h"

namespace {

// Attaches the console to an input text and keeps what is written.
class ConsoleFixture : public ::testing::Test {
 protected:
  void give(const std::string& input) {
    con_.reset();
    con_.emplace(input);
  }
  std::string output() { return con_->output(); }
  int error_of(const std::function<void()>& f) {
    try {
      f();
    } catch (const FatalIoError& e) {
      return e.number();
    }
    return 0;
  }
  std::optional<ConsoleScript> con_;
};

using FreeOutput = ConsoleFixture;

TEST_F(FreeOutput, OneLeadingBlankAndCrLf) {
  give("");
  say({"Enter element type"});
  say({" "});
  say({});
  EXPECT_EQ(output(), " Enter element type\r\n  \r\n \r\n");
}

TEST_F(FreeOutput, JulianDatesTakeTwentyFourColumns) {
  EXPECT_EQ(free_form_lines({"Epoch Julian day is ", 2455001.0}),
            std::vector<std::string>{" Epoch Julian day is    2455001.00000000     "});
  EXPECT_EQ(free_form_lines({2455000.5}), std::vector<std::string>{"    2455000.50000000     "});
  EXPECT_EQ(free_form_lines({260000.5}), std::vector<std::string>{"    260000.500000000     "});
  // A text after a number gets one blank before it.
  EXPECT_EQ(free_form_lines({2455000.5, "x"}),
            std::vector<std::string>{"    2455000.50000000      x"});
  // Rounding that carries into a new digit keeps 15 significant digits.
  EXPECT_EQ(free_form_lines({9999999.9999999999}),
            std::vector<std::string>{"    10000000.0000000     "});
}

TEST_F(FreeOutput, LongMessagesGoOnOverFurtherLines) {
  const std::string name(100, 'n');
  const auto out = free_form_lines({name, " does not exist."});
  ASSERT_EQ(out.size(), 2u);
  EXPECT_EQ(out[0], " " + std::string(79, 'n'));
  EXPECT_EQ(out[1], " " + std::string(21, 'n') + " does not exist.");
  // A number is never split.
  const auto nums = free_form_lines({std::string(60, 'a'), 2455000.5});
  ASSERT_EQ(nums.size(), 2u);
  EXPECT_EQ(nums[0], " " + std::string(60, 'a'));
  EXPECT_EQ(nums[1], "    2455000.50000000     ");
  // Exactly 80 characters fit on one line.
  EXPECT_EQ(free_form_lines({std::string(79, 'b')}).size(), 1u);
}

using FreeInput = ConsoleFixture;

TEST_F(FreeInput, NumbersAndTruncation) {
  struct Case {
    const char* line;
    double d;
    int i;
  } const cases[] = {
      {"  12  \n", 12.0, 12},   {"12 34\n", 12.0, 12}, {"1.5E2\n", 150.0, 150},
      {"1.5d2\n", 150.0, 150},  {"2.9\n", 2.9, 2},     {"-2.9\n", -2.9, -2},
      {"7.9,\n", 7.9, 7},       {"\t5/\n", 5.0, 5},    {"+.5\n", 0.5, 0},
      {"\n\n   \n3\n", 3.0, 3},  // empty lines are skipped while waiting
  };
  for (const Case& c : cases) {
    give(c.line);
    double d = -1;
    ask({d});
    EXPECT_EQ(d, c.d) << c.line;
    give(c.line);
    std::int32_t i = -1;
    ask({i});
    EXPECT_EQ(i, c.i) << c.line;
  }
}

TEST_F(FreeInput, NullValuesAndSlashLeaveVariablesUnchanged) {
  for (const char* line : {",\n", "/\n", " , \n", "1*\n"}) {
    give(line);
    double d = 42.0;
    ask({d});
    EXPECT_EQ(d, 42.0) << line;
  }
  give("1,,3\n");
  double a = 0, b = -1, c = 0;
  ask({a, b, c});
  EXPECT_EQ(a, 1.0);
  EXPECT_EQ(b, -1.0);
  EXPECT_EQ(c, 3.0);
  give("5 /\n");
  a = 0, b = -1;
  ask({a, b});
  EXPECT_EQ(a, 5.0);
  EXPECT_EQ(b, -1.0);
}

TEST_F(FreeInput, ValuesGoOnOverLinesAndRepeatCounts) {
  give("1\n\n2 3\n");
  double a = 0, b = 0, c = 0;
  ask({a, b, c});
  EXPECT_EQ(a, 1.0);
  EXPECT_EQ(b, 2.0);
  EXPECT_EQ(c, 3.0);
  give("3*7\n");
  a = b = c = 0;
  ask({a, b, c});
  EXPECT_EQ(a, 7.0);
  EXPECT_EQ(c, 7.0);
  // The rest of the line after the last value is lost; the next answer
  // starts on the next line.
  give("1 2\n3\n");
  ask({a});
  ask({b});
  EXPECT_EQ(a, 1.0);
  EXPECT_EQ(b, 3.0);
}

TEST_F(FreeInput, Texts) {
  Text<8> t;
  give("1234 5678\n");
  ask({t});
  EXPECT_EQ(t.view(), "1234    ");
  give("'1234 5678'\n");
  ask({t});
  EXPECT_EQ(t.view(), "1234 567");
  give("\"it''s\"\n");
  ask({t});
  EXPECT_EQ(t.view(), "it''s   ");
  give("'it''s'\n");
  ask({t});
  EXPECT_EQ(t.view(), "it's    ");
  give("'ab\ncd'\n");  // runs on over the line end, which is not part of it
  ask({t});
  EXPECT_EQ(t.view(), "abcd    ");
}

TEST_F(FreeInput, Errors) {
  struct Case {
    std::string input;
    int error;
  } const cases[] = {
      {"abc\n", 59}, {"1.2.3\n", 59}, {"1e\n", 59}, {"'12'\n", 59},
      {"-\n", 59},   {"1e999\n", 64}, {"", 24},     {"\n\n", 24},
  };
  for (const Case& c : cases) {
    give(c.input);
    double d = 0;
    EXPECT_EQ(error_of([&] { ask({d}); }), c.error) << c.input;
  }
  give("3000000000\n");
  std::int32_t i = 0;
  EXPECT_EQ(error_of([&] { ask({i}); }), 64);
  give("'" + std::string(3000, 'x') + "'\n");
  Text<10> t;
  EXPECT_EQ(error_of([&] { ask({t}); }), 59);
  give("'unterminated\n");
  EXPECT_EQ(error_of([&] { ask({t}); }), 24);
}

TEST_F(FreeInput, ReadingNothingDiscardsOneLine) {
  give("\nnext\n");
  ask({});
  Text<4> t;
  ask_text(t);
  EXPECT_EQ(t.view(), "next");
}

// The answer also gives the length of the line as typed, trailing blanks
// left out, so that a longer answer than the field can be refused.
TEST_F(FreeInput, TextAnswersOfAWidthTakeTheLineAsTyped) {
  give("  abc\n\nlonger than ten\nten chars    \n");
  Text<10> t;
  EXPECT_EQ(ask_text(t), 5u);
  EXPECT_EQ(t.view(), "  abc     ");
  EXPECT_EQ(ask_text(t), 0u);  // an empty line is not skipped: all blanks
  EXPECT_TRUE(t.blank());
  Text<30> wide;
  EXPECT_EQ(ask_text(wide, 6), 15u);
  EXPECT_EQ(wide.view(), "longer" + std::string(24, ' '));
  EXPECT_EQ(ask_text(t), 9u);
  EXPECT_EQ(t.view(), "ten chars ");
  EXPECT_EQ(error_of([&] { ask_text(t); }), 24);
}

TEST_F(FreeInput, PromptIsWrittenBeforeTheProgramWaits) {
  // The console's output must be flushed before a read: a pipe's reader sees
  // the prompt while the program waits.
  give("5\n");
  say({"Enter a number"});
  double d = 0;
  ask({d});
  // After the read the prompt is already in the stream without our flush.
  EXPECT_EQ(con_->written(), " Enter a number\r\n");
}

TEST(RunProgram, FatalLineOnStandardErrorAndExitStatus) {
  ::testing::internal::CaptureStderr();
  const int status = run_program([] { throw FatalIoError(29, 111, "/x/tavshort.ini"); });
  const std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(status, 1);
  EXPECT_EQ(err, "severe (29): file not found, unit 111, file /x/tavshort.ini\r\n");
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(run_program([] { throw std::out_of_range("table index"); }), 2);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "internal error: table index\r\n");
  EXPECT_EQ(run_program([] {}), 0);
}

// The program's own stops end with a status of their kind, apart from the
// normal end (0), the fatal line (1) and the internal error (2), and write
// nothing to the error stream: their message is on the console.
TEST(RunProgram, EachKindOfStopHasItsOwnStatus) {
  static StopKind kind;
  const std::pair<StopKind, int> cases[] = {
      {StopKind::MpcorbMissing, 3},
      {StopKind::TwoBody, 4},
      {StopKind::Integration, 5},
      {StopKind::PlanetaryFile, 6},
  };
  for (const auto& [k, status] : cases) {
    kind = k;
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(run_program([] { throw ProgramStop(kind); }), status);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
  }
}

// Console output that cannot be written is a failed write on unit 6, also
// when it is still buffered at a normal end or at a program stop; its line
// reaches standard error all the same.
TEST(RunProgram, ConsoleThatCannotBeWrittenIsAFailedWrite) {
  std::FILE* full = std::fopen("/dev/full", "wb");
  if (!full) GTEST_SKIP() << "no /dev/full here";
  const std::string line = "severe (38): error during write, unit 6, file /dev/stdout\r\n";
  const std::pair<const char*, void (*)()> cases[] = {
      {"normal end", [] { say({"a message that stays in the buffer"}); }},
      {"program stop",
       [] {
         say({"No convergence for near parabolic approximation"});
         throw ProgramStop(StopKind::TwoBody);
       }},
      {"prompt before a read",
       [] {
         say({"Enter a number"});
         ask({});
       }},
  };
  for (const auto& [what, routine] : cases) {
    SCOPED_TRACE(what);
    std::clearerr(full);
    console().attach(stdin, full);
    ::testing::internal::CaptureStderr();
    const int status = run_program(routine);
    const std::string err = ::testing::internal::GetCapturedStderr();
    console().attach(stdin, stdout);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(err, line);
  }
  std::fclose(full);
}

}  // namespace
