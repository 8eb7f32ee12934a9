// The major-planet listing: a planet, the Moon or the Sun seen from another
// body, its positions straight from the JPL planetary ephemeris file; no
// elements and no propagation.
#pragma once

#include <cstdint>
#include <string_view>

#include "types.h"

// Statuses of MAJOR_PLANETS.
inline constexpr std::int32_t kMajorRefused = 1;  // mean planets: back to the parameter display
inline constexpr std::int32_t kMajorFilled = 2;   // on to the listing

// Name of a BodyNumber 1 to 13 as the listing's object line uses it
// ("Mercury" ... "Moon", "Sun", "Solar System Barycenter",
// "Earth-Moon Barycenter"); throws std::out_of_range for any other number.
std::string_view body_name(BodyNumber body);

// Given:   nothing (the answers come from the console)
// Returned kMajorRefused or kMajorFilled
// Records read:    PLNSRC.IMEAN, RUNPAR.NPOS, POSNS.TJD, OBSERV, FILES
//                  (STFILE, ENDFIL)
// Records written: POSNS.NCENTER (the typed observing body, kept for the
//                  run), POSNS RA, DEC (radians, equatorial J2000),
//                  RHELIO, DELTA, ROBS (AU) of entries 1 to NPOS+1,
//                  OBJECT NUMBER (0), NAME, ELSRC, PNAME
// Called: PLEPHX, TOPCOR, SAVE_ELE
// Asks for the target and the observing body (each again while it lies
// outside 1 to 13), then fills the grid and keeps its fill count
// (positions.h). When a date leaves the JPL file and the planet requests
// fall back to mean planets, the fill ends at that entry with
// kOutsideJplFile as the reason, so that the listing shows only the entries
// filled from the file: one notice of the switch, whichever the bodies (the
// barycentre seen from the Sun, which the switch answers from the mean
// planets, included). STFILE is saved at entry 1 and ENDFIL at entry NPOS;
// when the fill ends before entry NPOS, ENDFIL is saved after the loop at
// the last entry filled (the last listed time that the file covers), and
// not at all when entry 1 lies outside the file.
std::int32_t MAJOR_PLANETS();

// The reason the major-planet listing gives when its fill ends early.
inline constexpr std::string_view kOutsideJplFile =
    "the dates that follow lie outside the JPL file";
