// The run of the two multistep integrators, COWLS and ENCKE, under the Sun
// alone: agreement with two-body motion, the output steps, the element
// files, and the runs that cannot go on.
#include "cowell.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <string_view>

#include "console_script.h"
#include "encke.h"
#include "integration_fixture.h"
#include "kepler.h"
#include "stop.h"
#include "stop_checks.h"

namespace {

struct Method {
  const char* name;
  MultistepMethod run;
};

const Method kCowell{
    "COWELL", [](const StateVector& s0, JulianDate T0, StateVector& s, double H, std::int32_t NPOS,
                 JulianDate& TOUT, ListingSink& sink) { COWLS(s0, T0, s, H, NPOS, TOUT, sink); }};
const Method kEncke{
    "ENCKE", [](const StateVector& s0, JulianDate T0, StateVector& s, double H, std::int32_t NPOS,
                JulianDate& TOUT, ListingSink& sink) { ENCKE(s0, T0, s, H, NPOS, TOUT, sink); }};

class SunAlone : public ::testing::Test {
 protected:
  void SetUp() override { sun_alone(); }
};

// Ceres's orbit under the Sun alone, 40 years forwards through a yearly
// listing and 40 years backwards: the integrated states against KEPLER
// (errors measured: COWELL 2e-12 AU at most; ENCKE, whose deviation from
// that very orbit stays zero up to the rounding of its start-up, 2e-13 AU).
TEST_F(SunAlone, MultistepRunsReproduceKeplerOver40Years) {
  struct Case {
    const Method* method;
    double H;
    double tolerance;  // AU
  };
  const Case cases[] = {
      {&kCowell, 1, 1e-11}, {&kCowell, 2, 1e-11}, {&kCowell, -2, 1e-11},
      {&kEncke, 1, 1e-12},  {&kEncke, 2, 1e-12},  {&kEncke, -2, 1e-12},
  };
  const StateVector s0 = ceres_state();
  const JulianDate T0 = kCeresEpoch;
  const int NPOS = 40;
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.method->name) + " H " + std::to_string(c.H));
    WindowSink sink;
    StateVector s;
    if (c.H > 0) {
      set_grid(T0 + 0.5, 365.25, NPOS + 1);
      JulianDate tout = POSNS.TJD(1);
      c.method->run(s0, T0, s, c.H, NPOS, tout, sink);
      ASSERT_EQ(sink.entries.size(), static_cast<std::size_t>(NPOS + 1));
      double worst = 0;
      for (const auto& [i, e] : sink.entries) {
        StateVector k;
        KEPLER(s0, T0, k, POSNS.TJD(i));
        worst = std::max(worst, distance(e, k));
      }
      EXPECT_LT(worst, c.tolerance);
    } else {
      JulianDate tout = T0 - 14610;
      c.method->run(s0, T0, s, c.H, NPOS, tout, sink);
      EXPECT_EQ(tout, T0 - 14610);
      StateVector k;
      KEPLER(s0, T0, k, tout);
      EXPECT_LT(distance(s, k), c.tolerance);
      EXPECT_LT(speed_difference(s, k), c.tolerance);
      EXPECT_TRUE(sink.steps.empty());
    }
  }
}

// Which step is the first output step (0.001 day counts as reaching TOUT),
// the element files of a forward run and the state and TOUT handed back.
TEST_F(SunAlone, OutputStepsElementFilesAndTheStateHandedBack) {
  struct Case {
    double H;
    double tout;          // days from T0
    double first_output;  // days from T0
    std::string_view start_name;
    std::string_view end_name;
  };
  const Case cases[] = {
      {2, 1.0, 2, "start.ele", "end.ele"},  // first step already an output step
      {2, 4.0009, 4, "start.ele", "end.ele"},
      {2, 4.0011, 6, "start.ele", ""},
      {2, 4.0011, 6, "", "end.ele"},
      {2, 4.0011, 6, std::string_view("\0", 1), ""},  // a NUL makes a name
      {-2, -1.0, -2, "start.ele", "end.ele"},
      {-2, -4.0009, -4, "start.ele", "end.ele"},
      {-2, -4.0011, -6, "start.ele", "end.ele"},
  };
  const StateVector s0 = ceres_state();
  const JulianDate T0 = 2460000.5;
  const int NPOS = 6;
  for (const Method* m : {&kCowell, &kEncke}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(m->name) + " H " + std::to_string(c.H) + " TOUT " +
                   std::to_string(c.tout));
      FILES.STFILE = c.start_name;
      FILES.ENDFIL = c.end_name;
      set_grid(T0 + c.tout, 1.5, NPOS + 1);
      WindowSink sink;
      StateVector s;
      JulianDate tout = T0 + c.tout;
      m->run(s0, T0, s, c.H, NPOS, tout, sink);
      StateVector k;
      KEPLER(s0, T0, k, tout);
      EXPECT_LT(distance(s, k), 1e-9);
      if (c.H < 0) {
        // The backward leg returns at its first output step, silently.
        EXPECT_EQ(tout, T0 + c.first_output);
        EXPECT_TRUE(sink.steps.empty());
        EXPECT_TRUE(sink.saves.empty());
        continue;
      }
      ASSERT_FALSE(sink.steps.empty());
      EXPECT_EQ(sink.steps.front().t, T0 + c.first_output);
      EXPECT_EQ(sink.entries.size(), static_cast<std::size_t>(NPOS + 1));
      // Every step from the first output step on goes to the listing; the run
      // ends with the step whose fill passes NPOS + 1.
      for (std::size_t i = 1; i < sink.steps.size(); ++i)
        EXPECT_EQ(sink.steps[i].t, sink.steps[i - 1].t + c.H);
      EXPECT_LE(sink.steps.back().count_before, NPOS + 1);
      EXPECT_EQ(tout, sink.steps.back().t);
      std::size_t n = 0;
      if (!FILES.STFILE.blank()) {
        ASSERT_GT(sink.saves.size(), n);
        EXPECT_EQ(sink.saves[n].name, std::string(FILES.STFILE.trimmed()));
        EXPECT_EQ(sink.saves[n].t, sink.steps.front().t);
        EXPECT_EQ(distance(sink.saves[n].s, sink.steps.front().s), 0.0);
        ++n;
      }
      if (!FILES.ENDFIL.blank()) {
        ASSERT_GT(sink.saves.size(), n);
        EXPECT_EQ(sink.saves[n].name, "end.ele");
        EXPECT_EQ(sink.saves[n].t, tout);
        EXPECT_EQ(distance(sink.saves[n].s, s), 0.0);
        ++n;
      }
      EXPECT_EQ(sink.saves.size(), n);
    }
  }
}

// Steps that cannot advance the run and listings it can never complete end
// with the program's own stop and two lines saying why, instead of running
// for ever or dividing by 0.
TEST_F(SunAlone, RunsThatCannotReachTheirListingStop) {
  struct Case {
    const char* what;
    double H;
    double first;  // first listed date, days from T0
    int NPOS;
    const char* message;
  };
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const Case cases[] = {
      {"zero step", 0.0, 10, 5, "method cannot advance with a step DEL of 0 days."},
      {"step not a number", nan, 10, 5, "method has no number for its step DEL."},
      {"step lost in GAUSSK H", 5e-324, 10, 5, "method cannot advance with a step DEL of 0 days."},
      {"step far too small", 1e-300, 10, 5, "integration would need more than 2147483647 steps."},
      {"steps beyond the bound", 1e-6, 3000, 5,
       "integration would need more than 2147483647 steps."},
      {"listing behind the start", 1.0, -10, 5, "integration cannot reach the listed time JD"},
      // The first step lies exactly one step from a listing that begins at T0.
      {"listing beginning at the start", 1.0, 0, 5, "integration cannot reach the listed time JD"},
      {"listing longer than the grid", 4.0, 2, kGridSize,
       "integration has run past the end of the listing grid"},
  };
  const StateVector s0 = ceres_state();
  const JulianDate T0 = 2460000.5;
  for (const Method* m : {&kCowell, &kEncke}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(m->name) + ": " + c.what);
      set_grid(T0 + c.first, 1.0, std::min(c.NPOS + 1, kGridSize));
      ConsoleScript con;
      WindowSink sink;
      StateVector s;
      JulianDate tout = T0 + c.first;
      EXPECT_EQ(testing_support::stop_kind([&] { m->run(s0, T0, s, c.H, c.NPOS, tout, sink); }),
                StopKind::Integration);
      const std::string out = con.output();
      EXPECT_NE(out.find(std::string(m->name) + " " + c.message), std::string::npos) << out;
      EXPECT_NE(out.find("integration cannot go on."), std::string::npos) << out;
      EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 2) << out;
      if (std::string(c.message).find(" step") != std::string::npos) {
        EXPECT_TRUE(sink.steps.empty());
      }
    }
  }
}

}  // namespace
