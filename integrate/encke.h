// The ENCKE method: the deviation of the object from the two-body orbit
// through its start state, integrated with the multistep machinery of the
// Cowell method (same coefficients, 8 differences, fixed step, 8 RK7
// start-up steps), the perturbations of bodies 1 to NPLANET included.
//
// States are heliocentric, equatorial J2000, AU and AU per 1/k day; the
// step H and the dates in days.
#pragma once

#include <cstdint>

#include "listing_sink.h"
#include "types.h"

// Arguments and effects as COWLS (cowell.h).
void ENCKE(const StateVector& s0, JulianDate T0, StateVector& s, double H, std::int32_t NPOS,
           JulianDate& TOUT, ListingSink& sink);
