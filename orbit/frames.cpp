// Frame rotations and precession.
#include "frames.h"

#include <algorithm>
#include <cmath>

#include "astcon.h"

void ROTATE(double& x, double& y, double& z, double theta, int axis) {
  const double s = std::sin(theta);
  const double c = std::cos(theta);
  const double x0 = x, y0 = y, z0 = z;
  switch (axis) {
    case 1:
      y = c * y0 + s * z0;
      z = c * z0 - s * y0;
      break;
    case 2:
      x = c * x0 - s * z0;
      z = c * z0 + s * x0;
      break;
    case 3:
      x = c * x0 + s * y0;
      y = c * y0 - s * x0;
      break;
    default:
      break;  // no such axis: the frame stays as it is
  }
}

void PRECESS(JulianDate t0, JulianDate t1, double& ra, double& dec) {
  // Julian centuries: the starting epoch from J2000.0, and the interval.
  const double T0 = (t0 - 2451545.0) / 36525.0;
  const double T = (t1 - t0) / 36525.0;
  const double T2 = T * T;
  const double T3 = T2 * T;

  // IAU 1976 precession angles, radians.
  const double zeta = (0.0111808604 + 6.77285e-6 * T0) * T + 1.464e-6 * T2 + 8.73e-8 * T3;
  const double zz = zeta + 3.84457e-6 * T2;
  const double theta = (0.00971717394 - 4.13546e-6 * T0) * T - 2.07e-6 * T2 - 2.0362e-7 * T3;

  const double sd = std::sin(dec), cd = std::cos(dec);
  const double st = std::sin(theta), ct = std::cos(theta);
  const double ca = std::cos(ra + zeta), sa = std::sin(ra + zeta);
  const double A = sd * ct + cd * st * ca;
  const double B = cd * sa;
  const double C = ct * cd * ca - st * sd;

  // A point that lands on the new pole can give |A| a rounding above 1.
  dec = std::asin(std::clamp(A, -1.0, 1.0));
  ra = angle_in_circle(std::atan2(B, C) + zz);
}
