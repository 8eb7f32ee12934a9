// Reader of the JPL planetary ephemeris file (DE405 direct-access form:
// records of 8144 bytes = 1018 doubles, record 1 the header, record 2 the
// constant values, records 3 onward Chebyshev coefficients of 13 items).
//
// The file named by JPLNAM.JPLFILE is opened on channel 12 by the first call
// of STATE and stays open until close_ephemeris_file(). Its byte order
// (little- or big-endian) is taken from the header. Header, record cache and
// Chebyshev values are kept from call to call.
//
// Items of a data record: 1-9 Mercury ... Pluto (3 the Earth-Moon
// barycentre), 10 the Moon relative to the Earth, 11 the Sun (all relative to
// the solar-system barycentre unless JPLOPT.BARYC is false, then 1-9 are
// relative to the Sun), 12 nutations (2 angles), 13 librations (3 angles).
// Coordinates: mean equator and equinox of J2000; units AU and AU/day
// (km and km/s when JPLOPT.KMUNIT is true); angles in radians as the file
// gives them.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "records.h"
#include "types.h"

// Request table: slot 1-10 items 1-10, slot 11 nutations, slot 12
// librations; 0 not wanted, 1 position only, 2 (or more) position and rate.
using StateRequest = OneBased<std::int32_t, 12>;
// Result table: column i (1-10) item i as x, y, z, vx, vy, vz; column 11 the
// librations (three angles, three rates); column 12 unused.
using StateTable = OneBased<BodyState, 12>;
// Nutations: longitude and obliquity, then their two rates.
using NutationState = std::array<double, 4>;

// Positions and rates at the date ET2[0] + ET2[1] (Julian date, ephemeris
// time; any split, e.g. (2455000.5, 0.0) or (2455000.0, 0.5)). Returns 0
// when served, 1 when the date lies outside the file (then nothing is
// written and nothing is read). Also puts the barycentric Sun into
// JPLOPT.SUNPV on every served request. ET2[0] == 0.0 only opens the file and
// reads its header (status 0, nothing else touched).
// An unusable file ends the run with the fatal error line (FatalIoError,
// unit 12); a data record that cannot be read writes the line
// "... ERROR RETURN IN STATE" and stops the program (ProgramStop).
std::int32_t STATE(const std::array<double, 2>& ET2, const StateRequest& REQ, StateTable& PV,
                   NutationState& NUT);

// Chebyshev series of one item at a date. BUF: the item's coefficient block
// (coefficient fastest, then component, then sub-interval); T[0] the fraction
// of the record's interval elapsed (0 to 1), T[1] the interval's length in
// the output time unit; NCF coefficients per component (1 to 18), NCM
// components, NA sub-intervals; IFL 1 positions, 2 positions and rates.
// PV receives NCM positions, then (IFL 2) NCM rates. Bad arguments throw
// std::invalid_argument.
void INTERP(std::span<const double> BUF, const std::array<double, 2>& T, std::int32_t NCF,
            std::int32_t NCM, std::int32_t NA, std::int32_t IFL, std::span<double> PV);

// Whole part and fraction of TT: FR[0] + FR[1] == TT with FR[1] in [0, 1).
void SPLIT(double TT, std::array<double, 2>& FR);

// Opens the file if needed and returns its constants: N = NCONST (at most
// the 400 that the header holds), the first N names and values, and
// SS = SPAN (first date, last date, record days).
void CONST(std::array<Text<6>, 400>& NAM, std::array<double, 400>& VAL, OneBased<double, 3>& SS,
           std::int32_t& N);

// Closes the planetary ephemeris file at the end of a run; nothing is done
// when it was never opened.
void close_ephemeris_file();

// For tests: closes the file and puts the reader back to its program-start
// state (first-call flag, record cache, Chebyshev values, read count).
void reset_ephemeris_reader();

// For tests: the number of data records read from the file since the start
// (or the last reset).
std::int64_t ephemeris_record_reads();
