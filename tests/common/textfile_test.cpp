// Lines written and read by layouts, on files and texts in memory.
#include <gtest/gtest.h>

#include "program_run.h"
#include "stop.h"
#include "textio.h"

namespace {

using namespace lay;
using testing_support::read_file;
using testing_support::TempDir;
using testing_support::write_file;

std::vector<std::string> lines(std::initializer_list<std::string> l) { return l; }

TEST(WriteLayout, ParameterLineAndTrailingLiterals) {
  const Layout npos = {X(1), L("NPOS =  "), I(4), X(5), L(" Positions to print")};
  EXPECT_EQ(format_lines(npos, {30}), lines({" NPOS =    30      Positions to print"}));
  // The layout goes on with literals up to the next value field.
  const Layout two = {L("a="), I(2), L(" b="), I(2), L(" end")};
  EXPECT_EQ(format_lines(two, {1}), lines({"a= 1 b="}));
  EXPECT_EQ(format_lines(two, {1, 2}), lines({"a= 1 b= 2 end"}));
  EXPECT_EQ(format_lines({L("only text")}, {}), lines({"only text"}));
}

TEST(WriteLayout, LayoutUsedAgainForRemainingValues) {
  const Layout f = {F(30, 18)};
  const auto out = format_lines(f, {1.0, 2.0, 3.0});
  ASSERT_EQ(out.size(), 3u);
  EXPECT_EQ(out[2], "          3.000000000000000000");
  EXPECT_EQ(out[2].size(), 30u);
}

TEST(WriteLayout, LineEndsAndRepeatCounts) {
  EXPECT_EQ(format_lines({NL(), L("x")}, {}), lines({"", "x"}));
  EXPECT_EQ(format_lines({NL(), NL(), L("x")}, {}), lines({"", "", "x"}));
  EXPECT_EQ(format_lines({R(2, I(3)), L("|")}, {1, -2}), lines({"  1 -2|"}));
  EXPECT_EQ(format_lines({R(2, F(12, 2))}, {1.0, 2.5}), lines({"        1.00        2.50"}));
  const std::string bytes = "\xEC\xEA\xF8";
  EXPECT_EQ(format_lines({L(bytes)}, {}), lines({bytes}));  // bytes above 127 unchanged
}

TEST(WriteLayout, WrongValueForAFieldIsAProgrammingError) {
  EXPECT_THROW(format_lines({I(3)}, {1.5}), std::logic_error);
  EXPECT_THROW(format_lines({L("no fields")}, {1}), std::logic_error);
}

TEST(ReadLayout, ShortLinesAreBlankFilled) {
  TextFile f(44);
  std::int32_t n = 7;
  Text<40> t;
  read_text("", {A(40)}, {t}, f);
  EXPECT_TRUE(t.blank());
  read_text("", {I(9)}, {n}, f);
  EXPECT_EQ(n, 0);
  double a = 0, b = 0;
  read_text("    1.5", {F(5, 2), F(5, 2)}, {a, b}, f);
  EXPECT_EQ(a, 0.01);  // "    1" with two implied decimals
  EXPECT_EQ(b, 0.5);  // ".5" and blanks
  Text<3> code;
  std::int32_t year = 0;
  read_text("K23 more", {A(1), I(2)}, {code, year}, f);
  EXPECT_EQ(code.view(), "K  ");
  EXPECT_EQ(year, 23);
  read_text("0123456789", {X(2), A(3)}, {code}, f);
  EXPECT_EQ(code.view(), "234");
}

TEST(ReadLayout, TextFieldWithoutWidthTakesTheVariablesLength) {
  TextFile f(44);
  Text<5> t;
  read_text("abcdefgh", {A()}, {t}, f);
  EXPECT_EQ(t.view(), "abcde");
  Text<2> narrow;
  read_text("abcdefgh", {A(4)}, {narrow}, f);
  EXPECT_EQ(narrow.view(), "cd");  // a shorter variable takes the rightmost characters
}

TEST(ReadLayout, MalformedFieldIsConversionError) {
  TextFile f(44);
  std::int32_t n = 0;
  try {
    read_text("  1.5", {I(5)}, {n}, f);
    FAIL();
  } catch (const FatalIoError& e) {
    EXPECT_EQ(e.number(), 64);
    EXPECT_EQ(e.unit(), 44);
  }
  // A text in memory has one line: a layout that needs a second one meets
  // the end of the file.
  std::int32_t m = 0;
  try {
    read_text("1", {I(1)}, {n, m}, f);
    FAIL();
  } catch (const FatalIoError& e) {
    EXPECT_EQ(e.number(), 24);
  }
}

TEST(TextFiles, CrLfWrittenAndDroppedWhenRead) {
  TempDir dir;
  TextFile out(10);
  out.open_write((dir / "a.txt").string());
  write(out, {F(30, 18)}, {1.0, 2.0});
  out.write_line("plain");
  out.close();
  EXPECT_EQ(read_file(dir / "a.txt"),
            "          1.000000000000000000\r\n          2.000000000000000000\r\nplain\r\n");

  write_file(dir / "b.txt", "one\r\ntwo\nthree\r\r\nlast");
  TextFile in(44);
  in.open_read((dir / "b.txt").string());
  EXPECT_EQ(in.next_line(), "one");
  EXPECT_EQ(in.next_line(), "two");
  EXPECT_EQ(in.next_line(), "three\r");  // only the CR just before the LF goes
  EXPECT_EQ(in.next_line(), "last");     // a last line without LF is a line
  std::string line;
  EXPECT_FALSE(in.read_line(line));
  try {
    in.next_line();
    FAIL();
  } catch (const FatalIoError& e) {
    EXPECT_EQ(e.number(), 24);
    EXPECT_EQ(e.unit(), 44);
    EXPECT_EQ(e.path(), (dir / "b.txt").string());
    EXPECT_EQ(std::string(e.what()),
              "severe (24): end-of-file during read, unit 44, file " + (dir / "b.txt").string());
  }
}

TEST(TextFiles, RewindAndStepBack) {
  TempDir dir;
  std::string text;
  for (int i = 1; i <= 5000; ++i) text += "line " + std::to_string(i) + "\n";
  write_file(dir / "c.txt", text);
  TextFile in(100);
  in.open_read((dir / "c.txt").string());
  EXPECT_EQ(in.next_line(), "line 1");
  in.backspace();
  EXPECT_EQ(in.next_line(), "line 1");
  for (int i = 2; i < 4000; ++i) in.next_line();
  EXPECT_EQ(in.next_line(), "line 4000");
  in.backspace();
  EXPECT_EQ(in.next_line(), "line 4000");
  EXPECT_EQ(in.next_line(), "line 4001");
  in.rewind();
  EXPECT_EQ(in.next_line(), "line 1");
}

TEST(TextFiles, StepBackAcrossTheReadBuffer) {
  // Lines long enough that a step back must reposition the file.
  TempDir dir;
  std::string text;
  const std::string body(1000, 'x');
  for (int i = 0; i < 1000; ++i) text += std::to_string(i) + body + "\n";
  write_file(dir / "d.txt", text);
  TextFile in(100);
  in.open_read((dir / "d.txt").string());
  for (int i = 0; i < 999; ++i) {
    const std::string a = in.next_line();
    in.backspace();
    ASSERT_EQ(in.next_line(), a);
    ASSERT_EQ(a, std::to_string(i) + body);
  }
}

TEST(TextFiles, RewritingLeavesNothingOfTheOldContent) {
  TempDir dir;
  write_file(dir / "e.txt", std::string(5000, 'z') + "\n");
  TextFile out(10);
  out.open_write((dir / "e.txt").string());
  out.write_line("new");
  out.close();
  EXPECT_EQ(read_file(dir / "e.txt"), "new\r\n");
}

TEST(TextFiles, NamesLoseLeadingAndTrailingBlanks) {
  TempDir dir;
  write_file(dir / "f.txt", "x\n");
  const std::string padded = "   " + (dir / "f.txt").string() + "     ";
  EXPECT_TRUE(file_exists(padded));
  TextFile in(44);
  in.open_read(padded);
  EXPECT_EQ(in.next_line(), "x");
  EXPECT_EQ(trim_name("  a b  "), "a b");
}

TEST(TextFiles, ExistenceAndOpenFailures) {
  TempDir dir;
  EXPECT_FALSE(file_exists((dir / "missing").string()));
  EXPECT_FALSE(file_exists(dir.path().string()));  // a folder is not a file
  EXPECT_FALSE(file_exists(""));
  EXPECT_FALSE(file_exists("     "));
  EXPECT_FALSE(file_exists(std::string(6, '\0')));
  TextFile in(111);
  try {
    in.open_read((dir / "missing").string());
    FAIL();
  } catch (const FatalIoError& e) {
    EXPECT_EQ(e.number(), 29);
    EXPECT_EQ(e.unit(), 111);
  }
  TextFile out(10);
  for (const std::string& name : {(dir / "no/such/dir/x").string(), std::string("   "),
                                 std::string("a\0b", 3)}) {
    try {
      out.open_write(name);
      FAIL() << name;
    } catch (const FatalIoError& e) {
      EXPECT_EQ(e.number(), 30);
      EXPECT_EQ(e.unit(), 10);
    }
  }
}

TEST(TextFiles, FailedWriteIsReported) {
  if (!file_exists("/dev/full")) GTEST_SKIP() << "no /dev/full here";
  TextFile out(13);
  out.open_write("/dev/full");
  try {
    for (int i = 0; i < 100000; ++i) out.write_line("a line that will not fit");
    out.close();
    FAIL();
  } catch (const FatalIoError& e) {
    EXPECT_EQ(e.number(), 38);
  }
}

TEST(TextFiles, AnyBytesAndVeryLongLines) {
  TempDir dir;
  std::string bin;
  for (int i = 0; i < 256; ++i)
    if (i != '\n') bin += static_cast<char>(i);
  const std::string long_line(100000, 'L');
  write_file(dir / "g.bin", bin + "\n" + long_line + "\n");
  TextFile in(44);
  in.open_read((dir / "g.bin").string());
  EXPECT_EQ(in.next_line(), bin);
  std::int32_t n = 0;
  Text<80> t;
  read(in, {A(80)}, {t});
  EXPECT_EQ(t.view(), std::string(80, 'L'));
  (void)n;
}

}  // namespace
