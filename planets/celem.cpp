#include "celem.h"

#include <array>
#include <cmath>

#include "astcon.h"
#include "records.h"

namespace {

// PCOEF: for each planet (Mercury, Venus, Earth-Moon barycentre, Mars,
// Jupiter, Saturn, Uranus, Neptune) and element (mean longitude L,
// inclination i, node, longitude of perihelion varpi, all in degrees;
// semimajor axis a in AU; eccentricity e) the constant and the coefficients
// of T, T^2 and T^3, T in Julian centuries from J2000.0.
using Cubic = std::array<double, 4>;
using Planet = std::array<Cubic, 6>;
constexpr std::array<Planet, 8> PCOEF = {{
    {{{252.250906, 149472.6746358, -5.35e-06, 2e-09},
      {7.004986, -0.0059516, 8.1e-07, 4.1e-08},
      {48.330893, -0.1254229, -8.833e-05, -1.96e-07},
      {77.456119, 0.1588643, -1.343e-05, 3.9e-08},
      {0.38709831, 0, 0, 0},
      {0.20563175, 2.0406e-05, -2.84e-08, -1.7e-10}}},
    // Venus: the T^3 term of varpi is held in single precision (-5.332e-06
    // widened to double).
    {{{181.979801, 58517.815676, 1.65e-06, -2e-09},
      {3.394662, -0.0008568, -3.244e-05, 1e-08},
      {76.67992, -0.278008, -0.00014256, -1.98e-07},
      {131.563707, 0.0048646, -0.00138232, -5.332000000635162e-06},
      {0.72332982, 0, 0, 0},
      {0.00677188, -4.7766e-05, 9.75e-08, 4.4e-10}}},
    {{{100.466449, 35999.3728519, -5.68e-06, 0},
      {0, 0.0130546, -9.31e-06, -3.4e-08},
      {174.873174, -0.2410908, 4.067e-05, -1.327e-06},
      {102.937348, 0.3225557, 0.00015026, 4.78e-07},
      {1.000001018, 0, 0, 0},
      {0.01670862, -4.2037e-05, -1.236e-07, 4e-11}}},
    {{{355.433275, 19140.2993313, 2.61e-06, -3e-09},
      {1.849726, -0.0081479, -2.255e-05, -2.7e-08},
      {49.558093, -0.2949846, -0.00063993, -2.143e-06},
      {336.060234, 0.4438898, -0.00017321, 3e-07},
      {1.523679342, 0, 0, 0},
      {0.09340062, 9.0483e-05, -8.06e-08, -3.5e-10}}},
    {{{34.351484, 3034.9056746, -8.501e-05, 4e-09},
      {1.30327, -0.0019872, 3.318e-05, 9.2e-08},
      {100.464441, 0.1766828, 0.00090387, -7.032e-06},
      {14.331309, 0.2155525, 0.00072252, -4.59e-06},
      {5.202603191, 1.913e-07, 0, 0},
      {0.04849485, 0.000163244, -4.719e-07, -1.97e-09}}},
    // Saturn: the T^3 term of L is held in single precision (-1.9e-08
    // widened to double).
    {{{50.077471, 1222.1137943, 0.00021004, -1.899999979571021e-08},
      {2.488878, 0.0025515, -4.903e-05, 1.8e-08},
      {113.665524, -0.2566649, -0.00018345, 3.57e-07},
      {93.056787, 0.5665496, 0.00052809, 4.882e-06},
      {9.554909596, -2.1389e-06, 0, 0},
      {0.05550862, -0.000346818, -6.456e-07, 3.38e-09}}},
    {{{314.055005, 428.4669983, -4.86e-06, 6e-09},
      {0.773196, -0.0016869, 3.49e-06, 1.6e-08},
      {74.005947, 0.0741461, 0.0004054, 1.04e-07},
      {173.005159, 0.0893206, -9.47e-05, 4.13e-07},
      {19.218446062, -3.72e-08, 9.8e-10, 0},
      {0.0462959, -2.7337e-05, 7.9e-08, 2.5e-10}}},
    {{{304.348665, 218.4862002, 5.9e-07, -2e-09},
      {1.769952, 0.0002257, 2.3e-07, 0},
      {131.784057, -0.0061651, -2.19e-06, -7.8e-08},
      {48.123691, 0.0291587, 7.051e-05, -2.3e-08},
      {30.110386869, -1.663e-07, 6.9e-10, 0},
      {0.00898809, 6.408e-06, -8e-10, -5e-11}}},
}};

JulianDate TLAST = 0.0;  // date of the last evaluation
bool evaluated = false;  // TLAST holds a date (so a first date near 0.0 evaluates too)

}  // namespace

void CELEM(JulianDate date) {
  if (PLNSRC.IMEAN == 0) return;
  if (evaluated && std::fabs(TLAST - date) < 100.0) return;
  TLAST = date;
  evaluated = true;
  const double T = (date - 2451545.0) / 36525.0;
  for (std::size_t p = 0; p < PCOEF.size(); ++p) {
    std::array<double, 6> v;
    for (std::size_t k = 0; k < 6; ++k) {
      const Cubic& c = PCOEF[p][k];
      v[k] = ((c[3] * T + c[2]) * T + c[1]) * T + c[0];
    }
    const double L = v[0], incl = v[1], node = v[2], varpi = v[3], a = v[4], e = v[5];
    // Mean motion in degrees per day; the mean anomaly L - varpi is used in
    // degrees as it comes, so the perihelion time may lie revolutions away.
    const double n = std::pow(a, -1.5) * ASTCON::GAUSSK * ASTCON::RADDEG;
    ElementSet& el = PERTRB.PEL(static_cast<std::int64_t>(p) + 1);
    el.e = e;
    el.i = incl / ASTCON::RADDEG;
    el.node = node / ASTCON::RADDEG;
    el.peri = (varpi - node) / ASTCON::RADDEG;
    el.aq = a;
    el.tp = date - (L - varpi) / n;
  }
}

void reset_mean_elements() {
  TLAST = 0.0;
  evaluated = false;
}
