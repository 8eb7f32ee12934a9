// Two-body propagation by universal variables.
//
// Gaussian units: GM of the Sun = 1, time k*t (k = GAUSSK), positions in AU,
// velocities in AU per 1/k day.
#pragma once

#include "types.h"

// Stumpff functions c0..c3 of x.
void STUMPFF(double x, double& c0, double& c1, double& c2, double& c3);

// Carries the heliocentric state s0 at date t0 to date t. When the Kepler
// equation does not converge (6 Newton passes, then 20 Laguerre-Conway
// passes), writes " Kepler equation solution failed in 20 iterations" and
// throws ProgramStop. s and s0 may be the same object.
void KEPLER(const StateVector& s0, JulianDate t0, StateVector& s, JulianDate t);
