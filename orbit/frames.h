// Frame rotations and precession.
//
// ROTATE turns the coordinate frame, not the vector: ecliptic to equatorial
// J2000 is ROTATE(x, y, z, -OBLIQ, 1).
#pragma once

#include "types.h"

// Turns the frame through theta (radians) about axis 1 (x), 2 (y) or 3 (z),
// counterclockwise seen from the positive end of the axis; the coordinates
// are rewritten in place. Any other axis leaves them unchanged.
void ROTATE(double& x, double& y, double& z, double theta, int axis);

// Carries a right ascension and declination (radians) from the mean equator
// and equinox of date t0 to those of date t1, by the IAU 1976 angles. The
// result right ascension lies in [0, 2 pi).
void PRECESS(JulianDate t0, JulianDate t1, double& ra, double& dec);
