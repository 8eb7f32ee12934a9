// Frame rotations and precession.
//
// ROTATE turns the coordinate frame, not the vector: ecliptic to equatorial
// J2000 is ROTATE(x, y, z, -OBLIQ, 1), equatorial to ecliptic the same with
// +OBLIQ.
#pragma once

#include <cmath>

#include "astcon.h"
#include "types.h"

// Turns the frame through theta (radians) about axis 1 (x), 2 (y) or 3 (z),
// counterclockwise seen from the positive end of the axis; the coordinates
// of the fixed vector are rewritten in place. Any other axis leaves them
// unchanged.
void ROTATE(double& x, double& y, double& z, double theta, int axis);

// Carries a right ascension and declination (radians) from the mean equator
// and equinox of date t0 to those of date t1 (Julian dates), by the rigorous
// rotation through the IAU 1976 angles zeta, z, theta. No nutation. The
// result right ascension lies in [0, 2 pi) for any interval (beyond some
// 200 centuries, where z passes pi, one addition of 2 pi no longer
// suffices), the declination in [-pi/2, pi/2].
void PRECESS(JulianDate t0, JulianDate t1, double& ra, double& dec);

// An angle (radians) with 2 pi added once when it is negative: how the
// two-body routines bring atan2 results and differences of angles into
// [0, 2 pi).
inline double positive_angle(double a) {
  return a < 0.0 ? a + 2.0 * ASTCON::PI : a;
}

// An angle (radians) brought into [0, 2 pi) whatever its size: by
// positive_angle where that suffices (the same bits), else by taking off
// the whole turns (fmod is exact). Not a number stays not a number.
inline double angle_in_circle(double a) {
  const double turn = 2.0 * ASTCON::PI;
  const double once = positive_angle(a);
  if (once >= 0.0 && once < turn) return once;
  double r = std::fmod(a, turn);
  if (r < 0.0) r += turn;
  return r >= turn ? 0.0 : r;  // a rounding up to 2 pi from just below 0
}
