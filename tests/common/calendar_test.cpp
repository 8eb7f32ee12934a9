#include "calendar.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

namespace {

JulianDate to_jd(int y, int m, int d, double h) {
  JulianDate jd = 0;
  MYDATE(y, m, d, h, jd, 1);
  return jd;
}

struct Cal {
  int y, m, d;
  double h;
};

Cal to_cal(JulianDate jd) {
  Cal c{};
  MYDATE(c.y, c.m, c.d, c.h, jd, -1);
  return c;
}

struct ToJd {
  int y, m, d;
  double h;
  double jd;
};

// The one truncation of the calendar and the dialogues: toward zero, and
// defined for every double (no conversion out of range).
TEST(Truncation, TowardZeroAndSaturating) {
  const double inf = std::numeric_limits<double>::infinity();
  const struct {
    double x;
    std::int32_t i32;
    std::int64_t i64;
  } cases[] = {
      {2.9, 2, 2},
      {-2.9, -2, -2},
      {2147483647.9, INT32_MAX, 2147483647},
      {2147483648.0, INT32_MAX, 2147483648},
      {-2147483648.9, INT32_MIN, -2147483648},
      {-2147483649.0, INT32_MIN, -2147483649},
      {9.3e18, INT32_MAX, INT64_MAX},
      {-9.3e18, INT32_MIN, INT64_MIN},
      {inf, INT32_MAX, INT64_MAX},
      {-inf, INT32_MIN, INT64_MIN},
      {std::nan(""), 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.x);
    EXPECT_EQ(trunc_to_i32(c.x), c.i32);
    EXPECT_EQ(trunc_saturating<std::int64_t>(c.x), c.i64);
  }
}

TEST(Mydate, CalendarToJulianDate) {
  const ToJd cases[] = {
      {2000, 1, 1, 0.0, 2451544.5},
      {2000, 1, 1, 12.0, 2451545.0},
      {2009, 7, 15, 6.5, 2455027.7708333335},
      {1582, 10, 15, 0.0, 2299160.5},
      {1, 1, 1, 0.0, 1721425.5},
      {0, 1, 1, 0.0, 1721059.5},
      {2009, 6, 18, 12.0, 2455001.0},
      // Days and months beyond their ranges carry.
      {2000, 2, 30, 0.0, 2451604.5},  // = 1 March 2000
      {2000, 13, 1, 0.0, 2451910.5},  // = 1 January 2001
      {1999, 12, 31, 24.0, 2451544.5},
  };
  for (const ToJd& c : cases) {
    EXPECT_EQ(to_jd(c.y, c.m, c.d, c.h), c.jd) << c.y << "-" << c.m << "-" << c.d << " " << c.h;
  }
  EXPECT_EQ(to_jd(2000, 2, 30, 0.0), to_jd(2000, 3, 1, 0.0));
}

TEST(Mydate, TimeOfDayTruncatesWhenPacked) {
  // 23.99999 hours packs as 23595996 and 0.1 hours as 00060000: nothing
  // rounds up.
  JulianDate jd;
  CTOJ(PackedDateTime{20000101, 23595996}, jd);
  EXPECT_EQ(to_jd(2000, 1, 1, 23.99999), jd);
  CTOJ(PackedDateTime{20000101, 60000}, jd);
  EXPECT_EQ(to_jd(2000, 1, 1, 0.1), jd);
}

TEST(Ctoj, BeforeTheEraForm) {
  // 1 BC is -(1 x 10000 + MMDD) and is the astronomical year 0.
  JulianDate bc = 0, y0 = 0;
  CTOJ(PackedDateTime{-10101, 0}, bc);
  CTOJ(PackedDateTime{101, 0}, y0);
  EXPECT_EQ(bc, y0);
  EXPECT_EQ(y0, 1721059.5);
  // The earliest date of its range, 1 January 4000 BC.
  JulianDate first = 0;
  CTOJ(PackedDateTime{-(4000 * 10000 + 101), 0}, first);
  EXPECT_EQ(first, 260455.5);
}

TEST(Mydate, JulianDateToCalendar) {
  Cal c = to_cal(2451545.0);
  EXPECT_EQ(c.y, 2000);
  EXPECT_EQ(c.m, 1);
  EXPECT_EQ(c.d, 1);
  EXPECT_EQ(c.h, 12.0);

  // There and back is not exact in the last digits.
  c = to_cal(2455027.7708333335);
  EXPECT_EQ(c.y, 2009);
  EXPECT_EQ(c.m, 7);
  EXPECT_EQ(c.d, 15);
  EXPECT_NEAR(c.h, 6.50000000372529, 1e-14);
  EXPECT_NE(c.h, 6.5);
}

TEST(Mydate, CalendarChangesAt1582October15) {
  struct Case {
    double jd;
    int y, m, d;
    double h;
  } const cases[] = {
      {2299160.5, 1582, 10, 15, 0.0},  // Gregorian from here on
      {2299160.0, 1582, 10, 4, 12.0},  // Julian calendar
      {2299159.5, 1582, 10, 4, 0.0},
  };
  for (const Case& k : cases) {
    const Cal c = to_cal(k.jd);
    EXPECT_EQ(c.y, k.y) << k.jd;
    EXPECT_EQ(c.m, k.m) << k.jd;
    EXPECT_EQ(c.d, k.d) << k.jd;
    EXPECT_NEAR(c.h, k.h, 1e-6) << k.jd;
  }
  // A date before the change does not come back unchanged.
  const Cal old = to_cal(to_jd(1500, 3, 1, 0.0));
  EXPECT_NE(old.d, 1);
}

// The Julian Day Number of a date, by the integer algorithm of the
// Explanatory Supplement (Fliegel and Van Flandern for the Gregorian
// calendar, its Julian counterpart), written apart from CTOJ's packed words.
// Months are counted from March; every dividend is positive for years from
// -4800 on.
std::int64_t day_number(int y, int m, int d, bool gregorian) {
  const std::int64_t a = (14 - m) / 12;
  const std::int64_t yy = y + 4800 - a, mm = m + 12 * a - 3;
  const std::int64_t n = d + (153 * mm + 2) / 5 + 365 * yy + yy / 4;
  return gregorian ? n - yy / 100 + yy / 400 - 32045 : n - 32083;
}

// The Julian date of that day at the hour h.
double day_number_jd(int y, int m, int d, double h, bool gregorian) {
  return static_cast<double>(day_number(y, m, d, gregorian)) - 0.5 + h / 24.0;
}

// A date is read in the calendar that MYDATE gives it back in: the Julian
// before 1582 October 15, the Gregorian from it on, and it comes back as
// given. The Gregorian dates are MYDATE's own to the bit.
TEST(CalendarToJd, ReadsTheCalendarThatMydatePrints) {
  struct Case {
    int y, m, d;
    double h;
    bool gregorian;
  };
  const Case cases[] = {
      {1582, 10, 4, 0.0, false},
      {1582, 10, 4, 18.5, false},
      {1582, 10, 15, 0.0, true},
      {1582, 10, 3, 12.0, false},
      {1582, 9, 24, 0.0, false},
      {1000, 1, 1, 0.0, false},
      {1500, 2, 29, 6.0, false},  // a leap day of the Julian calendar only
      {1, 1, 1, 0.0, false},
      {0, 1, 1, 0.0, false},  // 1 BC
      {0, 2, 29, 23.75, false},
      {0, 12, 31, 12.0, false},
      {1600, 2, 29, 0.0, true},
      {1700, 3, 1, 0.0, true},
      {2025, 1, 1, 0.0, true},
      {2009, 7, 15, 6.5, true},
      // Years before the year 0: -1 is 2 BC, -44 is 45 BC, -4 a leap year.
      {-1, 12, 31, 18.0, false},
      {-1, 1, 1, 0.0, false},
      {-44, 3, 15, 0.0, false},
      {-4, 2, 29, 12.0, false},
      {-999, 1, 1, 0.0, false},
      {-3999, 3, 1, 0.0, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.y << "-" << c.m << "-" << c.d << " " << c.h);
    const JulianDate jd = calendar_to_jd(c.y, c.m, c.d, c.h);
    const double want = day_number_jd(c.y, c.m, c.d, c.h, c.gregorian);
    EXPECT_NEAR(jd, want, 1e-9);
    if (c.gregorian) {
      EXPECT_EQ(jd, to_jd(c.y, c.m, c.d, c.h));
    }
    const Cal back = to_cal(jd);
    EXPECT_EQ(back.y, c.y);
    EXPECT_EQ(back.m, c.m);
    EXPECT_EQ(back.d, c.d);
    EXPECT_NEAR(back.h, c.h, 1e-6);
  }
  // Days, months and hours beyond their ranges carry within the calendar of
  // the date as given: 1582 September 31 is October 1 (Julian), October 4
  // at 24 h is October 5 (Julian), which is the Gregorian October 15.
  EXPECT_EQ(calendar_to_jd(1582, 9, 31, 0.0), calendar_to_jd(1582, 10, 1, 0.0));
  EXPECT_EQ(calendar_to_jd(1582, 10, 4, 24.0), 2299160.5);
  EXPECT_EQ(calendar_to_jd(1500, 2, 30, 0.0), calendar_to_jd(1500, 3, 1, 0.0));
  EXPECT_EQ(calendar_to_jd(1581, 13, 1, 0.0), calendar_to_jd(1582, 1, 1, 0.0));
  EXPECT_EQ(calendar_to_jd(-2, 13, 1, 0.0), calendar_to_jd(-1, 1, 1, 0.0));
  EXPECT_EQ(calendar_to_jd(-1, 13, 1, 0.0), calendar_to_jd(0, 1, 1, 0.0));
  EXPECT_EQ(calendar_to_jd(-1, 0, 1, 0.0), calendar_to_jd(-2, 12, 1, 0.0));
  EXPECT_EQ(calendar_to_jd(-1, -12, 1, 0.0), calendar_to_jd(-3, 12, 1, 0.0));
  // The hour packs as MYDATE packs it (truncated to the hundredth of a second).
  EXPECT_EQ(calendar_to_jd(1000, 1, 1, 23.99999) - calendar_to_jd(1000, 1, 1, 0.0),
            to_jd(2000, 1, 1, 23.99999) - to_jd(2000, 1, 1, 0.0));
}

// A day of 0 or below is a day of the month before, as almanacs count:
// day 0 the last day of that month, -1 the one before it, in the calendar
// of the first of the month given (the Julian before 1582 October 15); a
// day beyond 100, past what the date word's two digits carry, runs on
// through the months after. The dates meant are worked out by the
// day-number algorithm above; the Julian date is, to the bit, that of the
// date meant typed as it is, and where that date is
// Gregorian MYDATE's mode 1 (always Gregorian) gives the same.
TEST(CalendarToJd, DayZeroAndBelowAreDaysOfTheMonthBefore) {
  struct Case {
    int y, m, d;
    double h;
    int year, month, day;  // the date meant
    bool gregorian;
  };
  const Case cases[] = {
      {2025, 1, 0, 12.0, 2024, 12, 31, true},                                        // JD 2460676.0
      {1993, 8, 0, 0.0, 1993, 7, 31, true},   {2024, 3, 0, 6.0, 2024, 2, 29, true},  // leap year
      {2025, 3, 0, 6.0, 2025, 2, 28, true},   {2000, 3, 0, 0.0, 2000, 2, 29, true},
      {1900, 3, 0, 0.0, 1900, 2, 28, true},   // no leap day in the Gregorian 1900
      {1500, 3, 0, 0.0, 1500, 2, 29, false},  // but in the Julian 1500
      {1582, 10, 0, 0.0, 1582, 9, 30, false}, {1582, 11, 0, 0.0, 1582, 10, 31, true},
      {1, 1, 0, 0.0, 0, 12, 31, false},       {0, 1, 0, 0.0, -1, 12, 31, false},
      {2025, 1, -1, 0.0, 2024, 12, 30, true}, {2025, 3, -30, 0.0, 2025, 1, 29, true},
      {2025, 1, 0, -7.2, 2024, 12, 31, true},  // an MPC day of -0.3: Dec 30.7
      {2025, 1, 100, 0.0, 2025, 4, 10, true},  // the date word's own carry
      {2025, 1, 101, 0.0, 2025, 4, 11, true}, {2025, 1, 400, 0.0, 2026, 2, 4, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.y << "-" << c.m << "-" << c.d << " " << c.h);
    const JulianDate jd = calendar_to_jd(c.y, c.m, c.d, c.h);
    const double want = day_number_jd(c.year, c.month, c.day, c.h, c.gregorian);
    EXPECT_NEAR(jd, want, 1e-9);
    EXPECT_EQ(jd, calendar_to_jd(c.year, c.month, c.day, c.h));
    if (c.gregorian) {
      EXPECT_EQ(to_jd(c.y, c.m, c.d, c.h), to_jd(c.year, c.month, c.day, c.h));
    }
  }
  EXPECT_EQ(calendar_to_jd(2025, 1, 0, 12.0), 2460676.0);
  // MYDATE gives the date back as the day it is.
  const Cal c = to_cal(calendar_to_jd(2025, 1, 0, 12.0));
  EXPECT_EQ(c.y, 2024);
  EXPECT_EQ(c.m, 12);
  EXPECT_EQ(c.d, 31);
  EXPECT_EQ(c.h, 12.0);
}

TEST(CalendarToJd, DaysThatNeitherCalendarHas) {
  EXPECT_FALSE(skipped_by_the_calendar(1582, 10, 4));
  for (int d = 5; d <= 14; ++d) EXPECT_TRUE(skipped_by_the_calendar(1582, 10, d)) << d;
  EXPECT_FALSE(skipped_by_the_calendar(1582, 10, 15));
  EXPECT_FALSE(skipped_by_the_calendar(1583, 10, 10));
  EXPECT_FALSE(skipped_by_the_calendar(1581, 10, 10));
  // Read in the Julian calendar, October 5 is the Gregorian October 15.
  EXPECT_EQ(calendar_to_jd(1582, 10, 5, 0.0), 2299160.5);
}

TEST(Jtoc, ZeroIsNoonOfMinus4712January1) {
  CalendarFields f;
  JTOC(0.0, f, 0);
  EXPECT_EQ(f.f[0], 1);
  EXPECT_EQ(f.f[1], 1);
  EXPECT_EQ(f.f[2], -4712);
  EXPECT_EQ(f.f[3], 12);
  EXPECT_EQ(f.f[4], 0);
  EXPECT_NEAR(f.seconds, 0.0000086, 1e-7);  // the added 0.0000000001 day
}

TEST(Jtoc, ModesChooseTheCalendar) {
  CalendarFields julian, gregorian;
  JTOC(2451545.0, julian, -1);
  JTOC(2451545.0, gregorian, 1);
  EXPECT_EQ(gregorian.f[1], 1);
  EXPECT_EQ(gregorian.f[0], 1);
  EXPECT_EQ(julian.f[0], 12);  // 2000 January 1 (Gregorian) is 1999 December 19 (Julian)
  EXPECT_EQ(julian.f[1], 19);
  EXPECT_EQ(julian.f[2], 1999);
}

TEST(Mydate, RoundTripsEveryDayOfAFourCenturyCycle) {
  for (int k = 0; k < 146097; k += 7) {
    const JulianDate jd = 2451544.5 + k;
    const Cal c = to_cal(jd);
    EXPECT_EQ(to_jd(c.y, c.m, c.d, 0.0), jd);
  }
}

TEST(Mydate, AbsurdInputStaysDefined) {
  // Huge hours and years must not overflow into undefined behaviour.
  EXPECT_TRUE(std::isfinite(to_jd(2000, 1, 1, 1e30)));
  EXPECT_TRUE(std::isfinite(to_jd(2147483, 12, 31, 0.0)));
  const Cal c = to_cal(std::nan(""));
  (void)c;
  const Cal big = to_cal(1e300);
  (void)big;
}

TEST(Mydatejr, AgreesWithMydateInTheGregorianEra) {
  for (double jd = 2299160.5; jd < 2500000.0; jd += 997.25) {
    int y, m, d;
    double h;
    JulianDate j = jd;
    MYDATEJR(y, m, d, h, j, -1);
    const Cal c = to_cal(jd);
    EXPECT_EQ(y, c.y);
    EXPECT_EQ(m, c.m);
    EXPECT_EQ(d, c.d);
    EXPECT_NEAR(h, c.h, 1e-6);
    JulianDate back = 0;
    MYDATEJR(y, m, d, h, back, 1);
    EXPECT_NEAR(back, jd, 1e-8);
  }
}

TEST(Seconds, ReadsTheClockInHundredths) {
  set_local_clock([] { return LocalTime{13, 45, 7, 129}; });
  EXPECT_DOUBLE_EQ(SECONDS(), 13 * 3600 + 45 * 60 + 7 + 0.12);
  set_local_clock(nullptr);
  const double now = SECONDS();
  EXPECT_GE(now, 0.0);
  EXPECT_LT(now, 86400.0);
}

}  // namespace
