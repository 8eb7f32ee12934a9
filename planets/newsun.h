// Geocentric Sun from Newcomb's theory (mean elements, equation of the
// centre, perturbations by Venus, Mars, Jupiter, Saturn and the Moon), for
// use without the JPL file. Geometric: no nutation, no aberration.
#pragma once

#include "types.h"

// At the Julian date (ephemeris time): X, Y, Z the geocentric Sun in AU,
// mean equator and equinox of J2000.0; LONGITUDE the ecliptic longitude of
// date in radians, not reduced to one turn (it grows by about 2 pi a year
// from 1900).
void NEWSUN(JulianDate date, double& X, double& Y, double& Z, double& LONGITUDE);
