// Near-parabolic orbits (eccentricity close to 1) from comet-form elements:
// the parabola in closed form, corrected by a series in (1 - e) / (1 + e).
#pragma once

#include "types.h"

// Radius r (AU) and true anomaly nu (radians, [0, 2 pi)) at dt days from
// perihelion (negative before it), for perihelion distance q (AU) and
// eccentricity e. For 0.99999999 < e < 1.00000001 the parabola alone.
// When the series does not converge (more than 50 terms or passes, a term
// above 10000), or q is not a positive number, writes " No convergence for
// near parabolic approximation" and throws ProgramStop.
void EORBIT(double q, double e, double dt, double& r, double& nu);

// Heliocentric state (AU, AU per 1/k day, equatorial J2000) at date t from an
// element set whose fifth value is q (ecliptic J2000 angles, radians).
// Stops as EORBIT does.
void PARABOLA(const ElementSet& el, JulianDate t, StateVector& s);
