// Lines written and read by layouts, on files and texts in memory.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "program_run.h"
#include "stop.h"
#include "textio.h"

namespace {

using namespace lay;
using testing_support::read_file;
using testing_support::TempDir;
using testing_support::write_file;

std::vector<std::string> lines(std::initializer_list<std::string> l) {
  return l;
}

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
  EXPECT_EQ(b, 0.5);   // ".5" and blanks
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
  for (const std::string& name :
       {(dir / "no/such/dir/x").string(), std::string("   "), std::string("a\0b", 3)}) {
    try {
      out.open_write(name);
      FAIL() << name;
    } catch (const FatalIoError& e) {
      EXPECT_EQ(e.number(), 30);
      EXPECT_EQ(e.unit(), 10);
    }
  }
}

// One file under two names: the same name, a relative and an absolute
// path, a symbolic and a hard link; not two files with the same bytes, nor a
// name of nothing.
TEST(TextFiles, SameFileThroughLinks) {
  TempDir dir;
  write_file(dir / "a.txt", "same bytes");
  write_file(dir / "b.txt", "same bytes");
  std::filesystem::create_symlink(dir / "a.txt", dir / "sym.txt");
  std::filesystem::create_hard_link(dir / "a.txt", dir / "hard.txt");
  const std::string a = (dir / "a.txt").string();
  const struct {
    std::string other;
    bool same;
  } cases[] = {
      {a, true},
      {"  " + a + "   ", true},  // names lose their blanks
      {(dir / "." / "a.txt").string(), true},
      {(dir / "sym.txt").string(), true},
      {(dir / "hard.txt").string(), true},
      {(dir / "b.txt").string(), false},
      {(dir / "missing.txt").string(), false},
      {"", false},
      {std::string(6, '\0'), false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.other);
    EXPECT_EQ(same_file(a, c.other), c.same);
    EXPECT_EQ(same_file(c.other, a), c.same);
  }
  EXPECT_FALSE(same_file((dir / "missing.txt").string(), (dir / "missing.txt").string()));
}

// Names of one file that may not exist yet: the same path written two ways,
// through a folder that is a link, through links to the file not made yet
// (absolute, relative, a chain), or one existing file under two names.
TEST(TextFiles, SamePathAlsoForFilesNotMadeYet) {
  TempDir dir;
  std::filesystem::create_directory(dir / "sub");
  std::filesystem::create_directory_symlink(dir / "sub", dir / "link");
  write_file(dir / "a.txt", "");
  std::filesystem::create_hard_link(dir / "a.txt", dir / "hard.txt");
  const std::string out = (dir / "sub" / "out.txt").string();
  std::filesystem::create_symlink(out, dir / "to_out");
  std::filesystem::create_symlink("sub/out.txt", dir / "rel_out");
  std::filesystem::create_symlink("to_out", dir / "chain");
  std::filesystem::create_symlink("loop", dir / "loop");
  const struct {
    std::string other;
    bool same;
  } cases[] = {
      {out, true},
      {" " + out + " ", true},
      {(dir / "sub" / "." / "out.txt").string(), true},
      {(dir / "sub" / ".." / "sub" / "out.txt").string(), true},
      {(dir / "link" / "out.txt").string(), true},
      {(dir / "to_out").string(), true},
      {(dir / "rel_out").string(), true},
      {(dir / "chain").string(), true},
      {(dir / "loop").string(), false},
      {(dir / "sub" / "OUT.TXT").string(), false},
      {(dir / "out.txt").string(), false},
      {"", false},
      {std::string(6, '\0'), false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.other);
    EXPECT_EQ(same_path(out, c.other), c.same);
    EXPECT_EQ(same_path(c.other, out), c.same);
  }
  EXPECT_TRUE(same_path((dir / "a.txt").string(), (dir / "hard.txt").string()));
  EXPECT_FALSE(std::filesystem::exists(out));
}

TEST(TextFiles, FailedWriteIsReported) {
  if (file_kind("/dev/full") == FileKind::Missing) GTEST_SKIP() << "no /dev/full here";
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

TEST(TextFiles, AnyBytesAndLongLines) {
  TempDir dir;
  std::string bin;
  for (int i = 0; i < 256; ++i)
    if (i != '\n') bin += static_cast<char>(i);
  // The longest line read, also with a CR before its LF.
  const std::string longest(kMaxLineLength, 'L');
  write_file(dir / "g.bin", bin + "\n" + longest + "\r\n" + longest + "\n");
  TextFile in(44);
  in.open_read((dir / "g.bin").string());
  EXPECT_EQ(in.next_line(), bin);
  Text<80> t;
  read(in, {A(80)}, {t});
  EXPECT_EQ(t.view(), std::string(80, 'L'));
  EXPECT_EQ(in.next_line().size(), kMaxLineLength);
}

// One character more is an error that names the line, wherever the line
// ends: at LF, at CR LF, at the end of the file, or past the read buffer.
TEST(TextFiles, LineLongerThanTheBoundIsAnError) {
  const std::string over(kMaxLineLength + 1, 'L');
  const struct {
    const char* what;
    std::string bytes;
    int line;
  } cases[] = {
      {"LF", "first\n" + over + "\nlast\n", 2},
      {"CR LF", "first\r\nsecond\r\n" + over + "\r\n", 3},
      {"end of file", over, 1},
      {"far past the read buffer", std::string(3 * (1 << 18), 'x') + "\n", 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    write_file(dir / "long.txt", c.bytes);
    TextFile in(111);
    in.open_read((dir / "long.txt").string());
    try {
      for (int k = 0; k < 4; ++k) in.next_line();
      FAIL() << "no error";
    } catch (const FatalIoError& e) {
      EXPECT_EQ(e.number(), ioerr::LINE_TOO_LONG);
      EXPECT_EQ(std::string(e.what()), "severe (22): input record too long at line " +
                                           std::to_string(c.line) + ", unit 111, file " +
                                           (dir / "long.txt").string());
    }
  }
}

// The line number counts again from 1 after a rewind and steps back with
// the line.
TEST(TextFiles, LineNumberFollowsRewindAndStepBack) {
  TempDir dir;
  const std::string over(kMaxLineLength + 1, 'L');
  write_file(dir / "n.txt", "a\nb\n" + over + "\n");
  TextFile in(44);
  in.open_read((dir / "n.txt").string());
  in.next_line();
  in.next_line();
  in.backspace();
  in.next_line();
  in.rewind();
  in.next_line();
  in.next_line();
  try {
    in.next_line();
    FAIL() << "no error";
  } catch (const FatalIoError& e) {
    EXPECT_NE(std::string(e.what()).find("at line 3,"), std::string::npos) << e.what();
  }
}

// The console reads one endless line of /dev/zero up to the bound, not
// until the memory runs out.
TEST(TextFiles, EndlessConsoleLine) {
  std::FILE* zero = std::fopen("/dev/zero", "rb");
  if (!zero) GTEST_SKIP() << "no /dev/zero here";
  std::FILE* out = std::tmpfile();
  console().attach(zero, out);
  std::int32_t n = 0;
  try {
    ask({n});
    ADD_FAILURE() << "no error";
  } catch (const FatalIoError& e) {
    EXPECT_EQ(e.number(), ioerr::LINE_TOO_LONG);
    EXPECT_EQ(e.unit(), 5);
  }
  console().attach(stdin, stdout);
  std::fclose(zero);
  std::fclose(out);
}

// Only a regular file is a file to read: a folder, a device, a FIFO and a
// socket are not (no question takes them, an open for reading is error 30),
// and opening a FIFO does not wait for a writer.
TEST(TextFiles, OnlyRegularFilesAreRead) {
  TempDir dir;
  write_file(dir / "plain.txt", "x\n");
  ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0600), 0);
  const int sock = socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  const std::string sock_path = (dir / "sock").string();
  ASSERT_LT(sock_path.size(), sizeof addr.sun_path);
  std::copy(sock_path.begin(), sock_path.end(), addr.sun_path);
  ASSERT_EQ(bind(sock, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
  std::filesystem::create_symlink(dir / "fifo", dir / "link-to-fifo");
  std::filesystem::create_symlink(dir / "plain.txt", dir / "link-to-plain");

  const struct {
    std::string name;
    FileKind kind;
  } cases[] = {
      {(dir / "plain.txt").string(), FileKind::Regular},
      {(dir / "link-to-plain").string(), FileKind::Regular},
      {(dir / "missing").string(), FileKind::Missing},
      {dir.path().string(), FileKind::Other},
      {"/dev/zero", FileKind::Other},
      {"/dev/null", FileKind::Other},
      {(dir / "fifo").string(), FileKind::Other},
      {(dir / "link-to-fifo").string(), FileKind::Other},
      {sock_path, FileKind::Other},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(file_kind(c.name), c.kind);
    EXPECT_EQ(file_exists(c.name), c.kind == FileKind::Regular);
    const int error = c.kind == FileKind::Regular   ? 0
                      : c.kind == FileKind::Missing ? ioerr::NOT_FOUND
                                                    : ioerr::OPEN_FAILURE;
    EXPECT_EQ(open_read_error(c.name), error);
    TextFile in(100);
    if (error == 0) {
      in.open_read(c.name);
      EXPECT_EQ(in.next_line(), "x");
      continue;
    }
    try {
      in.open_read(c.name);
      ADD_FAILURE() << "opened";
    } catch (const FatalIoError& e) {
      EXPECT_EQ(e.number(), error);
      EXPECT_EQ(e.unit(), 100);
    }
  }
  close(sock);
}

}  // namespace
