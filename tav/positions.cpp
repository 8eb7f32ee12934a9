#include "positions.h"

#include <cmath>

#include "astcon.h"
#include "calendar.h"
#include "elefile.h"
#include "elements.h"
#include "newsun.h"
#include "plephx.h"
#include "records.h"

namespace {

struct FillCount {
  std::int32_t filled = 0;
  bool ended = false;
  std::string_view reason;
};
FillCount fill_count;

constexpr BodyNumber kSun = 11;
constexpr double kEarthRadius = 4.26356e-5;  // AU

// The Sun seen from the centre body at date t (AU, equatorial J2000); false
// when it cannot be had for this centre (the fill then ends).
bool sun_from_centre(JulianDate t, double S[3]) {
  const BodyNumber centre = POSNS.NCENTER;
  if (centre < 1 || centre > 13) {
    end_listing_fill(kNoSuchCentre);
    return false;
  }
  if (PLNSRC.IMEAN != 1) {
    BodyState rrd{};
    if (PLEPHX(t, kSun, centre, rrd) != 1) {
      S[0] = rrd[0];
      S[1] = rrd[1];
      S[2] = rrd[2];
      return true;
    }
    // PLEPHX has switched the run to mean planets: redo by the mean path.
  }
  if (centre != 3) {
    end_listing_fill(kMeanSunIsGeocentric);
    return false;
  }
  double longitude = 0;
  NEWSUN(t, S[0], S[1], S[2], longitude);
  return true;
}

// Fills entry I from the state s0 at T0; false when the fill has ended.
bool fill_entry(const StateVector& s0, JulianDate T0, std::int32_t I) {
  const JulianDate t = POSNS.TJD(I);
  StateVector s;
  SEL_ORB(s0, T0, s, t, OBJECT.ICOMET);
  double S[3];
  if (!sun_from_centre(t, S)) return false;

  double x = s.x, y = s.y, z = s.z;
  POSNS.RHELIO(I) = std::sqrt((x * x + y * y) + z * z);
  x += S[0];
  y += S[1];
  z += S[2];
  POSNS.DELTA(I) = std::sqrt((x * x + y * y) + z * z);
  POSNS.ROBS(I) = std::sqrt((S[0] * S[0] + S[1] * S[1]) + S[2] * S[2]);
  if (OBSERV.OLAT < 90.0) TOPCOR(x, y, z, t);
  double ra = std::atan2(y, x);
  if (ra < 0.0) ra += 2.0 * ASTCON::PI;
  POSNS.RA(I) = ra;
  POSNS.DEC(I) = std::atan(z / std::sqrt(x * x + y * y));
  note_entry_filled(I);
  return true;
}

}  // namespace

void XVPOS(const StateVector& s, JulianDate T0, double DEL, std::int32_t& COUNT) {
  if (DEL <= 0.0) {
    start_listing_fill();
    for (std::int32_t I = 1; I <= kGridSize; ++I) {
      if (POSNS.TJD(I) <= 0.0) return;
      if (!fill_entry(s, T0, I)) return;
    }
    return;
  }
  if (fill_count.ended) {
    COUNT = kGridSize + 1;
    return;
  }
  while (COUNT >= 1 && COUNT <= kGridSize && std::fabs(T0 - POSNS.TJD(COUNT)) < DEL) {
    if (!fill_entry(s, T0, COUNT)) {
      COUNT = kGridSize + 1;
      return;
    }
    ++COUNT;
  }
}

void TOPCOR(double& x, double& y, double& z, JulianDate t) {
  std::int32_t year = 0, month = 0, day = 0;
  double hour = 0;
  JulianDate date = t;
  MYDATE(year, month, day, hour, date, -1);
  // 0 h of that date, read back in the calendar it was given in.
  const JulianDate jd0 = calendar_to_jd(year, month, day, 0.0);
  const double gmst = 6.656306 + 0.0657098242 * (jd0 - 2445700.5) + 1.002738 * hour;
  const double lst = gmst - OBSERV.OLON / 15.0;
  const double theta = lst * 15.0 / ASTCON::RADDEG;
  const double phi = OBSERV.OLAT / ASTCON::RADDEG;
  x -= kEarthRadius * std::cos(phi) * std::cos(theta);
  y -= kEarthRadius * std::cos(phi) * std::sin(theta);
  z -= kEarthRadius * std::sin(phi);
}

void start_listing_fill() {
  fill_count = FillCount{};
}

void note_entry_filled(std::int32_t I) {
  if (!fill_count.ended) fill_count.filled = I;
}

void end_listing_fill(std::string_view reason) {
  fill_count.ended = true;
  fill_count.reason = reason;
}

std::int32_t listing_entries_filled() {
  return fill_count.filled;
}
bool listing_fill_ended() {
  return fill_count.ended;
}
std::string_view listing_fill_reason() {
  return fill_count.reason;
}

void GridSink::fill(const StateVector& s, JulianDate t, double del, std::int32_t& COUNT) {
  XVPOS(s, t, del, COUNT);
}

void GridSink::save(const StateVector& s, JulianDate t, const Text<30>& name) {
  SAVE_ELE(s, t, name);
}
