// Whole runs of tav whose first listed day is day 0 of a month, and whose
// listed times leave the years 0 to 9999 that the lines print, by every
// method and in the major-planet listing.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "calendar.h"
#include "elefile_lines.h"
#include "program_run.h"
#include "tav_run.h"
#include "test_data.h"

namespace {

using namespace tav_run;

// The console from the first "Doing Kepler solution..." on: the listing
// without the parameter display, which shows the date as typed.
std::string from_the_solution_on(const std::string& out) {
  const std::size_t at = out.find(" Doing Kepler solution...");
  return at == std::string::npos ? std::string() : out.substr(at);
}

// The lines of a console transcript, CR LF taken off.
std::vector<std::string> lines_of(const std::string& out) {
  std::vector<std::string> lines;
  std::istringstream in(out);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

// The data lines of the first listing: the lines after the underline up
// to the notice or the question that follows the listing.
std::vector<std::string> data_lines(const std::string& out) {
  std::vector<std::string> data;
  bool in_listing = false;
  for (const std::string& line : lines_of(out)) {
    if (line.rfind("    ----", 0) == 0) {
      in_listing = true;
      continue;
    }
    if (!in_listing) continue;
    if (line.rfind(" Only ", 0) == 0 || line.rfind(" Do you want", 0) == 0) break;
    data.push_back(line);
  }
  return data;
}

// Day 0 of January is December 31 of the year before: the listing from
// 2025 January 0 is, after the display, byte for byte the one from 2024
// December 31 (it started on 2025 March 10). The MPC form's DAY 0.5 is
// December 31.5.
TEST(TavDates, DayZeroListsFromTheLastDayOfTheMonthBefore) {
  TempDir dir;
  place(dir, "tavshort.ini", kRun / "tavshort.ini");
  place(dir, "tavmpc.ini", kRun / "tavmpc.ini");
  place(dir, "MPCORB.DAT", kRun / "MPCORB.DAT");
  const RunResult day0 =
      testing_support::run_program(TAV_BINARY, "\n1\nnpos\n3\nday\n0\n\n1\n1\nn\n", dir.path());
  const RunResult dec31 = testing_support::run_program(
      TAV_BINARY, "\n1\nnpos\n3\nyear\n2024\nmonth\n12\nday\n31\n\n1\n1\nn\n", dir.path());
  ASSERT_EQ(day0.status, 0);
  ASSERT_EQ(dec31.status, 0);
  ASSERT_NE(from_the_solution_on(day0.out), "");
  EXPECT_TRUE(same_bytes(from_the_solution_on(dec31.out), from_the_solution_on(day0.out)));
  const std::vector<std::string> lines = data_lines(day0.out);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0].substr(0, 17), " 2024-Dec-31  0.0");
  EXPECT_EQ(lines[1].substr(0, 12), " 2025-Jan- 1");

  const RunResult mpc =
      testing_support::run_program(TAV_BINARY, "\n4\nnpos\n2\nday\n0.5\n\n1\n1\nn\n", dir.path());
  ASSERT_EQ(mpc.status, 0);
  const std::vector<std::string> mpc_lines = data_lines(mpc.out);
  ASSERT_EQ(mpc_lines.size(), 2u);
  EXPECT_EQ(mpc_lines[0].substr(0, 19), " 2024-Dec  31.50000");
}

// An orbit like Ceres's at the epoch 9999 December 1, so that the methods
// that integrate reach the end of 9999 in a few steps.
void write_late_orbit(const TempDir& dir) {
  ElementFileLines f;
  f.numbered = true;
  f.number = 1;
  f.name = "Ceres";
  f.year = 9999;
  f.month = 12;
  f.day = 1;
  f.values = {3.3,  0.15,  100.0,  73.5,  80.3,
              10.6, 0.079, 0.2141, 2.767, calendar_to_jd(9999, 12, 1, 0.0)};
  f.source = "orbit of a test";
  std::string bytes;
  for (const std::string& line : element_file_lines(f)) bytes += line + "\r\n";
  write_file(dir / "LATE.ELE", bytes);
}

struct EndCase {
  const char* what;
  std::string changes;  // answers at the name prompt, each name and value
  std::string source;   // answers to the element-source questions
  std::size_t lines;    // data lines listed
  std::string notice;
  const char* end_file = nullptr;  // ENDFIL, and the date of its line 1
  const char* end_date = nullptr;
};

// A listing whose next listed time would fall after 9999 December 31 or
// before the year 0 ends with one notice line, as one that leaves the JPL
// file ends: the grid stops there for every method, whose lines (each with
// the next listed time for its light time) and element files all lie
// within the years, so every field printed is a number. Before, the year
// 10000 printed as "****", an interval of 1e12 hours put asterisks into
// four columns (and RKD never ended), and one of -1e300 listed nothing.
TEST(TavDates, ListingsEndAtTheYearsTheLinesPrint) {
  TempDir dir;
  place(dir, "tavshort.ini", kRun / "tavshort.ini");
  place(dir, "MPCORB.DAT", kRun / "MPCORB.DAT");
  write_late_orbit(dir);
  const std::string late = "year\n9999\nmonth\n12\nday\n30\nnpos\n4\n";
  const std::string after =
      " Only   1 of   4 lines listed: the dates that follow lie after the year 9999";
  const std::string far = "npos\n3\nxjinc\n1e12\n";
  const std::string far_after =
      " Only   0 of   3 lines listed: the dates that follow lie after the year 9999";
  const std::string back = "npos\n3\nxjinc\n-1e300\n";
  const std::string back_before =
      " Only   0 of   3 lines listed: the dates that follow lie before the year 0";
  const std::string year5 = "year\n5\nnpos\n5\nxjinc\n-20000\n";
  const std::string year5_before =
      " Only   2 of   5 lines listed: the dates that follow lie before the year 0";
  const std::string ceres = "1\n1\n", late_file = "3\nLATE.ELE\n";
  const std::vector<EndCase> cases = {
      {"KEPLER into 10000", late, late_file, 1, after},
      // COWELL and ENCKE date the end file at their last step within one
      // line interval after the last listed line (DEL 2 from December 1);
      // RKD at the last listed line.
      {"COWELL into 10000", late + "method\ncowell\nendfil\ne1.ele\n", late_file, 1, after,
       "E1.ELE", "9999-Dec-31"},
      {"ENCKE into 10000", late + "method\nencke\nendfil\ne2.ele\n", late_file, 1, after, "E2.ELE",
       "9999-Dec-31"},
      {"RKD into 10000", late + "method\nrkd\nendfil\ne3.ele\n", late_file, 1, after, "E3.ELE",
       "9999-Dec-30"},
      {"KEPLER, 1e12 hours", far, ceres, 0, far_after},
      {"COWELL, 1e12 hours", far + "method\ncowell\n", ceres, 0, far_after},
      {"ENCKE, 1e12 hours", far + "method\nencke\n", ceres, 0, far_after},
      {"RKD, 1e12 hours", far + "method\nrkd\nendfil\ne4.ele\n", ceres, 0, far_after, "E4.ELE",
       "2025-Jan- 1"},
      {"KEPLER, -1e300 hours", back, ceres, 0, back_before},
      {"RKD, -1e300 hours", back + "method\nrkd\n", ceres, 0, back_before},
      {"KEPLER, from the year 5 backwards", year5, ceres, 2, year5_before},
      {"RKD, from the year 5 backwards", year5 + "method\nrkd\n", ceres, 2, year5_before},
  };
  for (const EndCase& c : cases) {
    SCOPED_TRACE(c.what);
    const fs::path in = dir / "answers.txt";
    write_file(in, "\n1\n" + c.changes + "\n" + c.source + "n\n");
    // An integration that never ends is stopped (status 124).
    const RunResult r = testing_support::run_from(TAV_BINARY, in, dir.path(), "timeout 60 ");
    EXPECT_EQ(r.err, "");
    ASSERT_EQ(r.status, 0);
    const std::vector<std::string> lines = data_lines(r.out);
    EXPECT_EQ(lines.size(), c.lines);
    for (const std::string& line : lines) EXPECT_EQ(line.find('*'), std::string::npos) << line;
    const std::string end = c.notice + "\r\n Do you want to do another ephemeris? (y or n)\r\n";
    EXPECT_EQ(r.out.size() >= end.size() ? r.out.substr(r.out.size() - end.size()) : r.out, end);
    if (c.end_file) {
      const std::vector<std::string> file = lines_of(read_file(dir / c.end_file));
      ASSERT_EQ(file.size(), 12u);
      EXPECT_EQ(file[0].substr(file[0].size() - 11), c.end_date);
    }
  }
}

// The major-planet listing sees the same grid: an interval of 1e12 hours
// leaves one entry, which the file covers, and the listing ends with the
// notice of the years.
TEST(TavDates, MajorPlanetListingEndsAtTheYearsToo) {
  const fs::path de405 = testing_support::de405_path(testing_support::kDe405_2000_2040);
  if (!fs::exists(de405)) GTEST_SKIP() << "DE405 file absent: " << de405;
  TempDir dir;
  place(dir, "listing.ini", kFixtures / "listing.ini");
  fs::create_symlink(de405, dir / "JPLEPH.405");
  const RunResult r = testing_support::run_program(
      TAV_BINARY, "\n \nlisting.ini\nnpos\n3\nxjinc\n1e12\n\n4\n4\n3\nn\n", dir.path());
  EXPECT_EQ(r.err, "");
  ASSERT_EQ(r.status, 0);
  EXPECT_EQ(data_lines(r.out).size(), 0u);
  EXPECT_NE(r.out.find(" Only   0 of   3 lines listed: the dates that follow lie after the year "
                       "9999\r\n Do you want"),
            std::string::npos);
}

}  // namespace
