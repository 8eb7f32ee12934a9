// The times of the listing and delta-T.
#include "grid.h"

#include <gtest/gtest.h>

#include <limits>

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

// Values that no user means but anyone can type (the interval and the year
// are not tested) still give defined arithmetic: the sanitizer build checks.
TEST_F(ListingGrid, AbsurdIntervalAndYearStayDefined) {
  build_listing_grid({2025, 1, 1}, 0.0, 1e300, 2, form("ASTRM"));
  build_listing_grid({std::numeric_limits<std::int32_t>::max(), 12, 31}, 24.0, -1e300, 2,
                     form("MPC"));
  EXPECT_EQ(POSNS.TJD(4), 0.0);
}

}  // namespace
