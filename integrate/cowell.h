// The COWELL method: a fixed-step multistep integration of the full
// heliocentric motion under FORCE (Mercury left out), with a Stormer
// predictor and a Cowell corrector in summed form, 8 backward differences,
// started by 8 RK7 steps. COEFF, the coefficients of the Stormer, Cowell,
// Adams-Bashforth and Adams-Moulton formulas, is in coeff.h.
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
//
// Given:    s0, T0   start state and its date (s0 may be the same object as s)
//           H        step, days, not 0
//           NPOS     lines of the listing
//           TOUT     the date from which on steps are output steps
//           force    the scaled acceleration (FORCE: bodies 2 to NPLANET)
// Returned: s        state at the last step (its position after every step)
//           TOUT     date of the last output step
// Records read: FILES (STFILE, ENDFIL), POSNS.TJD (the listed dates, to see
//           that a forward run can reach them), and through FORCE and CELEM
//           PERTRB and PLNSRC
// Called:   CELEM, force, RK7, COEFF, sink.save (SAVE_ELE), sink.fill (XVPOS)
// A step that cannot advance the run (0, or lost in rounding), a state that
// is no longer a number, and a forward run that has passed a listed time it
// can no longer fill end with a message and ProgramStop.
void COWLS(const StateVector& s0, JulianDate T0, StateVector& s, double H, std::int32_t NPOS,
           JulianDate& TOUT, ListingSink& sink, const AccelerationFn& force = FORCE);
