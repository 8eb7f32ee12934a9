// The times of the listing: the ListingGrid entries 1 to NPOS+1 (POSNS.TJD
// and the calendar fields of DATES), with delta-T for the forms whose input
// times are Universal Time.
#pragma once

#include <cstdint>

#include "tav.h"
#include "types.h"

// Delta-T (dynamical time minus Universal Time) in seconds at the Julian
// date `tjd` (Universal Time) whose calendar year is `year`: a polynomial in
// Julian centuries from J2000.0 up to 2010, blended year by year into a
// parabola in the year from 2011 on, the parabola alone from 2050.
double delta_t(JulianDate tjd, std::int32_t year);

// The first listed time as a Julian date, without delta-T: the date and the
// hour of the day `ET` read in the calendar that the listing prints (the
// Julian before 1582 October 15, the Gregorian from it on; calendar.h).
JulianDate first_listed_jd(const FirstDate& first, double ET);

// Fills entries 1 to NPOS+1 (none when NPOS+1 is below 1; NPOS must be at
// most 499): TJD(I) = JD0 + (I-1) XJINC / 24 and its calendar date and hour;
// for the ASTRM and MPC forms TJD(I) is then moved on by its delta-T while the
// calendar fields stay those of Universal Time. Entries after NPOS+1 are left
// as they are. `ET` in hours of the day, `XJINC` in hours. Returns JD0, the
// first listed time as given, without delta-T (first_listed_jd).
JulianDate build_listing_grid(const FirstDate& first, double ET, double XJINC, std::int32_t NPOS,
                              const Text<32>& FORM);
