// Whole runs of tav that end at one of the program's own stops: its message
// as the console's last line, nothing on the error stream, no further
// question, and the exit status of its kind, so that a script that pipes its
// answers in can tell that no listing came. The stops of integrations that
// cannot go on (status 5) are run in orbit_runs_test.cpp.
#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "../planets/de_fixture.h"
#include "tav_run.h"

namespace {

using namespace tav_run;

// tavshort.ini (mean planets, SHORT, KEPLER, 30 daily lines from 2025
// January 1) with the planets from the JPL file named `jplfile`.
std::string short_ini_with_jpl_file(const std::string& jplfile) {
  std::string ini = read_file(kRun / "tavshort.ini");
  for (const auto& [from, to] :
       {std::pair<std::string, std::string>{"PLANET  = 'MEAN'", "PLANET  = 'JPL'"},
        std::pair<std::string, std::string>{"JPLFILE = 'JPLEPH.405'",
                                            "JPLFILE = '" + jplfile + "'"}}) {
    const std::size_t at = ini.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) ini.replace(at, from.size(), to);
  }
  return ini;
}

// A planetary file whose second data record (JD 2451568.5 to 2451600.5)
// holds the third one's dates: not the record that its header describes.
std::string file_with_a_wrong_record() {
  de_fixture::DeFile f;
  return f.header() + f.record(0) + f.record(2) + f.record(1);
}

struct Stop {
  const char* name;
  std::function<void(const TempDir&)> lay_out;  // the run folder's files
  std::string answers;
  std::string last_line;
  int status;
};

void PrintTo(const Stop& c, std::ostream* os) {
  *os << c.name;
}

const std::vector<Stop> kStops = {
    // MPCFILE names no file.
    {"mpcorb_file_missing",
     [](const TempDir& dir) { place(dir, "tavshort.ini", kRun / "tavshort.ini"); },
     "\n1\nmpcfile\nnone.dat\n\n1\n", " MPCORB file not found, exiting program.\r\n", 3},
    // Comet-form elements with q = 0 have no perihelion state to start from.
    {"two_body_solution_fails",
     [](const TempDir& dir) {
       place(dir, "tavshort.ini", kRun / "tavshort.ini");
       place(dir, "no_q.ele", kFixtures / "no_q.ele");
     },
     "\n1\nnpos\n4\n\n3\nno_q.ele\n", " Kepler equation solution failed in 20 iterations\r\n", 4},
    // Mars from the Earth on 2000 February 2.0, in the wrong record.
    {"planetary_file_record_unreadable",
     [](const TempDir& dir) {
       write_file(dir / "tavshort.ini", short_ini_with_jpl_file("de.bin"));
       write_file(dir / "de.bin", file_with_a_wrong_record());
     },
     "\n1\nyear\n2000\nmonth\n2\nday\n2\nnpos\n2\n\n4\n4\n3\n",
     "  2451576.50        0.00" + std::string(59, ' ') + "ERROR RETURN IN STATE\r\n", 6},
};

class StopTest : public ::testing::TestWithParam<Stop> {};

TEST_P(StopTest, EndsWithItsMessageAndTheStatusOfItsKind) {
  const Stop& c = GetParam();
  TempDir dir;
  c.lay_out(dir);
  const RunResult r = testing_support::run_program(TAV_BINARY, c.answers, dir.path());
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.status, c.status);
  ASSERT_GE(r.out.size(), c.last_line.size());
  EXPECT_EQ(r.out.substr(r.out.size() - c.last_line.size()), c.last_line);
  EXPECT_EQ(r.out.find("Do you want to do another ephemeris"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Tav, StopTest, ::testing::ValuesIn(kStops),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
