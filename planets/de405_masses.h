// The masses of the perturbing bodies of the DE405 solution, and which mass
// stands for the Earth: the one home of these numbers for the ephemeris
// program (EPHEM loads the table on the first ephemeris of a run, the element
// source sets the third mass for every ephemeris) and for the tests and
// benchmarks that set up the perturbing bodies as it does.
//
// Masses are in solar masses (a body's gravitational parameter in the
// Gaussian units of the force model), indexed by PlanetIndex 1 to 10 into
// PERTRB.MASS.
#pragma once

#include <array>
#include <cstdint>

#include "records.h"

// Mercury ... Neptune, Pluto, Moon; the third is the Earth-Moon barycentre.
inline constexpr std::array<double, 10> kDe405Mass = {
    1.660136795e-07, 2.44783834e-06,  3.040432643e-06, 3.227151445e-07, 0.0009547919384,
    0.0002858859807, 4.366244043e-05, 5.151389021e-05, 7.396449704e-09, 3.69430259e-08};

// The Earth alone, for runs in which the Moon is a perturbing body of its own.
inline constexpr double kDe405EarthMass = 3.00349617e-06;

// The third mass for a run with `nplanet` perturbing bodies: the Earth alone
// when the Moon (PlanetIndex 10) is one of them, that is for NPLANET 10;
// otherwise the Earth-Moon barycentre of the table.
constexpr double de405_third_mass(std::int32_t nplanet) {
  return nplanet == 10 ? kDe405EarthMass : kDe405Mass[2];
}

// PERTRB.MASS(1..10) from the table, as EPHEM loads them.
inline void load_de405_masses() {
  for (int k = 1; k <= 10; ++k) PERTRB.MASS(k) = kDe405Mass.at(static_cast<std::size_t>(k - 1));
}

// The perturbing bodies of a run with `nplanet` of them: the table, the third
// mass for `nplanet`, and PERTRB.NPLANET.
inline void load_de405_masses(std::int32_t nplanet) {
  load_de405_masses();
  PERTRB.MASS(3) = de405_third_mass(nplanet);
  PERTRB.NPLANET = nplanet;
}
