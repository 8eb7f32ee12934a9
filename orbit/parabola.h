// Near-parabolic orbits (eccentricity close to 1) from comet-form elements:
// the parabola in closed form, corrected by a series in (1 - e) / (1 + e).
#pragma once

#include "types.h"

// Radius r (AU) and true anomaly nu (radians, [0, 2 pi)) at dt days from
// perihelion (negative before it), for perihelion distance q (AU) and
// eccentricity e. For e = 1 the parabola alone, for any other e the series.
// Returns false, r and nu unspecified, where the series does not converge
// (more than 50 terms or passes, a term above 10000, a Newton solve of the
// cubic that does not settle), and where q is not a positive number.
bool EORBIT(double q, double e, double dt, double& r, double& nu);

// Heliocentric state (AU, AU per 1/k day, equatorial J2000) at date t from an
// element set whose fifth value is q (ecliptic J2000 angles, radians), by
// EORBIT. Where its series does not converge (far from perihelion: with
// e = 0.99 and q = 0.1 AU from some 1.6 years on), the perihelion state
// (perihelion_state, elements.h) is carried from the perihelion time to t by
// KEPLER instead. Where there is no state to be had, an element set without
// a real perihelion (q not a positive number; e not a number, away from the
// perihelion time) or a date that is not a finite number, writes " No
// convergence for near parabolic approximation" and throws ProgramStop.
void PARABOLA(const ElementSet& el, JulianDate t, StateVector& s);
