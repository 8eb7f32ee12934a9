#include "grid.h"

#include <algorithm>
#include <cmath>

#include "calendar.h"
#include "records.h"

namespace {

ListingGridCut grid_cut;

bool listed_year(std::int32_t year) {
  return year >= kFirstListedYear && year <= kLastListedYear;
}

}  // namespace

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
  grid_cut = ListingGridCut{};
  for (std::int64_t I = 1; I <= entries; ++I) {
    JulianDate tjd = (static_cast<double>(I - 1) * XJINC) / 24.0 + JD0;
    std::int32_t year = 0, month = 0, day = 0;
    double hour = 0;
    MYDATE(year, month, day, hour, tjd, 0);
    // A date the listing cannot print, or beyond any calendar (an interval
    // of 1e300 hours), ends the grid here: no method is to carry the
    // object there.
    if (!std::isfinite(tjd) || !listed_year(year)) {
      grid_cut = {true, static_cast<std::int32_t>(I - 1),
                  year < kFirstListedYear ? kBeforeTheFirstYear : kAfterTheLastYear};
      break;
    }
    POSNS.TJD(I) = tjd;
    DATES.IYR(I) = year;
    DATES.IMO(I) = month;
    DATES.IDY(I) = day;
    DATES.HR(I) = hour;
    if (universal_time) POSNS.TJD(I) += delta_t(tjd, year) / 3600.0 / 24.0;
  }
  return JD0;
}

const ListingGridCut& listing_grid_cut() {
  return grid_cut;
}

NposHeldToGrid::NposHeldToGrid() : npos_(RUNPAR.NPOS) {
  if (grid_cut.cut) RUNPAR.NPOS = grid_cut.entries - 1;
}

NposHeldToGrid::~NposHeldToGrid() {
  RUNPAR.NPOS = npos_;
}
