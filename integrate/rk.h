// Single Runge-Kutta steps of a state vector under an acceleration (by
// default the force model's FORCE, which leaves out Mercury), through the
// first-order form DERIV. The step in the Gaussian time variable is
// hk = GAUSSK (T1 - T0); T1 may lie before T0.
#pragma once

#include "force.h"
#include "types.h"

// Butcher's seven-stage step of order six from T0 to T1; s holds the state
// at T0 on entry and at T1 on return. Seven evaluations of `force`.
void RK7(StateVector& s, JulianDate T0, JulianDate T1, const AccelerationFn& force = FORCE);

// The classical four-stage step, same interface (the program does not use it).
void RK4(StateVector& s, JulianDate T0, JulianDate T1, const AccelerationFn& force = FORCE);
