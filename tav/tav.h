// The ephemeris program: its main routine TAV (the run loop) and the frame of
// EPHEM, which carries one ephemeris from the run parameters to the listing.
#pragma once

#include <cstdint>

#include "types.h"

// The date of the first listed time: the year (YEAR truncated toward zero),
// MONTH and IDAY, as the parameter tests leave them.
struct FirstDate {
  std::int32_t year = 0, month = 0, day = 0;
};

// What EPHEM keeps for itself from one ephemeris to the next: the four run
// parameters that are its own and its working values. At program start the
// numbers are 0, the texts NUL characters and the first-call flag false.
struct EphemState {
  double DAY = 0;    // day of the month; for the MPC form the fraction is the time of day
  Text<32> MPCFILE;  // name of the MPCORB file
  Text<32> PLANET;   // "JPL" or "MEAN"
  Text<32> FORM;     // "SHORT", "LONG", "ASTRM" or "MPC"
  double XVAL = 0;   // the last number typed for a numeric parameter
  Text<32> INIFILE;  // name of the initialization file
  Text<40> ELEFILE;  // element file read by the ephemeris in progress; blank (or NUL) when none
  // STFILE and ENDFIL as the initialization file gave them were longer than
  // their 30 characters, which hold the first 30: the parameter tests ask
  // for them again.
  bool stfile_too_long = false, endfil_too_long = false;
  bool first_call_done = false;  // set once the initialization file has been read
  JulianDate JD0 = 0;            // first listed time as typed, without delta-T
  FirstDate first;               // date of the first listed time
};

// EPHEM's state, one instance for the run.
EphemState& ephem_state();

// One ephemeris: parameters, listing times, and (in later phases) the
// elements, the propagation and the printed listing.
void EPHEM();

// The main routine: asks for a capture file, runs EPHEM, asks whether another
// ephemeris is wanted; closes the planetary ephemeris file at the end.
void TAV();
