// Element sets and state vectors.
//
// Elements refer to the ecliptic of J2000 (angles in radians, a or q in AU,
// perihelion time a Julian date), state vectors to the equator of J2000 in
// Gaussian units (AU, AU per 1/k day; see kepler.h).
#pragma once

#include <cstdint>

#include "types.h"

// State at date t from an element set; iq = 0: the fifth element is a
// (negative for a hyperbola), otherwise q. Builds the perihelion state and
// carries it from the perihelion time to t with SEL_ORB. An element set
// without a real perihelion (e = 1 in the a form, q not positive) ends with
// the stop of KEPLER.
void ELEM2XV(const ElementSet& el, JulianDate t, std::int32_t iq, StateVector& s);

// The state of an element set (iq as for ELEM2XV) at its perihelion time:
// position q toward perihelion, velocity sqrt((1 + e)/q) 90 degrees ahead
// of it in the direction of motion, turned from the orbit plane through the
// element angles and the obliquity to equatorial J2000. Returns false, s
// unchanged, for a set without a real perihelion: q not a positive finite
// number, or a speed that is not finite (e = 1 in the a form, e not a
// number).
bool perihelion_state(const ElementSet& el, std::int32_t iq, StateVector& s);

// Osculating elements of the state s at date t0; the fifth value is a when
// OBJECT.ICOMET is 0, q otherwise. i lies in [0, pi], the node and the
// argument of perihelion in [0, 2 pi); the perihelion time of an ellipse is
// the passage nearest to t0. In the band 0.9999999 < e < 1.0000001 the
// perihelion time is that of the parabola and a is 1 / alpha of the state
// (very large, infinite for alpha = 0). Degenerate states: an orbit within
// about 2 arcseconds of the ecliptic takes its argument of latitude from the
// position in the plane of the node, and one exactly in it gets node 0;
// motion along the radius (no angular momentum) gets all three angles 0,
// e = 1, q = 0 and the perihelion time t0; a circle (e = 0) has its
// perihelion at the ascending node.
void XV2ELEM(const StateVector& s, JulianDate t0, ElementSet& el);

// Carries s0 at t0 to t: by KEPLER when iq is 0; otherwise by PARABOLA when
// the osculating eccentricity lies strictly between 0.98 and 1.02, else by
// KEPLER. s and s0 may be the same object.
void SEL_ORB(const StateVector& s0, JulianDate t0, StateVector& s, JulianDate t, std::int32_t iq);
