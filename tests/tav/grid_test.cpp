// The times of the listing and delta-T.
#include "grid.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "params.h"
#include "records.h"

namespace {

constexpr double kSecond = 1.0 / 86400.0;  // days
constexpr JulianDate kJ2000 = 2451545.0;
constexpr JulianDate k2025Jan1 = 2460676.5;  // 0 h

// Delta-T in seconds: the polynomial up to 2010, the blend with weight
// (year - 2010) / 40 from 2011, the parabola 0.00325 (y - 1810)^2 - 15 alone
// from 2050. Values worked out by hand.
TEST(DeltaT, PolynomialBlendAndParabola) {
  struct Case {
    JulianDate tjd;
    std::int32_t year;
    double seconds;
  };
  const Case cases[] = {
      {kJ2000, 2000, 71.28},  // t = 0
      // 2030 January 1, t = 0.3: polynomial 67.830456, parabola 142.3, weight 0.5
      {2462502.5, 2030, 0.5 * 142.3 + 0.5 * 67.830456},
      // 2011 January 1, 6 h, t = 0.11: polynomial 78.7493939056, parabola
      // 116.30325, weight 1/40
      {2455562.75, 2011, (116.30325 + 39.0 * 78.7493939056) / 40.0},
      {2469807.5, 2050, 172.2},      // 2050 January 1
      {2470171.5, 2050, 172.2},      // 2050 December 31: the same within the year
      {2470172.5, 2051, 173.76325},  // 2051 January 1
      {2488069.5, 2100, 258.325},    // weight stays 1
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.year);
    EXPECT_NEAR(delta_t(c.tjd, c.year), c.seconds, 1e-9);
  }
}

TEST(DeltaT, YearAtTheEndOfTheIntegerRange) {
  // No overflow in the year arithmetic: the parabola alone.
  EXPECT_GT(delta_t(kJ2000, std::numeric_limits<std::int32_t>::max()), 1e16);
}

class ListingGrid : public ::testing::Test {
 protected:
  void SetUp() override { reset_records(); }

  static Text<32> form(const char* name) { return Text<32>(name); }

  static void expect_date(int I, std::int32_t y, std::int32_t m, std::int32_t d, double hr) {
    SCOPED_TRACE(I);
    EXPECT_EQ(DATES.IYR(I), y);
    EXPECT_EQ(DATES.IMO(I), m);
    EXPECT_EQ(DATES.IDY(I), d);
    EXPECT_NEAR(DATES.HR(I), hr, 1e-6);
  }
};

TEST_F(ListingGrid, ShortFormTimesAreTheCalendarDates) {
  const JulianDate JD0 = build_listing_grid({2025, 1, 1}, 6.0, 24.0, 3, form("SHORT"));
  EXPECT_EQ(JD0, k2025Jan1 + 0.25);
  for (int I = 1; I <= 4; ++I) {
    EXPECT_EQ(POSNS.TJD(I), JD0 + (I - 1));
    expect_date(I, 2025, 1, I, 6.0);
  }
  EXPECT_EQ(POSNS.TJD(5), 0.0);
}

TEST_F(ListingGrid, UniversalTimeFormsAddDeltaTButKeepTheirDates) {
  for (const char* f : {"ASTRM", "MPC"}) {
    SCOPED_TRACE(f);
    const JulianDate JD0 = build_listing_grid({2000, 1, 1}, 12.0, 24.0, 1, form(f));
    EXPECT_EQ(JD0, kJ2000);  // never corrected
    EXPECT_NEAR(POSNS.TJD(1) - JD0, 71.28 * kSecond, 1e-9);
    expect_date(1, 2000, 1, 1, 12.0);
    expect_date(2, 2000, 1, 2, 12.0);
  }
  const JulianDate JD0 = build_listing_grid({2050, 6, 1}, 0.0, 24.0, 0, form("MPC"));
  EXPECT_NEAR((POSNS.TJD(1) - JD0) / kSecond, 172.2, 1e-4);
}

TEST_F(ListingGrid, NegativeIntervalRunsBackwards) {
  build_listing_grid({2025, 3, 1}, 0.0, -12.0, 4, form("LONG"));
  expect_date(1, 2025, 3, 1, 0.0);
  expect_date(2, 2025, 2, 28, 12.0);
  expect_date(3, 2025, 2, 28, 0.0);
  expect_date(4, 2025, 2, 27, 12.0);
  expect_date(5, 2025, 2, 27, 0.0);
  EXPECT_EQ(POSNS.TJD(5), POSNS.TJD(1) - 2.0);
}

TEST_F(ListingGrid, NposZeroGivesOneEntryAndNegativeNone) {
  POSNS.TJD(1) = POSNS.TJD(2) = -1.0;
  build_listing_grid({2025, 1, 1}, 0.0, 24.0, -1, form("SHORT"));
  EXPECT_EQ(POSNS.TJD(1), -1.0);
  build_listing_grid({2025, 1, 1}, 0.0, 24.0, 0, form("SHORT"));
  EXPECT_EQ(POSNS.TJD(1), k2025Jan1);
  EXPECT_EQ(POSNS.TJD(2), -1.0);
  // The most negative NPOS gives no entry either, without overflow.
  build_listing_grid({2025, 1, 1}, 0.0, 24.0, std::numeric_limits<std::int32_t>::min(),
                     form("SHORT"));
  EXPECT_EQ(POSNS.TJD(2), -1.0);
}

TEST_F(ListingGrid, EntriesAfterNposPlusOneKeepAnEarlierListing) {
  build_listing_grid({2025, 1, 1}, 0.0, 24.0, 20, form("SHORT"));
  build_listing_grid({2026, 1, 1}, 0.0, 24.0, 5, form("SHORT"));
  expect_date(6, 2026, 1, 6, 0.0);
  for (int I = 7; I <= 21; ++I) {
    EXPECT_EQ(POSNS.TJD(I), k2025Jan1 + (I - 1));
    expect_date(I, 2025, 1, I, 0.0);
  }
  EXPECT_EQ(POSNS.TJD(22), 0.0);
}

TEST_F(ListingGrid, LongestListingFillsTheWholeGrid) {
  build_listing_grid({2025, 1, 1}, 0.0, 1.0, kGridSize - 1, form("SHORT"));
  EXPECT_EQ(POSNS.TJD(kGridSize), k2025Jan1 + (kGridSize - 1) / 24.0);
}

// The first line shows the date typed, read in the calendar the listing
// prints: the Julian before 1582 October 15, the Gregorian from it on. The
// dates go through the dialogue's derived values, so that the MPC form
// takes its hour from the fraction of DAY. Julian dates from Meeus
// (Astronomical Algorithms, chapter 7: 333 January 27.5, 837 April 10.3,
// 1600 January 1.0, 2000 January 1.5) and from 1 January of the year 1
// (Julian calendar) at JD 1721423.5 with the years 0 (1 BC, a leap year)
// before it; 1582 October 4 is the day before JD 2299160.5.
TEST_F(ListingGrid, FirstLineShowsTheDateTyped) {
  struct Case {
    const char* form;
    double year;
    std::int32_t month;
    double day, et;
    JulianDate jd;  // JD0: the first listed time without delta-T
  };
  const Case cases[] = {
      {"SHORT", 1582, 10, 4, 0.0, 2299159.5},   {"SHORT", 1582, 10, 15, 0.0, 2299160.5},
      {"SHORT", 1582, 9, 24, 0.0, 2299149.5},   {"LONG", 1000, 1, 1, 0.0, 2086307.5},
      {"SHORT", 333, 1, 27, 12.0, 1842713.0},   {"ASTRM", 837, 4, 10, 7.2, 2026871.8},
      {"MPC", 837, 4, 10.3, 0.0, 2026871.8},    {"MPC", 0, 1, 1.5, 0.0, 1721058.0},
      {"SHORT", 0, 12, 31, 0.0, 1721423.5 - 1}, {"LONG", 0, 3, 1, 0.0, 1721423.5 - 366 + 31 + 29},
      {"SHORT", 1600, 1, 1, 0.0, 2305447.5},    {"SHORT", 2000, 1, 1, 12.0, kJ2000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.form << " " << c.year << "-" << c.month << "-" << c.day);
    EphemState s;
    s.FORM = c.form;
    s.DAY = c.day;
    RUNPAR.YEAR = c.year;
    RUNPAR.MONTH = c.month;
    RUNPAR.ET = c.et;
    RUNPAR.XJINC = 1.0;
    round_day(s);
    set_derived_values(s);
    const JulianDate JD0 = build_listing_grid(s.first, RUNPAR.ET, RUNPAR.XJINC, 1, s.FORM);
    // The hour is packed to the hundredth of a second below it.
    EXPECT_NEAR(JD0, c.jd, 1e-6);
    EXPECT_EQ(JD0, first_listed_jd(s.first, RUNPAR.ET));
    EXPECT_EQ(DATES.IYR(1), static_cast<std::int32_t>(c.year));
    EXPECT_EQ(DATES.IMO(1), c.month);
    EXPECT_EQ(DATES.IDY(1), static_cast<std::int32_t>(c.day));
    EXPECT_NEAR(DATES.HR(1), s.FORM.is("MPC") ? (c.day - std::trunc(c.day)) * 24.0 : c.et, 1e-6);
  }
}

// Values that no user means but anyone can type (the interval and the year
// are not tested) still give defined arithmetic: the sanitizer build checks.
TEST_F(ListingGrid, AbsurdIntervalAndYearStayDefined) {
  build_listing_grid({2025, 1, 1}, 0.0, 1e300, 2, form("ASTRM"));
  build_listing_grid({std::numeric_limits<std::int32_t>::max(), 12, 31}, 24.0, -1e300, 2,
                     form("MPC"));
  EXPECT_EQ(POSNS.TJD(4), 0.0);
}

}  // namespace
