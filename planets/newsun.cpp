#include "newsun.h"

#include <array>
#include <cmath>

#include "astcon.h"
#include "frames.h"

namespace {

// Every angle of the theory is in degrees and is turned into radians only
// where a sine or cosine is taken; none is reduced to one turn.
double sind(double deg) {
  return std::sin(deg / ASTCON::RADDEG);
}
double cosd(double deg) {
  return std::cos(deg / ASTCON::RADDEG);
}

// A term of a planet's perturbation: amplitude times the cosine of
// C + NB B + NM M (degrees), B the planet's argument, M the Sun's mean anomaly.
struct PlanetTerm {
  double amp, c, nb, nm;
};
// A term of the Moon's: amplitude times the sine (longitude) or cosine
// (radius) of ND D + NMM Mm + NM M.
struct MoonTerm {
  double amp, nd, nmm, nm;
};

template <std::size_t N>
double planet_sum(const std::array<PlanetTerm, N>& terms, double B, double M) {
  double s = 0.0;
  for (const PlanetTerm& t : terms) s += t.amp * cosd(t.nb * B + t.nm * M + t.c);
  return s;
}

// Longitude perturbations, degrees.
constexpr std::array<PlanetTerm, 12> kVenusLon = {{
    {0.00134388889, 299.102, 1, -1},
    {3.222e-05, 148.9, 2, -1},
    {0.001535, 148.313, 2, -2},
    {0.00069361, 315.943, 2, -3},
    {0.000185, 177.71, 3, -3},
    {0.000433, 345.253, 3, -4},
    {0.00028444, 318.15, 3, -5},
    {5.833e-05, 206.2, 4, -4},
    {4.22e-05, 323.8, 4, -6},
    {4e-05, 195.4, 4, -5},
    {3.416e-05, 195.3, 5, -7},
    {4.278e-05, 359.6, 5, -8},
}};
constexpr std::array<PlanetTerm, 11> kMarsLon = {{
    {7.5833e-05, 217.7, -1, 1},
    {0.0005675, 343.888, -2, 2},
    {0.00049167, 200.402, -2, 1},
    {3.583e-05, 294.2, -3, 3},
    {0.00011805, 338.88, -3, 2},
    {0.00013889, 105.18, -4, 3},
    {0.0001625, 334.06, -4, 2},
    {5.666e-05, 100.8, -5, 3},
    {4.2778e-05, 227.4, -6, 4},
    {2.8055e-05, 96.3, -6, 3},
    {2.9444e-05, 222.7, -7, 4},
}};
constexpr std::array<PlanetTerm, 8> kJupiterLon = {{
    {4.5277e-05, 198.6, -1, 2},
    {0.0020022, 179.532, -1, 1},
    {0.00072222, 263.217, -1, 0},
    {0.00075861, 87.145, -2, 2},
    {0.00044722, 109.493, -2, 1},
    {4.5555e-05, 170.5, -3, 3},
    {0.0001544, 82.65, -3, 2},
    {5.8333e-05, 98.5, -3, 1},
}};
constexpr std::array<PlanetTerm, 4> kSaturnLon = {{
    {0.000116389, 100.58, -1, 1},
    {8.88889e-05, 269.46, -1, 0},
    {3e-05, 290.6, -2, 2},
    {3.1111e-05, 293.6, -2, 1},
}};
constexpr std::array<MoonTerm, 4> kMoonLon = {{
    {0.001792778, 1, 0, 0},
    {4.916e-05, 1, 1, 0},
    {-0.000117778, 1, -1, 0},
    {4.77778e-05, 1, 0, -1},
}};

// Perturbations of the logarithm (base 10) of the radius vector, units of 1e-9.
constexpr std::array<PlanetTerm, 11> kVenusRad = {{
    {2359, 209.08, 1, -1},
    {160, 58.4, 2, -1},
    {6842, 58.318, 2, -2},
    {869, 226.7, 2, -3},
    {1045, 87.57, 3, -3},
    {1497, 255.25, 3, -4},
    {194, 49.5, 3, -5},
    {376, 116.28, 4, -4},
    {196, 105.2, 4, -5},
    {163, 145.4, 5, -5},
    {141, 105.4, 5, -7},
}};
constexpr std::array<PlanetTerm, 9> kMarsRad = {{
    {150, 127.7, -1, 1},
    {2057, 253.828, -2, 2},
    {151, 295.0, -2, 1},
    {168, 203.5, -3, 3},
    {215, 249.0, -3, 2},
    {478, 15.17, -4, 3},
    {105, 65.9, -4, 2},
    {107, 324.6, -5, 4},
    {139, 137.3, -6, 4},
}};
constexpr std::array<PlanetTerm, 10> kJupiterRad = {{
    {208, 112.0, -1, 2},
    {7067, 89.545, -1, 1},
    {244, 338.6, -1, 0},
    {103, 350.5, -2, 3},
    {4026, 357.108, -2, 2},
    {1459, 19.467, -2, 1},
    {281, 81.2, -3, 3},
    {803, 352.56, -3, 2},
    {174, 8.6, -3, 1},
    {113, 347.7, -4, 2},
}};
constexpr std::array<PlanetTerm, 3> kSaturnRad = {{
    {429, 10.6, -1, 1},
    {162, 200.6, -2, 2},
    {112, 203.1, -2, 1},
}};
constexpr std::array<MoonTerm, 5> kMoonRad = {{
    {13360, 1, 0, 0},
    {370, 1, 1, 0},
    {-1330, 1, -1, 0},
    {-140, 1, 0, 1},
    {360, 1, 0, -1},
}};

}  // namespace

void NEWSUN(JulianDate date, double& X, double& Y, double& Z, double& LONGITUDE) {
  const double T = (date - 2415020.0) / 36525.0;   // centuries from JD 2415020.0
  const double T2 = (date - 2451545.0) / 36525.0;  // centuries from J2000.0 (obliquity)

  // Long-period terms of the mean longitude and the mean anomaly.
  const double P = (0.0005227777778 - 4.4444e-06 * T) * sind(57.24 + 150.27 * T) +
                   0.0017778 * sind(231.19 + 20.2 * T) + 7.3889e-05 * sind(31.8 + 119.0 * T);
  const double L =
      279.6966778 + 36000.768925 * T + 0.0003025 * T * T + 5.611e-05 * sind(315.6 + 893.3 * T) + P;
  const double M = 358.4758333 + 35999.04975 * T - 0.00015 * T * T + P;

  const double V = 212.45 + 58517.493 * T;
  const double Ma = 319.58 + 19139.977 * T;
  const double J = 225.28 + 3034.583 * T + 0.36111 * sind(133.775 + 39.804 * T);
  const double S = 175.6 + 1221.794 * T;
  const double D = 350.737486 + 445267.114217 * T;
  const double Mm = 296.104608 + 477198.849108 * T;
  const double F = 11.250889 + 483202.02515 * T;

  const double C = (1.919460278 - 0.00478888888889 * T) * sind(M) +
                   (0.02009388889 - 0.000100277778 * T) * sind(2 * M) +
                   0.000292777778 * sind(3 * M);
  const double R0 = (3.057e-05 - 1.5e-07 * T) + (-0.00727412 + 1.814e-05 * T) * cosd(M) +
                    (-9.138e-05 + 4.6e-07 * T) * cosd(2 * M) - 1.45e-06 * cosd(3 * M);

  double moon_lon = 0.0, moon_rad = 0.0;
  for (const MoonTerm& t : kMoonLon) moon_lon += t.amp * sind(t.nd * D + t.nmm * Mm + t.nm * M);
  for (const MoonTerm& t : kMoonRad) moon_rad += t.amp * cosd(t.nd * D + t.nmm * Mm + t.nm * M);
  const double dlon = planet_sum(kVenusLon, V, M) + planet_sum(kMarsLon, Ma, M) +
                      planet_sum(kJupiterLon, J, M) + planet_sum(kSaturnLon, S, M) + moon_lon;
  const double drad = (planet_sum(kVenusRad, V, M) + planet_sum(kMarsRad, Ma, M) +
                       planet_sum(kJupiterRad, J, M) + planet_sum(kSaturnRad, S, M) + moon_rad) *
                      1e-09;

  const double lambda = (L + C + dlon) / ASTCON::RADDEG;
  const double beta = (0.00016 * sind(F) - 4.61111e-05 * cosd(265.5 - 2 * J + M) -
                       5.83333e-05 * cosd(3 * V - 4 * M + 151.8)) /
                      ASTCON::RADDEG;
  const double R = std::pow(10.0, R0 + drad);
  const double eps = (23.439291 - 0.013004 * T2) / ASTCON::RADDEG;
  LONGITUDE = lambda;

  // Ecliptic of date to right ascension and declination of date, then to the
  // mean equinox of J2000.0.
  double alpha =
      std::atan2(std::sin(lambda) * std::cos(eps) * std::cos(beta) - std::sin(eps) * std::sin(beta),
                 std::cos(beta) * std::cos(lambda));
  double delta =
      std::asin(std::sin(lambda) * std::sin(eps) * std::cos(beta) + std::cos(eps) * std::sin(beta));
  PRECESS(date, 2451545.0, alpha, delta);
  X = R * std::cos(delta) * std::cos(alpha);
  Y = R * std::cos(delta) * std::sin(alpha);
  Z = R * std::sin(delta);
}
