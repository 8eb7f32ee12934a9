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

  // The first listed time typed in the dialogue, through the rounding of
  // DAY and the derived values (the MPC form takes its hour from the
  // fraction of DAY); lines an hour apart.
  static EphemState typed(const char* f, double year, std::int32_t month, double day, double et) {
    EphemState s;
    s.FORM = f;
    s.DAY = day;
    RUNPAR.YEAR = year;
    RUNPAR.MONTH = month;
    RUNPAR.ET = et;
    RUNPAR.XJINC = 1.0;
    round_day(s);
    set_derived_values(s);
    return s;
  }

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
    const EphemState s = typed(c.form, c.year, c.month, c.day, c.et);
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

// Day 0 of a month is the last day of the month before (2025 January 0.5
// is 2024 December 31.5, JD 2460676.0), so the listing starts at that date,
// and for the MPC form a DAY below 1 is a time on that day or before it.
// Julian dates from the day-number rule (1 January of the year 1, Julian,
// is JD 1721423.5; 2025 January 1 is 2460676.5).
TEST_F(ListingGrid, DayZeroIsTheLastDayOfTheMonthBefore) {
  struct Case {
    const char* form;
    double year;
    std::int32_t month;
    double day, et;
    JulianDate jd;
    std::int32_t y, m, d;  // the first line's date
  };
  const Case cases[] = {
      {"SHORT", 2025, 1, 0, 0.0, 2460675.5, 2024, 12, 31},
      {"MPC", 2025, 1, 0.5, 0.0, 2460676.0, 2024, 12, 31},
      {"MPC", 2025, 1, -0.25, 0.0, 2460675.25, 2024, 12, 30},
      {"SHORT", 2025, 1, -0.4, 0.0, 2460675.5, 2024, 12, 31},  // rounds to day 0
      {"ASTRM", 2024, 3, 0, 12.0, 2460370.0, 2024, 2, 29},
      {"LONG", 1582, 10, 0, 0.0, 2299159.5 - 4, 1582, 9, 30},  // Julian
      {"SHORT", 1582, 11, 0, 0.0, 2299160.5 + 16, 1582, 10, 31},
      {"SHORT", 1, 1, 0, 0.0, 1721422.5, 0, 12, 31},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.form << " " << c.year << "-" << c.month << "-" << c.day);
    const EphemState s = typed(c.form, c.year, c.month, c.day, c.et);
    const JulianDate JD0 = build_listing_grid(s.first, RUNPAR.ET, RUNPAR.XJINC, 1, s.FORM);
    EXPECT_EQ(JD0, c.jd);
    expect_date(1, c.y, c.m, c.d, std::fmod(c.jd + 0.5, 1.0) * 24.0);
    EXPECT_FALSE(listing_grid_cut().cut);
  }
}

// The grid ends before the first entry whose date lies outside the years
// 0 to 9999, which its lines cannot print: that entry and those after it
// are not written (they keep an earlier listing's dates), and the cut
// tells how many entries the grid holds and why.
TEST_F(ListingGrid, EndsAtTheYearsTheLinesPrint) {
  struct Case {
    const char* what;
    FirstDate first;
    double et, xjinc;
    std::int32_t npos;
    bool cut;
    std::int32_t entries;
    std::string_view reason;
  };
  const Case cases[] = {
      {"9999 December 30 into 10000", {9999, 12, 30}, 0.0, 24.0, 4, true, 2, kAfterTheLastYear},
      {"9999 December 31, 23 h 54 m, lines 2.4 minutes apart",
       {9999, 12, 31},
       23.9,
       0.04,
       5,
       true,
       3,
       kAfterTheLastYear},
      {"an interval of 1e12 hours", {2025, 1, 1}, 0.0, 1e12, 3, true, 1, kAfterTheLastYear},
      {"an interval of -1e300 hours", {2025, 1, 1}, 0.0, -1e300, 3, true, 1, kBeforeTheFirstYear},
      {"into the years before 0", {5, 1, 1}, 0.0, -20000.0, 5, true, 3, kBeforeTheFirstYear},
      {"January 0 of the year 0", {0, 1, 0}, 0.0, 24.0, 5, true, 0, kBeforeTheFirstYear},
      {"9999 December 31 at 24 h", {9999, 12, 31}, 24.0, 24.0, 5, true, 0, kAfterTheLastYear},
      {"the year 0 to 9999 in two lines", {0, 1, 1}, 0.0, 87649416.0, 1, false, 2, {}},
      {"back to the year 0", {0, 12, 31}, 0.0, -8760.0, 1, false, 2, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    reset_records();
    for (int I = 1; I <= kGridSize; ++I) POSNS.TJD(I) = -1.0;
    build_listing_grid(c.first, c.et, c.xjinc, c.npos, form("MPC"));
    const ListingGridCut& cut = listing_grid_cut();
    EXPECT_EQ(cut.cut, c.cut);
    if (!c.cut) continue;
    EXPECT_EQ(cut.entries, c.entries);
    EXPECT_EQ(cut.reason, c.reason);
    for (int I = 1; I <= c.npos + 1; ++I) {
      SCOPED_TRACE(I);
      if (I <= c.entries) {
        EXPECT_GE(DATES.IYR(I), kFirstListedYear);
        EXPECT_LE(DATES.IYR(I), kLastListedYear);
      } else {
        EXPECT_EQ(POSNS.TJD(I), -1.0);
      }
    }
  }
  // A grid within the years is not cut.
  build_listing_grid({2025, 1, 1}, 0.0, 24.0, 5, form("SHORT"));
  EXPECT_FALSE(listing_grid_cut().cut);
}

// Every method sees the cut grid as a complete listing of the lines it
// can list: NPOS is held to them and given back.
TEST_F(ListingGrid, NposIsHeldToTheLinesOfACutGrid) {
  RUNPAR.NPOS = 4;
  build_listing_grid({9999, 12, 30}, 0.0, 24.0, RUNPAR.NPOS, form("SHORT"));
  {
    const NposHeldToGrid held;
    EXPECT_EQ(RUNPAR.NPOS, 1);
  }
  EXPECT_EQ(RUNPAR.NPOS, 4);
  build_listing_grid({0, 1, 0}, 0.0, 24.0, RUNPAR.NPOS, form("SHORT"));
  {
    const NposHeldToGrid held;
    EXPECT_EQ(RUNPAR.NPOS, -1);  // no line, no entry
  }
  build_listing_grid({2025, 1, 1}, 0.0, 24.0, RUNPAR.NPOS, form("SHORT"));
  {
    const NposHeldToGrid held;
    EXPECT_EQ(RUNPAR.NPOS, 4);
  }
  EXPECT_EQ(RUNPAR.NPOS, 4);
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
