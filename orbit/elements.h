// Element sets and state vectors.
//
// Elements refer to the ecliptic of J2000, state vectors to the equator of
// J2000, in Gaussian units (see kepler.h).
#pragma once

#include <cstdint>

#include "types.h"

// State at date t from an element set; iq = 0: the fifth element is a,
// otherwise q.
void ELEM2XV(const ElementSet& el, JulianDate t, std::int32_t iq, StateVector& s);

// Osculating elements of the state s at date t0; the fifth value is a when
// OBJECT.ICOMET is 0, q otherwise.
void XV2ELEM(const StateVector& s, JulianDate t0, ElementSet& el);

// Carries s0 at t0 to t: by KEPLER when iq is 0; otherwise by PARABOLA when
// the osculating eccentricity lies strictly between 0.98 and 1.02, else by
// KEPLER. s and s0 may be the same object.
void SEL_ORB(const StateVector& s0, JulianDate t0, StateVector& s, JulianDate t, std::int32_t iq);
