// Planet state requests: the state of one body relative to another from the
// JPL planetary ephemeris file, with the switch to mean planets when the file
// does not cover the date.
//
// Bodies (BodyNumber): 1 Mercury ... 9 Pluto, 10 Moon, 11 Sun,
// 12 solar-system barycentre, 13 Earth-Moon barycentre; as target only,
// 14 nutations and 15 librations.
// Result: position (AU) and velocity (AU/day) of the target relative to the
// centre, mean equator and equinox of J2000; nutations: the two angles and
// their rates in slots 1-4 (radians, radians/day); librations: three angles
// and three rates.
#pragma once

#include <cstdint>

#include "types.h"

// State of NTARG relative to NCENT at the Julian date ET (ephemeris time).
// Returns 0 when RRD holds it. Returns 1 when the date lies outside the file:
// the user has been told, the program has paused about three seconds,
// PLNSRC.IMEAN is now 1 and PERTRB.NPLANET 8, PERTRB.PEL holds the mean
// elements at the date, and the caller must redo its work by the mean path.
// Exception: after that switch the solar-system barycentre relative to the
// Sun (12, 11) is answered from the eight mean planets with status 0.
// (After status 1 RRD is not for use: for targets 1-8 the heliocentric mean
// planet, positions divided by 1 + its mass, velocities in AU per 1/k day;
// zeros otherwise.)
// A target equal to the centre gives zeros and status 0 without touching the
// file. For nutations and librations the centre is not used. A target
// outside 1-15, or a centre outside 1-13 for targets 1-13, throws
// std::invalid_argument. Nutations or librations asked for but absent from
// the file end the program with a message (ProgramStop).
std::int32_t PLEPHX(JulianDate ET, BodyNumber NTARG, BodyNumber NCENT, BodyState& RRD);

// The same with the date in two parts, ET1 + ET2 (e.g. a day and a fraction
// of a day, keeping the digits of the time of day).
std::int32_t PLEPHX2(double ET1, double ET2, BodyNumber NTARG, BodyNumber NCENT, BodyState& RRD);
