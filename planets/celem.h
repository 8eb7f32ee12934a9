// Mean orbital elements of the eight major planets (Mercury to Neptune, the
// Earth-Moon barycentre in place of the Earth) from cubic polynomials in
// Julian centuries from J2000.0; ecliptic and mean equinox of J2000.
#pragma once

#include "types.h"

// With PLNSRC.IMEAN = 1, writes PERTRB.PEL rows 1 to 8 (a-form: e; i, node,
// argument of perihelion in radians, not reduced to one turn; a in AU;
// time of perihelion passage, Julian date) for the date, unless the last
// evaluation lies less than 100 days away, in which case PEL keeps the
// elements of that evaluation. With IMEAN = 0 nothing changes.
void CELEM(JulianDate date);

// For tests: forgets the last evaluation (the next call with IMEAN = 1
// evaluates).
void reset_mean_elements();
