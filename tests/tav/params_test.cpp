// The tests of the run parameters, the values derived from them and the
// storing of typed numbers. The messages and questions are in the
// whole-program transcripts (tav_dialogue_test).
#include "params.h"

#include <gtest/gtest.h>

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

  EphemState s;

 private:
  std::optional<ConsoleScript> con_;
};

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
    EXPECT_EQ(run_tests_rounding_day_capping_nplanet_setting_imean(s), c.ask);
  }
}

TEST_F(Params, PlanetSourceAndPerturbersWithMeanAndJpl) {
  PERTRB.NPLANET = 10;
  EXPECT_EQ(run_tests_rounding_day_capping_nplanet_setting_imean(s), 0);
  EXPECT_EQ(PERTRB.NPLANET, 8);  // reset with a notice, nothing asked
  EXPECT_EQ(PLNSRC.IMEAN, 1);

  testing_support::TempDir dir;
  testing_support::write_file(dir / "de405.bin", "");
  s.PLANET = "JPL";
  JPLNAM.JPLFILE = (dir / "de405.bin").string();
  PERTRB.NPLANET = 10;
  POSNS.NCENTER = 4;  // any centre with the JPL file
  EXPECT_EQ(run_tests_rounding_day_capping_nplanet_setting_imean(s), 0);
  EXPECT_EQ(PERTRB.NPLANET, 10);
  EXPECT_EQ(PLNSRC.IMEAN, 0);
}

TEST_F(Params, DerivedValues) {
  // MPC: the fraction of DAY is the hour, the interval goes into hours and
  // back into days.
  s.FORM = "MPC";
  s.DAY = 15.5;
  RUNPAR.XJINC = 1.0;
  RUNPAR.YEAR = -44.7;
  RUNPAR.MONTH = 3;
  ASSERT_EQ(run_tests_rounding_day_capping_nplanet_setting_imean(s), 0);
  set_derived_values(s);
  EXPECT_EQ(RUNPAR.IDAY, 15);
  EXPECT_EQ(RUNPAR.ET, 12.0);
  EXPECT_EQ(RUNPAR.XJINC, 24.0);
  EXPECT_EQ(s.first.year, -44);  // truncated toward zero
  EXPECT_EQ(s.first.month, 3);
  EXPECT_EQ(s.first.day, 15);
  interval_back_to_days(s);
  EXPECT_EQ(RUNPAR.XJINC, 1.0);

  // Other forms: DAY is rounded at the tests, ET and XJINC stay.
  passing_set();
  s.DAY = 15.5;
  RUNPAR.ET = 6.0;
  ASSERT_EQ(run_tests_rounding_day_capping_nplanet_setting_imean(s), 0);
  set_derived_values(s);
  EXPECT_EQ(s.DAY, 16.0);
  EXPECT_EQ(RUNPAR.IDAY, 16);
  EXPECT_EQ(RUNPAR.ET, 6.0);
  interval_back_to_days(s);
  EXPECT_EQ(RUNPAR.XJINC, 24.0);
}

// Typed numbers beyond the range of an integer parameter are held at its
// limit, which the tests then refuse; a typed text goes into capitals and is
// cut to its parameter's length.
TEST_F(Params, TypedValuesAreStoredSafely) {
  answer("1e20\n");
  change_parameter(s, 1);
  EXPECT_EQ(RUNPAR.NPOS, std::numeric_limits<std::int32_t>::max());
  EXPECT_EQ(run_tests_rounding_day_capping_nplanet_setting_imean(s), 1);

  answer("-1e300\n");
  change_parameter(s, 3);
  EXPECT_EQ(RUNPAR.MONTH, std::numeric_limits<std::int32_t>::min());

  passing_set();
  answer("1e10\n");
  change_parameter(s, 4);
  EXPECT_EQ(run_tests_rounding_day_capping_nplanet_setting_imean(s),
            4);  // DAY far out of range: no conversion of it

  answer("kepler-two-body\n");
  change_parameter(s, 19);
  EXPECT_EQ(INTEG.METHOD.str(), "KEPLER");

  answer("a-name-of-thirty-three-characters\n");
  change_parameter(s, 16);
  EXPECT_EQ(FILES.STFILE.str(), "A-NAME-OF-THIRTY-THREE-CHARACT");
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
  };
  const Case cases[] = {
      {"KEPLER with DEL 0", "KEPLER", 24.0, 0.0, 3, 0},
      {"RKD with a negative DEL", "RKD", 24.0, -1.0, 3, 0},
      {"COWELL with DEL 2", "COWELL", 24.0, 2.0, 3, 0},
      {"COWELL with DEL 0", "COWELL", 24.0, 0.0, 3, 7},
      {"ENCKE with a negative DEL", "ENCKE", 24.0, -0.5, 3, 7},
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
    POSNS.NCENTER = c.ncenter;
    EXPECT_EQ(failed_run_test(s), c.ask);
  }
}

}  // namespace
