// Whole-program tests of kestle: answers on standard input, the console
// transcript and the element file compared byte for byte with expected
// files, and the file read back by the ephemeris program's reader.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../tav/test_io.h"
#include "astcon.h"
#include "elefile.h"
#include "program_run.h"
#include "records.h"

namespace {

using namespace testing_support;

const std::string kExpected = std::string(TEST_SOURCE_DIR) + "/expected/";

const std::string kMinorPlanetAnswers =
    "1\n433\nEros\nMPC 2009 June orbit, hand entered\n2455000.5\n10.43\n0.46\n110.8296\n"
    "178.8165\n304.3221\n10.8287\n0.2226\n2.7675\nminor_planet.ele\n";
// Epoch and perihelion typed as calendar dates; the file name with blanks.
const std::string kCometAnswers =
    "2\nC/2009 R1 (McNaught)\nDiscovery orbit, MPEC 2009-R15\n2009\n6\n18.5\n6.5\n4.0\n2010\n7\n"
    "2.6875\n130.7\n322.8\n77.6\n0.9994\n0.405\n  comet.ele\n";

constexpr double R = ASTCON::RADDEG;

// One whole run: its answers, the expected transcript and file, and what
// the ephemeris program's reader makes of the file.
struct WholeRun {
  const char* what;
  std::string answers;
  std::string file;  // written by the run; expected/<file> and expected/<stem>.out
  ElementSet el;     // read back
  double H, G;
  std::int32_t icomet, number;
  JulianDate epoch;
  std::string name, source;  // trimmed
};

TEST(Kestle, WholeRunsAgainstExpectedFiles) {
  const std::vector<WholeRun> runs = {
      {"minor planet, Julian epoch", kMinorPlanetAnswers, "minor_planet.ele",
       ElementSet{0.2226, 10.8287 / R, 304.3221 / R, 178.8165 / R, 2.7675,
                  2455000.5 - (110.8296 / R) / (0.2140782912311392 / R)},
       10.43, 0.46, 0, 433, 2455000.5, "Eros", "MPC 2009 June orbit, hand entered"},
      // Tp passes through the conversion to radians and back.
      {"comet, calendar dates", kCometAnswers, "comet.ele",
       ElementSet{0.9994, 77.6 / R, 322.8 / R, 130.7 / R, 0.405, (2455380.1875 / R) * R}, 6.5, 4.0,
       1, 0, 2455001.0, "C/2009 R1 (McNaught)", "Discovery orbit, MPEC 2009-R15"},
  };
  for (const WholeRun& run : runs) {
    SCOPED_TRACE(run.what);
    TempDir dir;
    const RunResult r = run_program(KESTLE_BINARY, run.answers, dir.path());
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string stem = fs::path(run.file).stem().string();
    EXPECT_TRUE(same_bytes(read_file(kExpected + stem + ".out"), r.out));
    EXPECT_TRUE(same_bytes(read_file(kExpected + run.file), read_file(dir / run.file)));

    reset_records();
    ConsoleScript console((dir / run.file).string() + "\n");
    ElementSet el;
    GET_TAV_ELEMENTS(el, OBJECT.H, OBJECT.G);
    EXPECT_EQ(el.e, run.el.e);
    EXPECT_EQ(el.i, run.el.i);
    EXPECT_EQ(el.node, run.el.node);
    EXPECT_EQ(el.peri, run.el.peri);
    EXPECT_EQ(el.aq, run.el.aq);
    EXPECT_EQ(el.tp, run.el.tp);
    EXPECT_EQ(OBJECT.H, run.H);
    EXPECT_EQ(OBJECT.G, run.G);
    EXPECT_EQ(OBJECT.ICOMET, run.icomet);
    EXPECT_EQ(OBJECT.NUMBER, run.number);
    EXPECT_EQ(OBJECT.EPOCH, run.epoch);
    EXPECT_EQ(OBJECT.NAME.trimmed(), run.name);
    EXPECT_EQ(OBJECT.ELSRC.trimmed(), run.source);
  }
}

// Two lines of the file: the mean motion of a = 2.7675 AU and a
// Julian epoch of seven integer digits.
TEST(Kestle, MeanMotionAndEpochLines) {
  TempDir dir;
  ASSERT_EQ(run_program(KESTLE_BINARY, kMinorPlanetAnswers, dir.path()).status, 0);
  const std::vector<std::string> lines = crlf_lines(read_file(dir / "minor_planet.ele"));
  ASSERT_EQ(lines.size(), 12u);
  EXPECT_EQ(lines[8], "          0.214078291231139195");
  EXPECT_EQ(lines[10], "    2455000.500000000000000000");
}

// A minor-planet dialogue with some answers replaced.
std::string minor_planet(const std::string& number, const std::string& epoch = "2455000.5\n",
                         const std::string& axis = "2.7675\n",
                         const std::string& file = "e.ele\n") {
  return "1\n" + number + "\nEros\nsrc\n" + epoch +
         "10.43\n0.46\n110.8296\n178.8165\n304.3221\n10.8287\n0.2226\n" + axis + file;
}

struct FileLineCase {
  const char* what;
  std::string answers;
  std::size_t line;  // 1 to 12
  std::string expected;
};

TEST(Kestle, LinesOfTheFile) {
  const std::vector<FileLineCase> cases = {
      {"empty number", minor_planet(""), 1, "        0 Eros                        2009-Jun-18"},
      {"number 1234", minor_planet("1234"), 1, "     1234 Eros                        2009-Jun-18"},
      {"only 20 characters count", minor_planet("00000000000000001234999"), 1,
       "     1234 Eros                        2009-Jun-18"},
      {"a letter adds its code minus 48", minor_planet("12A"), 1,
       "      137 Eros                        2009-Jun-18"},
      {"calendar epoch", minor_planet("1", "2009\n6\n18.5\n"), 11,
       "    2455001.000000000000000000"},
      {"decimal day 18.75 is 18 h", minor_planet("1", "2009\n6\n18.75\n"), 11,
       "    2455001.250000000000000000"},
      {"9999.9 is the year 9999", minor_planet("1", "9999.9\n1\n1\n"), 1,
       "        1 Eros                        9999-Jan- 1"},
      {"10000.0 is a Julian date", minor_planet("1", "10000.0\n"), 1,
       "        1 Eros                        ****-May-19"},
      {"10000.0 is a Julian date (line 11)", minor_planet("1", "10000.0\n"), 11,
       "      10000.000000000000000000"},
      {"hyperbola: n from |a|", minor_planet("1", "2455000.5\n", "-4.0\n"), 9,
       "          0.123200958575178127"},
  };
  for (const FileLineCase& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    const RunResult r = run_program(KESTLE_BINARY, c.answers, dir.path());
    ASSERT_EQ(r.status, 0) << r.err;
    const std::vector<std::string> lines = crlf_lines(read_file(dir / "e.ele"));
    ASSERT_EQ(lines.size(), 12u);
    EXPECT_EQ(lines[c.line - 1], c.expected);
  }
}

struct AskedAgainCase {
  const char* what;
  std::string answers;
  std::string prompt;
};

// Answers that would leave no usable file are asked for again.
TEST(Kestle, AnswersAskedAgain) {
  const std::vector<AskedAgainCase> cases = {
      {"element type 3", "3\n" + minor_planet("1"), " Enter element type\r\n"},
      {"month 13", minor_planet("1", "2009\n13\n6\n18.5\n"), " Enter month (1-12)\r\n"},
      {"semimajor axis 0", minor_planet("1", "2455000.5\n", "0\n2.7675\n"),
       " Enter semimajor axis in AU\r\n"},
      {"blank file name", minor_planet("1", "2455000.5\n", "2.7675\n", "   \ne.ele\n"),
       " Enter a name for this element file\r\n"},
  };
  for (const AskedAgainCase& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    const RunResult r = run_program(KESTLE_BINARY, c.answers, dir.path());
    ASSERT_EQ(r.status, 0) << r.err;
    std::size_t count = 0;
    for (std::size_t p = r.out.find(c.prompt); p != std::string::npos;
         p = r.out.find(c.prompt, p + 1))
      ++count;
    EXPECT_EQ(count, 2u);
    const std::vector<std::string> lines = crlf_lines(read_file(dir / "e.ele"));
    ASSERT_EQ(lines.size(), 12u);
    EXPECT_EQ(lines[0].substr(38), "2009-Jun-18");
  }
}

struct FatalCase {
  const char* what;
  std::string answers;
  std::string error;  // start of the fatal line
};

TEST(Kestle, FatalAnswers) {
  const std::vector<FatalCase> cases = {
      {"number of 11 digits", minor_planet("12345678901"), "severe (64): "},
      {"year beyond 32 bits", minor_planet("1", "-1e12\n"), "severe (64): "},
      {"decimal day beyond 32 bits", minor_planet("1", "2009\n6\n1e10\n"), "severe (64): "},
      {"not a number", "1\n1\nEros\nsrc\n2455000.5\nabc\n", "severe (59): "},
      {"end of input", "1\n1\nEros\n", "severe (24): end-of-file during read, unit 5"},
  };
  for (const FatalCase& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    const RunResult r = run_program(KESTLE_BINARY, c.answers, dir.path());
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err.rfind(c.error, 0), 0u) << r.err;
    EXPECT_FALSE(fs::exists(dir / "e.ele"));
  }
}

// A Julian date far beyond any calendar still gives a file; its year does
// not fit the field.
TEST(Kestle, FarFutureJulianDate) {
  TempDir dir;
  const RunResult r = run_program(KESTLE_BINARY, minor_planet("1", "1e300\n"), dir.path());
  ASSERT_EQ(r.status, 0) << r.err;
  const std::vector<std::string> lines = crlf_lines(read_file(dir / "e.ele"));
  ASSERT_EQ(lines.size(), 12u);
  EXPECT_EQ(lines[0].substr(0, 42), "        1 Eros                        ****");
}

// An existing longer file is replaced by exactly the new 12 lines.
TEST(Kestle, RewritesAnExistingFile) {
  TempDir dir;
  write_file(dir / "minor_planet.ele", std::string(5000, 'x') + "\r\n");
  const RunResult r = run_program(KESTLE_BINARY, kMinorPlanetAnswers, dir.path());
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(
      same_bytes(read_file(kExpected + "minor_planet.ele"), read_file(dir / "minor_planet.ele")));
}

}  // namespace
