// Whole-program tests of kestle: answers on standard input, the console
// transcript and the element file compared byte for byte with expected
// files, and the file read back by the ephemeris program's reader.
#include <gtest/gtest.h>

#include <stdexcept>
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

const std::string kValues = "10.43\n0.46\n110.8296\n178.8165\n304.3221\n10.8287\n0.2226\n";

// A minor-planet dialogue with some answers replaced: H to e are `values`.
std::string minor_planet(const std::string& number, const std::string& epoch = "2455000.5\n",
                         const std::string& axis = "2.7675\n", const std::string& file = "e.ele\n",
                         const std::string& values = kValues) {
  return "1\n" + number + "\nEros\nsrc\n" + epoch + values + axis + file;
}

// The comet dialogue with `bad` typed before the answer `before`.
std::string comet_with(const std::string& before, const std::string& bad) {
  std::string answers = kCometAnswers;
  const std::size_t at = answers.find(before);
  if (at == std::string::npos) throw std::logic_error("no such answer: " + before);
  return answers.insert(at, bad);
}

// The comet dialogue with the perihelion typed as `perihelion`, into e.ele.
std::string comet_perihelion(const std::string& perihelion) {
  std::string answers = kCometAnswers;
  const std::string typed = "2010\n7\n2.6875\n", file = "  comet.ele\n";
  answers.replace(answers.find(typed), typed.size(), perihelion);
  answers.replace(answers.rfind(file), file.size(), "e.ele\n");
  return answers;
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
      // Dates before 1582 October 15 are read in the Julian calendar, in
      // which line 1 and tav show them (JD by the Julian day-number formula).
      {"1066 Mar 20 in the Julian calendar", minor_planet("1", "1066\n3\n20\n"), 11,
       "    2110492.500000000000000000"},
      {"1582 Oct 4, the last Julian day", minor_planet("1", "1582\n10\n4.5\n"), 11,
       "    2299160.000000000000000000"},
      {"1582 Oct 15, the first Gregorian day", minor_planet("1", "1582\n10\n15\n"), 11,
       "    2299160.500000000000000000"},
      {"a comet's perihelion of 1066 likewise", comet_perihelion("1066\n3\n20.5\n"), 4,
       "    2110493.000000000000000000"},
      // Line 1 names the day that the Julian date holds: a day of 0 or
      // below, or past the end of the month, is a day of another month.
      {"2025 January 0.5 is December 31.5", minor_planet("1", "2025\n1\n0.5\n"), 1,
       "        1 Eros                        2024-Dec-31"},
      {"2025 January 0.5 is JD 2460676.0", minor_planet("1", "2025\n1\n0.5\n"), 11,
       "    2460676.000000000000000000"},
      {"a decimal day of -0.5 is December 30.5", minor_planet("1", "2025\n1\n-0.5\n"), 11,
       "    2460675.000000000000000000"},
      {"-0.5: line 1", minor_planet("1", "2025\n1\n-0.5\n"), 1,
       "        1 Eros                        2024-Dec-30"},
      {"March 0 of a leap year", minor_planet("1", "2024\n3\n0\n"), 1,
       "        1 Eros                        2024-Feb-29"},
      {"1582 November 0 is October 31", minor_planet("1", "1582\n11\n0\n"), 1,
       "        1 Eros                        1582-Oct-31"},
      {"January 0 of the year 1", minor_planet("1", "1\n1\n0\n"), 1,
       "        1 Eros                           0-Dec-31"},
      {"February 30 is March 2", minor_planet("1", "2025\n2\n30\n"), 1,
       "        1 Eros                        2025-Mar- 2"},
      // A year before the year 0 is the astronomers' year: -44 is 45 BC.
      {"-44 March 15", minor_planet("1", "-44\n3\n15\n"), 1,
       "        1 Eros                         -44-Mar-15"},
      {"-44 March 15 (line 11)", minor_planet("1", "-44\n3\n15\n"), 11,
       "    1705060.500000000000000000"},
      {"-999 January 1, the first year line 1 holds", minor_planet("1", "-999\n1\n1\n"), 11,
       "    1356173.500000000000000000"},
      {"a comet's perihelion on January 0.5", comet_perihelion("2025\n1\n0.5\n"), 4,
       "    2460676.000000000000000000"},
      {"10000.0 is a Julian date", minor_planet("1", "10000.0\n"), 1,
       "        1 Eros                        ****-May-19"},
      {"10000.0 is a Julian date (line 11)", minor_planet("1", "10000.0\n"), 11,
       "      10000.000000000000000000"},
      {"hyperbola: n from |a|", minor_planet("1", "2455000.5\n", "-4.0\n"), 9,
       "          0.123200958575178127"},
      // The widest values the 30 columns hold.
      {"epoch of 11 integer digits", minor_planet("1", "99999999999\n"), 11,
       "99999999999.000000000000000000"},
      {"its year does not fit line 1", minor_planet("1", "99999999999\n"), 1,
       "        1 Eros                        ****-Jun- 3"},
      {"negative value of 10 integer digits",
       minor_planet("1", "2455000.5\n", "2.7675\n", "e.ele\n",
                    "10.43\n0.46\n110.8296\n178.8165\n304.3221\n10.8287\n-9999999999\n"),
       8, "-9999999999.000000000000000000"},
      {"number of 9 digits", minor_planet("999999999"), 1,
       "999999999 Eros                        2009-Jun-18"},
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
  std::string prompt;   // shown twice
  std::string message;  // shown once after the refused answer; empty: none
  std::string same_as;  // the file must equal this one: kestle's with the good answer
};

// Answers that would leave no usable file are asked for again, and the
// file then holds the orbit as if only the good answer had been typed: it
// reads back through the ephemeris program's reader.
TEST(Kestle, AnswersAskedAgainAndTheFileReadsBack) {
  TempDir ref, ref_calendar;
  ASSERT_EQ(run_program(KESTLE_BINARY, minor_planet("1"), ref.path()).status, 0);
  ASSERT_EQ(
      run_program(KESTLE_BINARY, minor_planet("1", "2009\n6\n18.5\n"), ref_calendar.path()).status,
      0);
  const std::string minor = (ref / "e.ele").string();
  const std::string calendar = (ref_calendar / "e.ele").string();
  const std::string comet = kExpected + "comet.ele";
  const auto values_with = [](const std::string& before, const std::string& bad) {
    std::string v = kValues;
    return v.insert(v.find(before), bad);
  };
  const auto asked = [](const std::string& what) {
    return " " + what + " out of range for the element file, please re-enter\r\n";
  };
  const std::string axis_prompt = " Enter semimajor axis in AU\r\n";
  const std::string epoch_prompt = " Enter epoch date for these elements\r\n";
  const std::string number_prompt = " Enter a minor planet number\r\n";
  const std::string def_epoch = "2455000.5\n";
  const std::vector<AskedAgainCase> cases = {
      {"element type 3", "3\n" + minor_planet("1"), " Enter element type\r\n", "", minor},
      {"month 13", minor_planet("1", "2009\n13\n6\n18.5\n"), " Enter month (1-12)\r\n", "",
       calendar},
      {"number of 10 digits", minor_planet("1234567890\n1"), number_prompt, asked("Number"), minor},
      {"number beyond 32 bits", minor_planet("12345678901\n1"), number_prompt, asked("Number"),
       minor},
      {"epoch beyond the field", minor_planet("1", "1e11\n" + def_epoch), epoch_prompt,
       asked("Epoch"), minor},
      {"epoch 1e300", minor_planet("1", "1e300\n" + def_epoch), epoch_prompt, asked("Epoch"),
       minor},
      {"year beyond 32 bits", minor_planet("1", "-1e12\n" + def_epoch), epoch_prompt,
       asked("Epoch"), minor},
      {"year -1000, before those line 1 holds", minor_planet("1", "-1000\n" + def_epoch),
       epoch_prompt, asked("Epoch"), minor},
      {"year -5000, before the dates convert", minor_planet("1", "-5000\n" + def_epoch),
       epoch_prompt, asked("Epoch"), minor},
      {"decimal day beyond 32 bits", minor_planet("1", "2009\n6\n1e10\n" + def_epoch), epoch_prompt,
       asked("Epoch"), minor},
      {"H of 1e12",
       minor_planet("1", def_epoch, "2.7675\n", "e.ele\n", values_with("10.43", "1e12\n")),
       " Enter Absolute magnitude, H\r\n", asked("Absolute magnitude"), minor},
      {"mean anomaly 1e300",
       minor_planet("1", def_epoch, "2.7675\n", "e.ele\n", values_with("110.8296", "1e300\n")),
       " Enter mean anomaly\r\n", asked("Mean anomaly"), minor},
      {"eccentricity -1e10",
       minor_planet("1", def_epoch, "2.7675\n", "e.ele\n", values_with("0.2226", "-1e10\n")),
       " Enter orbital eccentricity\r\n", asked("Eccentricity"), minor},
      {"axis beyond the field", minor_planet("1", def_epoch, "1e11\n2.7675\n"), axis_prompt,
       asked("Semimajor axis"), minor},
      {"axis 0: no mean motion", minor_planet("1", def_epoch, "0\n2.7675\n"), axis_prompt,
       asked("Mean motion"), minor},
      {"axis 1e-300: mean motion infinite", minor_planet("1", def_epoch, "1e-300\n2.7675\n"),
       axis_prompt, asked("Mean motion"), minor},
      {"axis 1e-8: mean motion beyond the field", minor_planet("1", def_epoch, "1e-8\n2.7675\n"),
       axis_prompt, asked("Mean motion"), minor},
      {"blank file name", minor_planet("1", def_epoch, "2.7675\n", "   \ne.ele\n"),
       " Enter a name for this element file\r\n", "", minor},
      {"comet: perihelion date 1e300", comet_with("2010\n", "1e300\n"), " Enter perihelion JED\r\n",
       asked("Perihelion date"), comet},
      {"comet: perihelion year beyond 32 bits", comet_with("2010\n", "-5e9\n"),
       " Enter perihelion JED\r\n", asked("Perihelion date"), comet},
      {"comet: perihelion year -1000", comet_with("2010\n", "-1000\n"), " Enter perihelion JED\r\n",
       asked("Perihelion date"), comet},
      {"comet: q of 1e12", comet_with("0.405\n", "1e12\n"), " Enter perihelion distance q\r\n",
       asked("Perihelion distance"), comet},
  };
  for (const AskedAgainCase& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    const RunResult r = run_program(KESTLE_BINARY, c.answers, dir.path());
    ASSERT_EQ(r.status, 0) << r.err;
    const auto count = [&](const std::string& text) {
      std::size_t n = 0;
      for (std::size_t p = r.out.find(text); p != std::string::npos; p = r.out.find(text, p + 1))
        ++n;
      return n;
    };
    EXPECT_EQ(count(c.prompt), 2u);
    if (!c.message.empty()) {
      EXPECT_EQ(count(c.message), 1u) << r.out;
    }
    EXPECT_EQ(count("out of range for the element file"), c.message.empty() ? 0u : 1u);
    const std::string file = c.same_as == comet ? "comet.ele" : "e.ele";
    EXPECT_TRUE(same_bytes(read_file(c.same_as), read_file(dir / file)));
    reset_records();
    ConsoleScript console((dir / file).string() + "\n");
    ElementSet el;
    EXPECT_NO_THROW(GET_TAV_ELEMENTS(el, OBJECT.H, OBJECT.G));
  }
}

// 1582 October 5 to 14, which neither calendar has, are refused with the
// message tav gives and the day is asked for again; the file is the one the
// day typed then gives.
TEST(Kestle, DaysThatNoCalendarHasAreAskedAgain) {
  const struct {
    const char* what;
    std::string answers, good;
  } cases[] = {
      {"epoch on October 10", minor_planet("1", "1582\n10\n10\n4.5\n"),
       minor_planet("1", "1582\n10\n4.5\n")},
      {"epoch on October 14.99, twice", minor_planet("1", "1582\n10\n14.99\n5\n15\n"),
       minor_planet("1", "1582\n10\n15\n")},
      {"perihelion on October 5", comet_perihelion("1582\n10\n5\n4\n"),
       comet_perihelion("1582\n10\n4\n")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir, ref;
    const RunResult r = run_program(KESTLE_BINARY, c.answers, dir.path());
    ASSERT_EQ(r.status, 0) << r.err;
    ASSERT_EQ(run_program(KESTLE_BINARY, c.good, ref.path()).status, 0);
    const std::string message =
        " No such day: 1582 Oct 4 is followed by Oct 15, please re-enter\r\n"
        " Enter decimal day of month\r\n";
    const std::size_t first = r.out.find(message);
    ASSERT_NE(first, std::string::npos) << r.out;
    EXPECT_TRUE(same_bytes(read_file(ref / "e.ele"), read_file(dir / "e.ele")));
  }
}

struct FatalCase {
  const char* what;
  std::string answers;
  std::string error;  // start of the fatal line
};

TEST(Kestle, FatalAnswers) {
  const std::vector<FatalCase> cases = {
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

// Answers from one endless line end the run with the line-length error
// instead of filling the memory.
TEST(Kestle, EndlessConsoleLine) {
  TempDir dir;
  const RunResult r = run_on_endless_line(KESTLE_BINARY, dir.path());
  EXPECT_EQ(r.status, 1);  // 124 would be the timeout
  EXPECT_EQ(r.err, "severe (22): input record too long at line 1, unit 5, file /dev/stdin\r\n");
}

// Standard output that cannot be written (a full device) is a failed write:
// the fatal line on standard error and a non-zero status, no file.
TEST(Kestle, ConsoleThatCannotBeWritten) {
  if (full_device().empty()) GTEST_SKIP() << "no /dev/full here";
  TempDir dir;
  const RunResult r = run_to_full_device(KESTLE_BINARY, kMinorPlanetAnswers, dir.path());
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "severe (38): error during write, unit 6, file /dev/stdout\r\n");
  EXPECT_FALSE(fs::exists(dir / "minor_planet.ele"));
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
