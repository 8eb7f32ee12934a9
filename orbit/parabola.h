// Near-parabolic orbits (eccentricity close to 1) from comet-form elements.
#pragma once

#include "types.h"

// Radius r (AU) and true anomaly nu (radians, [0, 2 pi)) at dt days from
// perihelion, for perihelion distance q (AU) and eccentricity e. When the
// series does not converge, writes " No convergence for near parabolic
// approximation" and throws ProgramStop.
void EORBIT(double q, double e, double dt, double& r, double& nu);

// State at date t from an element set whose fifth value is q.
void PARABOLA(const ElementSet& el, JulianDate t, StateVector& s);
