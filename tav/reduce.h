// The reduction of one listed line: from the geometric place that the
// listing positions stored (equatorial J2000) to the printed place, with
// the phase angle, the elongation and the magnitude of the line.
//
// The printed place is astrometric: the object at t - tau (light time
// applied) as seen from the observer at t, without the aberration of the
// observer's motion, on the mean equator and equinox of 1 January of CYEAR
// (no nutation). That is the place a star catalogue gives, the one that
// astrometrists measure against catalogue stars and that the Minor Planet
// Center's ephemerides list.
//
// Angles in radians unless a name says degrees; distances in AU; dates
// Julian dates (dynamical time).
#pragma once

#include <array>
#include <cstdint>

#include "records.h"
#include "types.h"

// Fixed once per listing: the mean equator and equinox the places are
// carried to, 0 h on 1 January of the year INT(CYEAR) (truncated toward
// zero); within one day of J2000 the places stay referred to J2000.
struct ReductionFrame {
  JulianDate JDC = 0;
  bool precess = false;  // |JDC - J2000| > 1 day
};
ReductionFrame reduction_frame(double CYEAR);

// The years INT(CYEAR) whose equinox the places can be carried to. The
// first is 0, the first year whose 1 January the calendar holds (an earlier
// year is packed as a date of another year). The last is 5215, the last
// year for which the precession by the IAU 1976 angles, cubics in time
// meant for the centuries around J2000, stays within one minute of arc of
// the long-term precession of Vondrak, Capitaine and Wallace (2011, valid
// over 200 000 years), for every place in the sky. One minute of arc is
// ten units of the declinations that SHORT and LONG print: a frame wrong
// by more is no longer the equator and equinox of that year in any use a
// listing has. Past it the cubics leave the real motion fast: 1' is passed
// in 5216, 10' in 7542, a degree in 10190, 40 degrees by 20000. Before the
// year 0 the error would stay within 1' back to -2344: there the
// calendar's limit comes first. (Year 0: 3.0", 1000: 1.8", 3000: 3.6",
// 4000: 13", 5000: 46".)
inline constexpr std::int32_t kFirstEquinoxYear = 0;
inline constexpr std::int32_t kLastEquinoxYear = 5215;

// What one line needs: the entry's date and geometric place, the geometric
// place of the next listed time and the step to it, the three distances
// r (object-Sun), delta (object-centre body), R (centre body-Sun), and what
// takes the aberration of the centre body's motion out of the place:
//   ncenter 3 (the Earth, also with an observer on it): ABERR at tjd;
//   ncenter 11 (the Sun, at rest in these positions): nothing;
//   any other centre: remove_aberration with sun_velocity, the Sun's
//   velocity relative to the centre body at tjd (AU/day, equatorial J2000;
//   minus the centre body's velocity relative to the Sun).
struct LineInput {
  JulianDate tjd = 0;
  double ra = 0, dec = 0;
  double ra_next = 0, dec_next = 0;
  double step_days = 0;  // XJINC / 24
  double r = 0, delta = 0, R = 0;
  BodyNumber ncenter = 3;
  std::array<double, 3> sun_velocity{};
};

// The printed quantities of a line: the reduced place (right ascension not
// brought into [0, 2 pi) except by the precession), the phase angle and the
// elongation in degrees, and the magnitude (100000.0 at phase angles of 170
// degrees or more). Distances of zero give not-a-number or infinite values
// here, which the listing prints as asterisks.
struct ReducedLine {
  double ra = 0, dec = 0;
  double phase = 0, elongation = 0, magnitude = 0;
};

// Sun-object-observer angle in degrees from the triangle's sides; the cosine
// is held to [-0.9999, 1] (not a number counts as -0.9999), so the angle is
// at most 179.18970856293436 degrees.
double phase_angle(double r, double delta, double R);
// Sun-observer-object angle in degrees; not a number when R or delta is 0.
// A cosine pushed just outside [-1, 1] by rounding is held to it.
double elongation(double r, double delta, double R);
// The magnitude by the law PNAME names ("Mercury" ... "Sun", trailing
// blanks ignored, exact case); the 100000.0 sentinel for the two
// barycentres ("Solar System", "Earth-Moon Ba"); any other PNAME: the H-G law for ICOMET 0,
// the comet law H + 5 log10(delta) + 2.5 G log10(r) for ICOMET 1. P in
// degrees. The 100000.0 sentinel for P >= 170 is applied here too.
double magnitude(const Text<13>& PNAME, std::int32_t ICOMET, double H, double G, double r,
                 double delta, double P);

// Light time by the first difference with the next listed place: the place
// moves back by 0.00578 delta days of its motion per step. The places are
// those seen from the moving centre body, so the difference holds the
// centre body's motion too: the result is the place at t - tau seen from
// where the centre body was at t - tau, which is the astrometric place plus
// the aberration of the centre body's velocity (to first order). The
// difference in right ascension is taken across 0 / 2 pi the short way. A
// step of zero (or not a number) leaves the place as it is.
void light_time(double& ra, double& dec, double ra_next, double dec_next, double delta,
                double step_days);

// Annual aberration of a place (radians, read and replaced) at date TJD, by
// the low-precision Sun (longitude, eccentricity term at longitude 282
// degrees), 20.49 and 0.343 seconds of arc. The two corrections are added,
// which moves the place away from the apex of the Earth's motion: it takes
// out the Earth's aberration that the light-time step brought in.
void ABERR(JulianDate TJD, double& RA, double& DEC);

// The same for an observer on any body: the unit vector of the place
// (radians, read and replaced) moves by + V/c, V the Sun's velocity relative
// to the observer (AU/day, equatorial J2000), 1/c = 0.00578 day per AU.
void remove_aberration(double& RA, double& DEC, const std::array<double, 3>& V);

// Phase term of Mercury's magnitude, P in degrees.
double ROCK(double P);
// A phase law kept with the others and used by none of them; P in degrees.
double GAS(double P);

// The whole reduction of one line: phase angle, elongation, magnitude,
// light time (see light_time), the aberration of the centre body's motion
// taken out again (see LineInput) and precession, in this order. The result
// is the astrometric place (see the top of this file) for an observer at the
// centre body, whichever body that is, or on the Earth.
ReducedLine reduce_line(const LineInput& in, const Text<13>& PNAME, std::int32_t ICOMET, double H,
                        double G, const ReductionFrame& frame);

// Entry I of the grid (1 to 499; entry I+1 must be filled): the line from
// POSNS, RUNPAR.XJINC and OBJECT, and RA(I), DEC(I) replaced by the reduced
// place. For a centre body other than the Earth and the Sun the Sun's
// velocity comes from PLEPHX (target 11, centre NCENTER, at TJD(I)); the
// entry's position came from the JPL file at that date for that centre (the
// mean planets serve only the Earth), so the file covers it. Should PLEPHX
// answer with its switch to mean planets all the same, the place keeps the
// aberration of the centre body's motion.
ReducedLine reduce_entry(std::int32_t I, const ReductionFrame& frame);
