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
#include <string_view>

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
//
// Whole-table mode starts a new fill (start_listing_fill) and fills entries
// 1, 2, ... up to the first whose date is 0 or less, entry 500 at the
// latest. Window mode fills the entries from COUNT on whose dates lie
// strictly within DEL of T0 and stops at the first that does not; it never
// fills past entry 500 (COUNT is then 501) and does nothing for a COUNT
// below 1. Both modes record each entry filled (note_entry_filled).
//
// The Sun seen from the centre body comes from PLEPHX, or from NEWSUN with
// mean planets. NEWSUN knows the Sun only as seen from the Earth, so with
// mean planets (from the start, or after PLEPHX has switched to them at an
// entry) and NCENTER other than 3 the fill ends at that entry
// (end_listing_fill, with the reason); so it does for an NCENTER outside
// the bodies 1 to 13. Window mode then sets COUNT to 501, which ends any
// integration.
void XVPOS(const StateVector& s, JulianDate T0, double DEL, std::int32_t& COUNT);

// Subtracts the geocentric position of the observer (OBSERV.OLAT, OLON west,
// degrees; a spherical Earth of radius 4.26356e-5 AU) at the date t from the
// geocentric position (x, y, z), AU, equatorial J2000, in place. The
// sidereal time is taken from t as passed (no delta-T), with no precession.
void TOPCOR(double& x, double& y, double& z, JulianDate t);

// ---------------------------------------------------------------- fill count
//
// How many entries of the grid hold positions of the object now being
// listed. Every road that fills the grid keeps it: XVPOS in both modes, and
// MAJOR_PLANETS (start_listing_fill before its loop, note_entry_filled after
// each entry, end_listing_fill when PLEPHX falls back to mean planets).
// EPHEM calls start_listing_fill before it hands a state to a method, so a
// method that fills nothing lists nothing. RADEC lists lines 1 to
// min(NPOS, filled - 1), each line needing its own entry and the next one
// (for the light time); when that is short of NPOS it ends the listing with
// one notice line naming the reason, and it starts a new (empty) fill when
// it is done.

// No entry filled, no reason.
void start_listing_fill();
// Entry I (1 to 500) now holds the object's position; entries are filled in
// order from 1, so this is the count of entries filled. Ignored after
// end_listing_fill.
void note_entry_filled(std::int32_t I);
// No further entry will be filled in this listing. `reason` (a text that
// lasts the run, such as a literal) is shown in RADEC's notice line, after
// 31 columns: at most 49 characters, so that the line holds 80.
void end_listing_fill(std::string_view reason);
// The count of entries filled since start_listing_fill.
std::int32_t listing_entries_filled();
// True once end_listing_fill has been called since start_listing_fill.
bool listing_fill_ended();
// The reason given to end_listing_fill, empty when none.
std::string_view listing_fill_reason();

// The reasons XVPOS gives.
inline constexpr std::string_view kMeanSunIsGeocentric =
    "the mean planets serve only the Earth as centre";
inline constexpr std::string_view kNoSuchCentre =
    "the observing body is none of the bodies 1 to 13";

// The ephemeris program's side of an integration: each step's state fills
// the listing by the window mode of XVPOS, element files by SAVE_ELE.
class GridSink final : public ListingSink {
 public:
  void fill(const StateVector& s, JulianDate t, double del, std::int32_t& COUNT) override;
  void save(const StateVector& s, JulianDate t, const Text<30>& name) override;
};
