// The tests of the run parameters, the values derived from them and the
// storing of typed numbers. The messages and questions are in the
// whole-program transcripts (tav_dialogue_test).
#include "params.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <functional>
#include <limits>
#include <optional>
#include <string>

#include "console_script.h"
#include "program_run.h"
#include "records.h"
#include "textio.h"

namespace {

class Params : public ::testing::Test {
 protected:
  void SetUp() override {
    passing_set();
    answer("");
  }

  // A set of parameters that passes every test.
  void passing_set() {
    reset_records();
    s = EphemState{};
    RUNPAR.NPOS = 30;
    RUNPAR.YEAR = 2025.0;
    RUNPAR.MONTH = 1;
    RUNPAR.XJINC = 24.0;
    PERTRB.NPLANET = 8;
    POSNS.NCENTER = 3;
    s.DAY = 1.0;
    s.PLANET = "MEAN";
    s.FORM = "SHORT";
  }

  // The console answers that the next questions read.
  void answer(const std::string& lines) {
    con_.reset();
    con_.emplace(lines);
  }

  // What the tests have written on the console since the last answer().
  std::string output() { return con_->output(); }

  EphemState s;

 private:
  std::optional<ConsoleScript> con_;
};

// The first listed date.
void on(EphemState& e, double year, std::int32_t month, double day) {
  RUNPAR.YEAR = year;
  RUNPAR.MONTH = month;
  e.DAY = day;
}

// Each case changes the passing set and names the parameter that the tests
// ask for (0: all pass).
TEST_F(Params, TestsAskForTheFirstParameterThatFails) {
  struct Case {
    const char* what;
    std::function<void(EphemState&)> change;
    int ask;
  };
  const Case cases[] = {
      {"all pass", [](EphemState&) {}, 0},
      {"NPOS 499 fills the grid", [](EphemState&) { RUNPAR.NPOS = 499; }, 0},
      {"NPOS 500 overruns it", [](EphemState&) { RUNPAR.NPOS = 500; }, 1},
      {"negative NPOS lists nothing", [](EphemState&) { RUNPAR.NPOS = -5; }, 0},
      // The years whose dates the listing prints: 0 to 9999, the whole part
      // of YEAR as the date takes it.
      {"YEAR 0", [](EphemState&) { RUNPAR.YEAR = 0.0; }, 0},
      {"YEAR -0.9 is the year 0", [](EphemState&) { RUNPAR.YEAR = -0.9; }, 0},
      {"YEAR -1", [](EphemState&) { RUNPAR.YEAR = -1.0; }, 2},
      {"YEAR 9999.9", [](EphemState&) { RUNPAR.YEAR = 9999.9; }, 0},
      {"YEAR 10000", [](EphemState&) { RUNPAR.YEAR = 10000.0; }, 2},
      {"YEAR 214748", [](EphemState&) { RUNPAR.YEAR = 214748.0; }, 2},
      {"YEAR 2147483647", [](EphemState&) { RUNPAR.YEAR = 2147483647.0; }, 2},
      {"YEAR -1e300", [](EphemState&) { RUNPAR.YEAR = -1e300; }, 2},
      {"YEAR before MONTH",
       [](EphemState&) {
         RUNPAR.YEAR = 1e300;
         RUNPAR.MONTH = 0;
       },
       2},
      // The years whose equinox the precession reaches: 0 to 5215.
      {"CYEAR -0.5 is the year 0", [](EphemState&) { RUNPAR.CYEAR = -0.5; }, 0},
      {"CYEAR -1", [](EphemState&) { RUNPAR.CYEAR = -1.0; }, 8},
      {"CYEAR 5215.9", [](EphemState&) { RUNPAR.CYEAR = 5215.9; }, 0},
      {"CYEAR 5216", [](EphemState&) { RUNPAR.CYEAR = 5216.0; }, 8},
      {"CYEAR 50000", [](EphemState&) { RUNPAR.CYEAR = 50000.0; }, 8},
      {"CYEAR 1e9", [](EphemState&) { RUNPAR.CYEAR = 1e9; }, 8},
      {"MONTH 0", [](EphemState&) { RUNPAR.MONTH = 0; }, 3},
      {"MONTH 13 before DAY 40",
       [](EphemState& e) {
         RUNPAR.MONTH = 13;
         e.DAY = 40;
       },
       3},
      {"DAY 0", [](EphemState& e) { e.DAY = 0; }, 0},
      {"DAY 31", [](EphemState& e) { e.DAY = 31; }, 0},
      {"DAY 31.6 rounds to 32", [](EphemState& e) { e.DAY = 31.6; }, 4},
      {"DAY 31.6 for MPC is day 31",
       [](EphemState& e) {
         e.DAY = 31.6;
         e.FORM = "MPC";
       },
       0},
      {"DAY -0.6 rounds to -1", [](EphemState& e) { e.DAY = -0.6; }, 4},
      // 1582 October 15 follows October 4.
      {"1582 Oct 4", [](EphemState& e) { on(e, 1582, 10, 4); }, 0},
      {"1582 Oct 5", [](EphemState& e) { on(e, 1582, 10, 5); }, 4},
      {"1582 Oct 14", [](EphemState& e) { on(e, 1582, 10, 14); }, 4},
      {"1582 Oct 14.4 rounds to 14", [](EphemState& e) { on(e, 1582, 10, 14.4); }, 4},
      {"1582 Oct 14.5 rounds to 15", [](EphemState& e) { on(e, 1582, 10, 14.5); }, 0},
      {"1582 Oct 15", [](EphemState& e) { on(e, 1582, 10, 15); }, 0},
      {"1582 Oct 4.99 for MPC",
       [](EphemState& e) {
         on(e, 1582, 10, 4.99);
         e.FORM = "MPC";
       },
       0},
      {"1582 Oct 14.99 for MPC is day 14",
       [](EphemState& e) {
         on(e, 1582, 10, 14.99);
         e.FORM = "MPC";
       },
       4},
      {"1582 Sep 10", [](EphemState& e) { on(e, 1582, 9, 10); }, 0},
      {"1583 Oct 10", [](EphemState& e) { on(e, 1583, 10, 10); }, 0},
      {"1582 Oct 10 and a wrong ET",
       [](EphemState& e) {
         on(e, 1582, 10, 10);
         RUNPAR.ET = 25.0;
       },
       4},
      {"ET 24", [](EphemState&) { RUNPAR.ET = 24.0; }, 0},
      {"ET 24.01", [](EphemState&) { RUNPAR.ET = 24.01; }, 5},
      {"ET -0.01", [](EphemState&) { RUNPAR.ET = -0.01; }, 5},
      {"NPLANET 0", [](EphemState&) { PERTRB.NPLANET = 0; }, 11},
      {"NPLANET 11", [](EphemState&) { PERTRB.NPLANET = 11; }, 11},
      {"mean planets seen from Mars", [](EphemState&) { POSNS.NCENTER = 4; }, 12},
      {"PLANET in lower case", [](EphemState& e) { e.PLANET = "mean"; }, 14},
      {"PLANET blank", [](EphemState& e) { e.PLANET = ""; }, 14},
      {"FORM in lower case", [](EphemState& e) { e.FORM = "mpc"; }, 18},
      {"FORM blank", [](EphemState& e) { e.FORM = ""; }, 18},
      {"JPL file missing",
       [](EphemState& e) {
         e.PLANET = "JPL";
         JPLNAM.JPLFILE = "no-such-jpl-file.405";
       },
       15},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    passing_set();
    c.change(s);
    EXPECT_EQ(failed_value_test(s), c.ask);
  }
}

TEST_F(Params, PlanetSourceAndPerturbersWithMeanAndJpl) {
  PERTRB.NPLANET = 10;
  EXPECT_EQ(failed_value_test(s), 0);
  set_planet_source(s);
  EXPECT_EQ(PERTRB.NPLANET, 8);  // reset with a notice, nothing asked
  EXPECT_EQ(PLNSRC.IMEAN, 1);

  testing_support::TempDir dir;
  testing_support::write_file(dir / "de405.bin", "");
  s.PLANET = "JPL";
  JPLNAM.JPLFILE = (dir / "de405.bin").string();
  PERTRB.NPLANET = 10;
  POSNS.NCENTER = 4;  // any centre with the JPL file
  EXPECT_EQ(failed_value_test(s), 0);
  set_planet_source(s);
  EXPECT_EQ(PERTRB.NPLANET, 10);
  EXPECT_EQ(PLNSRC.IMEAN, 0);
}

TEST_F(Params, DerivedValues) {
  // MPC: the fraction of DAY is the hour, the interval goes into hours and
  // back into days.
  s.FORM = "MPC";
  s.DAY = 15.5;
  RUNPAR.XJINC = 1.0;
  RUNPAR.YEAR = -0.7;
  RUNPAR.MONTH = 3;
  round_day(s);
  ASSERT_EQ(failed_value_test(s), 0);
  set_derived_values(s);
  EXPECT_EQ(RUNPAR.IDAY, 15);
  EXPECT_EQ(RUNPAR.ET, 12.0);
  EXPECT_EQ(RUNPAR.XJINC, 24.0);
  EXPECT_EQ(s.first.year, 0);  // truncated toward zero
  EXPECT_EQ(s.first.month, 3);
  EXPECT_EQ(s.first.day, 15);
  interval_back_to_days(s);
  EXPECT_EQ(RUNPAR.XJINC, 1.0);

  // Other forms: DAY is rounded at the tests, ET and XJINC stay.
  passing_set();
  s.DAY = 15.5;
  RUNPAR.ET = 6.0;
  round_day(s);
  ASSERT_EQ(failed_value_test(s), 0);
  set_derived_values(s);
  EXPECT_EQ(s.DAY, 16.0);
  EXPECT_EQ(RUNPAR.IDAY, 16);
  EXPECT_EQ(RUNPAR.ET, 6.0);
  interval_back_to_days(s);
  EXPECT_EQ(RUNPAR.XJINC, 24.0);
}

// Typed numbers beyond the range of an integer parameter are held at its
// limit, which the tests then refuse; a typed text goes into capitals and is
// cut to its parameter's length, but for a file to write, whose longer name
// is asked for again.
TEST_F(Params, TypedValuesAreStoredSafely) {
  answer("1e20\n");
  change_parameter(s, 1);
  EXPECT_EQ(RUNPAR.NPOS, std::numeric_limits<std::int32_t>::max());
  EXPECT_EQ(failed_value_test(s), 1);

  answer("-1e300\n");
  change_parameter(s, 3);
  EXPECT_EQ(RUNPAR.MONTH, std::numeric_limits<std::int32_t>::min());

  passing_set();
  answer("1e10\n");
  change_parameter(s, 4);
  EXPECT_EQ(failed_value_test(s),
            4);  // DAY far out of range: no conversion of it

  answer("kepler-two-body\n");
  change_parameter(s, 19);
  EXPECT_EQ(INTEG.METHOD.str(), "KEPLER");

  answer("a-name-of-thirty-three-characters\na-name-of-thirty-characters.el  \n");
  change_parameter(s, 16);
  EXPECT_EQ(FILES.STFILE.str(), "A-NAME-OF-THIRTY-CHARACTERS.EL");
  EXPECT_EQ(output(),
            " Enter new value for STFILE \r\n"
            " STFILE variable is longer than 30 characters, please re-enter\r\n"
            " Enter new value for STFILE \r\n");
}

// STFILE and ENDFIL longer than 30 characters in the initialization file:
// the tests ask for them again, until a name is typed (here none).
TEST_F(Params, ElementFileNamesTooLongInTheFileAreAskedForAgain) {
  INTEG.METHOD = "KEPLER";
  s.endfil_too_long = true;
  EXPECT_EQ(failed_run_test(s), 17);
  s.stfile_too_long = true;
  EXPECT_EQ(failed_run_test(s), 16);
  EXPECT_EQ(output(),
            " ENDFIL variable is longer than 30 characters, please re-enter\r\n"
            " STFILE variable is longer than 30 characters, please re-enter\r\n");
  answer("\n\n");
  change_parameter(s, 16);
  change_parameter(s, 17);
  EXPECT_FALSE(s.stfile_too_long);
  EXPECT_FALSE(s.endfil_too_long);
  EXPECT_EQ(failed_run_test(s), 0);
}

// The tests of the method and the steps, made after the others: each case
// changes a set that passes them and names the parameter asked for.
TEST_F(Params, MethodStepsAndCentreAreTested) {
  struct Case {
    const char* what;
    const char* method;
    double xjinc, del;
    std::int32_t ncenter;
    int ask;
    double year = 2025.0;  // the first listed time is 1 January, 0 h
  };
  // A step moves the Julian date of the first listed time on when it is
  // above half a unit in its last place: 2^-32 day (2.3e-10) for a date of
  // 2025 (JD 2460676.5), 2^-31 day (4.7e-10) for one of 9999 (JD 5.4e6).
  const Case cases[] = {
      {"KEPLER with DEL 0", "KEPLER", 24.0, 0.0, 3, 0},
      {"RKD with a negative DEL", "RKD", 24.0, -1.0, 3, 0},
      {"COWELL with DEL 2", "COWELL", 24.0, 2.0, 3, 0},
      {"COWELL with DEL 0", "COWELL", 24.0, 0.0, 3, 7},
      {"ENCKE with a negative DEL", "ENCKE", 24.0, -0.5, 3, 7},
      {"COWELL with a DEL that moves the date on", "COWELL", 24.0, 3e-10, 3, 0},
      {"COWELL with a DEL lost in the date", "COWELL", 24.0, 2e-10, 3, 7},
      {"ENCKE with DEL 1e-300", "ENCKE", 24.0, 1e-300, 3, 7},
      {"ENCKE with the smallest double", "ENCKE", 24.0, 5e-324, 3, 7},
      {"COWELL in the last year, a DEL that counts", "COWELL", 24.0, 1e-9, 3, 0, 9999.0},
      {"COWELL in the last year, a DEL lost", "COWELL", 24.0, 4e-10, 3, 7, 9999.0},
      {"RKD does not step by DEL", "RKD", 24.0, 1e-300, 3, 0},
      {"KEPLER does not step by DEL", "KEPLER", 24.0, 1e-300, 3, 0},
      // The fixed-step methods list forwards only.
      {"COWELL backwards", "COWELL", -24.0, 2.0, 3, 6},
      {"ENCKE backwards", "ENCKE", -0.5, 2.0, 3, 6},
      {"RKD backwards", "RKD", -24.0, 0.0, 3, 0},
      {"backwards before DEL", "COWELL", -24.0, 0.0, 3, 6},
      {"method in lower case", "cowell", 24.0, 2.0, 3, 19},
      {"method blank", "", 24.0, 2.0, 3, 19},
      {"backward listing", "KEPLER", -24.0, 0.0, 3, 0},
      {"no interval", "KEPLER", 0.0, 0.0, 3, 6},
      {"method before the interval", "kepler", 0.0, 0.0, 3, 19},
      {"interval before DEL", "ENCKE", 0.0, 0.0, 3, 6},
      {"the Earth-Moon barycentre as centre", "KEPLER", 24.0, 0.0, 13, 0},
      {"centre 0", "KEPLER", 24.0, 0.0, 0, 12},
      {"centre 14 (nutations)", "KEPLER", 24.0, 0.0, 14, 12},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    passing_set();
    INTEG.METHOD = c.method;
    RUNPAR.XJINC = c.xjinc;
    RUNPAR.DEL = c.del;
    RUNPAR.YEAR = c.year;
    POSNS.NCENTER = c.ncenter;
    EXPECT_EQ(failed_run_test(s), c.ask);
  }
}

// The refusals of values that the dates and the fixed-step methods cannot
// carry say which value and why, as the other tests do.
TEST_F(Params, RefusalsOfValuesThatCannotBeCarriedNameTheValue) {
  RUNPAR.YEAR = 2147483647.0;
  ASSERT_EQ(failed_value_test(s), 2);
  EXPECT_EQ(output(), " YEAR variable out of range 0-9999, please re-enter\r\n");

  passing_set();
  answer("");
  RUNPAR.CYEAR = 5216.0;
  ASSERT_EQ(failed_value_test(s), 8);
  EXPECT_EQ(output(), " CYEAR variable out of range 0-5215, please re-enter\r\n");

  passing_set();
  answer("");
  on(s, 1582, 10, 5);
  ASSERT_EQ(failed_value_test(s), 4);
  EXPECT_EQ(output(), " No such day: 1582 Oct 4 is followed by Oct 15, please re-enter\r\n");

  passing_set();
  answer("");
  INTEG.METHOD = "ENCKE";
  RUNPAR.XJINC = -24.0;
  RUNPAR.DEL = 2.0;
  ASSERT_EQ(failed_run_test(s), 6);
  EXPECT_EQ(output(), " XJINC variable must be above 0 for COWELL and ENCKE, please re-enter\r\n");

  answer("");
  RUNPAR.XJINC = 24.0;
  RUNPAR.DEL = 1e-300;
  ASSERT_EQ(failed_run_test(s), 7);
  EXPECT_EQ(output(), " DEL variable too small to advance the listed times, please re-enter\r\n");
}

// The step test takes the first listed time as the listing will: for the
// MPC form at the hour in the fraction of DAY, in the Julian calendar before
// 1582. 1029 September 9 (Julian) at 0 h is JD 2097151.5, just below 2^21,
// at 18 h JD 2097152.25, above it, where the unit in the last place doubles
// to 2^-31 day.
TEST_F(Params, StepTestTakesTheFirstListedTimeOfTheForm) {
  INTEG.METHOD = "COWELL";
  RUNPAR.YEAR = 1029.0;
  RUNPAR.MONTH = 9;
  RUNPAR.DEL = 1.5 * std::ldexp(1.0, -33);  // moves 2097151.5 on, not 2097152.25
  s.DAY = 9.0;
  EXPECT_EQ(failed_run_test(s), 0);
  s.FORM = "MPC";
  s.DAY = 9.75;
  EXPECT_EQ(failed_run_test(s), 7);
  s.DAY = 9.0;
  EXPECT_EQ(failed_run_test(s), 0);
}

}  // namespace
