// Whole runs of tav with orbits that test the methods' limits: a comet of
// e = 1.0 exactly, an inbound hyperbola and near-parabolic comets far from
// perihelion listed by all four methods, the stops of integrations that
// cannot go on, and a step too long for a sungrazer's perihelion.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "elefile_lines.h"
#include "tav_run.h"
#include "textio.h"

namespace {

using namespace tav_run;

// An element file in the comet form, its lines as kestle writes them:
// H, G, perihelion time, argument of perihelion, node, inclination (deg),
// e, mean motion 0, q (AU), epoch.
void write_comet(const TempDir& dir, const std::string& file, std::string_view name, double e,
                 double q, double incl, double node, double peri, JulianDate tp, JulianDate epoch,
                 std::int32_t year, std::int32_t month, std::int32_t day) {
  ElementFileLines f;
  f.numbered = true;
  f.number = 0;
  f.name = name;
  f.year = year;
  f.month = month;
  f.day = day;
  f.values = {10.0, 4.0, tp, peri, node, incl, e, 0.0, q, epoch};
  f.source = "orbit of a test";
  std::string bytes;
  for (const std::string& line : element_file_lines(f)) bytes += line + "\r\n";
  write_file(dir / file, bytes);
}

// The first two comets reach perihelion on 2025 April 11.0 (JD 2460776.5):
// - PARAB.ELE: e = 1.0 exactly, q = 0.3 AU, epoch 400 days before
//   (2024 March 7.0). Its starting state, built by PARABOLA, has alpha a
//   rounding error below 0, on which KEPLER's passes gave up (KEPLER and
//   ENCKE ended the run with "Kepler equation solution failed");
// - HYPER.ELE: e = 1.288, q = 0.266 AU, inbound, epoch 184 days before
//   (2024 October 9.0). ENCKE's reference orbit takes a 70-day step from
//   that epoch on which both kinds of pass gave up.
// The other two lie years from perihelion at their epoch of 2024 December
// 27.0 (JD 2460671.5) and through the listing, where the near-parabolic
// series gives up (every method stopped at the starting state with "No
// convergence for near parabolic approximation"):
// - FAR.ELE: e = 0.99, q = 0.1 AU, perihelion 2029 December 31.0, five
//   years after the epoch;
// - KREUTZ.ELE: a Kreutz sungrazer, e = 0.99993, q = 0.0055 AU, perihelion
//   2016 December 27.0, eight years before the epoch.
constexpr JulianDate kPerihelion = 2460776.5;
void write_comets(const TempDir& dir) {
  write_comet(dir, "PARAB.ELE", "Parabola", 1.0, 0.3, 160.6, 248.8, 70.0, kPerihelion,
              kPerihelion - 400, 2024, 3, 7);
  write_comet(dir, "HYPER.ELE", "Hyperbola", 1.288, 0.266, 40.0, 120.0, 70.0, kPerihelion,
              kPerihelion - 184, 2024, 10, 9);
  constexpr JulianDate kEpoch = 2460671.5;
  write_comet(dir, "FAR.ELE", "Far comet", 0.99, 0.1, 30.0, 80.0, 200.0, 2462501.5, kEpoch, 2024,
              12, 27);
  write_comet(dir, "KREUTZ.ELE", "Sungrazer", 0.99993, 0.0055, 144.5, 359.5, 80.5, kEpoch - 2922,
              kEpoch, 2024, 12, 27);
}

// The answers of one ephemeris after the capture-file question: METHOD,
// DEL 2 (a Kepler solution leaves DEL 0) and NPOS, the end of the dialogue,
// and an element file.
std::string ephemeris(const std::string& method, const std::string& file, int lines) {
  return "method\n" + method + "\ndel\n2\nnpos\n" + std::to_string(lines) + "\n\n3\n" + file + "\n";
}

// A run of the given ephemerides with tavshort.ini (mean planets, daily
// lines from 2025 January 1) and no capture files.
std::string run_of(const std::vector<std::string>& ephemerides) {
  std::string answers = "\n1\n";
  for (std::size_t i = 0; i < ephemerides.size(); ++i)
    answers += ephemerides[i] + (i + 1 < ephemerides.size() ? "y\n\n" : "n\n");
  return answers;
}

// The difference of two right ascensions in minutes of time, across 0 h.
double ra_gap(double a, double b) {
  return std::remainder(a - b, 1440.0);
}

// Each comet by KEPLER, COWELL, ENCKE and RKD in one run; the comets far
// from perihelion list a few lines (NPOS is set at every ephemeris).
TEST(TavOrbits, CometsAtTheMethodsLimitsByEveryMethod) {
  TempDir dir;
  place(dir, "tavshort.ini", kRun / "tavshort.ini");
  write_comets(dir);
  const char* methods[] = {"kepler", "cowell", "encke", "rkd"};
  const struct {
    const char* file;
    std::size_t lines;
  } comets[] = {{"PARAB.ELE", 30}, {"HYPER.ELE", 30}, {"FAR.ELE", 4}, {"KREUTZ.ELE", 4}};
  std::vector<std::string> ephemerides;
  for (const auto& c : comets)
    for (const char* m : methods)
      ephemerides.push_back(ephemeris(m, c.file, static_cast<int>(c.lines)));
  const RunResult r = testing_support::run_program(TAV_BINARY, run_of(ephemerides), dir.path());
  EXPECT_EQ(r.err, "");
  ASSERT_EQ(r.status, 0);
  EXPECT_EQ(r.out.find("Kepler equation solution failed"), std::string::npos);
  EXPECT_EQ(r.out.find("No convergence"), std::string::npos);
  EXPECT_EQ(r.out.find("lines listed"), std::string::npos);

  const auto all = listings(r.out);
  ASSERT_EQ(all.size(), 4 * std::size(comets));
  for (std::size_t comet = 0; comet < std::size(comets); ++comet) {
    for (std::size_t m = 0; m < 4; ++m)
      ASSERT_EQ(all[comet * 4 + m].size(), comets[comet].lines) << comets[comet].file;
    const auto& kepler = all[comet * 4];
    for (std::size_t m = 1; m < 4; ++m) {
      const auto& integrated = all[comet * 4 + m];
      for (std::size_t i = 0; i < comets[comet].lines; ++i) {
        SCOPED_TRACE(std::string(comets[comet].file) + ", " + methods[m] + ", line " +
                     std::to_string(i + 1));
        EXPECT_EQ(integrated[i].date, kepler[i].date);
        // The integrations with each other, to a unit of the last printed
        // digit (COWELL leaves Mercury out, a fraction of it here).
        const auto& cowell = all[comet * 4 + 1];
        EXPECT_NEAR(ra_gap(integrated[i].ra_min, cowell[i].ra_min), 0.0, 0.0101);
        EXPECT_NEAR(integrated[i].dec_arcmin, cowell[i].dec_arcmin, 0.101);
        // Against the two-body orbit: the planets' pull since the epoch
        // (measured: 0.04 minute of time and 0.3 minute of arc at most).
        EXPECT_NEAR(ra_gap(integrated[i].ra_min, kepler[i].ra_min), 0.0, 0.1);
        EXPECT_NEAR(integrated[i].dec_arcmin, kepler[i].dec_arcmin, 1.0);
      }
    }
  }
}

// The stops of integrations that cannot go on are the program's own, the
// same for the three methods: two console lines, nothing on the error
// stream, the exit status of an integration that cannot go on (5), and
// nothing after them. COWELL and ENCKE with a
// step of 1e-9 day would need some 1e11 steps from the epoch to the
// listing; RKD's step collapses for an orbit of q = 1e-7 AU, e = 0.5.
TEST(TavOrbits, IntegrationStopsAreTheProgramsOwn) {
  TempDir dir;
  place(dir, "tavshort.ini", kRun / "tavshort.ini");
  write_comets(dir);
  write_comet(dir, "GRAZER.ELE", "Grazer", 0.5, 1e-7, 40.0, 120.0, 70.0, 2460680.5, 2460670.5, 2024,
              12, 27);
  struct Case {
    const char* method;
    const char* file;
    const char* del;
    const char* first_line;
    const char* second_line;
  };
  for (const Case& c :
       {Case{"cowell", "PARAB.ELE", "0.000000001",
             " The COWELL integration would need more than 2147483647 steps.\r\n",
             " The integration cannot go on.\r\n"},
        Case{"encke", "PARAB.ELE", "0.000000001",
             " The ENCKE integration would need more than 2147483647 steps.\r\n",
             " The integration cannot go on.\r\n"},
        Case{"rkd", "GRAZER.ELE", "2", " RKD integration stopped: the step has collapsed at JD",
             " The orbit comes too close to the Sun or to a perturbing body.\r\n"}}) {
    SCOPED_TRACE(c.method);
    const std::string answers =
        "\n1\nmethod\n" + std::string(c.method) + "\ndel\n" + c.del + "\n\n3\n" + c.file + "\nn\n";
    const RunResult r = testing_support::run_program(TAV_BINARY, answers, dir.path());
    EXPECT_EQ(r.status, 5);
    EXPECT_EQ(r.err, "");
    // The last two lines of the console.
    const std::size_t end_first = r.out.rfind("\r\n", r.out.size() - 3);
    ASSERT_NE(end_first, std::string::npos);
    const std::size_t start_first = r.out.rfind("\r\n", end_first - 1) + 2;
    EXPECT_EQ(r.out.substr(end_first + 2), c.second_line);
    EXPECT_EQ(r.out.substr(start_first, std::string(c.first_line).size()), c.first_line);
    EXPECT_EQ(r.out.find("Do you want to do another ephemeris"), std::string::npos);
  }
}

// Ceres from the MPCORB sample by RKD, three lines a year apart from 2025
// January 1.0, with an end element file, and a KEPLER listing from that
// file at its own date, the third listed time (2027 January 1.5): the same
// place as the RKD listing's third line, to a unit of the last printed
// digit (the file carried by one RK7 step over the year and more back from
// the last step put it some 20 minutes of time off). The KEPLER listing
// keeps the yearly interval, as the light time of a line is taken from the
// difference with the next listed place.
TEST(TavOrbits, EndFileOfYearlyLinesListsTheIntegratedPlace) {
  TempDir dir;
  place(dir, "tavshort.ini", kRun / "tavshort.ini");
  place(dir, "MPCORB.DAT", kRun / "MPCORB.DAT");
  const std::string answers =
      "\n1\nmethod\nrkd\nnpos\n3\nxjinc\n8766\nendfil\nce.ele\n\n1\n1\ny\n"
      "\nmethod\nkepler\nnpos\n1\nyear\n2027\net\n12\nendfil\n \n\n3\nCE.ELE\nn\n";
  const RunResult r = testing_support::run_program(TAV_BINARY, answers, dir.path());
  EXPECT_EQ(r.err, "");
  ASSERT_EQ(r.status, 0);
  ASSERT_NE(read_file(dir / "CE.ELE").find("2027-Jan- 1"), std::string::npos);
  const auto all = listings(r.out);
  ASSERT_EQ(all.size(), 2u);
  ASSERT_EQ(all[0].size(), 3u);
  ASSERT_EQ(all[1].size(), 1u);
  EXPECT_EQ(all[1][0].date, all[0][2].date);
  EXPECT_NEAR(ra_gap(all[1][0].ra_min, all[0][2].ra_min), 0.0, 0.0101);
  EXPECT_NEAR(all[1][0].dec_arcmin, all[0][2].dec_arcmin, 0.101);
}

// A sungrazer (q = 0.005 AU, e = 1) reaching perihelion on 2025 January
// 10.0 within a listing of 12 daily lines from its epoch, January 1.0, by
// ENCKE with DEL = 2 days, in which it would never come within 0.44 AU of
// the Sun: the notice after the elements, then the parameter display again
// with DEL as it was, as a refused major-planet listing returns. With the
// DEL the notice gives, the listing passes perihelion and agrees with one
// at a quarter of that step to the printed digits; the capture file named
// for the ephemeris holds that one listing.
TEST(TavOrbits, StepTooLongForThePerihelionIsRefused) {
  TempDir dir;
  place(dir, "tavshort.ini", kRun / "tavshort.ini");
  write_comet(dir, "SUNGRAZ.ELE", "Sungrazer", 1.0, 0.005, 50.0, 40.0, 30.0, 2460685.5, 2460676.5,
              2025, 1, 1);
  const std::string answers =
      "cap.txt\n1\nmethod\nencke\ndel\n2\nnpos\n12\n\n3\nSUNGRAZ.ELE\n"
      "del\n0.0015\n\n3\nSUNGRAZ.ELE\ny\n\ndel\n0.000375\n\n3\nSUNGRAZ.ELE\nn\n";
  const RunResult r = testing_support::run_program(TAV_BINARY, answers, dir.path());
  EXPECT_EQ(r.err, "");
  ASSERT_EQ(r.status, 0);

  const std::string notice =
      " DEL = 2 days is too long for this orbit.\r\n"
      " Within the integrated span it comes to 0.005 AU from the Sun:\r\n"
      " ENCKE needs DEL at most 0.0015 days there.\r\n"
      " No listing is made: change DEL (or METHOD) and choose the elements again.\r\n"
      " Here are your initialized ephemeris parameters:\r\n";
  const std::size_t at = r.out.find(notice);
  ASSERT_NE(at, std::string::npos);
  EXPECT_EQ(r.out.find("too long", at + notice.size()), std::string::npos);
  // It follows the elements, before any listing; the display after it
  // shows the step unchanged.
  EXPECT_NE(r.out.rfind("Perihelion date (Tp)", at), std::string::npos);
  EXPECT_EQ(r.out.rfind("    ----", at), std::string::npos);
  const std::size_t del = r.out.find(" DEL =", at + notice.size());
  ASSERT_NE(del, std::string::npos);
  EXPECT_EQ(r.out.substr(del, 17), " DEL =      2.00 ");

  const auto all = listings(r.out);
  ASSERT_EQ(all.size(), 2u);
  ASSERT_EQ(all[0].size(), 12u);
  ASSERT_EQ(all[1].size(), 12u);
  for (std::size_t i = 0; i < 12; ++i) {
    SCOPED_TRACE("line " + std::to_string(i + 1));
    EXPECT_NEAR(ra_gap(all[0][i].ra_min, all[1][i].ra_min), 0.0, 0.0101);
    EXPECT_NEAR(all[0][i].dec_arcmin, all[1][i].dec_arcmin, 0.101);
  }
  // At perihelion, 0.005 AU from the Sun.
  EXPECT_NE(r.out.find(" 2025-Jan-10  0.0  19h 25.96m"), std::string::npos);
  const std::string capture = read_file(dir / "cap.txt");
  EXPECT_EQ(listings(capture).size(), 1u);
  EXPECT_EQ(capture.find("too long"), std::string::npos);
}

}  // namespace
