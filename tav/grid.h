// The times of the listing: the ListingGrid entries 1 to NPOS+1 (POSNS.TJD
// and the calendar fields of DATES), with delta-T for the forms whose input
// times are Universal Time.
#pragma once

#include <cstdint>
#include <string_view>

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

// The years of the dates that a listing prints: its lines give the year in
// four columns, and a first listed date is read in the calendar from the
// year 0 on (calendar.h).
inline constexpr std::int32_t kFirstListedYear = 0;
inline constexpr std::int32_t kLastListedYear = 9999;

// Fills entries 1 to NPOS+1 (none when NPOS+1 is below 1; NPOS must be at
// most 499): TJD(I) = JD0 + (I-1) XJINC / 24 and its calendar date and hour;
// for the ASTRM and MPC forms TJD(I) is then moved on by its delta-T while the
// calendar fields stay those of Universal Time. The grid ends before the
// first entry whose calendar date lies outside the years kFirstListedYear
// to kLastListedYear: neither that entry nor any after it is written, and
// listing_grid_cut() tells where the grid ended and why. Entries after
// NPOS+1 are left as they are. `ET` in hours of the day, `XJINC` in hours.
// Returns JD0, the first listed time as given, without delta-T
// (first_listed_jd).
JulianDate build_listing_grid(const FirstDate& first, double ET, double XJINC, std::int32_t NPOS,
                              const Text<32>& FORM);

// Where the last grid built ended before its entry NPOS+1: the count of
// entries written (0 when the first date already lies outside the years)
// and the reason the listing gives for the lines left out. `cut` is false
// when the grid holds all its NPOS+1 entries (and before any grid).
struct ListingGridCut {
  bool cut = false;
  std::int32_t entries = 0;
  std::string_view reason;
};
const ListingGridCut& listing_grid_cut();

// The reasons of a cut grid, in the manner of the listing that leaves the
// JPL file (positions.h, major.h).
inline constexpr std::string_view kAfterTheLastYear =
    "the dates that follow lie after the year 9999";
inline constexpr std::string_view kBeforeTheFirstYear =
    "the dates that follow lie before the year 0";

// While it lives, RUNPAR.NPOS is held to the lines that a cut grid can list,
// its entries less one (-1 when it has none), so that every method fills,
// and saves its element files for, a complete listing of those lines and
// none goes past the years; NPOS is given back at its end. Nothing changes
// when the last grid was not cut.
class NposHeldToGrid {
 public:
  NposHeldToGrid();
  ~NposHeldToGrid();
  NposHeldToGrid(const NposHeldToGrid&) = delete;
  NposHeldToGrid& operator=(const NposHeldToGrid&) = delete;

 private:
  std::int32_t npos_;
};
