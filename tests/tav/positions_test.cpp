// Listing positions: the window mode the integrators call, the whole-table
// mode of the Kepler method, the end of the grid, the Sun from the file or
// the mean Sun, the fill count, and the observer on the Earth.
#include "positions.h"

#include <gtest/gtest.h>

#include <cmath>

#include "astcon.h"
#include "console_script.h"
#include "de405_setup.h"
#include "newsun.h"
#include "plephx.h"
#include "records.h"

namespace {

constexpr double kArcsec = 1.0 / 3600.0 / ASTCON::RADDEG;

// A circular orbit of 2.5 AU in the equator plane at date kT0.
constexpr JulianDate kT0 = 2460000.5;
StateVector circle() {
  StateVector s;
  s.x = 2.5;
  s.vy = 1.0 / std::sqrt(2.5);
  return s;
}

class Positions : public WithDe405 {
 protected:
  void SetUp() override {
    WithDe405::SetUp();
    start_listing_fill();
    POSNS.NCENTER = 3;
    OBSERV.OLAT = 90.0;
    PLNSRC.IMEAN = 1;  // the mean Sun unless a test names the file
    OBJECT.ICOMET = 0;
  }
  void TearDown() override {
    start_listing_fill();
    WithDe405::TearDown();
  }
  // Dates kT0 + offset + (I - 1) * step for entries 1 to n; the rest 0.
  static void dates(int n, double offset, double step) {
    for (int I = 1; I <= kGridSize; ++I)
      POSNS.TJD(I) = I <= n ? kT0 + offset + (I - 1) * step : 0.0;
  }
  static bool filled(int I) { return POSNS.RHELIO(I) != 0.0; }
};

// ---------------------------------------------------------------- window

TEST_F(Positions, WindowFillsEntriesStrictlyWithinTheStep) {
  dates(10, -2.0, 1.0);  // kT0 - 2, kT0 - 1, kT0, kT0 + 1, ...
  struct Call {
    double t_from_t0, del;
    std::int32_t count_before, count_after;
  };
  const Call calls[] = {
      {-5.0, 2.0, 1, 1},  // entry 1 is 3 days away: nothing, COUNT stays
      {-3.0, 1.0, 1, 1},  // exactly DEL away: not filled
      {-2.5, 1.0, 1, 2},  // entry 1 (0.5 d); entry 2 is 1.5 d away
      {0.0, 2.0, 2, 5},   // entries 2, 3, 4 (a day before to a day after); 5 is 2 days on
      {0.5, 2.0, 5, 6},   // entry 5 (1.5 d), not 6 (2.5 d)
      {10.0, 0.5, 6, 6},  // entry 6 far behind: never filled, COUNT stays on it
  };
  std::int32_t COUNT = 1;
  for (const Call& c : calls) {
    SCOPED_TRACE(::testing::Message() << c.t_from_t0 << " del " << c.del);
    ASSERT_EQ(COUNT, c.count_before);
    StateVector s = circle();
    XVPOS(s, kT0 + c.t_from_t0, c.del, COUNT);
    EXPECT_EQ(COUNT, c.count_after);
  }
  for (int I = 1; I <= 10; ++I) EXPECT_EQ(filled(I), I <= 5) << I;
  EXPECT_EQ(listing_entries_filled(), 5);
}

TEST_F(Positions, WindowNeverPassesTheEndOfTheGrid) {
  dates(kGridSize, 0.0, 0.001);  // all 500 dates within a day
  std::int32_t COUNT = 1;
  XVPOS(circle(), kT0, 10.0, COUNT);
  EXPECT_EQ(COUNT, kGridSize + 1);
  EXPECT_EQ(listing_entries_filled(), kGridSize);
  XVPOS(circle(), kT0, 10.0, COUNT);  // called again: no read past the grid
  EXPECT_EQ(COUNT, kGridSize + 1);
  for (const std::int32_t bad : {0, -7, INT32_MAX}) {
    std::int32_t c = bad;
    XVPOS(circle(), kT0, 10.0, c);
    EXPECT_EQ(c, bad);
  }
}

// ---------------------------------------------------------------- whole table

TEST_F(Positions, WholeTableStopsAtADateOfZeroOrAtTheEndOfTheGrid) {
  struct Case {
    int dates;
    double first;
    int filled;
  };
  const Case cases[] = {{7, 0.0, 7}, {kGridSize, 0.0, kGridSize}, {0, 0.0, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.dates);
    POSNS.RHELIO.fill(0.0);
    dates(c.dates, c.first, 1.0);
    std::int32_t one = 1;
    XVPOS(circle(), kT0, 0.0, one);
    EXPECT_EQ(one, 1);  // not read or written
    EXPECT_EQ(listing_entries_filled(), c.filled);
    for (int I = 1; I <= kGridSize; ++I) ASSERT_EQ(filled(I), I <= c.filled) << I;
  }
  // A negative date ends the table as a zero does.
  dates(5, 0.0, 1.0);
  POSNS.TJD(3) = -1.0;
  std::int32_t one = 1;
  XVPOS(circle(), kT0, -1.0, one);
  EXPECT_EQ(listing_entries_filled(), 2);
}

// ---------------------------------------------------------------- the Sun

// The object at the Earth's distance from the Sun gives the three
// distances from the geometry: r from the state, R from the Sun's place.
TEST_F(Positions, DistancesAndPlaceFromTheMeanSun) {
  dates(1, 0.0, 1.0);
  std::int32_t one = 1;
  XVPOS(circle(), kT0, 0.0, one);
  double sx, sy, sz, lon;
  NEWSUN(kT0, sx, sy, sz, lon);
  const double gx = 2.5 + sx, gy = sy, gz = sz;
  EXPECT_DOUBLE_EQ(POSNS.RHELIO(1), 2.5);
  EXPECT_NEAR(POSNS.DELTA(1), std::sqrt(gx * gx + gy * gy + gz * gz), 1e-15);
  EXPECT_NEAR(POSNS.ROBS(1), std::sqrt(sx * sx + sy * sy + sz * sz), 1e-15);
  EXPECT_NEAR(POSNS.RA(1), std::atan2(gy, gx) + (gy < 0 ? 2 * ASTCON::PI : 0), 1e-14);
  EXPECT_NEAR(POSNS.DEC(1), std::asin(gz / POSNS.DELTA(1)), 1e-14);
  EXPECT_GE(POSNS.RA(1), 0.0);
}

// Mars's own heliocentric state from the file, placed by XVPOS as seen
// from the Earth, agrees with the file's geocentric Mars; and seen from Mars
// the Earth's state gives the file's Earth from Mars.
TEST_F(Positions, PlacesAgreeWithTheFile) {
  REQUIRE_DE405();
  PLNSRC.IMEAN = 0;
  const JulianDate t = 2459921.5;
  struct Case {
    BodyNumber target, centre;
  };
  for (const Case c : {Case{4, 3}, Case{3, 4}, Case{5, 10}}) {
    SCOPED_TRACE(::testing::Message() << c.target << " from " << c.centre);
    BodyState h{}, g{};
    ASSERT_EQ(PLEPHX(t, c.target, 11, h), 0);
    ASSERT_EQ(PLEPHX(t, c.target, c.centre, g), 0);
    StateVector s;
    s.x = h[0];
    s.y = h[1];
    s.z = h[2];
    s.vx = h[3] / ASTCON::GAUSSK;
    s.vy = h[4] / ASTCON::GAUSSK;
    s.vz = h[5] / ASTCON::GAUSSK;
    POSNS.NCENTER = c.centre;
    POSNS.TJD(1) = t;
    POSNS.TJD(2) = 0.0;
    std::int32_t one = 1;
    XVPOS(s, t, 0.0, one);
    const double ra = std::atan2(g[1], g[0]) + (g[1] < 0 ? 2 * ASTCON::PI : 0);
    const double dec = std::atan2(g[2], std::hypot(g[0], g[1]));
    EXPECT_LT(std::fabs(POSNS.RA(1) - ra) * std::cos(dec) / kArcsec, 0.1);
    EXPECT_LT(std::fabs(POSNS.DEC(1) - dec) / kArcsec, 0.1);
    EXPECT_NEAR(POSNS.DELTA(1), std::sqrt(g[0] * g[0] + g[1] * g[1] + g[2] * g[2]), 1e-12);
  }
}

// Mean planets know the Sun only from the Earth: from any other body the
// fill ends at once with its reason, also when the file gives out in the
// middle of the listing; from the Earth it goes on with the mean Sun.
TEST_F(Positions, MeanSunFromAnotherBodyEndsTheFill) {
  struct Case {
    std::int32_t imean, ncenter;
    bool file;
    int filled;
    std::string_view reason;
  };
  // Dates from 2039 Dec 29, a day apart: the file ends with the tenth,
  // JED 2466160.5.
  const Case cases[] = {
      {1, 4, false, 0, kMeanSunIsGeocentric}, {1, 3, false, 20, ""},
      {0, 4, true, 10, kMeanSunIsGeocentric}, {0, 3, true, 20, ""},
      {0, 0, true, 0, kNoSuchCentre},         {1, 14, false, 0, kNoSuchCentre},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.imean << " from " << c.ncenter);
    if (c.file && !use_de405()) GTEST_SKIP() << "real data absent: de405";
    reset_ephemeris_reader();
    start_listing_fill();
    PLNSRC.IMEAN = c.imean;
    POSNS.NCENTER = c.ncenter;
    for (int I = 1; I <= kGridSize; ++I) POSNS.TJD(I) = I <= 20 ? 2466151.5 + (I - 1) : 0.0;
    ConsoleScript con;  // the switch writes its lines
    std::int32_t one = 1;
    XVPOS(circle(), kT0, 0.0, one);
    EXPECT_EQ(listing_entries_filled(), c.filled);
    EXPECT_EQ(listing_fill_ended(), !c.reason.empty());
    EXPECT_EQ(listing_fill_reason(), c.reason);
    // The window mode ends an integration at the same point.
    start_listing_fill();
    PLNSRC.IMEAN = c.imean;
    std::int32_t COUNT = 1;
    for (int step = 0; step < 40 && COUNT <= 20; ++step)
      XVPOS(circle(), 2466151.5 + step, 0.75, COUNT);
    EXPECT_EQ(listing_entries_filled(), c.filled);
    EXPECT_EQ(COUNT, c.reason.empty() ? 21 : kGridSize + 1);
  }
}

// ---------------------------------------------------------------- observer

TEST_F(Positions, TopocentricShift) {
  const double rho = 4.26356e-5;
  struct Case {
    JulianDate t;
    double olat, olon;
    double lst_hours;  // worked out by hand
  };
  const Case cases[] = {
      // JD0 = 2445700.5: GMST = 6.656306 + 1.002738 H
      {2445700.75, 0.0, 0.0, 6.656306 + 1.002738 * 6.0},
      {2445700.75, 45.0, 90.0, 6.656306 + 1.002738 * 6.0 - 6.0},
      // 100 days later at 0 h: 0.0657098242 h a day
      {2445800.5, -30.0, -15.0, 6.656306 + 6.57098242 + 1.0},
      // 1000 January 1 (Julian calendar), 6 h: JD0 = 2086307.5, the 0 h of
      // the date of t in the calendar the date is given in
      {2086307.75, 0.0, 0.0, 6.656306 + 0.0657098242 * (2086307.5 - 2445700.5) + 1.002738 * 6.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.t);
    OBSERV.OLAT = c.olat;
    OBSERV.OLON = c.olon;
    double x = 1.0, y = 2.0, z = 3.0;
    TOPCOR(x, y, z, c.t);
    const double th = c.lst_hours * 15.0 / ASTCON::RADDEG, ph = c.olat / ASTCON::RADDEG;
    EXPECT_NEAR(x, 1.0 - rho * std::cos(ph) * std::cos(th), 1e-12);
    EXPECT_NEAR(y, 2.0 - rho * std::cos(ph) * std::sin(th), 1e-12);
    EXPECT_NEAR(z, 3.0 - rho * std::sin(ph), 1e-12);
  }
}

// With an observer the place is topocentric while DELTA stays the distance
// from the centre of the body; a latitude of 90 means no observer.
TEST_F(Positions, ObserverMovesThePlaceNotTheDistance) {
  dates(1, 0.0, 1.0);
  std::int32_t one = 1;
  OBSERV.OLAT = 90.0;
  XVPOS(circle(), kT0, 0.0, one);
  const double ra = POSNS.RA(1), dec = POSNS.DEC(1), delta = POSNS.DELTA(1);
  OBSERV.OLAT = 89.999;
  XVPOS(circle(), kT0, 0.0, one);
  EXPECT_EQ(POSNS.DELTA(1), delta);
  EXPECT_GT(std::hypot((POSNS.RA(1) - ra) * std::cos(dec), POSNS.DEC(1) - dec) / kArcsec, 1.0);
}

}  // namespace
