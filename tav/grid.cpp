#include "grid.h"

#include <algorithm>

#include "calendar.h"
#include "records.h"

double delta_t(JulianDate tjd, std::int32_t year) {
  const double t = (tjd - 2451545.0) / 36525.0;  // Julian centuries from J2000.0
  const double d1 = 71.28 + t * (92.23 + t * (-160.22 + t * (-516.52 - 339.84 * t)));
  if (year <= 2010) return d1;
  const double y = year;
  const double d2 = 0.00325 * (y - 1810.0) * (y - 1810.0) - 15.0;
  const double w = std::min((year - 2010) / 40.0, 1.0);  // year > 2010: no overflow
  return w * d2 + (1.0 - w) * d1;
}

JulianDate first_listed_jd(const FirstDate& first, double ET) {
  return calendar_to_jd(first.year, first.month, first.day, ET);
}

JulianDate build_listing_grid(const FirstDate& first, double ET, double XJINC, std::int32_t NPOS,
                              const Text<32>& FORM) {
  // Read in the calendar the listing prints its dates in, so that the first
  // line shows the date as given, also before 1582 October 15.
  const JulianDate JD0 = first_listed_jd(first, ET);

  const bool universal_time = FORM.is("ASTRM") || FORM.is("MPC");
  const std::int64_t entries = std::int64_t{NPOS} + 1;  // no overflow for any NPOS
  for (std::int64_t I = 1; I <= entries; ++I) {
    JulianDate& tjd = POSNS.TJD(I);
    tjd = (static_cast<double>(I - 1) * XJINC) / 24.0 + JD0;
    MYDATE(DATES.IYR(I), DATES.IMO(I), DATES.IDY(I), DATES.HR(I), tjd, 0);
    if (universal_time) tjd += delta_t(tjd, DATES.IYR(I)) / 3600.0 / 24.0;
  }
  return JD0;
}
