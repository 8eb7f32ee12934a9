// Two-body propagation by universal variables.
//
// Gaussian units: GM of the Sun = SUNMU = 1, time k*t (k = GAUSSK), positions
// in AU, velocities in AU per 1/k day; states heliocentric, in any fixed
// frame (the callers use equatorial J2000).
#pragma once

#include "types.h"

// Stumpff functions c0..c3 of x: cos, sin/sqrt and their successors of
// sqrt(x), hyperbolic for x < 0; 1, 1, 1/2, 1/6 at x = 0. An infinite x gives
// not-a-number values.
void STUMPFF(double x, double& c0, double& c1, double& c2, double& c3);

// Carries the heliocentric state s0 at date t0 to date t (Julian dates);
// t = t0 returns s0 unchanged. The universal Kepler equation is solved by
// up to 6 quartic Newton passes, then up to 20 Laguerre-Conway passes, each
// kind ending on a correction below 1e-12 made at a point that solves the
// equation (its plain Newton step below 2e-12 too); when both give up (a
// near-parabolic state over a long step, an inbound hyperbola over some
// weeks), by a bracketed Newton search, which finds the root of every state
// that has one. Only a state with no finite solution (not a number, at the
// Sun) writes " Kepler equation solution failed in 20 iterations" and throws
// ProgramStop. s and s0 may be the same object.
void KEPLER(const StateVector& s0, JulianDate t0, StateVector& s, JulianDate t);

// Writes the line " Kepler equation solution failed in 20 iterations" and
// throws ProgramStop: the stop of a two-body state that cannot be
// propagated.
[[noreturn]] void kepler_failure_stop();
