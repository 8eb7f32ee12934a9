// Positions of the listing: the geometric place of the object for each
// listed time, from a heliocentric state by two-body motion, as seen from
// the centre body POSNS.NCENTER (and, with OBSERV.OLAT below 90, from an
// observer on the Earth). Light time, aberration and precession come later,
// with the reduction of each line.
//
// States are heliocentric, equatorial J2000, AU and AU per 1/k day. Each
// entry I filled gets RA(I) in [0, 2 pi) and DEC(I) (radians, equatorial
// J2000), RHELIO(I) object-Sun, DELTA(I) object-centre body and ROBS(I)
// centre body-Sun (AU).
#pragma once

#include <cstdint>

#include "listing_sink.h"
#include "types.h"

// Given:   s, T0   the object's state and its date
//          DEL     days: 0 or less for the whole-table mode, else the
//                  half-width of the window (the integrator's step)
//          COUNT   window mode: the next entry to fill
// Returned COUNT   window mode: advanced past the entries filled
// Records read: POSNS (TJD, NCENTER), OBJECT.ICOMET, PLNSRC.IMEAN, OBSERV
// Records written: POSNS (RA, DEC, RHELIO, DELTA, ROBS) of the entries filled
// Called: SEL_ORB, PLEPHX or NEWSUN, TOPCOR
// Whole-table mode fills entries 1, 2, ... up to the first whose date is 0
// or less, or the end of the grid; window mode fills the entries from COUNT
// on whose dates lie strictly within DEL of T0 and stops at the first that
// does not, or at the end of the grid.
void XVPOS(const StateVector& s, JulianDate T0, double DEL, std::int32_t& COUNT);

// Subtracts the geocentric position of the observer (OBSERV.OLAT, OLON west,
// degrees; a spherical Earth of radius 4.26356e-5 AU) at the date t from the
// geocentric position (x, y, z), AU, equatorial J2000, in place.
void TOPCOR(double& x, double& y, double& z, JulianDate t);

// The ephemeris program's side of an integration: each step's state fills
// the listing by the window mode of XVPOS, element files by SAVE_ELE.
class GridSink final : public ListingSink {
 public:
  void fill(const StateVector& s, JulianDate t, double del, std::int32_t& COUNT) override;
  void save(const StateVector& s, JulianDate t, const Text<30>& name) override;
};
