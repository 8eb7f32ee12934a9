// The analytic Sun against the values its theory quotes.
//
// The reference values (longitude of date and radius vector, and at J2000
// the right ascension and declination of date, to four decimals) are those
// of Newcomb's theory of the Sun (Tables of the Sun, Astronomical Papers of
// the American Ephemeris VI, 1895). scripts/golden/sun_check.py checks them
// against The Astronomical Almanac's low-precision formulae for the Sun
// (within 0.005 degree and 0.00002 AU, inside those formulae's 0.01 degree).
#include "newsun.h"

#include <gtest/gtest.h>

#include <cmath>

#include "astcon.h"

namespace {

double turn_degrees(double rad) {
  const double d = std::fmod(rad * ASTCON::RADDEG, 360.0);
  return d < 0 ? d + 360.0 : d;
}

TEST(NewSun, AtJ2000) {
  double x, y, z, lon;
  NEWSUN(2451545.0, x, y, z, lon);
  const double r = std::sqrt(x * x + y * y + z * z);
  EXPECT_NEAR(turn_degrees(lon), 280.3774, 0.5e-4);
  EXPECT_NEAR(r, 0.983326, 0.5e-6);
  // Precessed by a zero interval: right ascension and declination of date.
  EXPECT_NEAR(turn_degrees(std::atan2(y, x)), 281.2878, 0.5e-4);
  EXPECT_NEAR(std::asin(z / r) * ASTCON::RADDEG, -23.0334, 0.5e-4);
  EXPECT_GT(lon, 2 * ASTCON::PI * 99);  // not reduced: about one turn a year since 1900
}

TEST(NewSun, In2009) {
  double x, y, z, lon;
  NEWSUN(2455000.5, x, y, z, lon);
  EXPECT_NEAR(std::sqrt(x * x + y * y + z * z), 1.016029, 0.5e-6);
  EXPECT_NEAR(turn_degrees(lon), 86.9075, 0.5e-4);
}

}  // namespace
