#include "calendar.h"

#include <chrono>
#include <cmath>
#include <ctime>
#include <limits>
#include <thread>

namespace {

// Truncation toward zero in 64 bits, defined for any double (types.h).
constexpr auto trunc64 = trunc_saturating<std::int64_t>;

std::int32_t to_i32(std::int64_t v) {
  if (v > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
  if (v < std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(v);
}

LocalTime system_clock_now() {
  const auto now = std::chrono::system_clock::now();
  const std::time_t t = std::chrono::system_clock::to_time_t(now);
  const auto ms =
      std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()) % 1000;
  std::tm tm{};
  if (const std::tm* local = std::localtime(&t)) tm = *local;
  return {tm.tm_hour, tm.tm_min, tm.tm_sec, static_cast<int>(ms.count())};
}

LocalClock g_clock = nullptr;

// CTOJ's arithmetic with the leap years of either calendar: the Gregorian
// (CTOJ itself) or the Julian, whose constant puts 1582 October 5 (Julian)
// on the same day as October 15 (Gregorian).
JulianDate packed_to_jd(const PackedDateTime& packed, bool gregorian, std::int64_t more_days = 0) {
  // Worked in 64 bits so that no date word can overflow; within the range
  // of real dates the results equal those of 32-bit arithmetic.
  const std::int64_t D = packed.date;
  const std::int64_t T = packed.time;
  std::int64_t N = (D / 10000) * 10000 + ((D < 0 ? -D : D) % 10000) + 39990899;
  if (D < 0) N += 10000;
  const std::int64_t S =
      ((T / 10000) % 100) * 60 + ((T / 100) % 100) + (T / 1000000) * 3600 + (N % 100) * 86400;
  const double J = static_cast<double>(S) / 86400.0 + 0.5;
  const std::int64_t M = ((N / 100) % 100) % 12;
  const std::int64_t Y = ((N / 100) % 100) / 12 + N / 10000;
  const std::int64_t leap_days = gregorian ? Y / 4 - Y / 100 + Y / 400 + 260149 : Y / 4 + 260117;
  const std::int64_t days = ((M - M / 6 - M / 11) / 2) * 30 + ((M / 6 + M + M / 11 + 1) / 2) * 31 +
                            Y * 365 + leap_days + more_days;
  return static_cast<double>(T % 100) / 8640000.0 + J + static_cast<double>(days);
}

// The first date word of the Gregorian calendar, and the days it skipped.
constexpr std::int64_t kFirstGregorianDate = 15821015;
constexpr std::int64_t kFirstSkippedDate = 15821005;

// A year before the year 0 goes into the date word in the form CTOJ reads,
// -(YYYY x 10000 + MMDD) with YYYY the years before the era (the year -44 is
// 45 BC), its month first brought into 1 to 12 with the carry into the year
// that the plain form gives a month outside them.
std::int64_t date_word(std::int32_t year, std::int32_t month, std::int32_t day) {
  std::int64_t y = year, m = month;
  if (y < 0) {
    const std::int64_t carry = (m >= 1 ? m - 1 : m - 12) / 12;  // floor((m - 1) / 12)
    y += carry;
    m -= carry * 12;
    if (y < 0) return -((1 - y) * 10000 + m * 100 + day);
  }
  return y * 10000 + m * 100 + day;
}

// The date word YYYYMMDD and the time word HHMMSSCC of MYDATE's mode 1.
PackedDateTime pack(std::int32_t year, std::int32_t month, std::int32_t day, double hour) {
  const std::int64_t date = date_word(year, month, day);
  const std::int64_t h = trunc_to_i32(hour);
  const double m = (hour - static_cast<double>(h)) * 60.0;
  const double s = (m - std::trunc(m)) * 60.0;
  const double c = (s - std::trunc(s)) * 100.0;
  // Each part saturates to 32 bits first, so that absurd hours stay defined.
  const std::int64_t time = std::int64_t{trunc_to_i32(m)} * 10000 + h * 1000000 +
                            std::int64_t{trunc_to_i32(s)} * 100 + trunc_to_i32(c);
  return {to_i32(date), to_i32(time)};
}

// The date word holds the day of month in two digits, and CTOJ counts day
// d of a month as d - 1 days after its first: right for days 1 to 100 (100
// carries into the next month as its 1 plus 99). Any other day is counted
// from the first of the month in the same way, so that day 0 is the last
// day of the month before, as almanacs count (2025 January 0 is 2024
// December 31), day -1 the day before it, and a day beyond 100 runs on
// through the months that follow.
bool day_in_date_word(std::int32_t day) {
  return day >= 1 && day <= 100;
}

// MYDATE's mode 1 in either calendar: the Gregorian (CTOJ) or the Julian.
JulianDate calendar_jd(std::int32_t year, std::int32_t month, std::int32_t day, double hour,
                       bool gregorian) {
  if (day_in_date_word(day)) return packed_to_jd(pack(year, month, day, hour), gregorian);
  return packed_to_jd(pack(year, month, 1, hour), gregorian, std::int64_t{day} - 1);
}

}  // namespace

void CTOJ(const PackedDateTime& packed, JulianDate& jd) {
  jd = packed_to_jd(packed, true);
}

void JTOC(JulianDate jd, CalendarFields& fields, std::int32_t mode) {
  const double X = jd + 0.5000000001;
  const std::int64_t J = trunc_to_i32(X);  // beyond 32 bits no date is meaningful
  const double hours = (X - static_cast<double>(J)) * 24.0;
  const std::int64_t hour = trunc64(hours);
  const double minutes = (hours - static_cast<double>(hour)) * 60.0;
  const std::int64_t minute = trunc64(minutes);
  const double seconds = (minutes - static_cast<double>(minute)) * 60.0;

  const bool julian = mode < 0 || (mode == 0 && jd < 2299160.5);
  std::int64_t Y, D;
  if (julian) {
    Y = (4 * J + 421992) / 1461 - 5001;
    D = J - (36525 * Y + 182625000) / 100 + 105133;
  } else {
    Y = (((((4 * J - 6884476) / 146097) * 3 + 3) / 4 + J) * 4 - 6883016) / 1461 - 1;
    D = J + ((Y / 100) * 3 + 3) / 4 - (36525 * Y) / 100 - 1721119;
  }
  std::int64_t M = (5 * D - 3) / 153 + 3;
  const std::int64_t day = D - (153 * M - 457) / 5;
  if (M >= 13) M -= 12;
  if (M <= 2) Y += 1;
  fields.f = {to_i32(M), to_i32(day), to_i32(Y), to_i32(hour), to_i32(minute)};
  fields.seconds = seconds;
}

void MYDATE(std::int32_t& year, std::int32_t& month, std::int32_t& day, double& hour,
            JulianDate& jd, std::int32_t mode) {
  if (mode == 1) {
    jd = calendar_jd(year, month, day, hour, true);
    return;
  }
  CalendarFields cf;
  JTOC(jd, cf, 0);
  month = cf.f[0];
  day = cf.f[1];
  year = cf.f[2];
  hour = static_cast<double>(cf.f[4]) / 60.0 + static_cast<double>(cf.f[3]) + cf.seconds / 3600.0;
}

JulianDate calendar_to_jd(std::int32_t year, std::int32_t month, std::int32_t day, double hour) {
  // A day counted from the first of its month is read in the calendar of
  // that first (1582 November 0 is the Gregorian October 31, October 0 the
  // Julian September 30).
  const std::int32_t dated = day_in_date_word(day) ? day : 1;
  const bool gregorian = date_word(year, month, dated) >= kFirstGregorianDate;
  return calendar_jd(year, month, day, hour, gregorian);
}

bool skipped_by_the_calendar(std::int32_t year, std::int32_t month, std::int32_t day) {
  const std::int64_t d = date_word(year, month, day);
  return d >= kFirstSkippedDate && d < kFirstGregorianDate;
}

void MYDATEJR(std::int32_t& year, std::int32_t& month, std::int32_t& day, double& hour,
              JulianDate& jd, std::int32_t mode) {
  if (mode == 1) {
    std::int64_t y = year, m = month;
    if (m <= 2) {
      y -= 1;
      m += 12;
    }
    std::int64_t B = 0;
    if (date_word(year, month, day) >= kFirstGregorianDate) {
      const std::int64_t A = y / 100;
      B = 2 - A + A / 4;
    }
    jd = static_cast<double>(trunc64(365.25 * static_cast<double>(y + 4716))) +
         static_cast<double>(trunc64(30.6001 * static_cast<double>(m + 1))) + day +
         static_cast<double>(B) - 1524.5 + hour / 24.0;
    return;
  }
  const std::int64_t Z = trunc64(jd + 0.5);
  const double F = jd + 0.5 - static_cast<double>(Z);
  std::int64_t A = Z;
  if (Z >= 2299161) {
    const std::int64_t alpha = trunc64((static_cast<double>(Z) - 1867216.25) / 36524.25);
    A = Z + 1 + alpha - alpha / 4;
  }
  const std::int64_t B = A + 1524;
  const std::int64_t C = trunc64((static_cast<double>(B) - 122.1) / 365.25);
  const std::int64_t D = trunc64(365.25 * static_cast<double>(C));
  const std::int64_t E = trunc64(static_cast<double>(B - D) / 30.6001);
  const double day_f = static_cast<double>(B - D - trunc64(30.6001 * static_cast<double>(E))) + F;
  const std::int64_t d = trunc64(day_f);
  day = to_i32(d);
  hour = (day_f - static_cast<double>(d)) * 24.0;
  month = to_i32(E < 14 ? E - 1 : E - 13);
  year = to_i32(month > 2 ? C - 4716 : C - 4715);
}

void set_local_clock(LocalClock clock) {
  g_clock = clock;
}

void wait_for_local_clock() {
  if (!g_clock) std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

double SECONDS() {
  const LocalTime t = g_clock ? g_clock() : system_clock_now();
  const int hundredths = t.millisecond / 10;
  return static_cast<double>(t.minute * 60 + t.hour * 3600) + t.second + hundredths / 100.0;
}
