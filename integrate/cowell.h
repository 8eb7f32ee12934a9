// The COWELL method: a fixed-step multistep integration of the full
// heliocentric motion under FORCE (Mercury left out), with a Stormer
// predictor and a Cowell corrector in summed form, 8 backward differences,
// started by 8 RK7 steps; and COEFF, the coefficients of the Stormer,
// Cowell, Adams-Bashforth and Adams-Moulton formulas.
//
// States are heliocentric, equatorial J2000, AU and AU per 1/k day; the
// step H and the dates in days.
#pragma once

#include <cstdint>

#include "force.h"
#include "listing_sink.h"
#include "types.h"

// From the state s0 at T0 with the step H (its sign the direction) until the
// run ends: with H > 0 every step from TOUT on is handed to sink.fill, the
// start element file (FILES.STFILE) is saved at the first output step while
// COUNT is 1 and the end element file (FILES.ENDFIL) once COUNT exceeds
// NPOS + 1, which ends the run; with H < 0 the run ends at its first output
// step, filling and saving nothing. On return s holds the state of the last
// step and TOUT its date.
void COWLS(const StateVector& s0, JulianDate T0, StateVector& s, double H, std::int32_t NPOS,
           JulianDate& TOUT, ListingSink& sink, const AccelerationFn& force = FORCE);
