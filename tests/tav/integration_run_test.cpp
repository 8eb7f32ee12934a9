// A whole run of tav through the three integration methods: Ceres from the
// MPCORB sample, a listing that begins a year before the epoch (the two-leg
// road of COWELL and ENCKE, the backward first phase of RKD), start and end
// element files, and a last Kepler listing from the RKD start file.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "tav_run.h"

namespace {

using namespace tav_run;

// The run: tavshort.ini (mean planets, SHORT); ten daily lines from
// 2022 Feb 25, a year before the epoch 2023 Feb 25 of Ceres; DEL 2.
const std::string kAnswers =
    "\n1\nyear\n2022\nmonth\n2\nday\n25\nnpos\n10\nmethod\ncowell\ndel\n2\n"
    "stfile\ncs.ele\nendfil\nce.ele\n\n1\n1\ny\n"
    "\nmethod\nrkd\nstfile\nrs.ele\nendfil\nre.ele\n\n1\n1\ny\n"
    "\nmethod\nencke\nstfile\nes.ele\nendfil\nee.ele\n\n1\n1\ny\n"
    "\nmethod\nkepler\nstfile\n \nendfil\n \n\n3\nRS.ELE\nn\n";

TEST(TavIntegration, ThreeMethodsFromBeforeTheEpochAgree) {
  TempDir dir;
  place(dir, "tavshort.ini", kRun / "tavshort.ini");
  place(dir, "MPCORB.DAT", kRun / "MPCORB.DAT");
  const RunResult r = testing_support::run_program(TAV_BINARY, kAnswers, dir.path());
  EXPECT_EQ(r.err, "");
  ASSERT_EQ(r.status, 0);

  // Each display after an integration shows DEL positive again and the
  // method that ran.
  for (const char* shown : {"METHOD = COWELL", "METHOD = RKD   ", "METHOD = ENCKE "}) {
    SCOPED_TRACE(shown);
    const std::size_t at = r.out.rfind(shown);
    ASSERT_NE(at, std::string::npos);
    const std::size_t del = r.out.rfind(" DEL =", at);
    ASSERT_NE(del, std::string::npos);
    EXPECT_EQ(r.out.substr(del, 17), " DEL =      2.00 ");
  }

  const auto all = listings(r.out);
  ASSERT_EQ(all.size(), 4u);
  for (const auto& l : all) ASSERT_EQ(l.size(), 10u);
  EXPECT_EQ(all[0][0].date, "2022-Feb-25");
  EXPECT_EQ(all[0][9].date, "2022-Mar- 6");

  // COWELL (without Mercury), RKD and ENCKE differ by far less than the
  // printed units over a year; one unit of the last digit allows for a
  // rounding that falls on the other side.
  for (std::size_t m = 1; m < 3; ++m) {
    for (std::size_t i = 0; i < 10; ++i) {
      SCOPED_TRACE("method " + std::to_string(m) + " line " + std::to_string(i + 1));
      EXPECT_EQ(all[m][i].date, all[0][i].date);
      EXPECT_NEAR(all[m][i].ra_min, all[0][i].ra_min, 0.0101);
      EXPECT_NEAR(all[m][i].dec_arcmin, all[0][i].dec_arcmin, 0.101);
    }
  }

  // Every method wrote both files, under the names as typed (the dialogue
  // turns them into capitals).
  for (const char* name : {"CS.ELE", "CE.ELE", "RS.ELE", "RE.ELE", "ES.ELE", "EE.ELE"}) {
    EXPECT_TRUE(fs::exists(dir / name)) << name;
  }
  // RKD dates its start file at the first listed time: a Kepler listing from
  // it gives that line again (over ten days the planets move the place by
  // less than the printed units).
  EXPECT_NE(read_file(dir / "RS.ELE").find("2022-Feb-25"), std::string::npos);
  EXPECT_NEAR(all[3][0].ra_min, all[1][0].ra_min, 0.0101);
  EXPECT_NEAR(all[3][0].dec_arcmin, all[1][0].dec_arcmin, 0.101);
}

}  // namespace
