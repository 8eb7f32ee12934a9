// Whole-program tests of kestle: answers on standard input, the console
// transcript and the element file compared byte for byte with expected
// files, and the file read back by the ephemeris program's reader.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../tav/console_script.h"
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

// The lines of a file, without their CR LF.
std::vector<std::string> lines_of(const std::string& bytes) {
  std::vector<std::string> lines;
  std::size_t from = 0;
  while (from < bytes.size()) {
    std::size_t end = bytes.find("\r\n", from);
    if (end == std::string::npos) end = bytes.size();
    lines.push_back(bytes.substr(from, end - from));
    from = end + 2;
  }
  return lines;
}

// Reads an element file back with GET_TAV_ELEMENTS.
ElementSet read_back(const fs::path& file, double& H, double& G) {
  reset_records();
  ConsoleScript console(file.string() + "\n");
  ElementSet el;
  GET_TAV_ELEMENTS(el, H, G);
  return el;
}

TEST(Kestle, MinorPlanetFileAndTranscript) {
  TempDir dir;
  const RunResult r = run_program(KESTLE_BINARY, kMinorPlanetAnswers, dir.path());
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(same_bytes(read_file(kExpected + "minor_planet.out"), r.out));
  const std::string file = read_file(dir / "minor_planet.ele");
  EXPECT_TRUE(same_bytes(read_file(kExpected + "minor_planet.ele"), file));
  const std::vector<std::string> lines = lines_of(file);
  ASSERT_EQ(lines.size(), 12u);
  EXPECT_EQ(lines[8], "          0.214078291231139195");  // n of a = 2.7675 AU
  EXPECT_EQ(lines[10], "    2455000.500000000000000000");

  double H = 0, G = 0;
  const ElementSet el = read_back(dir / "minor_planet.ele", H, G);
  const double R = ASTCON::RADDEG;
  const double n = 0.2140782912311392 / R;
  EXPECT_EQ(H, 10.43);
  EXPECT_EQ(G, 0.46);
  EXPECT_EQ(el.e, 0.2226);
  EXPECT_EQ(el.i, 10.8287 / R);
  EXPECT_EQ(el.node, 304.3221 / R);
  EXPECT_EQ(el.peri, 178.8165 / R);
  EXPECT_EQ(el.aq, 2.7675);
  EXPECT_EQ(el.tp, 2455000.5 - (110.8296 / R) / n);
  EXPECT_EQ(OBJECT.ICOMET, 0);
  EXPECT_EQ(OBJECT.NUMBER, 433);
  EXPECT_EQ(OBJECT.EPOCH, 2455000.5);
  EXPECT_EQ(OBJECT.NAME.trimmed(), "Eros");
  EXPECT_EQ(OBJECT.ELSRC.trimmed(), "MPC 2009 June orbit, hand entered");
}

TEST(Kestle, CometFileAndTranscript) {
  TempDir dir;
  const RunResult r = run_program(KESTLE_BINARY, kCometAnswers, dir.path());
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(same_bytes(read_file(kExpected + "comet.out"), r.out));
  const std::string file = read_file(dir / "comet.ele");
  EXPECT_TRUE(same_bytes(read_file(kExpected + "comet.ele"), file));

  double H = 0, G = 0;
  const ElementSet el = read_back(dir / "comet.ele", H, G);
  const double R = ASTCON::RADDEG;
  EXPECT_EQ(H, 6.5);
  EXPECT_EQ(G, 4.0);
  EXPECT_EQ(el.e, 0.9994);
  EXPECT_EQ(el.i, 77.6 / R);
  EXPECT_EQ(el.node, 322.8 / R);
  EXPECT_EQ(el.peri, 130.7 / R);
  EXPECT_EQ(el.aq, 0.405);
  EXPECT_NEAR(el.tp, 2455380.1875, 1e-6);  // may differ in the last bit
  EXPECT_EQ(OBJECT.ICOMET, 1);
  EXPECT_EQ(OBJECT.NUMBER, 0);
  EXPECT_EQ(OBJECT.EPOCH, 2455001.0);
  EXPECT_EQ(OBJECT.NAME.trimmed(), "C/2009 R1 (McNaught)");
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
      {"calendar epoch", minor_planet("1", "2009\n6\n18.5\n"), 11, "    2455001.000000000000000000"},
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
    const std::vector<std::string> lines = lines_of(read_file(dir / "e.ele"));
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
    const std::vector<std::string> lines = lines_of(read_file(dir / "e.ele"));
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
  const std::vector<std::string> lines = lines_of(read_file(dir / "e.ele"));
  ASSERT_EQ(lines.size(), 12u);
  EXPECT_EQ(lines[0].substr(0, 42), "        1 Eros                        ****");
}

// An existing longer file is replaced by exactly the new 12 lines.
TEST(Kestle, RewritesAnExistingFile) {
  TempDir dir;
  write_file(dir / "minor_planet.ele", std::string(5000, 'x') + "\r\n");
  const RunResult r = run_program(KESTLE_BINARY, kMinorPlanetAnswers, dir.path());
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(same_bytes(read_file(kExpected + "minor_planet.ele"),
                         read_file(dir / "minor_planet.ele")));
}

}  // namespace
