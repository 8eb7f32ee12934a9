// Reader of the JPL planetary ephemeris file (DE405, records of 8144 bytes).
#pragma once

// Closes the planetary ephemeris file at the end of a run; nothing is done
// when it was never opened.
void close_ephemeris_file();
