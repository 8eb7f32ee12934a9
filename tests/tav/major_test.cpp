// The major-planet listing against positions taken straight from the DE405
// file by the file reader, and the element-source helpers of an ephemeris:
// the source question, the third mass, the choice of the starting-state
// routine and the starting state far from perihelion.
#include "major.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "astcon.h"
#include "conic_solution.h"
#include "console_script.h"
#include "de405_setup.h"
#include "elements.h"
#include "jplread.h"
#include "parabola.h"
#include "positions.h"
#include "program_run.h"
#include "source.h"

namespace {

using ASTCON::RADDEG;

// Barycentric position (AU) of body 3 (the Earth) or 4 (Mars) from the file
// reader alone: Mars is item 4; the Earth is the Earth-Moon barycentre less
// the Moon's share.
std::array<double, 3> barycentric(int body, JulianDate t) {
  StateRequest req;
  req(3) = 1;
  req(4) = 1;
  req(10) = 1;
  StateTable pv;
  NutationState nut{};
  const bool bary = JPLOPT.BARYC;
  JPLOPT.BARYC = true;
  EXPECT_EQ(STATE({t, 0.0}, req, pv, nut), 0);
  JPLOPT.BARYC = bary;
  std::array<double, 3> p{};
  for (int k = 0; k < 3; ++k) {
    const auto u = static_cast<std::size_t>(k);
    p[u] = body == 4 ? pv(4)[u] : pv(3)[u] - pv(10)[u] / (1.0 + JPLHDR.EMRATIO);
  }
  return p;
}

// How often `what` occurs in `text`.
std::size_t occurrences(const std::string& text, const std::string& what) {
  std::size_t n = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

class MajorPlanets : public WithDe405 {
 protected:
  // A grid of NPOS+1 dates ten days apart from 2023 Jan 1.
  void grid(std::int32_t npos, JulianDate first = 2459945.5) {
    RUNPAR.NPOS = npos;
    FILES.STFILE = "";  // blank: no element files
    FILES.ENDFIL = "";
    for (int i = 1; i <= npos + 1; ++i) POSNS.TJD(i) = first + 10.0 * (i - 1);
  }
  // The same grid seen from the centre of the observing body (a latitude
  // above 90 degrees: no topocentric correction).
  void geocentric_grid(std::int32_t npos, JulianDate first = 2459945.5) {
    OBSERV.OLAT = 95.0;
    grid(npos, first);
  }
};

// Mars from the Earth: right ascension and declination within 0.1 second of
// arc of the direction the file gives, the three distances to 1e-9 AU; the
// object's identification for the listing.
TEST_F(MajorPlanets, MarsFromTheEarthAsTheFileGivesIt) {
  REQUIRE_DE405();
  geocentric_grid(3);
  ConsoleScript con("4\n3\n");
  ASSERT_EQ(MAJOR_PLANETS(), kMajorFilled);
  EXPECT_EQ(POSNS.NCENTER, 3);
  EXPECT_EQ(listing_entries_filled(), 4);
  EXPECT_FALSE(listing_fill_ended());
  EXPECT_EQ(OBJECT.NAME.trimmed(), "Mars observed from Earth");
  EXPECT_EQ(OBJECT.ELSRC.trimmed(), "JPL ephemeris data De405");
  EXPECT_EQ(OBJECT.PNAME.trimmed(), "Mars");
  EXPECT_EQ(OBJECT.NUMBER, 0);
  for (int i = 1; i <= 4; ++i) {
    SCOPED_TRACE(i);
    const JulianDate t = POSNS.TJD(i);
    const auto mars = barycentric(4, t), earth = barycentric(3, t);
    const double x = mars[0] - earth[0], y = mars[1] - earth[1], z = mars[2] - earth[2];
    double ra = std::atan2(y, x);
    if (ra < 0) ra += 2 * ASTCON::PI;
    const double dec = std::atan2(z, std::hypot(x, y));
    EXPECT_NEAR((POSNS.RA(i) - ra) * std::cos(dec) * RADDEG * 3600, 0.0, 0.1);
    EXPECT_NEAR((POSNS.DEC(i) - dec) * RADDEG * 3600, 0.0, 0.1);
    EXPECT_NEAR(POSNS.DELTA(i), std::sqrt(x * x + y * y + z * z), 1e-9);
    // The reader leaves the barycentric Sun of the date in JPLOPT.SUNPV.
    const double sx = JPLOPT.SUNPV[0], sy = JPLOPT.SUNPV[1], sz = JPLOPT.SUNPV[2];
    EXPECT_NEAR(POSNS.RHELIO(i), std::hypot(mars[0] - sx, mars[1] - sy, mars[2] - sz), 1e-9);
    EXPECT_NEAR(POSNS.ROBS(i), std::hypot(earth[0] - sx, earth[1] - sy, earth[2] - sz), 1e-9);
  }
}

// An observer on the Earth moves the direction by Mars's parallax (at most
// 8.8 / delta seconds of arc) but not the distance from the Earth's centre.
TEST_F(MajorPlanets, TopocentricDirectionGeocentricDistance) {
  REQUIRE_DE405();
  geocentric_grid(1);
  {
    ConsoleScript con("4\n3\n");
    MAJOR_PLANETS();
  }
  const double ra = POSNS.RA(1), dec = POSNS.DEC(1), delta = POSNS.DELTA(1);
  OBSERV.OLAT = 40.0;
  OBSERV.OLON = 75.0;
  {
    ConsoleScript con("4\n3\n");
    MAJOR_PLANETS();
  }
  EXPECT_EQ(POSNS.DELTA(1), delta);
  const double shift =
      std::hypot((POSNS.RA(1) - ra) * std::cos(dec), POSNS.DEC(1) - dec) * RADDEG * 3600;
  EXPECT_GT(shift, 0.5);
  EXPECT_LT(shift, 8.8 / delta);
}

// Mean planets: refused after both questions, the typed observing body
// kept, nothing filled.
TEST_F(MajorPlanets, RefusedWithMeanPlanets) {
  PLNSRC.IMEAN = 1;
  grid(2);
  ConsoleScript con("4\n5\n");
  EXPECT_EQ(MAJOR_PLANETS(), kMajorRefused);
  EXPECT_EQ(POSNS.NCENTER, 5);
  EXPECT_EQ(POSNS.RA(1), 0.0);
  const std::string out = con.output();
  EXPECT_NE(out.find(" Enter a number for the observation planet\r\n"
                     " To do planetary ephemerides, you must use JPL\r\n"),
            std::string::npos);
}

// Body numbers outside the name table are asked for again; the Sun and the
// barycentres are named from it.
TEST_F(MajorPlanets, BodyNumbersOutsideTheTableAreAskedAgain) {
  REQUIRE_DE405();
  geocentric_grid(1);
  ConsoleScript con("0\n14\n4\n-3\n99\n12\n");
  ASSERT_EQ(MAJOR_PLANETS(), kMajorFilled);
  EXPECT_EQ(POSNS.NCENTER, 12);
  EXPECT_EQ(OBJECT.NAME.trimmed(), "Mars observed from Solar System Barycenter");
  EXPECT_EQ(occurrences(con.output(), "Body number out of range 1-13"), 4u);
  for (BodyNumber b : {11, 12, 13}) EXPECT_FALSE(body_name(b).empty());
  EXPECT_THROW(body_name(0), std::out_of_range);
  EXPECT_THROW(body_name(14), std::out_of_range);
}

// NPOS of 1: both element files at entry 1, the start file first.
TEST_F(MajorPlanets, BothElementFilesAtTheFirstEntryForOneLine) {
  REQUIRE_DE405();
  testing_support::TempDir dir;
  geocentric_grid(1);
  const std::string start = (dir / "s.ele").string(), end = (dir / "e.ele").string();
  ASSERT_LE(end.size(), 30u) << "temporary folder name too long for a 30-character file name";
  FILES.STFILE = start;
  FILES.ENDFIL = end;
  ConsoleScript con("4\n3\n");
  MAJOR_PLANETS();
  const std::string out = con.output();
  const std::size_t a = out.find(" Elements saved on file " + start);
  const std::size_t b = out.find(" Elements saved on file " + end);
  ASSERT_NE(a, std::string::npos);
  ASSERT_NE(b, std::string::npos);
  EXPECT_LT(a, b);
  const std::string line11 = "    " + std::string("2459945.500000000000000000");
  for (const std::string& f : {start, end}) {
    EXPECT_NE(testing_support::read_file(f).find(line11 + "\r\n"), std::string::npos) << f;
  }
}

// A date beyond the file: the fill ends at that entry with its reason.
TEST_F(MajorPlanets, FillEndsWhereTheFileEnds) {
  REQUIRE_DE405();
  geocentric_grid(5, 2466140.5);  // the file ends at 2466160.5, the date of entry 3
  ConsoleScript con("5\n3\n");
  ASSERT_EQ(MAJOR_PLANETS(), kMajorFilled);
  EXPECT_EQ(listing_entries_filled(), 3);
  EXPECT_TRUE(listing_fill_ended());
  EXPECT_EQ(listing_fill_reason(), kOutsideJplFile);
  EXPECT_EQ(PLNSRC.IMEAN, 1);
}

// A listing that leaves the file before its NPOS-th time saves the end file
// at the last listed time that the file covers (entry 3, the file's last
// day 2040 January 7.0), after the notice of the switch: the same file as
// a listing whose NPOS-th time is that date. One that has only its first
// time within the file saves both files there, as a listing of one line
// does; one that starts outside the file saves none.
TEST_F(MajorPlanets, EndFileOfAListingThatLeavesTheFile) {
  REQUIRE_DE405();
  testing_support::TempDir dir;
  const std::string start = (dir / "s.ele").string(), end = (dir / "e.ele").string();
  ASSERT_LE(end.size(), 30u) << "temporary folder name too long for a 30-character file name";
  struct Case {
    const char* what;
    std::int32_t npos;
    JulianDate first;
    const char* dated;  // line 11 of both files, or nullptr for no file
    bool end_after_notice;
  };
  const Case cases[] = {
      {"NPOS-th time within the file", 3, 2466140.5, "2466160.5", false},
      {"file left at entry 4 of 6", 5, 2466140.5, "2466160.5", true},
      {"only the first time within", 5, 2466160.5, "2466160.5", true},
      {"first time outside", 5, 2466170.5, nullptr, false},
  };
  std::string first_end_file;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    reset_ephemeris_reader();
    PLNSRC.IMEAN = 0;
    geocentric_grid(c.npos, c.first);
    std::filesystem::remove(start);
    std::filesystem::remove(end);
    FILES.STFILE = start;
    FILES.ENDFIL = end;
    ConsoleScript con("4\n3\n");
    ASSERT_EQ(MAJOR_PLANETS(), kMajorFilled);
    const std::string out = con.output();
    const std::size_t saved = out.find(" Elements saved on file " + end);
    EXPECT_EQ(occurrences(out, " Elements saved on file " + end), c.dated ? 1u : 0u);
    EXPECT_EQ(std::filesystem::exists(start), c.dated != nullptr);
    if (!c.dated) {
      EXPECT_FALSE(std::filesystem::exists(end));
      continue;
    }
    ASSERT_TRUE(std::filesystem::exists(end));
    const std::string end_file = testing_support::read_file(end);
    EXPECT_NE(end_file.find(std::string(c.dated) + "00000000000000000\r\n"), std::string::npos);
    EXPECT_EQ((out.find("Switching to mean planetary elements") < saved), c.end_after_notice);
    if (first_end_file.empty()) {
      first_end_file = end_file;
    } else {
      EXPECT_EQ(end_file, first_end_file);
    }
  }
}

// Where the file does not cover the dates, every pair of bodies ends the
// fill at the first entry outside it with one notice of the switch and one
// pause (13 readings of the stepping clock, a quarter second apart). The
// barycentre seen from the Sun is answered from the mean planets at the
// switch with status 0; it ends there all the same.
TEST_F(MajorPlanets, OneSwitchNoticeWhereverTheFileEnds) {
  REQUIRE_DE405();
  struct Case {
    const char* answers;  // target, observing body
    JulianDate first;
    std::int32_t filled;
  };
  const Case cases[] = {
      {"12\n11\n", 2451500.5, 0},  // the file starts on 1999 Dec 23 (JD 2451536.5)
      {"12\n11\n", 2466140.5, 3},  // and ends on 2040 Jan 7 (JD 2466160.5), entry 3
      {"4\n3\n", 2451500.5, 0},
      {"11\n12\n", 2451500.5, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.answers << c.first);
    reset_ephemeris_reader();
    PLNSRC.IMEAN = 0;
    testing_support::SteppingClock::start(0.0);
    geocentric_grid(12, c.first);
    ConsoleScript con(c.answers);
    ASSERT_EQ(MAJOR_PLANETS(), kMajorFilled);
    EXPECT_EQ(listing_entries_filled(), c.filled);
    EXPECT_TRUE(listing_fill_ended());
    EXPECT_EQ(listing_fill_reason(), kOutsideJplFile);
    EXPECT_EQ(occurrences(con.output(), "EPOCH OUT OF RANGE"), 1u);
    EXPECT_EQ(testing_support::SteppingClock::readings, 13);
  }
}

// ------------------------------------------------------------ the source

TEST(ElementSource, AnswersToTheSourceQuestion) {
  struct Case {
    const char* answers;
    std::int32_t before, after;
  };
  const Case cases[] = {
      {"1\n", 0, 1},       {"2\n", 0, 2}, {"3\n", 0, 3}, {"\n", 0, 3},
      {" 4\n", 0, 3},      {"4\n", 0, 4}, {"7\n", 2, 2},  // the previous source again
      {"n\nx\n1\n", 0, 1},                                // no previous source: asked again
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.answers);
    element_source_state().IOPT = c.before;
    ConsoleScript con(c.answers);
    EXPECT_EQ(ask_element_source(), c.after);
  }
  element_source_state().IOPT = 0;
}

TEST(ElementSource, ThirdMassFollowsNplanet) {
  reset_records();
  for (auto [nplanet, mass] : {std::pair{10, 3.00349617e-06}, std::pair{9, 3.040432643e-06},
                               std::pair{1, 3.040432643e-06}}) {
    PERTRB.NPLANET = nplanet;
    set_third_mass();
    EXPECT_EQ(PERTRB.MASS(3), mass) << nplanet;
  }
}

// The near-parabolic routine for comet-form sets with 0.98 < e < 1.02
// only; the minor-planet form always by the element routine.
TEST(ElementSource, StartingStateRoutine) {
  struct Case {
    double e;
    std::int32_t icomet;
    bool parabola;
  };
  const Case cases[] = {{0.99, 1, true},   {0.98, 1, false},  {1.02, 1, false}, {1.5, 1, false},
                        {0.9801, 1, true}, {1.0199, 1, true}, {0.99, 0, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.e);
    reset_records();
    const double aq = c.icomet == 1 ? 0.5 : 0.5 / (1.0 - c.e);
    const ElementSet el{c.e, 0.3, 1.0, 2.0, aq, 2455000.5};
    const JulianDate epoch = 2455030.5;
    StateVector want;
    if (c.parabola) {
      PARABOLA(el, epoch, want);
    } else {
      ELEM2XV(el, epoch, c.icomet, want);
    }
    const StateVector s = state_at_epoch(el, epoch, c.icomet);
    EXPECT_EQ(s.x, want.x);
    EXPECT_EQ(s.vz, want.vz);
  }
}

// The starting state at an epoch far from perihelion, where the
// near-parabolic series gives up and the integrators used to get no start:
// against the classical anomalies (conic_solution.h), to well under what a
// listing prints. e = 0.99, q = 0.1 AU five years before perihelion; a
// Kreutz sungrazer (e = 0.99993, q = 0.0055 AU) eight years after it;
// e = 0.995, q = 0.05 AU three years before; e = 1.01, q = 0.1 AU one year
// after.
TEST(ElementSource, StartingStateFarFromPerihelion) {
  reset_records();
  const double d = 1 / RADDEG;
  const JulianDate tp = 2462502.5;  // 2030 January 1.0
  const struct {
    ElementSet el;
    double days;  // from perihelion to the epoch
  } cases[] = {{{0.99, 30 * d, 80 * d, 200 * d, 0.1, tp}, -1826.0},
               {{0.99993, 144.5 * d, 359.5 * d, 80.5 * d, 0.0055, tp}, 2922.0},
               {{0.995, 100 * d, 250 * d, 10 * d, 0.05, tp}, -1095.75},
               {{1.01, 60 * d, 10 * d, 300 * d, 0.1, tp}, 365.25}};
  for (const auto& c : cases) {
    SCOPED_TRACE("e " + std::to_string(c.el.e));
    const JulianDate epoch = tp + c.days;
    StateVector s;
    ConsoleScript con;
    ASSERT_NO_THROW(s = state_at_epoch(c.el, epoch, 1)) << con.output();
    const StateVector want = testing_support::conic_state(c.el, epoch);
    EXPECT_LT(std::hypot(s.x - want.x, s.y - want.y, s.z - want.z), 1e-9);
    EXPECT_LT(std::hypot(s.vx - want.vx, s.vy - want.vy, s.vz - want.vz), 1e-11);
  }
}

// What a fixed-step method was called with.
struct Leg {
  double x0;  // first coordinate of the start state
  JulianDate t0, target;
  double step, del_seen;  // the step argument and RUNPAR.DEL during the call
};

class NullSink final : public ListingSink {
 public:
  void fill(const StateVector&, JulianDate, double, std::int32_t&) override {}
  void save(const StateVector&, JulianDate, const Text<30>&) override {}
};

// COWELL and ENCKE: one leg from the epoch when the listing starts after
// it; two legs when it starts at the epoch or before: backward with DEL negated in the
// run parameters to one step before the first listed time, then forward from
// the state and the date the first leg reached, DEL restored.
TEST(ElementSource, TwoLegsForAListingBeforeTheEpoch) {
  struct Case {
    const char* what;
    JulianDate JD0;
    std::vector<Leg> legs;
  };
  const JulianDate epoch = 2460000.5;
  const Case cases[] = {
      {"listing from the epoch",
       epoch,
       {{1.0, epoch, epoch - 2, -2.0, -2.0}, {7.0, epoch - 2.25, epoch, 2.0, 2.0}}},
      {"listing after the epoch", epoch + 30, {{1.0, epoch, epoch + 30, 2.0, 2.0}}},
      {"listing a day before the epoch",
       epoch - 1,
       {{1.0, epoch, epoch - 3, -2.0, -2.0}, {7.0, epoch - 3.25, epoch - 1, 2.0, 2.0}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    reset_records();
    RUNPAR.DEL = 2.0;
    RUNPAR.NPOS = 5;
    std::vector<Leg> legs;
    const FixedStepMethod fake = [&legs](const StateVector& a, JulianDate ta, StateVector& b,
                                         double h, std::int32_t npos, JulianDate& tb,
                                         ListingSink&) {
      EXPECT_EQ(npos, 5);
      legs.push_back({a.x, ta, tb, h, RUNPAR.DEL});
      b.x = 7.0;   // the state reached
      tb -= 0.25;  // a date a little past the target
    };
    NullSink sink;
    two_leg_run(fake, StateVector{1.0, 0, 0, 0, 0, 0}, epoch, c.JD0, sink);
    ASSERT_EQ(legs.size(), c.legs.size());
    for (std::size_t k = 0; k < legs.size(); ++k) {
      SCOPED_TRACE(k);
      EXPECT_EQ(legs[k].x0, c.legs[k].x0);
      EXPECT_EQ(legs[k].t0, c.legs[k].t0);
      EXPECT_EQ(legs[k].target, c.legs[k].target);
      EXPECT_EQ(legs[k].step, c.legs[k].step);
      EXPECT_EQ(legs[k].del_seen, c.legs[k].del_seen);
    }
    EXPECT_EQ(RUNPAR.DEL, 2.0);  // the next display shows it positive
  }
}

TEST(ElementSource, RkdDirection) {
  EXPECT_EQ(rkd_direction(2460000.5, 2460000.5), 3.0);
  EXPECT_EQ(rkd_direction(2460001.5, 2460000.5), 3.0);
  EXPECT_EQ(rkd_direction(2459999.5, 2460000.5), -3.0);
}

}  // namespace
