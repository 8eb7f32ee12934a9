// The printed listing: RADEC reduces each listed entry to its apparent place
// and prints the table in one of the forms SHORT, LONG, ASTRM or MPC on the
// console and, when FILES.SCRFILE names one, into the capture file.
#pragma once

#include "types.h"

// FORM compared over its first 30 characters, trailing blanks ignored; a
// form that matches none keeps the previous listing's (SHORT at the first).
// Records read: FILES.SCRFILE, OBJECT, RUNPAR (NPOS, CYEAR), POSNS, DATES
// Records written: POSNS.RA and DEC of entries 1 to NPOS (the printed places)
void RADEC(const Text<32>& FORM);
