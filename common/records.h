// The run-wide records: one instance each, created at program start and
// living until the program ends. At start numbers are 0 and texts hold NUL
// characters. The comment on each record says which subsystem owns it.
#pragma once

#include <array>
#include <cstdint>

#include "types.h"

inline constexpr int kGridSize = 500;  // entries of the listing grid

// Run parameters (ephemeris program: dialogue and initialization file).
struct RunParRecord {
  double YEAR = 0, ET = 0, XJINC = 0, DEL = 0, CYEAR = 0;
  std::int32_t NPOS = 0, MONTH = 0, IDAY = 0;
};

// Observer (ephemeris program): latitude and west longitude in degrees.
struct ObservRecord {
  double OLAT = 0, OLON = 0;
};

// Perturbing bodies. PEL rows 1-8 are written by the mean elements (planet
// positions); MASS by the ephemeris program (the DE405 masses of
// planets/de405_masses.h); NPLANET is a run parameter that
// the planet requests and the MPCORB reader may set to 8.
struct PertrbRecord {
  OneBased<ElementSet, 10> PEL;
  OneBased<double, 10> MASS;
  std::int32_t NPLANET = 0;
};

// Planet source: 1 when planets and Sun come from mean elements, 0 from the
// JPL file. Set by the parameter tests, switched to 1 by the planet requests.
struct PlnSrcRecord {
  std::int32_t IMEAN = 0;
};

// Propagation method (ephemeris program): "KEPLER", "COWELL", "ENCKE", "RKD".
struct IntegRecord {
  Text<6> METHOD;
};

// Name of the JPL planetary ephemeris file (ephemeris program).
struct JplNamRecord {
  Text<80> JPLFILE;
};

// Capture file and element files to write (ephemeris program); blank = none.
struct FilesRecord {
  Text<30> SCRFILE, STFILE, ENDFIL;
};

// Calendar part of the listing grid (ephemeris program).
struct DatesRecord {
  OneBased<double, kGridSize> HR;
  OneBased<std::int32_t, kGridSize> IYR, IMO, IDY;
};

// Time and position part of the listing grid (ephemeris program): TJD,
// RA and DEC in radians, distances in AU; NCENTER the observing body.
struct PosnsRecord {
  OneBased<double, kGridSize> TJD, RA, DEC, RHELIO, DELTA, ROBS;
  std::int32_t NCENTER = 0;
};

// The object being listed (ephemeris program; VRKD belongs to the RKD
// integrator).
struct ObjectRecord {
  std::int32_t ICOMET = 0;       // 0 minor-planet form (a), 1 comet form (q)
  std::array<double, 3> VRKD{};  // RKD start velocity
  JulianDate EPOCH = 0;          // epoch of osculation
  Text<13> PNAME;                // name of a major body listed
  double H = 0, G = 0;           // magnitude parameters
  std::int32_t NUMBER = 0;       // catalogue number, 0 for none
  Text<64> NAME;
  Text<80> ELSRC;  // source of the elements
};

// Planetary ephemeris file: texts as read (planet positions alone).
struct JplTxtRecord {
  std::array<Text<84>, 3> TITLE;
  std::array<Text<6>, 400> CONNAM;
};

// Planetary ephemeris file: constants, span, layout (planet positions alone).
// LAYOUT(k, i): k = 1 first double of item i, 2 coefficients per component,
// 3 sub-intervals; i = 1 to 13.
struct JplHdrRecord {
  std::array<double, 400> CONVAL{};
  OneBased<double, 3> SPAN;
  double AUKM = 0, EMRATIO = 0;
  std::int32_t DENO = 0, NCONST = 0;
  std::array<std::array<std::int32_t, 3>, 13> layout{};
  std::int32_t& LAYOUT(int k, int i) {
    return layout.at(static_cast<std::size_t>(i - 1)).at(static_cast<std::size_t>(k - 1));
  }
  std::int32_t LAYOUT(int k, int i) const {
    return layout.at(static_cast<std::size_t>(i - 1)).at(static_cast<std::size_t>(k - 1));
  }
};

// Reader switches and the Sun's barycentric state at the last date served
// (planet positions alone).
struct JplOptRecord {
  bool KMUNIT = false;
  bool BARYC = false;
  std::array<double, 6> SUNPV{};
};

inline RunParRecord RUNPAR;
inline ObservRecord OBSERV;
inline PertrbRecord PERTRB;
inline PlnSrcRecord PLNSRC;
inline IntegRecord INTEG;
inline JplNamRecord JPLNAM;
inline FilesRecord FILES;
inline DatesRecord DATES;
inline PosnsRecord POSNS;
inline ObjectRecord OBJECT;
inline JplTxtRecord JPLTXT;
inline JplHdrRecord JPLHDR;
inline JplOptRecord JPLOPT;

// Puts every record back to its program-start state (for tests).
void reset_records();
